// Logical to device pixels: the map at the scales the game runs at, the letterbox of a window
// whose shape differs from its content, the first-start scale; and drawing at device scale,
// where logical calls land on device pixels and text keeps its logical size.
#include <cmath>

#include "platform/win/backend.h"
#include "platform/win/scale.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

// The box around the pixels of `s` that differ from `background`.
RECT InkBox(const win::Surface& s, const RECT& area, std::uint32_t background) {
    RECT box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (s.At(x, y) == background) {
                continue;
            }
            box = RECT{std::min(box.left, static_cast<LONG>(x)),
                       std::min(box.top, static_cast<LONG>(y)),
                       std::max(box.right, static_cast<LONG>(x + 1)),
                       std::max(box.bottom, static_cast<LONG>(y + 1))};
        }
    }
    return box;
}

class ScaledDrawingTest : public WinsysTest, public ::testing::WithParamInterface<double> {};

TEST_P(ScaledDrawingTest, LogicalCallsLandOnDevicePixelsAndTextKeepsItsLogicalSize) {
    const double scale = GetParam();
    const HWND top = TopLevel(WS_POPUP | WS_VISIBLE, 0, 0, 120, 60);
    const HWND label = Child(top, L"STATIC", 1, SS_LEFT, 10, 10, 100, 30, L"Kryx Space");
    headless::RunUntilIdle();
    HDC dc = GetDC(label);
    SIZE logical{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Kryx Space", 10, &logical));
    ReleaseDC(label, dc);
    const RECT area{10, 10, 110, 40};
    const RECT inkAtOne = InkBox(*win::TopLevelSurface(top), area, 0xFFF0F0F0u);

    win::SetSurfaceScale(top, scale);
    headless::RunUntilIdle();
    const win::Surface& s = *win::TopLevelSurface(top);
    const win::ScaleMap map{scale, POINT{0, 0}};
    ASSERT_EQ(s.width, static_cast<int>(std::ceil(120 * scale)));
    dc = GetDC(label);
    SIZE measured{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Kryx Space", 10, &measured));
    EXPECT_EQ((std::pair{measured.cx, measured.cy}), (std::pair{logical.cx, logical.cy}));
    ReleaseDC(label, dc);
    // The label's ink grows with the scale (glyphs are hinted per size: a pixel or two).
    const RECT ink = InkBox(s, map.ToDevice(area), 0xFFF0F0F0u);
    EXPECT_NEAR(ink.right - ink.left, (inkAtOne.right - inkAtOne.left) * scale, 2 + scale);
    EXPECT_NEAR(ink.bottom - ink.top, (inkAtOne.bottom - inkAtOne.top) * scale, 2 + scale);

    dc = GetDC(top);
    const RECT fill{3, 44, 13, 49};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &fill, red);
    const RECT d = map.ToDevice(fill);
    EXPECT_EQ(s.At(d.left, d.top), 0xFFFF0000u);
    EXPECT_EQ(s.At(d.right - 1, d.bottom - 1), 0xFFFF0000u);
    EXPECT_NE(s.At(d.right, d.bottom - 1), 0xFFFF0000u);
    EXPECT_NE(s.At(d.left - 1, d.top), 0xFFFF0000u);
    EXPECT_EQ(GetPixel(dc, 12, 48), RGB(255, 0, 0));
    EXPECT_NE(GetPixel(dc, 13, 48), RGB(255, 0, 0));
    DeleteObject(red);
    ReleaseDC(top, dc);
}

TEST_P(ScaledDrawingTest, DevicePixelsTileTheContentAndMapBackToTheirLogicalPixel) {
    const win::ScaleMap map{GetParam(), POINT{7, 3}};
    const auto side = [&](int logical) {
        return static_cast<LONG>(std::ceil(logical * GetParam()));
    };
    EXPECT_EQ(Edges(map.ToDevice(RECT{0, 0, 640, 480})),
              (std::array<LONG, 4>{7, 3, 7 + side(640), 3 + side(480)}));
    for (int x = 0; x <= 640; ++x) {
        const POINT logical{x, 480 - x % 480};
        ASSERT_EQ(map.ToLogical(map.ToDevice(logical)).x, logical.x) << x;
        ASSERT_EQ(map.ToLogical(map.ToDevice(logical)).y, logical.y) << x;
    }
    // Every device pixel of the status cell belongs to a logical pixel inside it.
    const RECT cell = map.ToDevice(RECT{0, 481, 640, 506});
    for (int y = cell.top; y < cell.bottom; ++y) {
        const POINT p = map.ToLogical(POINT{cell.right - 1, y});
        ASSERT_EQ(p.x, 639);
        ASSERT_GE(p.y, 481);
        ASSERT_LT(p.y, 506);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledDrawingTest, ::testing::Values(1.0, 1.25, 2.0));

TEST(Letterbox, WiderAndTallerTargetsCentreTheContentWithBars) {
    const SIZE content{640, 525};
    const win::ScaleMap wide = win::Letterbox(content, SIZE{1920, 1080});
    EXPECT_NEAR(wide.scale, 1080.0 / 525, 1e-9);
    const RECT w = wide.ToDevice(RECT{0, 0, 640, 525});
    EXPECT_EQ(w.top, 0);
    EXPECT_EQ(w.bottom, 1080);
    EXPECT_LE(std::abs((w.left - 0) - (1920 - w.right)), 1);  // centred

    const win::ScaleMap tall = win::Letterbox(content, SIZE{1000, 2000});
    EXPECT_NEAR(tall.scale, 1000.0 / 640, 1e-9);
    const RECT t = tall.ToDevice(RECT{0, 0, 640, 525});
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.right, 1000);
    EXPECT_LE(std::abs(t.top - (2000 - t.bottom)), 1);

    const win::ScaleMap exact = win::Letterbox(content, SIZE{1280, 1050});
    EXPECT_EQ(exact.scale, 2.0);
    EXPECT_EQ((std::pair{exact.origin.x, exact.origin.y}), (std::pair<LONG, LONG>{0, 0}));
}

TEST(FirstStart, TakesTheLargestQuarterStepThatFits) {
    // The main window (640 x 525 of content, a native frame with its title bar) on desktops.
    const std::pair<SIZE, double> desktops[] = {
        {{1366, 728}, 1.0}, {{1920, 1040}, 1.5}, {{3840, 2120}, 3.25}, {{800, 600}, 1.0}};
    for (const auto& [usable, scale] : desktops) {
        EXPECT_EQ(win::FirstStartScale(SIZE{640, 525}, SIZE{2, 30}, usable), scale) << usable.cx;
    }
}

}  // namespace
}  // namespace winsys_test
