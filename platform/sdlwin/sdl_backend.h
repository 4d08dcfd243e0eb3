// The real-window backend of the window system: every top-level window shown in an SDL
// window, input taken from SDL's event queue. Windows with a caption get a decorated native
// window that shows our menu strip and client area (the native title bar and frame stand in
// for ours); menus, tool tips and other captionless windows a borderless one that shows the
// whole picture.
#pragma once

#include <string>

#include "platform/wintypes.h"

namespace platform::sdlwin {

// Starts SDL's video, installs the backend into the window system and routes
// platform::MessageBoxA to the window system's message boxes. False, with the reason, when
// no display can be opened. The program then runs its message loop as usual.
bool Install(std::string* error = nullptr);
// Removes the backend and closes the native windows and SDL's video.
void Uninstall();
bool Installed();

// The SDL_Window that shows a window (any window of its tree), as an opaque pointer for a
// device that creates its own context there; nullptr when none.
void* NativeWindowOf(HWND window);

// The icon last handed to the native window that shows `window`; nullptr when none.
HICON NativeIconOf(HWND window);

}  // namespace platform::sdlwin
