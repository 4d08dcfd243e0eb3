// The controls as the game reads them: the keyboard counts while the main window is in
// front, the joystick when the player has enabled it.
#pragma once

#include "game/GameFields.h"
#include "services/Input.h"

namespace MyApp {

inline InputState ReadInput(GameFields& game) {
    return ReadInput(game.joystickEnabled, game.mainWindow);
}

}  // namespace MyApp
