// The game's clock: monotonic time that stands still while the game is held (paused with a
// level running). Every timed rule of the game reads this clock, so a pause leaves the game
// exactly as it would have been without it.
#pragma once

#include "platform/clock.h"
#include "services/Timestamp.h"

namespace MyApp {

class GameClock {
  public:
    // The game's time now: the platform's time less every held stretch so far.
    Timestamp Now() const {
        return Timestamp{(held_ ? heldSince_ : platform::MonotonicNow()) - lost_, false};
    }

    // Holds or releases the clock. Holding a held clock keeps the moment it stopped;
    // releasing drops the held stretch from the game's time.
    void Hold(bool hold) {
        if (hold == held_) {
            return;
        }
        const platform::Ticks now = platform::MonotonicNow();
        if (hold) {
            heldSince_ = now;
        } else {
            lost_ += now - heldSince_;
        }
        held_ = hold;
    }

    bool Held() const { return held_; }

  private:
    bool held_ = false;
    platform::Ticks heldSince_ = 0;
    platform::Ticks lost_ = 0;  // total time held
};

}  // namespace MyApp
