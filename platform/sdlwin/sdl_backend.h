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

// Draws every native window through OpenGL in this context (an SDL_GLContext, the one the
// 3D panels' devices draw in), scaled and letterboxed, the main window resizable. Call before
// the first window is made; without it windows are drawn unscaled with SDL renderers.
void UseGlContext(void* context);

// The main window's place on the desktop, in desktop pixels: the position and size of its
// native window (content area) and whether it fills the screen.
struct WindowPlacement {
    bool known = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool fullscreen = false;
};
// The placement the main window opens with (ignored when unknown or when no display holds
// its position); call before the main window is made.
void SetMainWindowPlacement(const WindowPlacement& placement);
// The main window's current placement, or its last one once it is gone.
WindowPlacement MainWindowPlacement();

// Sizes the main window's native window as the user would (desktop pixels; its content
// scales to fit). False when there is no main window.
bool ResizeMainWindow(int width, int height);

// Draws at once what the windows show when the message loop next waits: for benchmarks and
// tests that run the loop with PeekMessage only.
void DrawPendingWindows();

// The SDL_Window that shows a window (any window of its tree), as an opaque pointer for a
// device that creates its own context there; nullptr when none.
void* NativeWindowOf(HWND window);

// The icon last handed to the native window that shows `window`; nullptr when none.
HICON NativeIconOf(HWND window);

}  // namespace platform::sdlwin
