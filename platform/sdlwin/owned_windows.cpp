#include "platform/sdlwin/owned_windows.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform::sdlwin {
namespace {

struct X11Window {
    Display* display = nullptr;
    ::Window window = 0;
};

// The X display and window of an SDL window; none on other video drivers.
X11Window X11Of(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11) {
        return {};
    }
    return X11Window{info.info.x11.display, info.info.x11.window};
}

// The window named by a window property (_NET_SUPPORTING_WM_CHECK), or 0.
::Window WindowProperty(Display* display, ::Window on, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    ::Window result = 0;
    if (XGetWindowProperty(display, on, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data != nullptr) {
        result = *reinterpret_cast<::Window*>(data);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return result;
}

}  // namespace

void MarkOwned(SDL_Window* window, SDL_Window* owner) {
    if (window != nullptr && owner != nullptr) {
        SDL_SetWindowModalFor(window, owner);
    }
}

void RaiseWithoutActivation(SDL_Window* window) {
    X11Window x = X11Of(window);
    if (x.display == nullptr) {
        return;
    }
    XRaiseWindow(x.display, x.window);
    XFlush(x.display);
}

void ShowWithoutKeyboard(SDL_Window* window) {
    X11Window x = X11Of(window);
    if (x.display == nullptr || WindowManagerRuns(window)) {
        SDL_ShowWindow(window);
        return;
    }
    // Mapped here rather than by SDL, which gives the input focus to every window it shows
    // where no window manager runs: the focus would leave the owner and come back, and the
    // owner would hear its keys released in the middle of an Alt+letter.
    XMapRaised(x.display, x.window);
    XFlush(x.display);
}

void HideWithoutKeyboard(SDL_Window* window) {
    X11Window x = X11Of(window);
    if (x.display != nullptr && !WindowManagerRuns(window)) {
        // Unmapped here too: SDL may not know yet that the window it did not map is shown.
        XUnmapWindow(x.display, x.window);
        XFlush(x.display);
    }
    SDL_HideWindow(window);
}

bool WindowManagerRuns(SDL_Window* onDisplayOf) {
    X11Window x = X11Of(onDisplayOf);
    if (x.display == nullptr) {
        return true;  // other drivers: the desktop always manages the windows
    }
    // A running window manager names a child window of its own on the root window, and that
    // window names itself again (a stale property from one that has gone does not).
    Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    ::Window root = DefaultRootWindow(x.display);
    ::Window child = WindowProperty(x.display, root, check);
    return child != 0 && WindowProperty(x.display, child, check) == child;
}

void RaiseWithKeyboard(SDL_Window* window) {
    if (window == nullptr) {
        return;
    }
    SDL_RaiseWindow(window);
    if (!WindowManagerRuns(window)) {
        SDL_SetWindowInputFocus(window);
    }
}

}  // namespace platform::sdlwin
