// The player's controls, called at most every 40 ms by the tick: the ship of levels 1 to 3
// moves in 0.1 steps inside the view, the astronaut of level 4 walks, jumps and falls; both
// fire the single shot. The shot's flight is one step of every level update.
#pragma once

#include "game/GameFields.h"
#include "services/Timestamp.h"

namespace MyApp {

// Levels 1 to 3: steer the ship and fire. Reads the input even while paused, but then does
// nothing else. `now` is the tick's game time.
void ControlPlayer(GameFields& game, const Timestamp& now);

// Level 4: walk, jump (up, from the ground), cut a rise short (down) and fire.
void ControlAstronaut(GameFields& game, const Timestamp& now);

// The shot's flight in levels 1, 3 and 4: 1.0 forward per call; hidden beyond z 55 or once
// its last drawn box has left the view.
void ShotFlight(GameFields& game);
// The shot's flight in level 2: 0.33 forward per call; hidden once out of view.
void ShotFlightLevel2(GameFields& game);

// State kept for the whole run; each timestamp is set to the first call's now.
struct PlayerControlState {
    Timestamp lastShotTime;
};
struct AstronautControlState {
    Timestamp lastShotTime;
};

PlayerControlState& PlayerControlStateForTesting();
AstronautControlState& AstronautControlStateForTesting();
// Back to the state of a fresh run.
void ResetPlayerControlForTesting();

}  // namespace MyApp
