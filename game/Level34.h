// Levels 3 and 4: large saucers wander and fire; after a pause every saucer never hit dives
// at the player, firing while it passes a band of depth, and restarts from the far end until
// it is shot down. One algorithm; the numbers of each level are in its LevelRules.
#pragma once

#include "game/GameFields.h"
#include "game/LevelTick.h"
#include "services/Timestamp.h"

namespace MyApp {

// One tick of level 3 / level 4 at game time `now`; results as UpdateLevel1.
bool UpdateLevel3(GameFields& game, const Timestamp& now);
bool UpdateLevel4(GameFields& game, const Timestamp& now);

// State kept for the whole run, one set per level.
using SquadronState = LevelTickState;

SquadronState& Level3StateForTesting();
SquadronState& Level4StateForTesting();
void ResetLevel34ForTesting();

}  // namespace MyApp
