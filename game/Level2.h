// Level 2: a side view against the clock. Rocks stream in from the right from 5 s on, a
// squadron of small saucers arrives between 35 and 40 s, and the level is won once 40 s have
// passed with no saucer left.
#pragma once

#include "game/Entities.h"
#include "game/GameFields.h"
#include "game/LevelTick.h"
#include "services/Timestamp.h"

namespace MyApp {

// One tick of level 2 at game time `now`; results as UpdateLevel1.
bool UpdateLevel2(GameFields& game, const Timestamp& now);

// Moves the rocks along -x (all hidden while rocks are held back) and spawns at most one per
// 1200 ms; true when a rock touches the player.
bool RockStreamLevel2(GameFields& game, const Timestamp& now);

// Whether a visible saucer touches the player; the saucers are not changed.
bool SaucerContactLevel2(GameFields& game);

// 0.33 along the saucer's heading in the x-y plane (measured from +y toward +x); outside
// -4..4 it turns by 91 to 110 degrees and moves once more.
void SaucerWanderLevel2(MeshObject& saucer);

// State kept for the whole run.
struct Level2State : LevelTickState {
    bool asteroidsOff = true;  // rocks held back
    Timestamp lastSpawnTime;   // the rock stream's last spawn
};

Level2State& Level2StateForTesting();
void ResetLevel2ForTesting();

}  // namespace MyApp
