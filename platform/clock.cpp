#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace platform {
namespace {

ClockSource* g_source = nullptr;

Ticks SteadyNow() {
    using namespace std::chrono;
    return duration_cast<duration<Ticks, std::ratio<1, 10000000>>>(
               steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

Ticks MonotonicNow() {
    return g_source ? g_source->Now() : SteadyNow();
}

void SetClockSource(ClockSource* source) {
    g_source = source;
}

std::int64_t WallClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace platform
