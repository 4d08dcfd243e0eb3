// Windows: creation order, destruction, geometry, placement (SetWindowPos and the window under a
// screen point), styles and texts.
#include <algorithm>

#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

using WindowsTest = WinsysTest;

TEST_F(WindowsTest, CreationDeliversNcCreateCreateSizeMoveThenShowAndActivate) {
    HWND h = TopLevel();
    ASSERT_NE(h, nullptr);
    const std::vector<UINT> order{WM_NCCREATE,   WM_CREATE,   WM_SIZE,
                                  WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS};
    auto msgs = MessagesFor(h);
    ASSERT_GE(msgs.size(), 2u);
    EXPECT_EQ(std::vector<UINT>(msgs.begin(), msgs.begin() + 2),
              std::vector<UINT>(order.begin(), order.begin() + 2));
    std::erase_if(msgs, [&](UINT m) { return std::ranges::find(order, m) == order.end(); });
    EXPECT_EQ(msgs, order);
    EXPECT_EQ(GetForegroundWindow(), h);
    EXPECT_EQ(GetFocus(), h);
    EXPECT_TRUE(IsWindowVisible(h));
}

TEST_F(WindowsTest, CreateReceivesTheCreateStructAndFailuresCreateNothing) {
    Hook() = [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT* r) {
        if (m == WM_CREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            EXPECT_EQ(cs->cx, 300);
            EXPECT_STREQ(cs->lpszName, L"Top");
            *r = -1;
            return true;
        }
        return false;
    };
    HWND h = TopLevel();
    EXPECT_EQ(h, nullptr);
    ASSERT_FALSE(Log().empty());
    HWND attempted = Log().front().window;
    EXPECT_FALSE(IsWindow(attempted));
    EXPECT_EQ(Count(attempted, WM_DESTROY), 1);
    // An unknown class, or a child without a parent.
    EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_EQ(CreateWindowExW(0, L"Recorder", L"", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
}

TEST_F(WindowsTest, CloseDestroysByDefaultParentFirstAndNcDestroyChildrenFirst) {
    HWND top = TopLevel();
    HWND child = Child(top, L"Recorder", 5, 0);
    Log().clear();
    SendMessageW(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& r : Log()) {
        if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) {
            order.emplace_back(r.window, r.message);
        }
    }
    std::vector<std::pair<HWND, UINT>> expected = {
        {top, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(WindowsTest, DestroyingTheMainWindowEndsGetMessageLoop) {
    Hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_DESTROY) {
            PostQuitMessage(7);
        }
        return false;
    };
    HWND top = TopLevel();
    PostMessageW(top, WM_CLOSE, 0, 0);
    MSG msg;
    int dispatched = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) != 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++dispatched;
        ASSERT_LT(dispatched, 100);
    }
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(IsWindow(top));
}

TEST_F(WindowsTest, PostedMessagesComeInOrderBeforePaint) {
    HWND top = TopLevel();
    headless::RunUntilIdle();
    Log().clear();
    InvalidateRect(top, nullptr, TRUE);
    PostMessageW(top, WM_USER + 1, 1, 0);
    PostMessageW(top, WM_USER + 2, 2, 0);
    headless::RunUntilIdle();
    const auto msgs = MessagesFor(top);
    ASSERT_GE(msgs.size(), 3u);
    EXPECT_EQ(std::vector<UINT>(msgs.begin(), msgs.begin() + 3),
              (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT}));
    EXPECT_EQ(Count(top, WM_PAINT), 1);
}

