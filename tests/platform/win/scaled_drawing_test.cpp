// Drawing at device scale: the drawing calls take logical coordinates and land on the
// device pixels of the window's surface; text is measured in logical pixels and drawn at
// the device size.
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
    EXPECT_EQ(measured.cx, logical.cx);
    EXPECT_EQ(measured.cy, logical.cy);
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

INSTANTIATE_TEST_SUITE_P(Scales, ScaledDrawingTest, ::testing::Values(1.0, 1.25, 2.0));

}  // namespace
}  // namespace winsys_test
