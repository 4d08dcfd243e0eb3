// The program once its window system is installed: find the data folder, run the main window
// until it is gone.
#pragma once

#include "app/shell/DataFolder.h"

namespace MyApp {

// 1 after the "Errore" box when no data folder is found; else 0 once the main window has
// been destroyed and the form deleted.
int RunProgram(const DataFolderPlaces& places);

}  // namespace MyApp
