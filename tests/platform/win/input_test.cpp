// Input: keys and characters to the focus, focus and activation (the focus coming back when an
// owned dialog closes, the program losing the keyboard or being minimised), dialog keys,
// disabled windows, the mouse and its tracking.
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

using InputTest = WinsysTest;

TEST_F(InputTest, KeysReachTheFocusWindowAndTranslateToCharacters) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 1, 0);
    SetFocus(child);
    Press({'G'}, VK_SHIFT);
    Press({'1'});
    Press({'C'}, VK_CONTROL);  // a control character
    Press({VK_LEFT});          // no character
    EXPECT_TRUE(GetKeyState(VK_SHIFT) >= 0);
    EXPECT_EQ(Params(child, WM_CHAR), (std::vector<WPARAM>{'G', '1', 3}));
    EXPECT_EQ(Params(child, WM_KEYDOWN),
              (std::vector<WPARAM>{VK_SHIFT, 'G', '1', VK_CONTROL, 'C', VK_LEFT}));
    EXPECT_EQ(Count(top, WM_KEYDOWN), 0);
}

TEST_F(InputTest, SideSpecificKeysUpdateTheTableAndArriveAsGenericKeysOrSystemKeysWithoutFocus) {
    HWND top = TopLevel();
    headless::KeyDown(VK_LCONTROL);
    // The table follows the keys as their messages are taken from the queue.
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    headless::RunUntilIdle();
    EXPECT_LT(GetKeyState(VK_LCONTROL), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_RCONTROL), 0);
    headless::KeyUp(VK_LCONTROL);
    headless::RunUntilIdle();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    // Without a focus window keys reach the active window as system keys.
    SetFocus(nullptr);
    Press({'Q'});
    EXPECT_EQ(Count(top, WM_SYSKEYDOWN), 1);
    EXPECT_EQ(Params(top, WM_KEYDOWN), (std::vector<WPARAM>{VK_CONTROL}));
    // With no window at all the table still follows the keys.
    DestroyWindow(top);
    headless::KeyDown(VK_LEFT);
    headless::RunUntilIdle();
    EXPECT_LT(GetKeyState(VK_LEFT), 0);
    headless::KeyUp(VK_LEFT);
    headless::RunUntilIdle();
    EXPECT_GE(GetKeyState(VK_LEFT), 0);
}

TEST_F(InputTest, FocusMovesWithKillBeforeSetAndFollowsActivation) {
    HWND a = TopLevel();
    HWND edit1 = Child(a, L"Recorder", 1, WS_TABSTOP);
    HWND b = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 500, 500);
    EXPECT_EQ(GetFocus(), b);
    Log().clear();
    SetFocus(edit1);
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(GetFocus(), edit1);
    // b was deactivated and lost the focus; a was activated; then edit1 got the focus.
    EXPECT_EQ(Count(b, WM_KILLFOCUS), 1);
    EXPECT_EQ(Count(edit1, WM_SETFOCUS), 1);
    EXPECT_EQ(Count(a, WM_ACTIVATE), 1);
    // Activated again, a window gives the focus back to the child that had it.
    SetActiveWindow(b);
    SetActiveWindow(a);
    EXPECT_EQ(GetFocus(), edit1);
}

TEST_F(InputTest, TabOrderSkipsHiddenDisabledAndNonTabStopControlsAndWraps) {
    HWND top = TopLevel();
    HWND c1 = Child(top, L"Recorder", 1, WS_TABSTOP);
    HWND c2 = Child(top, L"Recorder", 2, 0);
    Child(top, L"Recorder", 3, WS_TABSTOP | WS_DISABLED);
    HWND c4 = Child(top, L"Recorder", 4, WS_TABSTOP);
    HWND c5 = Child(top, L"Recorder", 5, WS_TABSTOP);
    ShowWindow(c5, SW_HIDE);
    EXPECT_EQ(GetNextDlgTabItem(top, c1, FALSE), c4);
    EXPECT_EQ(GetNextDlgTabItem(top, c4, FALSE), c1);
    EXPECT_EQ(GetNextDlgTabItem(top, c1, TRUE), c4);
    EXPECT_EQ(GetNextDlgTabItem(top, c2, FALSE), c4);
    EXPECT_EQ(GetNextDlgTabItem(top, nullptr, FALSE), c1);
}

