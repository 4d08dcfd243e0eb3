// The program once its window system is installed: find the data folder, run the main window
// until it is gone.
#pragma once

#include <string>

#include "app/shell/DataFolder.h"
#include "services/Settings.h"

namespace MyApp {

// 1 after the "Errore" box when no data folder is found; else 0 once the main window has
// been destroyed and the form deleted. The window starts from settings; when settingsFile is
// not empty, the player's changes are saved there, and once more when the window is gone.
int RunProgram(const DataFolderPlaces& places, const Settings& settings = {},
               const std::string& settingsFile = {});

}  // namespace MyApp
