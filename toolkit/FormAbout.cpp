#include "toolkit/FormAbout.h"

#include "platform/win/win32.h"
#include "toolkit/DialogForwarding.h"
#include "toolkit/DialogOwner.h"

#include "toolkit/OpenDocument.h"

namespace TekuUtility {

namespace pf = platform;

namespace {

constexpr wchar_t kEnter = L'\r';
constexpr wchar_t kEscape = 0x1B;
constexpr COLORREF kLinkColor = 0xFF0000;  // blue

// The dialog a child element lives in, through any panels in between.
FormAbout* ContainingDialog(GUIElement* element) {
    for (GUIElement* up = element->parent; IsLiveElement(up); up = up->parent) {
        if (auto* form = dynamic_cast<FormAbout*>(up)) {
            return form;
        }
    }
    return nullptr;
}

// Characters typed into any control of the dialog go to the dialog.
bool ForwardKeyPress(GUIElement* element, wchar_t character) {
    if (dynamic_cast<Child*>(element) == nullptr) {
        return true;
    }
    FormAbout* form = ContainingDialog(element);
    return form == nullptr || form->OnChar(character);
}

void ForwardLinkClick(GUIElement* element, HWND, int, int) {
    if (FormAbout* form = dialog::Live<FormAbout>(element->parent)) {
        form->OnLinkClick(element);
    }
}

}  // namespace

FormAbout::FormAbout(Form* ownerForm)
    : Form(ownerForm != nullptr ? ownerForm->instance : nullptr, kDialogStyle), owner(ownerForm) {
    topMost = false;
    titleFont.bold = true;
    linkFont.underline = true;
    font = &formFont;
    modalFrame = true;
    SetSize(600, 300);
    CenterOnScreen();
    SetText(std::string("Info..."));
    minimizeBox = false;
    maximizeBox = false;
    dialog::InstallForwarders(*this);
    KeyPress = &ForwardKeyPress;
    ownerHold.Take(owner, this);
}

FormAbout::~FormAbout() {
    // Closed here, while the object is still a FormAbout, so CanClose runs.
    CloseDialogWindow(*this);
    // A dialog that was never shown disabled its owner all the same.
    ownerHold.Release(owner, this);
    font = nullptr;
}

std::string FormAbout::MailAddressFor(const std::string& address) {
    if (address.size() <= kWebPrefixLength) {
        return kMailboxPrefix;
    }
    return kMailboxPrefix + address.substr(kWebPrefixLength);
}

void FormAbout::OnLoad() {
    pf::RECT client{};
    pf::GetClientRect(handle, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    const int textLeft = pictureWidth + 45;
    const int textWidth = clientWidth - pictureWidth - 55;

    picturePanel = children.Make<PanelChildren>(this);
    picturePanel->SetSize(pictureWidth + 20, clientHeight - 20);
    picturePanel->SetLocation(10, 10);
    picturePanel->border = true;  // sunken
    picturePanel->KeyPress = &ForwardKeyPress;
    picturePanel->Create();

    picture = children.Make<Image>(picturePanel, pictureId);
    picture->SetSize(pictureWidth, pictureHeight);
    picture->SetLocation(5, 5);
    picture->KeyPress = &ForwardKeyPress;
    picture->Create();

    auto makeLabel = [&](const std::string& labelText, Font* labelFont, int labelTop) {
        auto* label = children.Make<Label>(this, labelText);
        label->font = labelFont;
        label->SetSize(textWidth, 25);
        label->SetLocation(textLeft, labelTop);
        label->KeyPress = &ForwardKeyPress;
        label->Create();
        return label;
    };
    titleLabel = makeLabel(titleText, &titleFont, 10);
    subtitleLabel = makeLabel(subtitleText, &formFont, 35);

    // One link per row across the text column, so whole addresses fit.
    auto makeLink = [&](const std::string& linkText, int linkTop) {
        auto* link = children.Make<CellControl>(this);
        link->textColor = kLinkColor;
        link->textAlign = CellControl::kAlignLeft;
        link->SetText(linkText);
        link->SetHandCursor(true);
        link->MouseDown = &ForwardLinkClick;
        link->KeyPress = &ForwardKeyPress;
        link->font = &linkFont;
        link->SetSize(textWidth, 22);
        link->SetLocation(textLeft, linkTop);
        link->Create();
        return link;
    };
    webLink = makeLink(webAddress, 55);
    mailLink = makeLink(MailAddressFor(webAddress), 77);

    noticeBox = children.Make<TextBox>(this, noticeText);
    noticeBox->multiLine = true;
    noticeBox->readOnly = true;
    noticeBox->verticalScrollBar = true;
    noticeBox->SetSize(textWidth, clientHeight - 165);
    noticeBox->SetLocation(textLeft, 105);
    noticeBox->KeyPress = &ForwardKeyPress;
    noticeBox->Create();

    okButton = children.Make<Button>(this, "OK");
    okButton->SetSize(80, 25);
    okButton->SetLocation(textLeft + ((clientWidth - textLeft - 10) / 2) - 80 / 2,
                          clientHeight - 50);
    okButton->Command = &dialog::ForwardButton<FormAbout>;
    okButton->KeyPress = &ForwardKeyPress;
    okButton->Create();
    okButton->Focus();
}

bool FormAbout::CanClose() {
    ownerHold.Release(owner, this);
    return true;
}

void FormAbout::OnResized() {}

bool FormAbout::OnChar(wchar_t character) {
    if (character == kEnter || character == kEscape) {
        OnButtonClick(okButton);
        return false;
    }
    return true;
}

void FormAbout::OnFormKeyDown(int) {}

void FormAbout::OnFormKeyUp(int) {}

void FormAbout::OnButtonClick(GUIElement* element) {
    if (element == nullptr || element != okButton) {
        return;
    }
    pf::SendMessageW(handle, pf::WM_CLOSE, 0, 0);
    created = false;
}

void FormAbout::OnLinkClick(GUIElement* element) {
    if (element == nullptr) {
        return;
    }
    if (element == webLink) {
        OpenDocument(webAddress);
    } else if (element == mailLink) {
        OpenDocument("mailto:" + mailLink->GetTextA());
    }
}

void FormAbout::Create() {
    if (created) {
        return;
    }
    Form::Create();
    OnShow();
}

void FormAbout::OnShow() {
    SetClientSize(600, 300);
}

}  // namespace TekuUtility
