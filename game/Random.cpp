#include "game/Random.h"

#include "platform/clock.h"
#include "platform/random.h"

namespace MyApp {
namespace {
bool randomSeeded = false;
}

std::int32_t RandomInt(std::int32_t lo, std::int32_t hi) {
    if (!randomSeeded) {
        platform::SeedRandom(static_cast<std::uint32_t>(platform::WallClockSeconds()));
        randomSeeded = true;
    }
    if (hi < lo) {
        return lo;  // an empty range would divide by zero
    }
    if (lo == 1) {
        return platform::Rand() % hi + 1;
    }
    // Widened so that a range spanning most of int32 cannot overflow.
    const std::int64_t count = static_cast<std::int64_t>(hi) - lo + 1;
    if (count > 0x7FFFFFFF) {
        return static_cast<std::int32_t>(platform::Rand() % count + lo);
    }
    return static_cast<std::int32_t>(RandomInt(1, static_cast<std::int32_t>(count)) +
                                     static_cast<std::int64_t>(lo) - 1);
}

void SeedRandomForTesting(std::uint32_t seed) {
    platform::SeedRandom(seed);
    randomSeeded = true;
}

bool IsRandomSeeded() {
    return randomSeeded;
}

void ResetRandomSeededForTesting() {
    randomSeeded = false;
}

}  // namespace MyApp
