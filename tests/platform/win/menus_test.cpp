// Menus: item state, and choosing from the bar by mouse and keyboard.
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

class MenusTest : public WinsysTest {
  protected:
    void SetUp() override {
        WinsysTest::SetUp();
        window_ = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 640, 400);
        bar_ = CreateMenu();
        game_ = CreateMenu();
        options_ = CreateMenu();
        AppendMenuW(game_, MF_STRING, 101, L"&Nuova partita");
        AppendMenuW(game_, MF_STRING | MF_GRAYED, 102, L"&Pausa");
        AppendMenuW(game_, MF_STRING, 103, L"&Esci");
        AppendMenuW(options_, MF_STRING | MF_CHECKED, 201, L"&Joystick");
        AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(game_), L"&Gioco");
        AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(options_), L"&Opzioni");
        SetMenu(window_, bar_);
        headless::RunUntilIdle();
        Log().clear();
    }

    // The ids of the commands the window received (menu commands: no notification code).
    std::vector<WPARAM> Chosen() { return Params(window_, WM_COMMAND); }

    // Screen point of the bar item whose left part starts `x` pixels into the bar.
    POINT BarPoint(int x) {
        RECT wr;
        GetWindowRect(window_, &wr);
        return POINT{wr.left + 3 + x, wr.top + 3 + 23 + 10};
    }

    HWND window_ = nullptr;
    HMENU bar_ = nullptr;
    HMENU game_ = nullptr;
    HMENU options_ = nullptr;
};

