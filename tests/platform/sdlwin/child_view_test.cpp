#include "platform/sdlwin/child_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win/headless.h"
#include "platform/win/win32.h"
#include "tests/platform/win/winsys_fixture.h"

namespace {

using namespace platform;
using namespace platform::sdlwin;

// A 6 x 4 surface whose pixel (x, y) is 0xFF000000 | (y << 8) | x.
win::Surface Numbered() {
    win::Surface s;
    s.Resize(6, 4);
    for (std::uint32_t i = 0; i < 24; ++i) {
        s.pixels[i] = 0xFF000000u | (i / 6) << 8 | i % 6;
    }
    return s;
}

ChildFrame Solid(int w, int h, std::uint32_t colour) {
    return {.width = w, .height = h, .pixels = std::vector<std::uint32_t>(w * h, colour)};
}

constexpr std::uint32_t kBig = 0xFFAA0000u, kSmall = 0xFF00BB00u;

// The composed picture of `region`, row by row: '.' where the surface shows at its own place,
// 'A' and 'b' where the big and the small frame show, '?' for anything else.
std::string Grid(const std::vector<std::uint32_t>& p, const RECT& region) {
    const int w = region.right - region.left;
    std::string out;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const int x = region.left + static_cast<int>(i) % w,
                  y = region.top + static_cast<int>(i) / w;
        const bool surface = p[i] == (0xFF000000u | static_cast<std::uint32_t>(y << 8 | x));
        out += surface ? '.' : p[i] == kBig ? 'A' : p[i] == kSmall ? 'b' : '?';
        out += (i + 1) % static_cast<std::size_t>(w) == 0 && i + 1 < p.size() ? "/" : "";
    }
    return out;
}

TEST(ComposeRegion, CopiesTheRegionCutToTheSurfaceWithFramesOverTheirRectsOnly) {
    const win::Surface s = Numbered();
    EXPECT_EQ(Grid(ComposeRegion(s, RECT{1, 1, 5, 3}, {}), RECT{1, 1, 5, 3}), "..../....");
    EXPECT_EQ(Grid(ComposeRegion(s, RECT{4, 2, 10, 10}, {}), RECT{4, 2, 6, 4}), "../..");
    EXPECT_TRUE(ComposeRegion(s, RECT{7, 0, 9, 2}, {}).empty());
    const ChildFrame big = Solid(10, 10, kBig), small = Solid(1, 1, kSmall);
    const RECT all{0, 0, 6, 4}, child{2, 1, 4, 3};
    // A larger frame shows only in its child's area; a smaller one sits top-left in it.
    EXPECT_EQ(Grid(ComposeRegion(s, all, {PlacedFrame{child, &big}}), all),
              "....../..AA../..AA../......");
    EXPECT_EQ(Grid(ComposeRegion(s, all, {PlacedFrame{child, &small}}), all),
              "....../..b.../....../......");
    // A region cuts a rect that starts left of and above it.
    const RECT region{1, 1, 5, 3};
    EXPECT_EQ(Grid(ComposeRegion(s, region, {PlacedFrame{RECT{0, 0, 3, 3}, &big}}), region),
              "AA../AA..");
}

class ChildFramesTest : public winsys_test::WinsysTest {
  protected:
    void SetUp() override {
        WinsysTest::SetUp();
        top = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200);
        child = Child(top, L"Recorder", 1, 0, 20, 30, 64, 48);
        ASSERT_NE(child, nullptr);
        Notified() = nullptr;
        SetFrameListener([](HWND t) { Notified() = t; });
    }
    void TearDown() override {
        SetFrameListener(nullptr);
        RemoveChildFrame(child);
        WinsysTest::TearDown();
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
    EXPECT_EQ(winsys_test::Edges(placed[0].rect),
              (std::array<LONG, 4>{want.left, want.top, want.left + 64, want.top + 48}));
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
    HWND other = Child(top, L"Recorder", 2, 0, 0, 0, 8, 8);
    ShowChildFrame(other, 2, 2, pixels.data());
    ShowChildFrame(other, 0, 0, nullptr);
    EXPECT_EQ(FindChildFrame(other), nullptr);
}

// A frame drawn in place stays while the window's back buffer holds it; shown since, or drawn
// for another place or drawable size, it is drawn again by a WM_PAINT to its child, and that
// new frame tells the listener nothing (the window is being drawn already).
TEST_F(ChildFramesTest, FramesDrawnInPlaceAreDrawnAgainOnceTheBackBufferNoLongerHoldsThem) {
    const win::ScaleMap map{1.0, POINT{0, 0}};
    const SIZE drawable{300, 200};
    const auto drawnAt = [&](SIZE size) {
        const RECT r = win::RectInSurface(child, true);
        return ChildDrawable{size, r};
    };
    winsys_test::Hook() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (h == child && m == WM_PAINT) {
            ShowChildDrawnInPlace(child, 64, 48, 1.0, drawnAt(drawable));
            return true;
        }
        return false;
    };
    ShowChildDrawnInPlace(child, 64, 48, 1.0, drawnAt(drawable));
    EXPECT_EQ(Notified(), top);
    Notified() = nullptr;
    const auto paints = [&] {
        winsys_test::Log().clear();
        RedrawStaleFrames(FramesOf(top), map, drawable);
        const std::vector<UINT> seen = winsys_test::MessagesFor(child);
        return std::count(seen.begin(), seen.end(), static_cast<UINT>(WM_PAINT));
    };
    ASSERT_TRUE(HeldInPlace(FramesOf(top)[0], map, drawable));
    EXPECT_EQ(paints(), 0);

    MarkFramesShown(FramesOf(top));
    EXPECT_FALSE(HeldInPlace(FramesOf(top)[0], map, drawable));
    EXPECT_EQ(paints(), 1);
    EXPECT_TRUE(HeldInPlace(FramesOf(top)[0], map, drawable));
    EXPECT_EQ(Notified(), nullptr);

    // The drawable grew, or the content moved in it: the frame is not where it is wanted.
    EXPECT_EQ(paints(), 0);
    EXPECT_FALSE(HeldInPlace(FramesOf(top)[0], map, SIZE{400, 200}));
    EXPECT_FALSE(HeldInPlace(FramesOf(top)[0], win::ScaleMap{1.0, POINT{0, 10}}, drawable));
    ShowChildDrawnInPlace(child, 64, 48, 1.0, drawnAt(SIZE{400, 200}));
    EXPECT_EQ(paints(), 1);
}

}  // namespace
