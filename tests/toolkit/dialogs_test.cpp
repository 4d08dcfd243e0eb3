// The name dialog and the About dialog: what the player can type, every way of closing them,
// the owner they disable while open, the links of the About dialog, and the z-order and focus
// around a dialog.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/FormAbout.h"
#include "toolkit/FormNamePlayer.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;
namespace hl = platform::headless;

// Records the addresses handed to the desktop instead of opening them.
class RecordingLauncher {
  public:
    explicit RecordingLauncher(bool result = true) {
        previous_ = pf::SetDesktopLauncher([this, result](const std::string& address) {
            opened.push_back(address);
            return result;
        });
    }
    ~RecordingLauncher() { pf::SetDesktopLauncher(previous_); }
    std::vector<std::string> opened;

  private:
    pf::DesktopLauncher previous_;
};

class DialogTest : public ToolkitTest {
  protected:
    void SetUp() override {
        owner = std::make_unique<Form>(nullptr);
        owner->Create();
    }

    bool OwnerEnabled() const { return pf::IsWindowEnabled(owner->handle) != 0; }

    // Input through the keyboard or mouse, each followed by the messages it causes.
    static void Type(const wchar_t* text) {
        hl::TypeText(text);
        hl::RunUntilIdle();
    }
    static void Press(int key) {
        hl::PressKey(key);
        hl::RunUntilIdle();
    }
    static void Click(HWND window) {
        hl::ClickClient(window, 5, 5);
        hl::RunUntilIdle();
    }

    static void CloseBox(HWND window) {
        // What the close box does: the system command, which asks WM_CLOSE.
        pf::SendMessageW(window, pf::WM_SYSCOMMAND, pf::SC_CLOSE, 0);
        hl::RunUntilIdle();
    }

    std::unique_ptr<FormNamePlayer> OpenNameDialog() {
        auto dialog = std::make_unique<FormNamePlayer>(owner.get(), nullptr, "Classifica");
        dialog->Destroyed = [](GUIElement*) { Log().push_back("destroyed"); };
        dialog->SetPrompt("Inserisci il tuo nome:");
        hl::RunUntilIdle();
        return dialog;
    }

    std::unique_ptr<FormAbout> OpenAbout() {
        auto about = std::make_unique<FormAbout>(owner.get());
        about->pictureId = 1006;
        about->pictureWidth = 164;
        about->pictureHeight = 50;
        about->titleText = "Kryx Space 1.0.0.0";
        about->subtitleText = "(C) Kryx Space";
        about->noticeText = "Uso libero.\r\nNessuna garanzia.";
        about->webAddress = "http://www.kryxspace.example";
        about->Destroyed = [](GUIElement*) { Log().push_back("about destroyed"); };
        about->Create();
        about->Show();
        hl::RunUntilIdle();
        return about;
    }

    static int Count(const std::string& entry) {
        return static_cast<int>(std::count(Log().begin(), Log().end(), entry));
    }

    std::unique_ptr<Form> owner;
};

TEST_F(DialogTest, NameDialogOverItsDisabledOwnerTakesTenUpperCaseCharactersOnEnter) {
    auto dialog = OpenNameDialog();
    EXPECT_FALSE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, dialog.get());
    EXPECT_EQ(pf::GetFocus(), dialog->nameBox->handle);
    EXPECT_EQ(dialog->width, 250);
    EXPECT_EQ(dialog->height, 150);

    Type(L"marco polo rossi");
    EXPECT_EQ(dialog->nameBox->GetText(), L"MARCO POLO");
    EXPECT_TRUE(PlayerName.empty());  // nothing accepted yet
    Press(pf::VK_RETURN);             // through the keyboard, translated into a character
    EXPECT_EQ(PlayerName, "MARCO POLO");
    EXPECT_FALSE(pf::IsWindow(dialog->handle));
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, nullptr);
    EXPECT_EQ(Count("destroyed"), 1);
}

