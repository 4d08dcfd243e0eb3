// Logical to device pixels: rectangles, points and lengths at the scales the game runs at,
// the letterbox of a window whose shape differs from its content, the first-start scale.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/win/scale.h"

namespace {

using namespace platform;
using win::ScaleMap;

class ScaleMapTest : public ::testing::TestWithParam<double> {};

TEST_P(ScaleMapTest, DevicePixelsTileTheContentAndMapBackToTheirLogicalPixel) {
    const ScaleMap map{GetParam(), POINT{7, 3}};
    const RECT panel = map.ToDevice(RECT{0, 0, 640, 480});
    EXPECT_EQ(panel.left, 7);
    EXPECT_EQ(panel.top, 3);
    EXPECT_EQ(panel.right - panel.left, static_cast<LONG>(std::ceil(640 * GetParam())));
    EXPECT_EQ(panel.bottom - panel.top, static_cast<LONG>(std::ceil(480 * GetParam())));
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

INSTANTIATE_TEST_SUITE_P(Scales, ScaleMapTest, ::testing::Values(1.0, 1.25, 2.0));

TEST(Letterbox, WiderAndTallerTargetsCentreTheContentWithBars) {
    const SIZE content{640, 525};
    const ScaleMap wide = win::Letterbox(content, SIZE{1920, 1080});
    EXPECT_NEAR(wide.scale, 1080.0 / 525, 1e-9);
    const RECT w = wide.ToDevice(RECT{0, 0, 640, 525});
    EXPECT_EQ(w.top, 0);
    EXPECT_EQ(w.bottom, 1080);
    EXPECT_LE(std::abs((w.left - 0) - (1920 - w.right)), 1);  // centred

    const ScaleMap tall = win::Letterbox(content, SIZE{1000, 2000});
    EXPECT_NEAR(tall.scale, 1000.0 / 640, 1e-9);
    const RECT t = tall.ToDevice(RECT{0, 0, 640, 525});
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.right, 1000);
    EXPECT_LE(std::abs(t.top - (2000 - t.bottom)), 1);

    const ScaleMap exact = win::Letterbox(content, SIZE{1280, 1050});
    EXPECT_EQ(exact.scale, 2.0);
    EXPECT_EQ(exact.origin.x, 0);
    EXPECT_EQ(exact.origin.y, 0);
}

struct Desktop {
    SIZE usable;
    double scale;
};

class FirstStartTest : public ::testing::TestWithParam<Desktop> {};

TEST_P(FirstStartTest, TakesTheLargestQuarterStepThatFits) {
    // The main window: 640 x 525 of content, a native frame with its title bar.
    EXPECT_EQ(win::FirstStartScale(SIZE{640, 525}, SIZE{2, 30}, GetParam().usable),
              GetParam().scale);
}

INSTANTIATE_TEST_SUITE_P(Desktops, FirstStartTest,
                         ::testing::Values(Desktop{SIZE{1366, 728}, 1.0},
                                           Desktop{SIZE{1920, 1040}, 1.5},
                                           Desktop{SIZE{3840, 2120}, 3.25},
                                           Desktop{SIZE{800, 600}, 1.0}));

}  // namespace
