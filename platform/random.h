// The one random generator of the program, with the meaning of the C library's srand/rand:
// seeded once, then a uniform sequence of integers from 0 to kRandMax. Tests seed it.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr int kRandMax = 0x7FFFFFFF;

void SeedRandom(std::uint32_t seed);
int Rand();  // 0 .. kRandMax

}  // namespace platform
