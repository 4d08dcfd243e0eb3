// The information dialog: a picture in a sunken panel, a title and a subtitle, a web link and
// a mail link, a read-only notice and an OK button. Enter or Escape anywhere in it closes it.
// The owner stays disabled while it is open.
//
// The mail link is the web address with its first 11 characters replaced by kMailboxPrefix
// ("info@"). Give it a web address of the form "http://www.<domain>" with no path, so that
// the 11 characters are exactly "http://www.": "http://www.kryxspace.example" gives the mail
// address "info@kryxspace.example".
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/CellControl.h"
#include "toolkit/Controls.h"
#include "toolkit/DialogOwner.h"
#include "toolkit/Form.h"
#include "toolkit/OwnedChildren.h"
#include "toolkit/PanelChildren.h"

namespace TekuUtility {

class FormAbout : public Form {
  public:
    // The mailbox that takes the place of the web address's scheme and host prefix.
    static constexpr const char* kMailboxPrefix = "info@";
    // Length of the prefix of the web address that the mailbox replaces ("http://www.").
    static constexpr std::size_t kWebPrefixLength = 11;

    Form* owner = nullptr;  // not owned
    Font formFont{"Arial", 14};
    Font titleFont{"Arial", 16};  // bold
    Font linkFont{"Arial", 16};   // underlined

    // The controls, made by OnLoad; the dialog owns them.
    PanelChildren* picturePanel = nullptr;
    Image* picture = nullptr;
    Label* titleLabel = nullptr;
    Label* subtitleLabel = nullptr;
    CellControl* webLink = nullptr;
    CellControl* mailLink = nullptr;
    TextBox* noticeBox = nullptr;
    Button* okButton = nullptr;

    // Content, set by the caller before Create.
    std::int32_t pictureId = 0;  // bitmap resource
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    std::string titleText;
    std::string subtitleText;
    std::string noticeText;
    std::string webAddress;

    // Disables the owner and becomes its ownedDialog; the window is made by Create, once the
    // content is filled in.
    explicit FormAbout(Form* ownerForm);
    // Closes a window that is still open (so the owner is enabled again and Destroyed runs);
    // the controls go after it, before the fonts they use.
    ~FormAbout() override;

    // The mail address shown for a web address: kMailboxPrefix in place of the first
    // kWebPrefixLength characters (of all of them, for a shorter address).
    static std::string MailAddressFor(const std::string& address);

    virtual void OnLoad();
    // Enables the owner again and clears its ownedDialog.
    virtual bool CanClose();
    virtual void OnResized();
    // Enter and Escape act as OK and go no further; every other character passes.
    virtual bool OnChar(wchar_t character);
    virtual void OnFormKeyDown(int key);
    virtual void OnFormKeyUp(int key);
    // Closes the dialog when the element is the OK button.
    virtual void OnButtonClick(GUIElement* element);
    // Opens the web page or a new mail to the address of the link.
    virtual void OnLinkClick(GUIElement* element);

    // Makes the window, which shows it, and gives it its client area at once: a window made
    // visible reports no later show, so OnShow would not run again.
    void Create() override;
    // Gives the window a client area of 600 x 300.
    void OnShow() override;

  private:
    OwnerHold ownerHold;  // the owner is disabled on this dialog's account
    OwnedChildren children;
};

}  // namespace TekuUtility
