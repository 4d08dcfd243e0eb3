// Program entry: answer the command line, pick the window system, then run the game with the
// player's remembered settings.
#include "app/shell/Backend.h"
#include "app/shell/CommandLine.h"
#include "app/shell/Program.h"
#include "platform/files.h"
#include "platform/session_end.h"
#include "services/Settings.h"

#ifndef KX_INSTALLED_DATA_DIR
#define KX_INSTALLED_DATA_DIR ""
#endif
#ifndef KX_DATA_FROM_PROGRAM
#define KX_DATA_FROM_PROGRAM ""
#endif

int main(int argc, char** argv) {
    const MyApp::CommandLine command = MyApp::ParseCommandLine(argc, argv);
    if (command.action != MyApp::CommandLine::Action::kRun) {
        return MyApp::AnswerCommandLine(command);
    }
    platform::InstallSessionEndSignals();  // a logout closes the game in good order
    if (!MyApp::StartWindowSystem()) {
        return 1;
    }
    const std::string settingsFile = MyApp::SettingsFilePath();
    MyApp::Settings settings = MyApp::LoadSettings(settingsFile);
    if (command.fullscreen) {
        settings.window.fullscreen = *command.fullscreen;
    }
    MyApp::RestoreMainWindowPlacement(settings.window);
    return MyApp::RunProgram(
        {platform::ExecutableFolder(), KX_INSTALLED_DATA_DIR, KX_DATA_FROM_PROGRAM}, settings,
        settingsFile);
}
