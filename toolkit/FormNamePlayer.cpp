#include "toolkit/FormNamePlayer.h"

#include "platform/win/win32.h"
#include "toolkit/DialogForwarding.h"
#include "toolkit/DialogOwner.h"

namespace TekuUtility {

namespace pf = platform;

std::string PlayerName;

namespace {

constexpr wchar_t kEnter = L'\r';

// Characters typed into the name box go to the dialog that contains it.
bool ForwardKeyPress(GUIElement* element, wchar_t character) {
    if (dynamic_cast<TextBox*>(element) == nullptr) {
        return true;
    }
    FormNamePlayer* form = dialog::Live<FormNamePlayer>(element->parent);
    return form == nullptr || form->OnChar(character);
}

}  // namespace

FormNamePlayer::FormNamePlayer(Form* ownerForm, HINSTANCE moduleInstance, const std::string& title)
    : Form(moduleInstance, kDialogStyle), owner(ownerForm) {
    topMost = false;
    ownerHold.Take(owner, this);
    SetSize(250, 150);
    SetText(title);
    minimizeBox = false;
    maximizeBox = false;
    dialog::InstallForwarders(*this);
    KeyPress = &ForwardKeyPress;
    Create();
}

FormNamePlayer::~FormNamePlayer() {
    // Closed here, while the object is still a FormNamePlayer, so CanClose runs.
    CloseDialogWindow(*this);
    ownerHold.Release(owner, this);
}

void FormNamePlayer::OnLoad() {
    pf::RECT client{};
    pf::GetClientRect(handle, &client);
    const int clientWidth = client.right - client.left;

    label = children.Make<Label>(this, prompt);
    label->SetSize(clientWidth - 10, 25);
    label->SetLocation(5, 5);
    label->Create();

    nameBox = children.Make<TextBox>(this, "");
    nameBox->SetSize(clientWidth / 2 - 10, 25);
    nameBox->SetLocation(5, 35);
    nameBox->maxLength = kNameLength;
    nameBox->upperCase = true;
    // The top-ten file keeps one byte per character: the box shows only what it can keep.
    nameBox->narrowOnly = true;
    nameBox->KeyPress = &ForwardKeyPress;
    nameBox->Create();
    nameBox->Focus();

    okButton = children.Make<Button>(this, "OK");
    okButton->SetSize(80, 25);
    okButton->SetLocation(clientWidth / 2 + 5, 35);
    okButton->Command = &dialog::ForwardButton<FormNamePlayer>;
    okButton->Create();
}

bool FormNamePlayer::CanClose() {
    ownerHold.Release(owner, this);
    return true;
}

void FormNamePlayer::OnResized() {}

bool FormNamePlayer::OnChar(wchar_t character) {
    if (character == kEnter) {
        OnButtonClick(okButton);
        return false;
    }
    return true;
}

void FormNamePlayer::OnFormKeyDown(int) {}

void FormNamePlayer::OnFormKeyUp(int) {}

void FormNamePlayer::OnButtonClick(GUIElement* element) {
    if (element == nullptr || okButton == nullptr || element->id != okButton->id ||
        nameBox == nullptr) {
        return;
    }
    const std::string name = nameBox->GetTextA();
    if (name.empty()) {
        return;
    }
    PlayerName = name;
    pf::SendMessageW(handle, pf::WM_CLOSE, 0, 0);
    created = false;
}

void FormNamePlayer::SetPrompt(const std::string& text) {
    prompt = text;
    if (created && label != nullptr) {
        label->SetText(prompt);
    }
}

}  // namespace TekuUtility
