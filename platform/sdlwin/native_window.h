// The native window of one of our top-level windows, and what the backend does with one
// whatever draws it: where it shows the window's picture, its icon, and the SDL renderer path
// for when there is no GL context.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/sdlwin/child_view.h"
#include "platform/sdlwin/gl_window.h"
#include "platform/sdlwin/sdl_backend.h"
#include "platform/win/backend.h"
#include "platform/win/scale.h"
#include "platform/win/win32.h"

namespace platform::sdlwin {

// The windows' renderers may use GL contexts of their own. Whoever else draws with GL on this
// thread (the 3D panel's device) keeps its context: it is made current again when a
// renderer call has switched it.
class KeepGlContext {
  public:
    KeepGlContext() : window_(SDL_GL_GetCurrentWindow()), context_(SDL_GL_GetCurrentContext()) {}
    ~KeepGlContext() {
        if (context_ != nullptr && SDL_GL_GetCurrentContext() != context_) {
            SDL_GL_MakeCurrent(window_, context_);
        }
    }
    KeepGlContext(const KeepGlContext&) = delete;
    KeepGlContext& operator=(const KeepGlContext&) = delete;

  private:
    SDL_Window* window_;
    SDL_GLContext context_;
};

// The native window of one top-level window: drawn with OpenGL when the program gave the
// backend its GL context, else with an SDL renderer (unscaled).
struct Native {
    SDL_Window* window = nullptr;
    std::unique_ptr<GlWindow> gl;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    bool decorated = false;  // native title bar and frame; shows the content rect only
    bool popup = false;      // menus and tool tips
    bool shown = false;
    bool resizable = false;  // the main window: the user sizes it, its content scales
    bool placed = false;
    bool firstShown = false;
    bool fullscreen = false;  // borderless over its whole display
    HICON icon = nullptr;     // the icon last handed to SDL
    RECT placedRect{};        // the logical screen rectangle of the content last given to SDL
};

RECT OuterRect(HWND window);

// The part of the window's picture its native window shows, in surface pixels.
RECT RegionOf(HWND window, bool decorated);

// Gives the native window the icon the window answers WM_GETICON with (its big icon, else its
// small one), when it differs from the one it has.
void SetIcon(HWND window, Native& n);

// Without GL: composes the region with the child frames and shows it with the renderer.
void PresentWithRenderer(HWND window, Native& n, const win::Surface& surface);
// Shows the renderer's texture again.
void Show(Native& n);

// The window that owns `window` (none for the main window).
HWND OwnerOf(HWND window);
// Whether a desktop point lies on one of the displays.
bool OnSomeDisplay(int x, int y);
// Device pixels of the drawable per SDL window point (above 1 on scaled desktops).
double PixelsPerPoint(const Native& n);
// Where the window's content (logical pixels) lands in its drawable.
win::ScaleMap MapOf(HWND window, const Native& n);
// The frames over a window, placed relative to the part of its picture it shows.
std::vector<PlacedFrame> ViewsOf(HWND window, const Native& n);
// Where `child` of `top` lies in the drawable of `top`'s native window, made current, for a
// device that draws its frames there itself: only when that window can take them and shows
// no other view.
std::optional<ChildDrawable> DrawableOf(HWND child, HWND top, const Native& n);
// F11 and Alt+Enter, the keys that switch the main window to and from fullscreen.
bool IsFullscreenKey(const SDL_Keysym& key);
// Whether the window system draws `window` at `scale`; otherwise it starts to, painting
// the window again (which presents it again).
bool SurfaceAt(HWND window, double scale);
// Where the window is, or where it was before it went fullscreen (`windowed`).
WindowPlacement PlacementOf(const Native& n, const SDL_Rect& windowed);

}  // namespace platform::sdlwin
