#include "platform/sound.h"

namespace platform {
namespace {
SoundOutput* g_output = nullptr;
}  // namespace

void SetSoundOutput(SoundOutput* output) {
    g_output = output;
}
SoundOutput* CurrentSoundOutput() {
    return g_output;
}

void PlaySoundResource(int waveResourceId, bool loop) {
    if (g_output) {
        g_output->Play(waveResourceId, loop);
    }
}

void StopSound() {
    if (g_output) {
        g_output->Stop();
    }
}

void SetSoundLevel(bool mute, int volumePercent) {
    if (g_output) {
        g_output->SetLevel(mute, volumePercent < 0 ? 0 : volumePercent > 100 ? 100 : volumePercent);
    }
}

void PlayAlertSound(int waveResourceId) {
    if (g_output) {
        g_output->PlayAlert(waveResourceId);
    }
}

}  // namespace platform
