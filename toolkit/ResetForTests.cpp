#include "toolkit/ResetForTests.h"

#include "toolkit/FormNamePlayer.h"
#include "toolkit/GUIElement.h"
#include "toolkit/WindowProcedure.h"

namespace TekuUtility {

void ResetForTests() {
    mainWindow = nullptr;
    activeForm = nullptr;
    activePanel = nullptr;
    wheelPanel = nullptr;
    mouseTracking = false;
    PlayerName.clear();
}

}  // namespace TekuUtility