TEST_F(DialogTest, OkWithAnEmptyNameLeavesTheDialogOpen) {
    PlayerName = "PREVIOUS";
    auto dialog = OpenNameDialog();
    hl::ClickClient(dialog->okButton->handle, 10, 10);
    Type(L"\r");
    EXPECT_TRUE(pf::IsWindow(dialog->handle));
    EXPECT_EQ(PlayerName, "PREVIOUS");
    EXPECT_FALSE(OwnerEnabled());
    EXPECT_EQ(Count("destroyed"), 0);

    dialog->nameBox->Focus();  // the click took the focus to the button
    Type(L"bo");
    Click(dialog->okButton->handle);
    EXPECT_EQ(PlayerName, "BO");
    EXPECT_FALSE(pf::IsWindow(dialog->handle));
    EXPECT_TRUE(OwnerEnabled());
}

TEST_F(DialogTest, CloseBoxOrDeletionKeepsThePreviousNameAndFreesTheOwner) {
    PlayerName = "OLD";
    auto dialog = OpenNameDialog();
    Type(L"new");
    CloseBox(dialog->handle);
    EXPECT_FALSE(pf::IsWindow(dialog->handle));
    EXPECT_EQ(PlayerName, "OLD");
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, nullptr);
    EXPECT_EQ(Count("destroyed"), 1);
    dialog.reset();  // deleting a closed dialog runs nothing more
    EXPECT_EQ(Count("destroyed"), 1);
    EXPECT_TRUE(OwnerEnabled());

    // Deleting an open one closes it through its own closing.
    auto open = OpenNameDialog();
    const HWND window = open->handle;
    open.reset();
    EXPECT_FALSE(pf::IsWindow(window));
    EXPECT_EQ(Count("destroyed"), 2);
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, nullptr);
}

TEST_F(DialogTest, EscapeOrEnterAnywhereClosesTheAboutDialogButNotTheNameDialog) {
    auto dialog = OpenNameDialog();
    Type(L"\x1b");
    EXPECT_TRUE(pf::IsWindow(dialog->handle));
    CloseBox(dialog->handle);

    auto about = OpenAbout();
    EXPECT_EQ(pf::GetFocus(), about->okButton->handle);
    EXPECT_FALSE(OwnerEnabled());
    Press(pf::VK_ESCAPE);
    EXPECT_FALSE(pf::IsWindow(about->handle));
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_EQ(Count("about destroyed"), 1);

    auto second = OpenAbout();
    second->noticeBox->Focus();
    Type(L"x");  // other characters pass on to the control
    EXPECT_TRUE(pf::IsWindow(second->handle));
    Type(L"\r");
    EXPECT_FALSE(pf::IsWindow(second->handle));
    auto third = OpenAbout();
    Click(third->okButton->handle);
    EXPECT_FALSE(pf::IsWindow(third->handle));
    EXPECT_TRUE(OwnerEnabled());
}

TEST_F(DialogTest, AboutDialogLayoutAndLinksToTheWebPageAndANewMail) {
    RecordingLauncher launcher;
    auto about = OpenAbout();
    pf::RECT client{};
    pf::GetClientRect(about->handle, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(about->GetText(), L"Info...");
    EXPECT_EQ(about->titleLabel->GetText(), L"Kryx Space 1.0.0.0");
    EXPECT_EQ(about->webLink->text, L"http://www.kryxspace.example");
    EXPECT_EQ(about->mailLink->text, L"info@kryxspace.example");
    EXPECT_TRUE(about->webLink->GetHandCursor());
    EXPECT_NE(about->picture->bitmap, nullptr);  // the bitmap resource was found
    // One link per row, each as wide as the text column.
    EXPECT_EQ(about->webLink->left, 164 + 45);
    EXPECT_EQ(about->mailLink->left, 164 + 45);
    EXPECT_GT(about->mailLink->top, about->webLink->top);
    EXPECT_EQ(about->mailLink->width, about->titleLabel->width);

    hl::ClickClient(about->webLink->handle, 5, 5);
    hl::ClickClient(about->mailLink->handle, 5, 5);
    Click(about->titleLabel->handle);
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{"http://www.kryxspace.example",
                                                         "mailto:info@kryxspace.example"}));
    EXPECT_TRUE(pf::IsWindow(about->handle));
    // The mail address replaces exactly eleven leading characters.
    EXPECT_EQ(FormAbout::MailAddressFor("https://www.x.example"), "info@.x.example");
    EXPECT_EQ(FormAbout::MailAddressFor(""), "info@");
}

