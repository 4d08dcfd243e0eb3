#include "platform/sdlwin/x11_errors.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstring>

namespace platform::sdlwin {
namespace {

XErrorHandler g_previous = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow) {
        return 0;
    }
    return g_previous != nullptr ? g_previous(display, error) : 0;
}

}  // namespace

void IgnoreErrorsAboutGoneWindows() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0 || g_previous != nullptr) {
        return;
    }
    g_previous = XSetErrorHandler(&OnXError);
}

}  // namespace platform::sdlwin