TEST_F(MenusTest, CheckAndGreyStatesAreKeptPerItemAndTheMenusDieWithTheWindow) {
    EXPECT_EQ(GetMenuState(options_, 201, MF_BYCOMMAND), MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(options_, 201, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(GetMenuState(options_, 201, MF_BYCOMMAND), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(game_, 102, MF_BYCOMMAND), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(game_, 102, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(game_, 102, MF_BYCOMMAND), 0u);
    // Greyed and checked together: the state holds both bits.
    CheckMenuItem(game_, 103, MF_CHECKED);
    EnableMenuItem(game_, 103, MF_GRAYED);
    EXPECT_EQ(GetMenuState(game_, 103, MF_BYCOMMAND), MF_CHECKED | MF_GRAYED);
    // Items are found through the bar too, and unknown ones report -1.
    EXPECT_EQ(GetMenuState(bar_, 201, MF_BYCOMMAND), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(bar_, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(CheckMenuItem(bar_, 999, MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(GetMenuItemCount(bar_), 2);
    EXPECT_EQ(GetMenu(window_), bar_);
    // An item without text is appended too.
    AppendMenuW(game_, MF_STRING, 104, nullptr);
    EXPECT_EQ(GetMenuItemCount(game_), 4);
    EXPECT_EQ(GetMenuState(game_, 104, MF_BYCOMMAND), 0u);
    // The window's menus die with it.
    DestroyWindow(window_);
    EXPECT_EQ(GetMenuItemCount(bar_), -1);
    EXPECT_EQ(GetMenuItemCount(game_), -1);
    EXPECT_FALSE(DestroyMenu(bar_));
}

TEST_F(MenusTest, ChoosingWithTheMouseSendsTheItemIdButNotForGreyedItems) {
    POINT g = BarPoint(10);
    ClickAt(g.x, g.y);
    // The drop-down opened below the bar; its rows are "Nuova partita", "Pausa", "Esci".
    ClickAt(g.x, g.y + 10 + 2 + 22 + 11);
    EXPECT_TRUE(Chosen().empty());
    ClickAt(g.x, g.y + 10 + 2 + 22 * 2 + 11);
    EXPECT_EQ(Chosen(), (std::vector<WPARAM>{103}));
    EXPECT_EQ(Params(window_, WM_COMMAND, &Received::lParam), std::vector<LPARAM>{0});
    EXPECT_EQ(Count(window_, WM_INITMENUPOPUP), 1);
}

TEST_F(MenusTest, AClickOutsideClosesTheMenuWithoutACommand) {
    POINT g = BarPoint(10);
    headless::Click(g.x, g.y);
    ClickAt(600, 380);
    EXPECT_TRUE(Chosen().empty());
    EXPECT_EQ(Count(window_, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Count(window_, WM_EXITMENULOOP), 1);
}

TEST_F(MenusTest, AloneAltThenArrowsAndEnter) {
    Press({VK_MENU});
    // Down opens "Gioco" on its first item, then "Pausa" (greyed but selectable), "Esci".
    Press({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(Chosen(), (std::vector<WPARAM>{103}));
    // Escape leaves the menus and keys reach the window again.
    Press({VK_MENU});
    Press({VK_ESCAPE});
    Press({'A'});
    EXPECT_EQ(Count(window_, WM_CHAR), 1);
}

TEST_F(MenusTest, TimersKeepRunningWhileAMenuIsOpen) {
    SetTimer(window_, 1, 30, nullptr);
    POINT g = BarPoint(10);
    headless::Click(g.x, g.y);
    headless::RunFor(300);
    EXPECT_EQ(Count(window_, WM_TIMER), 10);
}

TEST_F(MenusTest, AltAndTheMnemonicLettersChooseByKeyboardAndOpenCascades) {
    HMENU levels = CreatePopupMenu();
    AppendMenuW(levels, MF_STRING, 301, L"Livello &1");
    AppendMenuW(levels, MF_STRING, 302, L"Livello &2");
    AppendMenuW(options_, MF_POPUP, reinterpret_cast<UINT_PTR>(levels), L"&Livelli");
    EXPECT_EQ(GetMenuState(options_, 1, MF_BYPOSITION) & 0xFF, MF_POPUP);
    EXPECT_EQ(GetMenuState(options_, 1, MF_BYPOSITION) >> 8, 2u);
    Press({'O'}, VK_MENU);
    Press({'J'});
    Press({'O'}, VK_MENU);
    Press({'L', VK_DOWN, VK_RETURN});  // L opens the cascade
    EXPECT_EQ(Chosen(), (std::vector<WPARAM>{201, 302}));
    // The letters went to the menus, not to the window as characters.
    EXPECT_EQ(Count(window_, WM_CHAR), 0);
}

TEST_F(MenusTest, ArrowsMoveBetweenBarMenusAndEscapeStepsBack) {
    // Right highlights "Opzioni" and Enter opens it; Escape closes the drop-down but keeps the
    // bar active, where 'A' (no title's letter) is swallowed; Left and Down open "Gioco".
    Press({VK_MENU, VK_RIGHT, VK_RETURN, VK_ESCAPE, 'A', VK_LEFT, VK_DOWN, 'N'});
    EXPECT_EQ(Chosen(), (std::vector<WPARAM>{101}));
    EXPECT_EQ(Count(window_, WM_CHAR), 0);
    EXPECT_EQ(Count(window_, WM_INITMENU), 1);
}

TEST_F(MenusTest, MouseMovesBetweenOpenMenusOnTheBar) {
    POINT g = BarPoint(10);
    headless::Click(g.x, g.y);
    RECT wr;
    GetWindowRect(window_, &wr);
    // Slide along the bar until the second title opens.
    for (int x = 10; x < 200; x += 5) {
        headless::MouseMove(wr.left + 3 + x, g.y);
    }
    EXPECT_EQ(Count(window_, WM_INITMENUPOPUP), 2);
    // Clicking the open title again closes everything.
    headless::Click(g.x, g.y);
    ClickAt(g.x, g.y);
    EXPECT_EQ(Count(window_, WM_EXITMENULOOP), 1);
}

TEST_F(MenusTest, EscapeLeavesAMenuOpenedWithTheMouseWithNoTitleHighlighted) {
    // The first title's colour in the window's picture (frame 3, caption 23).
    auto title = [&] { return headless::WindowImage(window_)->At(13, 36); };
    const std::uint32_t plain = title();
    POINT g = BarPoint(10);
    ClickAt(g.x, g.y);
    EXPECT_NE(title(), plain);
    Press({VK_ESCAPE, 'A'});
    EXPECT_EQ(title(), plain);
    EXPECT_EQ(Count(window_, WM_CHAR), 1);  // the keys reach the window again
}

}  // namespace
}  // namespace winsys_test
