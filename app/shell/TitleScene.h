// The title screen: the background, the ship in the middle, the game's name and year as 3D
// text and, when results exist, the "TOP TEN" list, handed to the panel in one setScene.
#pragma once

#include "game/GameFields.h"

namespace MyApp {

// Rebuilds the title and top-ten scene in the panel from dataFolder and highScores, checking
// the background and the ship's mesh first. Does nothing without a panel.
void BuildTitleScene(GameFields& game);

}  // namespace MyApp
