#include "app/shell/Backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>

#include "platform/desktop/desktop.h"
#include "platform/win/headless.h"
#include "platform/win/win32.h"

namespace MyApp {

bool StartWindowSystem() {
    const char* headless = std::getenv("KX_HEADLESS");
    if (headless != nullptr && std::strcmp(headless, "1") == 0) {
        platform::headless::Install();
        platform::InstallMessageBoxes();
        return true;
    }
    // The real desktop is still being brought up: the 3D panel's OpenGL frames do not reach
    // the screen yet, so it is only started on request.
    const char* desktop = std::getenv("KX_DESKTOP");
    if (desktop == nullptr || std::strcmp(desktop, "1") != 0) {
        std::fprintf(stderr,
                     "kryxspace: the game window is not available in this build yet "
                     "(KX_DESKTOP=1 starts the unfinished desktop window, KX_HEADLESS=1 the "
                     "headless one)\n");
        return false;
    }
    std::string error;
    if (!platform::desktop::Start(&error)) {
        std::fprintf(stderr, "kryxspace: cannot open a window: %s\n", error.c_str());
        return false;
    }
    return true;
}

}  // namespace MyApp