TEST_F(WindowsTest, ClientAreaExcludesFrameCaptionMenuAndScrollBars) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 400, 300);
    // Fixed frame 3 on each side, caption 23, then a menu bar of 20.
    EXPECT_EQ(ClientEdges(top), (std::array<LONG, 4>{0, 0, 400 - 6, 300 - 6 - 23}));
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 10, L"&File");
    Log().clear();
    SetMenu(top, bar);
    EXPECT_EQ(ClientEdges(top)[3], 300 - 6 - 23 - 20);
    EXPECT_EQ(Count(top, WM_SIZE), 1);
    SetWindowLongW(top, GWL_STYLE,
                   static_cast<LONG>(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_EQ(ClientEdges(top)[2], 400 - 16);
    HWND child = Child(top, L"Recorder", 3, WS_VSCROLL | WS_BORDER, 0, 0, 100, 50);
    EXPECT_EQ(ClientEdges(child), (std::array<LONG, 4>{0, 0, 100 - 2 - 17, 50 - 2}));
}

TEST_F(WindowsTest, ScreenAndClientCoordinatesRoundTripThroughNestedChildren) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 50, 60, 400, 300);
    HWND panel = Child(top, L"Recorder", 1, 0, 10, 20, 200, 100);
    HWND inner = Child(panel, L"Recorder", 2, 0, 5, 6, 50, 30);
    POINT p{1, 2};
    ClientToScreen(inner, &p);
    EXPECT_EQ((std::pair{p.x, p.y}),
              (std::pair<LONG, LONG>{50 + 3 + 10 + 5 + 1, 60 + 3 + 23 + 20 + 6 + 2}));
    ScreenToClient(inner, &p);
    EXPECT_EQ((std::pair{p.x, p.y}), (std::pair<LONG, LONG>{1, 2}));
    RECT r;
    GetWindowRect(inner, &r);
    POINT tl{r.left, r.top};
    ScreenToClient(panel, &tl);
    EXPECT_EQ((std::pair{tl.x, tl.y}), (std::pair<LONG, LONG>{5, 6}));
}

TEST_F(WindowsTest, TextLongValuesAndSubclassing) {
    HWND top = TopLevel();
    SetWindowTextW(top, L"Kryx");
    EXPECT_EQ(GetWindowTextLengthW(top), 4);
    wchar_t buffer[3];
    EXPECT_EQ(GetWindowTextW(top, buffer, 3), 2);
    EXPECT_STREQ(buffer, L"Kr");

    static int calls = 0;
    calls = 0;
    auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(top, GWLP_WNDPROC));
    static WNDPROC previous = nullptr;
    previous = old;
    SetWindowLongPtrW(
        top, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            ++calls;
            return CallWindowProcW(previous, h, m, w, l);
        }));
    SendMessageW(top, WM_USER, 0, 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Log().back().message, WM_USER);

    EXPECT_EQ(GetWindowLongW(nullptr, GWL_STYLE), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowsTest, ShowHideAndVisibilityOfChildrenFollowTheParent) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION);
    HWND child = Child(top, L"Recorder", 1, 0);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_FALSE(ShowWindow(top, SW_SHOWNA));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_NE(GetForegroundWindow(), top);  // shown without activation
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_EQ(Count(child, WM_SHOWWINDOW), 2);  // shown at creation, hidden now
}

TEST_F(WindowsTest, OwnedWindowsStayAboveTheirOwnerActivateItWhenDestroyedAndCloseWithIt) {
    HWND owner = TopLevel();
    auto open = [&] {
        return TopLevel(WS_POPUP | WS_CAPTION | WS_VISIBLE, 120, 120, 100, 100, owner);
    };
    HWND dialog = open();
    EXPECT_EQ(GetParent(dialog), owner);
    EXPECT_EQ(GetForegroundWindow(), dialog);
    Log().clear();
    DestroyWindow(dialog);
    EXPECT_EQ(GetForegroundWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);
    EXPECT_EQ(Count(owner, WM_ACTIVATE), 1);
    // Even with the owner active, a dialog covers it where they overlap.
    dialog = open();
    SetActiveWindow(owner);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), dialog);
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(WindowsTest, BackendsFindClientAreasAndTheContentBelowTheCaption) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 300, 200);
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 1, L"&Gioco");
    SetMenu(top, bar);
    HWND panel = Child(top, L"Recorder", 1, 0, 10, 20, 100, 50);
    RECT content = win::ContentRect(top);
    EXPECT_EQ(Edges(content), (std::array<LONG, 4>{3, 3 + 23, 300 - 3, 200 - 3}));
    EXPECT_EQ(Edges(win::RectInSurface(panel, true)),
              (std::array<LONG, 4>{3 + 10, 3 + 23 + 20 + 20, 3 + 110, 3 + 23 + 20 + 70}));
}

