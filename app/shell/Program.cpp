#include "app/shell/Program.h"

#include <memory>

#include "app/shell/Backend.h"
#include "app/shell/FormMain.h"
#include "platform/msgbox.h"
#include "platform/win/win32.h"
#include "toolkit/WindowProcedure.h"

namespace MyApp {

int RunProgram(const DataFolderPlaces& places, const Settings& settings,
               const std::string& settingsFile) {
    const auto folder = FindDataFolder(places);
    if (!folder) {
        platform::MessageBoxA(nullptr, kDataMissingText, "Errore",
                              platform::MB_TASKMODAL | platform::MB_ICONERROR);
        return 1;
    }
    auto form = std::make_unique<FormMain>(platform::GetModuleHandleW(nullptr), *folder,
                                           kWindowTitle, settings);
    form->settingsFile = settingsFile;
    TekuUtility::RunMessageLoop(form.get());
    if (const WindowSettings placement = MainWindowPlacement(); placement.known) {
        form->settings.window = placement;
    }
    form->SaveSettingsFile();
    return 0;
}

}  // namespace MyApp
