// Program entry: pick the window system, then run the game.
#include "app/shell/Backend.h"
#include "app/shell/Program.h"
#include "platform/files.h"

#ifndef KX_INSTALLED_DATA_DIR
#define KX_INSTALLED_DATA_DIR ""
#endif
#ifndef KX_DATA_FROM_PROGRAM
#define KX_DATA_FROM_PROGRAM ""
#endif

int main() {
    if (!MyApp::StartWindowSystem()) {
        return 2;
    }
    return MyApp::RunProgram(
        {platform::ExecutableFolder(), KX_INSTALLED_DATA_DIR, KX_DATA_FROM_PROGRAM});
}
