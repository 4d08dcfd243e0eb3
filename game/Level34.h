// Levels 3 and 4: large saucers wander and fire; after a pause every saucer never hit dives
// at the player, firing while it passes a band of depth, and restarts from the far end until
// it is shot down. One algorithm; the numbers of each level are in its LevelRules.
#pragma once

#include "app/Timestamp.h"
#include "game/GameFields.h"

namespace MyApp {

// One tick of level 3 / level 4; results as UpdateLevel1.
bool UpdateLevel3(GameFields& game);
bool UpdateLevel4(GameFields& game);

// State kept for the whole run, one set per level.
struct SquadronState {
    Timestamp stepClock;                          // end of the last main step
    Timestamp pauseClock = Timestamp::LongAgo();  // start of the pause between phases
    bool respawnPending = false;
    bool touched = false;
};

SquadronState& Level3StateForTesting();
SquadronState& Level4StateForTesting();
void ResetLevel34ForTesting();

}  // namespace MyApp
