// The one source of random numbers of the game: uniform integers in a closed range from the
// platform generator, seeded from the wall clock at the first draw of the run.
#pragma once

#include <cstdint>

namespace MyApp {

// An integer in [lo, hi], both included. hi below lo gives lo.
std::int32_t RandomInt(std::int32_t lo, std::int32_t hi);

// Seeds the generator and marks it seeded, so that no draw reseeds it from the clock.
void SeedRandomForTesting(std::uint32_t seed);
// Whether the first draw of the run has seeded the generator.
bool IsRandomSeeded();
// Forgets the seeding, so that the next draw seeds from the clock again.
void ResetRandomSeededForTesting();

}  // namespace MyApp
