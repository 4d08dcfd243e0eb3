// Program entry: pick the window system, then run the game.
#include "app/shell/Backend.h"
#include "app/shell/Program.h"
#include "platform/files.h"
#include "platform/session_end.h"

#ifndef KX_INSTALLED_DATA_DIR
#define KX_INSTALLED_DATA_DIR ""
#endif

int main() {
    if (!MyApp::StartWindowSystem()) {
        return 2;
    }
    platform::InstallSessionEndSignals();  // a logout closes the game in good order
    return MyApp::RunProgram({platform::ExecutableFolder(), KX_INSTALLED_DATA_DIR});
}
