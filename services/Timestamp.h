// Timestamp and ElapsedMs: every timed rule of the game is a strict "more than N ms"
// comparison of ElapsedMs against a Timestamp. Time is monotonic (platform/clock.h), so a
// change of the wall clock never freezes the game or fires every timer at once.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace MyApp {

struct Timestamp {
    platform::Ticks time = 0;  // monotonic 100-ns ticks
    bool unset = true;         // an unset Timestamp measures no time

    // The current time.
    static Timestamp Now() { return Timestamp{platform::MonotonicNow(), false}; }
    // A moment long before any other the program sees: any "more than N ms since" test
    // made against it passes. Stands for the first day of 1900.
    static Timestamp LongAgo() { return Timestamp{INT64_MIN / 4, false}; }

    void SetNow() { *this = Now(); }
};

// Signed milliseconds from `from` to `to`, truncated toward zero; 0 when `from` is unset.
inline std::int64_t ElapsedMs(const Timestamp& from, const Timestamp& to) {
    if (from.unset) {
        return 0;
    }
    return (to.time - from.time) / platform::kTicksPerMs;
}

}  // namespace MyApp
