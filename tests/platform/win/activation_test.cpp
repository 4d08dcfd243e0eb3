// The focus coming back when an owned dialog closes, and the program losing the keyboard or
// being minimised.
#include "winsys_fixture.h"

namespace winsys_test {
namespace {

class ActivationTest : public WinsysTest {
  protected:
    // A main window with an edit box that has the focus, and a modal dialog over it: the
    // owner disabled, the dialog's own edit box focused.
    void OpenModal() {
        main = TopLevel();
        edit = Child(main, L"Edit", 1, WS_TABSTOP);
        SetFocus(edit);
        EnableWindow(main, FALSE);
        dialog = TopLevel(WS_POPUP | WS_CAPTION | WS_VISIBLE, 500, 400, 200, 100, main);
        dialogEdit = Child(dialog, L"Edit", 2, WS_TABSTOP);
        SetFocus(dialogEdit);
        headless::RunUntilIdle();
    }

    HWND main = nullptr;
    HWND edit = nullptr;
    HWND dialog = nullptr;
    HWND dialogEdit = nullptr;
};

TEST_F(ActivationTest, ClosingTheDialogGivesTheFocusBackToTheControlThatHadIt) {
    OpenModal();
    EnableWindow(main, TRUE);
    DestroyWindow(dialog);
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), edit);

    // A control that went away meanwhile leaves the focus on the window itself.
    EnableWindow(main, FALSE);
    dialog = TopLevel(WS_POPUP | WS_CAPTION | WS_VISIBLE, 500, 400, 200, 100, main);
    DestroyWindow(edit);
    EnableWindow(main, TRUE);
    DestroyWindow(dialog);
    EXPECT_EQ(GetFocus(), main);
}

TEST_F(ActivationTest, APressOnAWindowDisabledUnderABoxForTheWholeProgramRaisesTheBox) {
    HWND top = TopLevel();
    HWND box = TopLevel(WS_POPUP | WS_CAPTION | WS_VISIBLE, 150, 150, 100, 80);  // owns nothing
    EnableWindow(top, FALSE);
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(WindowFromPoint(POINT{170, 170}), top);
    headless::Click(350, 250);
    EXPECT_EQ(WindowFromPoint(POINT{170, 170}), box);
    EXPECT_EQ(GetActiveWindow(), box);
}

TEST_F(ActivationTest, LosingTheKeyboardToAnotherProgramTellsEveryTopLevelWindowOnce) {
    OpenModal();
    Log().clear();
    headless::SetApplicationActive(false);
    headless::SetApplicationActive(false);
    EXPECT_EQ(Params(main, WM_ACTIVATEAPP), std::vector<WPARAM>{FALSE});
    EXPECT_EQ(Params(dialog, WM_ACTIVATEAPP), std::vector<WPARAM>{FALSE});
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    // A dialog closing in the background does not take the foreground.
    EnableWindow(main, TRUE);
    DestroyWindow(dialog);
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    headless::SetApplicationActive(true);
    EXPECT_EQ(Params(main, WM_ACTIVATEAPP), (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_EQ(GetForegroundWindow(), main);
}

TEST_F(ActivationTest, MinimisingSendsSizeMessagesAndTimersGoOn) {
    HWND top = TopLevel();
    SetTimer(top, 7, 30, nullptr);
    RECT client{};
    GetClientRect(top, &client);
    Log().clear();
    headless::Minimize(top, true);
    headless::Minimize(top, true);
    EXPECT_TRUE(IsIconic(top));
    ASSERT_EQ(Count(top, WM_SIZE), 1);
    EXPECT_EQ(Log().back().wParam, SIZE_MINIMIZED);
    headless::RunFor(100);
    EXPECT_EQ(Count(top, WM_TIMER), 3);

    headless::Minimize(top, false);
    EXPECT_FALSE(IsIconic(top));
    EXPECT_EQ(Log().back().message, WM_SIZE);
    EXPECT_EQ(Log().back().wParam, SIZE_RESTORED);
    EXPECT_EQ(Log().back().lParam, MAKELPARAM(client.right, client.bottom));
}

}  // namespace
}  // namespace winsys_test
