// Level 1: rocks stream in while a small saucer sweeps in the distance; once it is shot
// down and a short pause has passed, it returns as a large saucer that wanders and fires.
// Also the wandering movement that the saucers of levels 3 and 4 share.
#pragma once

#include "game/Entities.h"
#include "game/GameFields.h"
#include "game/LevelTick.h"
#include "services/Timestamp.h"

namespace MyApp {

// One tick of level 1 at game time `now`. True while the level goes on; false when it ended,
// won (level raised, levelComplete set) or lost (neither changed).
bool UpdateLevel1(GameFields& game, const Timestamp& now);

// Moves the rocks of phase 1 (all hidden when no saucer is visible) and spawns at most one;
// true when a rock touches the player.
bool RockFieldLevel1(GameFields& game, bool anySaucer, const Timestamp& now);

// The small saucer's sweep: 0.3 left or right, turning back after crossing x +-3.5 with a
// random change of height; y stays within -3.5..3.5.
void UfoSweep(MeshObject& saucer);

// 0.3 forward along the saucer's heading; outside x -5..5 or z 20..50 it turns by 91 to 110
// degrees and moves 0.3 along the new heading.
void SaucerWander(GameFields& game, std::int32_t id);

// State kept for the whole run.
struct Level1State : LevelTickState {
    // When the player's record of the running level was made: a different one means a new
    // run of level 1, which must not inherit the touch of the previous game.
    Timestamp playerBuilt;
};

Level1State& Level1StateForTesting();
void ResetLevel1ForTesting();

}  // namespace MyApp
