// The real desktop in one call: the SDL window backend with our message boxes, sound (silent
// when no audio device opens), joysticks, and OpenGL devices for the 3D panels, each showing
// its frames inside its panel's window.
#pragma once

#include <string>

#include "platform/sdlwin/sdl_backend.h"

namespace platform::desktop {

// False, with the reason in *error, when no display can be opened: none is named in the
// environment, or SDL can only offer a driver that shows nothing.
bool Start(std::string* error);

// The main window's place on the desktop (position and size of its content area in desktop
// pixels, fullscreen or not), to keep between runs.
using sdlwin::WindowPlacement;
// Opens the main window with this placement (ignored when its display no longer exists);
// call after Start and before the main window is made.
void SetMainWindowPlacement(const WindowPlacement& placement);
// The main window's placement now, or as it was when it closed.
WindowPlacement MainWindowPlacement();

}  // namespace platform::desktop
