#include "platform/sdlwin/child_view.h"

#include <gtest/gtest.h>

#include "platform/win/headless.h"
#include "platform/win/win32.h"

namespace {

using namespace platform;
using namespace platform::sdlwin;

// A 6 x 4 surface whose pixel (x, y) is 0xFF000000 | (y << 8) | x.
win::Surface Numbered() {
    win::Surface s;
    s.Resize(6, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            s.pixels[static_cast<std::size_t>(y * 6 + x)] =
                0xFF000000u | static_cast<std::uint32_t>(y << 8 | x);
        }
    }
    return s;
}

ChildFrame Solid(int w, int h, std::uint32_t colour) {
    ChildFrame f;
    f.width = w;
    f.height = h;
    f.pixels.assign(static_cast<std::size_t>(w * h), colour);
    return f;
}

std::uint32_t At(const std::vector<std::uint32_t>& p, int width, int x, int y) {
    return p[static_cast<std::size_t>(y * width + x)];
}

TEST(ComposeRegion, CopiesTheRegionRowByRow) {
    win::Surface s = Numbered();
    auto out = ComposeRegion(s, RECT{1, 1, 5, 3}, {});
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(At(out, 4, 0, 0), 0xFF000101u);
    EXPECT_EQ(At(out, 4, 3, 0), 0xFF000104u);
    EXPECT_EQ(At(out, 4, 0, 1), 0xFF000201u);
    EXPECT_EQ(At(out, 4, 3, 1), 0xFF000204u);
    // A region reaching past the surface is cut to it.
    EXPECT_EQ(ComposeRegion(s, RECT{4, 2, 10, 10}, {}).size(), 4u);
    EXPECT_TRUE(ComposeRegion(s, RECT{7, 0, 9, 2}, {}).empty());
}

TEST(ComposeRegion, AFrameCoversItsRectOnlyAndIsClippedToTheRegion) {
    win::Surface s = Numbered();
    ChildFrame big = Solid(10, 10, 0xFFAA0000u);
    // The child's area is (2,1)-(4,3): a larger frame shows only there.
    auto out = ComposeRegion(s, RECT{0, 0, 6, 4}, {PlacedFrame{RECT{2, 1, 4, 3}, &big}});
    EXPECT_EQ(At(out, 6, 2, 1), 0xFFAA0000u);
    EXPECT_EQ(At(out, 6, 3, 2), 0xFFAA0000u);
    EXPECT_EQ(At(out, 6, 4, 2), 0xFF000204u);
    EXPECT_EQ(At(out, 6, 2, 3), 0xFF000302u);
    EXPECT_EQ(At(out, 6, 1, 1), 0xFF000101u);

    // A smaller frame sits top-left; the rest of the area keeps the surface.
    ChildFrame small = Solid(1, 1, 0xFF00BB00u);
    out = ComposeRegion(s, RECT{0, 0, 6, 4}, {PlacedFrame{RECT{2, 1, 4, 3}, &small}});
    EXPECT_EQ(At(out, 6, 2, 1), 0xFF00BB00u);
    EXPECT_EQ(At(out, 6, 3, 1), 0xFF000103u);

    // Region (1,1)-(5,3) cuts a rect that starts left of and above it.
    out = ComposeRegion(s, RECT{1, 1, 5, 3}, {PlacedFrame{RECT{0, 0, 3, 3}, &big}});
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(At(out, 4, 0, 0), 0xFFAA0000u);
    EXPECT_EQ(At(out, 4, 1, 1), 0xFFAA0000u);
    EXPECT_EQ(At(out, 4, 2, 0), 0xFF000103u);
}

LRESULT PlainProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(h, m, wp, lp);
}

class ChildFramesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::Install();
        headless::Reset();
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = L"FrameHost";
        ASSERT_NE(RegisterClassW(&wc), 0);
        top = CreateWindowExW(0, L"FrameHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                              300, 200, nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExW(0, L"FrameHost", L"", WS_CHILD | WS_VISIBLE, 20, 30, 64, 48, top,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr);
        Notified() = nullptr;
        SetFrameListener([](HWND t) { Notified() = t; });
    }
    void TearDown() override {
        SetFrameListener(nullptr);
        RemoveChildFrame(child);
        headless::Reset();
    }
    static HWND& Notified() {
        static HWND h = nullptr;
        return h;
    }
    HWND top = nullptr;
    HWND child = nullptr;
};

TEST_F(ChildFramesTest, AFrameIsPlacedAtItsChildsClientAreaAndPresentsItsWindow) {
    std::vector<std::uint32_t> pixels(64 * 48, 0xFF123456u);
    ShowChildFrame(child, 64, 48, pixels.data());
    EXPECT_EQ(Notified(), top);
    auto placed = FramesOf(top);
    ASSERT_EQ(placed.size(), 1u);
    RECT want = win::RectInSurface(child, true);
    EXPECT_EQ(placed[0].rect.left, want.left);
    EXPECT_EQ(placed[0].rect.top, want.top);
    EXPECT_EQ(placed[0].rect.right - placed[0].rect.left, 64);
    EXPECT_EQ(placed[0].frame->pixels[0], 0xFF123456u);
    // The frame is copied: the device may reuse its buffer at once.
    pixels[0] = 0;
    EXPECT_EQ(FindChildFrame(child)->pixels[0], 0xFF123456u);
}

TEST_F(ChildFramesTest, HiddenChildrenShowNoFrameAndGoneOnesLoseIt) {
    std::vector<std::uint32_t> pixels(4, 0xFFFFFFFFu);
    ShowChildFrame(child, 2, 2, pixels.data());
    ShowWindow(child, SW_HIDE);
    EXPECT_TRUE(FramesOf(top).empty());
    ShowWindow(child, SW_SHOW);
    EXPECT_EQ(FramesOf(top).size(), 1u);
    DestroyWindow(child);
    EXPECT_TRUE(FramesOf(top).empty());
    EXPECT_EQ(FindChildFrame(child), nullptr);
    // An empty frame removes the one shown.
    HWND other = CreateWindowExW(0, L"FrameHost", L"", WS_CHILD | WS_VISIBLE, 0, 0, 8, 8, top,
                                 nullptr, nullptr, nullptr);
    ShowChildFrame(other, 2, 2, pixels.data());
    ShowChildFrame(other, 0, 0, nullptr);
    EXPECT_EQ(FindChildFrame(other), nullptr);
}

}  // namespace
