// Sound output with the meaning of PlaySound on a WAVE resource: one sound at a time,
// played asynchronously once or looped; a new sound cuts the one playing; Stop silences.
// Alerts (MessageBeep) play over that sound without cutting or replacing it.
#pragma once

namespace platform {

// The WAVE resource MessageBeep plays: a short beep of our own.
inline constexpr int kAlertWaveId = 1027;

class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    virtual void Play(int waveResourceId, bool loop) = 0;
    virtual void Stop() = 0;
    // How loud what plays is heard: silent while muted, else scaled to volumePercent
    // (0..100). Sounds still start, loop and end as they would; only their level changes.
    // Outputs that cannot change their level ignore it.
    virtual void SetLevel(bool mute, int volumePercent) {
        static_cast<void>(mute);
        static_cast<void>(volumePercent);
    }
    // Mixes a short sound over whatever plays; outputs without a mixer stay silent.
    virtual void PlayAlert(int waveResourceId) { static_cast<void>(waveResourceId); }
};

// Installs the output (not owned); nullptr makes the program silent (the default).
void SetSoundOutput(SoundOutput* output);
SoundOutput* CurrentSoundOutput();

void PlaySoundResource(int waveResourceId, bool loop);
void StopSound();
// The player's mute and volume (0..100, clamped) for the installed output.
void SetSoundLevel(bool mute, int volumePercent);
void PlayAlertSound(int waveResourceId);

}  // namespace platform