TEST_F(InputTest, DialogMessagesMoveFocusWithTabAndSendOkAndCancel) {
    HWND dlg = TopLevel();
    HWND e1 = Child(dlg, L"Edit", 10, WS_TABSTOP);
    HWND ok = Child(dlg, L"Button", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 50);
    SetFocus(e1);
    Press({VK_TAB}, 0, dlg);
    EXPECT_EQ(GetFocus(), ok);
    Press({VK_TAB}, VK_SHIFT, dlg);
    EXPECT_EQ(GetFocus(), e1);
    Log().clear();
    Press({VK_RETURN, VK_ESCAPE}, 0, dlg);
    EXPECT_EQ(Params(dlg, WM_COMMAND), (std::vector<WPARAM>{IDOK, IDCANCEL}));  // BN_CLICKED: 0
    // The keys never reached the edit as characters.
    EXPECT_EQ(GetWindowTextLengthW(e1), 0);
}

TEST_F(InputTest, DisabledWindowsGetNoInputAndLoseTheFocus) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 1, WS_TABSTOP);
    SetFocus(child);
    EnableWindow(child, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_NE(GetFocus(), child);
    Log().clear();
    POINT p = headless::ClientPoint(child, 5, 5);
    headless::Click(p.x, p.y);
    Press({'A'});
    EXPECT_EQ(Count(child, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Count(child, WM_KEYDOWN), 0);
    EXPECT_EQ(Count(child, WM_CHAR), 0);
    // A disabled top-level window takes nothing either, its children included.
    EnableWindow(child, TRUE);
    EnableWindow(top, FALSE);
    ClickAt(p.x, p.y);
    EXPECT_EQ(Count(child, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(SetFocus(child), nullptr);
}

TEST_F(InputTest, ClicksArriveInClientCoordinatesAndDoubleClicksNeedTheClassStyle) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 1, 0, 20, 30, 100, 50);
    POINT p = headless::ClientPoint(child, 7, 9);
    headless::Click(p.x, p.y);
    ClickAt(p.x, p.y);
    EXPECT_EQ(Params(child, WM_LBUTTONDOWN, &Received::lParam),
              std::vector<LPARAM>{MAKELPARAM(7, 9)});
    EXPECT_EQ(Count(child, WM_LBUTTONDBLCLK), 1);
    // Too late for a double click.
    clock_.AdvanceMs(600);
    ClickAt(p.x, p.y);
    EXPECT_EQ(Count(child, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(Count(child, WM_LBUTTONDOWN), 2);
}

TEST_F(InputTest, CaptureKeepsTheMouseAndTrackingGivesHoverOnceAndLeaveWhenThePointerGoes) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 1, 0, 0, 0, 50, 50);
    SetCapture(child);
    MoveTo(child, 120, 120);
    EXPECT_EQ(Count(child, WM_MOUSEMOVE), 1);
    ReleaseCapture();
    MoveTo(child, 121, 120);
    EXPECT_EQ(Count(child, WM_MOUSEMOVE), 1);
    MoveTo(child, 10, 10);
    TRACKMOUSEEVENT tme{
        .dwFlags = TME_HOVER | TME_LEAVE, .hwndTrack = child, .dwHoverTime = HOVER_DEFAULT};
    ASSERT_TRUE(TrackMouseEvent(&tme));
    headless::RunFor(399);
    EXPECT_EQ(Count(child, WM_MOUSEHOVER), 0);
    headless::RunFor(1);
    EXPECT_EQ(Count(child, WM_MOUSEHOVER), 1);
    headless::RunFor(1000);
    EXPECT_EQ(Count(child, WM_MOUSEHOVER), 1);
    MoveTo(child, 80, 80);
    EXPECT_EQ(Count(child, WM_MOUSELEAVE), 1);
}

TEST_F(InputTest, SetCursorAsksTheParentFirstAndUsesTheClassCursor) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 1, 0, 0, 0, 50, 50);
    MoveTo(child, 10, 10);
    EXPECT_EQ(Count(top, WM_SETCURSOR), 1);
    EXPECT_EQ(headless::CursorShape(), 32512);
    Hook() = [&](HWND h, UINT m, WPARAM, LPARAM lp, LRESULT* r) {
        if (h == top && m == WM_SETCURSOR && LOWORD(static_cast<WPARAM>(lp)) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            *r = TRUE;
            return true;
        }
        return false;
    };
    MoveTo(child, 11, 10);
    EXPECT_EQ(headless::CursorShape(), 32514);
}

