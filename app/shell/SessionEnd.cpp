// How the main window ends when the user's session does: nothing the player earned is lost.
#include "app/shell/FormMain.h"
#include "platform/win/win32.h"
#include "services/HighScoreStore.h"
#include "toolkit/Controls.h"
#include "toolkit/FormNamePlayer.h"

namespace MyApp {

void FormMain::EndSession() {
    if (sessionEnded_) {
        return;
    }
    sessionEnded_ = true;
    if (nameForm != nullptr) {
        // The name typed so far counts as confirmed; with none, the result goes in as closing
        // the form would register it.
        if (nameForm->nameBox != nullptr) {
            if (const std::string typed = nameForm->nameBox->GetTextA(); !typed.empty()) {
                TekuUtility::PlayerName = typed;
            }
        }
        DropNameForm(false);
    }
    fields.closeRequested = true;  // the window goes without the exit question
    if (fields.timer != nullptr && fields.timer->running) {
        fields.timer->Stop();
    }
    // Ends this loop and any message box's loop around it; RunProgram then deletes the form.
    platform::PostQuitMessage(0);
}

}  // namespace MyApp
