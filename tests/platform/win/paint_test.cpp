// Painting: invalidation, WM_PAINT order and the paint record, erasing, z-order.
#include <algorithm>

#include "platform/images/images.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

using PaintTest = WinsysTest;

// Paints the client area in one colour per window, chosen by the window's id.
bool PaintById(HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
    if (m != WM_PAINT) {
        return false;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT c;
    GetClientRect(h, &c);
    COLORREF color = GetDlgCtrlID(h) == 1   ? RGB(255, 0, 0)
                     : GetDlgCtrlID(h) == 2 ? RGB(0, 0, 255)
                                            : RGB(0, 255, 0);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &c, brush);
    DeleteObject(brush);
    EndPaint(h, &ps);
    *r = 0;
    return true;
}

TEST_F(PaintTest, ParentsPaintBeforeChildrenAndChildrenStayOnTop) {
    Hook() = PaintById;
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 300, 200);
    HWND a = Child(top, L"Recorder", 1, 0, 10, 10, 50, 50);
    HWND b = Child(top, L"Recorder", 2, 0, 40, 40, 50, 50);  // overlaps a, created later
    headless::RunUntilIdle();
    const auto first = std::ranges::find(Log(), UINT{WM_PAINT}, &Received::message);
    ASSERT_NE(first, Log().end());
    EXPECT_EQ(first->window, top);
    EXPECT_EQ(headless::ClientPixel(a, 5, 5), 0xFF0000u);
    EXPECT_EQ(headless::ClientPixel(b, 5, 5), 0x0000FFu);  // b lies over a
    EXPECT_EQ(headless::ClientPixel(top, 200, 150), 0x00FF00u);
    // Repainting the parent alone leaves the children drawn over it.
    Log().clear();
    InvalidateRect(top, nullptr, TRUE);
    headless::RunUntilIdle();
    EXPECT_EQ(headless::ClientPixel(a, 5, 5), 0xFF0000u);
    EXPECT_EQ(Count(a, WM_PAINT), 1);
    EXPECT_EQ(WindowFromPoint(headless::ClientPoint(b, 2, 2)), b);
}

TEST_F(PaintTest, BeginPaintReportsTheUpdateRectangleAndErasesWithTheClassBrush) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 300, 200);
    headless::RunUntilIdle();
    RECT seen{};
    Hook() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_PAINT) {
            return false;
        }
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        seen = ps.rcPaint;
        EndPaint(h, &ps);
        *r = 0;
        return true;
    };
    RECT part{10, 20, 30, 40};
    RECT other{50, 5, 60, 25};
    InvalidateRect(top, &part, TRUE);
    InvalidateRect(top, &other, TRUE);
    Log().clear();
    headless::RunUntilIdle();
    EXPECT_EQ(Count(top, WM_ERASEBKGND), 1);
    EXPECT_EQ(Count(top, WM_PAINT), 1);
    EXPECT_EQ(Edges(seen), (std::array<LONG, 4>{10, 5, 60, 40}));  // both rectangles
    EXPECT_EQ(headless::ClientPixel(top, 15, 25), 0xF0F0F0u);
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceAndHiddenWindowsWait) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION, 0, 0, 300, 200);
    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(top);
    EXPECT_EQ(Count(top, WM_PAINT), 0);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    EXPECT_EQ(Count(top, WM_PAINT), 1);
    headless::RunUntilIdle();
    EXPECT_EQ(Count(top, WM_PAINT), 1);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(Count(top, WM_PAINT), 2);
}

TEST_F(PaintTest, AProcedureThatIgnoresPaintIsNotAskedForever) {
    Hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m == WM_PAINT) {
            *r = 0;
            return true;
        }
        return false;
    };
    HWND top = TopLevel();
    EXPECT_LT(headless::RunUntilIdle(), 10);
    EXPECT_EQ(Count(top, WM_PAINT), 1);
}

TEST_F(PaintTest, HidingAChildRepaintsWhatItCovered) {
    Hook() = PaintById;
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 300, 200);
    HWND a = Child(top, L"Recorder", 1, 0, 10, 10, 50, 50);
    headless::RunUntilIdle();
    POINT p = headless::ClientPoint(a, 5, 5);
    ShowWindow(a, SW_HIDE);
    headless::RunUntilIdle();
    ScreenToClient(top, &p);
    EXPECT_EQ(headless::ClientPixel(top, p.x, p.y), 0x00FF00u);
    // Moving shows it at the new place.
    SetWindowPos(a, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    headless::RunUntilIdle();
    EXPECT_EQ(headless::ClientPixel(top, 105, 105), 0xFF0000u);
    EXPECT_EQ(headless::ClientPixel(top, p.x, p.y), 0x00FF00u);
}

TEST_F(PaintTest, TopMostWindowsStayAboveOthers) {
    HWND low = TopLevel(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND high = TopLevel(WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
    SetWindowPos(low, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetActiveWindow(high);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), low);
    SetWindowPos(low, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(high, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), high);
    EXPECT_EQ(GetForegroundWindow(), high);
}

TEST_F(PaintTest, GetDcDrawsIntoTheClientAreaAndTheScreenPictureShowsIt) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 20, 30, 200, 100);
    headless::RunUntilIdle();
    HDC dc = GetDC(top);
    RECT r{0, 0, 10, 10};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(dc, &r, brush);
    // Drawing outside the client area is clipped away.
    RECT outside{-50, -50, -1, -1};
    FillRect(dc, &outside, brush);
    ReleaseDC(top, dc);
    DeleteObject(brush);
    EXPECT_EQ(headless::ClientPixel(top, 0, 0), 0x010203u);
    Image screen = headless::ScreenImage();
    EXPECT_EQ(screen.At(20 + 3, 30 + 3 + 23) & 0xFFFFFF, 0x010203u);
    EXPECT_NE(screen.At(20 + 3, 30 + 3) & 0xFFFFFF, 0x010203u);
    // Both pictures saved as PNG files read back the same.
    const std::string file = ::testing::TempDir() + "paint_test.png";
    const auto savedPixel = [&](int x, int y) {
        const std::optional<Image> saved = LoadImageFile(file);
        return saved && x < saved->width && y < saved->height ? saved->At(x, y) & 0xFFFFFF : 0u;
    };
    ASSERT_TRUE(headless::SaveWindowPng(top, file));
    EXPECT_EQ(savedPixel(3, 3 + 23), 0x010203u);
    ASSERT_TRUE(headless::SaveScreenPng(file));
    EXPECT_EQ(savedPixel(20 + 3, 30 + 3 + 23), 0x010203u);
}

}  // namespace
}  // namespace winsys_test
