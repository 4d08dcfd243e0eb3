// The choice of the window system the program runs on, made once at start.
#pragma once

#include "services/Settings.h"

namespace MyApp {

// Installs the window system and its message boxes: the real desktop (SDL windows, OpenGL
// panels, sound, joysticks), or the headless one when KX_HEADLESS=1. Returns false, after
// saying why on stderr in one line, when no display can be opened; the program then exits
// with code 1.
bool StartWindowSystem();

// Opens the main window, when it is made, where the player left it (or fullscreen when asked);
// the headless window system ignores it.
void RestoreMainWindowPlacement(const WindowSettings& window);
// Where the main window is now, or was when it closed; not known on the headless system.
WindowSettings MainWindowPlacement();

}  // namespace MyApp
