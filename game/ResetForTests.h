// The game layer's one reset: every piece of state the game keeps between ticks goes back to
// where a fresh run starts. A module that adds such state adds its reset here, so that every
// test fixture picks it up.
#pragma once

namespace MyApp {

// Level updates, player control, enemy fire and the generator's seeded flag.
void ResetGameForTests();

}  // namespace MyApp