TEST_F(WindowsTest, IconsSetOnAWindowAreReadBackAndOnlyPopupsReportOwners) {
    HWND owner = TopLevel();
    HWND overlapped = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, owner);
    EXPECT_EQ(GetParent(overlapped), nullptr);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    EXPECT_EQ(SendMessageW(owner, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(SendMessageW(owner, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
    ASSERT_NE(win::IconPicture(icon), nullptr);
    EXPECT_EQ(win::IconPicture(icon)->width, 32);
    // The application icon is shared: destroying it keeps it usable.
    DestroyIcon(icon);
    EXPECT_NE(win::IconPicture(LoadIconW(nullptr, IDI_APPLICATION)), nullptr);
}

using PlacementTest = WinsysTest;

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

TEST_F(PlacementTest, MoveAndSizeFlagsKeepWhatTheyNameAndOnlyChangesAreReported) {
    HWND top = TopLevel(WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
    Log().clear();
    // Without SWP_NOSIZE a move keeps the size only when the same size is given.
    ASSERT_TRUE(SetWindowPos(top, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(Edges(WindowRect(top)), (std::array<LONG, 4>{150, 120, 450, 320}));
    EXPECT_EQ(Count(top, WM_MOVE), 1);
    EXPECT_EQ(Count(top, WM_SIZE), 0);

    Log().clear();
    ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(Edges(WindowRect(top)), (std::array<LONG, 4>{150, 120, 470, 360}));
    EXPECT_EQ(Count(top, WM_MOVE), 0);
    const auto client = ClientEdges(top);
    EXPECT_EQ(Params(top, WM_SIZE, &Received::lParam),  // the new client size
              std::vector<LPARAM>{MAKELPARAM(client[2], client[3])});

    // The same place and size again: nothing to report. A negative size is an empty window.
    Log().clear();
    ASSERT_TRUE(SetWindowPos(top, nullptr, 150, 120, 320, 240, SWP_NOZORDER));
    EXPECT_EQ(Count(top, WM_MOVE) + Count(top, WM_SIZE), 0);
    ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, -5, -5, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(Edges(WindowRect(top)), (std::array<LONG, 4>{150, 120, 150, 120}));
    EXPECT_FALSE(SetWindowPos(nullptr, nullptr, 0, 0, 1, 1, 0));
    SetWindowPos(top, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
    EXPECT_FALSE(IsWindowVisible(top));
}

TEST_F(PlacementTest, ThePointFindsTheTopmostVisibleDeepestWindow) {
    HWND back = TopLevel(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND front = TopLevel(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    HWND panel = Child(front, L"Recorder", 1, 0, 10, 10, 100, 100);
    HWND inner = Child(panel, L"Recorder", 2, 0, 10, 10, 20, 20);
    ShowWindow(Child(panel, L"Recorder", 3, 0, 50, 50, 40, 40), SW_HIDE);

    EXPECT_EQ(WindowFromPoint({50, 50}), back);       // only the back window is there
    EXPECT_EQ(WindowFromPoint({150, 150}), panel);    // the front one covers the back one
    EXPECT_EQ(WindowFromPoint({125, 125}), inner);    // down to the deepest child
    EXPECT_EQ(WindowFromPoint({140, 140}), panel);    // right and bottom edges are outside
    EXPECT_EQ(WindowFromPoint({165, 165}), panel);    // hidden children are passed over
    EXPECT_EQ(WindowFromPoint({250, 250}), front);    // beside the children
    EXPECT_EQ(WindowFromPoint({301, 301}), nullptr);  // no window at all

    // Brought to the top, the back window takes the overlap.
    SetWindowPos(back, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint({150, 150}), back);
    ShowWindow(back, SW_HIDE);
    EXPECT_EQ(WindowFromPoint({150, 150}), panel);
}

}  // namespace
}  // namespace winsys_test
