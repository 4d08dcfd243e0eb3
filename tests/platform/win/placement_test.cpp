// Placing windows: SetWindowPos with its flags and the messages it sends, and which window
// lies under a screen point.
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

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
    ASSERT_EQ(Count(top, WM_SIZE), 1);
    RECT client{};
    GetClientRect(top, &client);
    for (const Received& m : Log()) {
        if (m.window == top && m.message == WM_SIZE) {
            EXPECT_EQ(LOWORD(m.lParam), client.right);  // the new client size
            EXPECT_EQ(HIWORD(m.lParam), client.bottom);
        }
    }

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
    HWND hidden = CreateWindowExW(0, L"Recorder", L"", WS_CHILD, 50, 50, 40, 40, panel, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(hidden, nullptr);

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