TEST_F(DialogTest, ReplacingTheAboutDialogLeavesOneAndTheOwnerEnabledAtTheEnd) {
    auto countAbouts = [] {
        const auto& all = ElementRegistry();
        return std::count_if(all.begin(), all.end(),
                             [](GUIElement* e) { return dynamic_cast<FormAbout*>(e) != nullptr; });
    };
    FormAbout* about = OpenAbout().release();
    delete about;
    about = OpenAbout().release();
    EXPECT_EQ(countAbouts(), 1);
    EXPECT_FALSE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, about);
    EXPECT_EQ(Count("about destroyed"), 1);
    Type(L"\r");
    EXPECT_TRUE(OwnerEnabled());
    delete about;
    EXPECT_EQ(countAbouts(), 0);
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, nullptr);
}

TEST_F(DialogTest, AClosedDialogNoLongerSpeaksForTheOwner) {
    // An About dialog closed long ago must not enable the owner under a newer dialog.
    auto about = OpenAbout();
    Type(L"\x1b");
    auto dialog = OpenNameDialog();
    about.reset();
    EXPECT_FALSE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, dialog.get());

    // One that was never shown gives the owner back when deleted.
    CloseBox(dialog->handle);
    auto unshown = std::make_unique<FormAbout>(owner.get());
    EXPECT_FALSE(owner->enabled);
    unshown.reset();
    EXPECT_TRUE(OwnerEnabled());
    EXPECT_EQ(owner->ownedDialog, nullptr);
}

TEST_F(DialogTest, DialogsOutlivingTheirOwnerCloseSafely) {
    auto dialog = OpenNameDialog();
    auto about = OpenAbout();
    owner.reset();
    CloseBox(dialog->handle);
    dialog.reset();
    about.reset();
    EXPECT_EQ(Count("destroyed"), 1);
    EXPECT_EQ(Count("about destroyed"), 1);
}

class OwnedFormTest : public ToolkitTest {
  protected:
    void SetUp() override {
        PlayerName.clear();
        owner = std::make_unique<Form>(nullptr);
        owner->SetLocation(100, 100);
        owner->SetSize(500, 400);
        owner->Create();
        box = std::make_unique<TextBox>(owner.get(), "");
        box->SetLocation(10, 10);
        box->Create();
        box->Focus();
        hl::RunUntilIdle();
    }

    std::unique_ptr<Form> owner;
    std::unique_ptr<TextBox> box;
};

TEST_F(OwnedFormTest, TheNameDialogStaysOverItsOwnerAndTheFocusComesBackAfterIt) {
    auto dialog = std::make_unique<FormNamePlayer>(owner.get(), nullptr, "Classifica");
    dialog->SetLocation(300, 300);
    hl::RunUntilIdle();
    const pf::POINT overlap{320, 320};
    ASSERT_EQ(pf::WindowFromPoint(overlap), dialog->handle);

    // A press on the disabled owner, then the owner raised: the dialog stays in front.
    hl::Click(150, 250);
    pf::SetWindowPos(owner->handle, pf::HWND_TOP, 0, 0, 0, 0, pf::SWP_NOMOVE | pf::SWP_NOSIZE);
    hl::RunUntilIdle();
    EXPECT_EQ(pf::WindowFromPoint(overlap), dialog->handle);
    EXPECT_EQ(pf::GetActiveWindow(), dialog->handle);
    hl::TypeText(L"zoe\r");
    hl::RunUntilIdle();
    EXPECT_EQ(PlayerName, "ZOE");
    EXPECT_EQ(pf::GetFocus(), box->handle);
}

}  // namespace
}  // namespace toolkit_test
