#include "app/shell/Backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    std::fprintf(stderr, "kryxspace: no display backend in this build\n");
    return false;
}

}  // namespace MyApp
