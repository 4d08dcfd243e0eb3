// The one window procedure of every toolkit window, which routes native messages to the
// elements, and the program's message loop.
#pragma once

#include "platform/win/win32.h"
#include "platform/wintypes.h"

namespace TekuUtility {

class Form;
class PanelChildren;

platform::LRESULT WindowProcedure(platform::HWND window, platform::UINT message,
                                  platform::WPARAM wParam, platform::LPARAM lParam);

// Runs until the main window is destroyed. With a form in dialog mode, messages for the
// dialog go through IsDialogMessageW first.
void RunMessageLoop(Form* form);

// Routing state kept between messages. A deleted element clears itself from these.
extern platform::HCURSOR waitCursorHandle;
extern platform::HCURSOR handCursorHandle;
extern Form* activeForm;
extern PanelChildren* activePanel;
extern PanelChildren* wheelPanel;  // receives wheel scrolling over windows that are no panel
extern bool mouseTracking;

}  // namespace TekuUtility
