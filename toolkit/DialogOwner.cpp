#include "toolkit/DialogOwner.h"

#include "platform/win/win32.h"

namespace TekuUtility {

namespace pf = platform;

void OwnerHold::Take(Form* owner, Form* dialog) {
    if (owner == nullptr) {
        return;
    }
    owner->SetEnabled(false);
    owner->ownedDialog = dialog;
    held = true;
}

void OwnerHold::Release(Form* owner, Form* dialog) {
    if (held && IsLiveElement(owner)) {
        if (owner->ownedDialog == dialog) {
            owner->ownedDialog = nullptr;
        }
        owner->SetEnabled(true);
    }
    held = false;
}

void CloseDialogWindow(Form& dialog) {
    if (dialog.handle == nullptr || !pf::IsWindow(dialog.handle)) {
        return;
    }
    pf::SendMessageW(dialog.handle, pf::WM_CLOSE, 0, 0);
    dialog.created = false;
    if (pf::IsWindow(dialog.handle)) {
        pf::DestroyWindow(dialog.handle);
    }
}

}  // namespace TekuUtility
