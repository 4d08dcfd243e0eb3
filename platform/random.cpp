#include "platform/random.h"

#include <random>

namespace platform {
namespace {
// mt19937 is fully specified by the standard, so a seed gives the same game on every machine.
std::mt19937& Generator() {
    static std::mt19937 generator(5489u);
    return generator;
}
}  // namespace

void SeedRandom(std::uint32_t seed) {
    Generator().seed(seed);
}

int Rand() {
    return static_cast<int>(Generator()() >> 1);
}

}  // namespace platform
