// The data-file check as the game layer calls it: over the main window, raising the game's
// closeRequested flag.
#pragma once

#include <string>

#include "game/GameFields.h"
#include "services/DataCheck.h"

namespace MyApp {

inline void CheckDataFile(GameFields& fields, const std::string& path) {
    CheckDataFile(fields.closeRequested, fields.mainWindow, path);
}

}  // namespace MyApp
