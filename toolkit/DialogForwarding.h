// Handler functions that turn a dialog form's element events into calls of the dialog's own
// virtual operations (OnLoad, CanClose, OnResized, OnFormKeyDown, OnFormKeyUp,
// OnButtonClick). An element that is gone, or is not such a dialog, gets nothing (and a
// close is allowed).
#pragma once

#include "toolkit/GUIElement.h"

namespace TekuUtility::dialog {

template <class Dialog>
Dialog* Live(GUIElement* element) {
    return IsLiveElement(element) ? dynamic_cast<Dialog*>(element) : nullptr;
}

template <class Dialog>
void ForwardLoad(GUIElement* element) {
    if (Dialog* form = Live<Dialog>(element)) {
        form->OnLoad();
    }
}

template <class Dialog>
bool ForwardClosing(GUIElement* element) {
    Dialog* form = Live<Dialog>(element);
    return form == nullptr || form->CanClose();
}

template <class Dialog>
void ForwardResize(GUIElement* element) {
    if (Dialog* form = Live<Dialog>(element)) {
        form->OnResized();
    }
}

template <class Dialog>
void ForwardKeyDown(GUIElement* element, int key) {
    if (Dialog* form = Live<Dialog>(element)) {
        form->OnFormKeyDown(key);
    }
}

template <class Dialog>
void ForwardKeyUp(GUIElement* element, int key) {
    if (Dialog* form = Live<Dialog>(element)) {
        form->OnFormKeyUp(key);
    }
}

// A button's Command, to the dialog it is a child of.
template <class Dialog>
void ForwardButton(GUIElement* element) {
    if (Dialog* form = Live<Dialog>(element->parent)) {
        form->OnButtonClick(element);
    }
}

// Installs the forwarders on the dialog's own handler fields (not KeyPress, whose routing
// differs from dialog to dialog).
template <class Dialog>
void InstallForwarders(Dialog& form) {
    form.Load = &ForwardLoad<Dialog>;
    form.Closing = &ForwardClosing<Dialog>;
    form.Resize = &ForwardResize<Dialog>;
    form.KeyDown = &ForwardKeyDown<Dialog>;
    form.KeyUp = &ForwardKeyUp<Dialog>;
}

}  // namespace TekuUtility::dialog