TEST_F(InputTest, WheelGoesToTheFocusWindowAndBubblesToParents) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 1, 0);
    SetFocus(child);
    headless::Wheel(-WHEEL_DELTA, 10, 10);
    headless::RunUntilIdle();
    const std::vector<WPARAM> down{MAKEWPARAM(0, -WHEEL_DELTA)};
    EXPECT_EQ(Params(child, WM_MOUSEWHEEL), down);
    EXPECT_EQ(Params(top, WM_MOUSEWHEEL), down);
}

TEST_F(InputTest, HidingOrDestroyingTheFocusedChildMovesTheFocus) {
    HWND top = TopLevel();
    HWND a = Child(top, L"Recorder", 1, WS_TABSTOP);
    HWND b = Child(top, L"Recorder", 2, WS_TABSTOP);
    SetFocus(a);
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(GetFocus(), top);
    SetFocus(b);
    DestroyWindow(b);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(Count(b, WM_KILLFOCUS), 1);
    // Disabling a parent takes the focus from its children.
    HWND panel = Child(top, L"Recorder", 3, 0);
    HWND inner = Child(panel, L"Recorder", 4, 0);
    SetFocus(inner);
    EnableWindow(panel, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(inner), nullptr);  // enabled itself, but inside a disabled parent
    Press({'X'});
    EXPECT_EQ(Count(inner, WM_KEYDOWN), 0);
}

TEST_F(InputTest, ClickingAnInactiveWindowActivatesItButNotADisabledOne) {
    HWND a = TopLevel(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND b = TopLevel(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    EXPECT_EQ(GetForegroundWindow(), b);
    headless::Click(50, 50);
    EXPECT_EQ(GetForegroundWindow(), a);
    EnableWindow(b, FALSE);
    ClickAt(250, 50);
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(Count(b, WM_LBUTTONDOWN), 0);
}

TEST_F(InputTest, FocusGivenDuringCreationSurvivesTheActivationThatFollows) {
    static HWND edit = nullptr;
    edit = nullptr;
    Hook() = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_CREATE) {
            edit =
                CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 100, 25,
                                h, reinterpret_cast<HMENU>(std::uintptr_t{10}), nullptr, nullptr);
            SetFocus(edit);
        }
        return false;
    };
    HWND top = TopLevel();
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    EXPECT_EQ(GetForegroundWindow(), top);
    EXPECT_EQ(GetFocus(), edit);
    Type(L"ok");
    EXPECT_EQ(Text(edit), L"ok");
}

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
    const auto client = ClientEdges(top);
    Log().clear();
    headless::Minimize(top, true);
    headless::Minimize(top, true);
    EXPECT_TRUE(IsIconic(top));
    headless::RunFor(100);
    EXPECT_EQ(Count(top, WM_TIMER), 3);
    headless::Minimize(top, false);
    EXPECT_FALSE(IsIconic(top));
    ASSERT_EQ(Params(top, WM_SIZE), (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED}));
    EXPECT_EQ(Params(top, WM_SIZE, &Received::lParam)[1], MAKELPARAM(client[2], client[3]));
}

}  // namespace
}  // namespace winsys_test
