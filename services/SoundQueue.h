// The game's sound player: one optional looping sound and a short queue of one-shot
// effects, started at most one per 400 ms because the output plays one sound at a time.
#pragma once

#include <cstdint>
#include <deque>

#include "services/Timestamp.h"

namespace MyApp {

class SoundQueue {
  public:
    SoundQueue() : lastPlayed(Timestamp::Now()) {}

    // Queues a one-shot sound; at most five wait, the oldest is dropped.
    void Push(std::int32_t id);
    // Makes id (0 = none) the looping sound and stops whatever plays.
    void SetLoop(std::int32_t id);
    // End of a level: keep only the newest queued sound, drop the loop, stop playing.
    void Silence();
    // Once per tick: starts the next queued sound, or restarts the loop, at most every 400 ms.
    void Service();

    bool restartLoop = false;
    std::int32_t loopSound = 0;
    std::deque<std::int32_t> pending;
    Timestamp lastPlayed;

    static constexpr std::size_t kMaxPending = 5;
    static constexpr std::int64_t kSpacingMs = 400;
};

}  // namespace MyApp
