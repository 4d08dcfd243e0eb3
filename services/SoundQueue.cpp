#include "services/SoundQueue.h"

#include "platform/sound.h"

namespace MyApp {

void SoundQueue::Push(std::int32_t id) {
    pending.push_back(id);
    if (pending.size() > kMaxPending) {
        pending.pop_front();
    }
}

void SoundQueue::SetLoop(std::int32_t id) {
    loopSound = id;
    platform::StopSound();
    restartLoop = true;
}

void SoundQueue::Silence() {
    if (!pending.empty()) {
        pending.erase(pending.begin(), pending.end() - 1);
    }
    loopSound = 0;
    platform::StopSound();
    restartLoop = true;
}

void SoundQueue::Service() {
    const Timestamp now = Timestamp::Now();
    if (ElapsedMs(lastPlayed, now) <= kSpacingMs) {
        return;
    }
    if (pending.empty()) {
        if (loopSound != 0 && restartLoop) {
            platform::PlaySoundResource(loopSound, /*loop=*/true);
            restartLoop = false;
        }
    } else {
        if (loopSound != 0) {
            platform::StopSound();
            restartLoop = true;
        }
        platform::PlaySoundResource(pending.front(), /*loop=*/false);
        pending.pop_front();
    }
    lastPlayed = now;
}

}  // namespace MyApp
