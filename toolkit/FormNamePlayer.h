// A small dialog that asks for the player's name: a prompt, a name box of at most 10
// upper-case characters and an OK button. The accepted name is left in PlayerName. The owner
// stays disabled while the dialog is open.
#pragma once

#include <string>

#include "toolkit/Controls.h"
#include "toolkit/DialogOwner.h"
#include "toolkit/Form.h"
#include "toolkit/OwnedChildren.h"

namespace TekuUtility {

// The name last accepted by a FormNamePlayer in this run; empty until then.
extern std::string PlayerName;

class FormNamePlayer : public Form {
  public:
    static constexpr std::int32_t kNameLength = 10;

    Form* owner = nullptr;  // not owned
    // The controls, made by OnLoad; the dialog owns them.
    Label* label = nullptr;
    TextBox* nameBox = nullptr;
    Button* okButton = nullptr;
    std::string prompt;

    // Disables the owner, becomes its ownedDialog and creates the window at once (OnLoad
    // runs inside the constructor).
    FormNamePlayer(Form* ownerForm, HINSTANCE instance, const std::string& title);
    // Closes a window that is still open (so the owner is enabled again and Destroyed runs);
    // the controls go after it.
    ~FormNamePlayer() override;

    virtual void OnLoad();
    // Enables the owner again and clears its ownedDialog.
    virtual bool CanClose();
    virtual void OnResized();
    // Enter acts as OK and goes no further; every other character passes.
    virtual bool OnChar(wchar_t character);
    virtual void OnFormKeyDown(int key);
    virtual void OnFormKeyUp(int key);
    // OK: a non-empty name goes to PlayerName and the dialog closes; an empty one does nothing.
    virtual void OnButtonClick(GUIElement* element);

    void SetPrompt(const std::string& text);

  private:
    OwnerHold ownerHold;  // the owner is disabled on this dialog's account
    OwnedChildren children;
};

}  // namespace TekuUtility
