// What a dialog form does to the form that owns it: keeps the owner disabled, with the dialog
// as its ownedDialog, while the dialog is open; and how a dialog closes its own window.
#pragma once

#include "toolkit/Form.h"

namespace TekuUtility {

class OwnerHold {
  public:
    // Disables the owner, when there is one, and makes `dialog` its ownedDialog.
    void Take(Form* owner, Form* dialog);
    // Enables the owner again and clears its ownedDialog when that is still `dialog`. Only
    // the first call after Take acts, and not on an owner that has been deleted.
    void Release(Form* owner, Form* dialog);

  private:
    bool held = false;  // the owner is disabled on the dialog's account
};

// Closes a dialog's window that is still open: WM_CLOSE, created cleared, then DestroyWindow
// when the close left the window. Called from the dialog's own destructor, while the object
// is still the dialog, so that its CanClose runs.
void CloseDialogWindow(Form& dialog);

}  // namespace TekuUtility
