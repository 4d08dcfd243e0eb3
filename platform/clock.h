// Monotonic time for every timed rule of the game, and the seam through which tests
// replace it. Time is counted in 100-nanosecond ticks, the unit of a Windows file time.
#pragma once

#include <cstdint>

namespace platform {

using Ticks = std::int64_t;
inline constexpr Ticks kTicksPerMs = 10000;

// A source of monotonic time. The default one reads std::chrono::steady_clock.
class ClockSource {
  public:
    virtual ~ClockSource() = default;
    virtual Ticks Now() = 0;
};

// The current monotonic time from the installed source.
Ticks MonotonicNow();

// Installs a source (not owned); nullptr restores the steady clock.
void SetClockSource(ClockSource* source);

// Seconds since the Unix epoch from the wall clock; used only to seed the random generator.
std::int64_t WallClockSeconds();

// A clock that moves only when told to: the tests' and the simulation's clock.
class FakeClock : public ClockSource {
  public:
    explicit FakeClock(Ticks start = 1000 * kTicksPerMs) : now_(start) {}
    Ticks Now() override { return now_; }
    void AdvanceMs(std::int64_t ms) { now_ += ms * kTicksPerMs; }
    void Set(Ticks t) { now_ = t; }

  private:
    Ticks now_;
};

// Installs a FakeClock for the lifetime of the guard.
class ScopedFakeClock {
  public:
    explicit ScopedFakeClock(Ticks start = 1000 * kTicksPerMs) : clock_(start) {
        SetClockSource(&clock_);
    }
    ~ScopedFakeClock() { SetClockSource(nullptr); }
    ScopedFakeClock(const ScopedFakeClock&) = delete;
    ScopedFakeClock& operator=(const ScopedFakeClock&) = delete;
    FakeClock& clock() { return clock_; }
    void AdvanceMs(std::int64_t ms) { clock_.AdvanceMs(ms); }

  private:
    FakeClock clock_;
};

}  // namespace platform
