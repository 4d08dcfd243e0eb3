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
    std::string error;
    if (!platform::desktop::Start(&error)) {
        std::fprintf(stderr, "kryxspace: cannot open a window: %s\n", error.c_str());
        return false;
    }
    return true;
}

void RestoreMainWindowPlacement(const WindowSettings& window) {
    platform::desktop::SetMainWindowPlacement(
        {window.known, window.x, window.y, window.width, window.height, window.fullscreen});
}

WindowSettings MainWindowPlacement() {
    const platform::desktop::WindowPlacement p = platform::desktop::MainWindowPlacement();
    return {p.known, p.x, p.y, p.width, p.height, p.fullscreen};
}

}  // namespace MyApp
