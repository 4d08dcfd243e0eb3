// The panel in a window of the headless window system: Create makes the device for the
// window's size, and paint messages draw frames.
#include <gtest/gtest.h>

#include "panel_test_support.h"
#include "platform/win/headless.h"

namespace TekuUtility {
namespace {

class PanelWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::headless::Install(); }
    void TearDown() override { platform::headless::Reset(); }
};

TEST_F(PanelWindowTest, CreateMakesTheDeviceForTheWindowAndPaintDrawsAFrame) {
    PanelChildren host(nullptr);
    host.popup = true;
    host.SetSize(700, 520);
    host.Create();
    ASSERT_NE(host.handle, nullptr);
    platform::ShowWindow(host.handle, platform::SW_SHOW);

    D3DPanelEx panel(&host);
    panel.SetSize(640, 480);
    panel.backColor = 0;
    panel.Create();
    ASSERT_NE(panel.handle, nullptr);
    ASSERT_NE(panel.device(), nullptr);
    EXPECT_EQ(panel.device()->BackBufferWidth(), 640);
    EXPECT_EQ(panel.device()->BackBufferHeight(), 480);
    auto* device = dynamic_cast<platform::gfx::HeadlessDevice*>(panel.device());
    ASSERT_NE(device, nullptr);

    // A second Create keeps the device it has.
    panel.Create();
    EXPECT_EQ(panel.device(), device);

    device->ClearLog();
    panel.renderFrame();
    EXPECT_EQ(device->Count("clear ff000000"), 1);
    EXPECT_EQ(device->Count("present"), 1);

    platform::InvalidateRect(panel.handle, nullptr, 1);
    platform::headless::RunUntilIdle();
    EXPECT_EQ(device->Count("present"), 2);

    // The projection follows the window's size at every frame.
    panel.SetSize(1280, 480);
    panel.renderFrame();
    const auto& p = panel.device()->GetTransform(platform::gfx::TransformState::Projection);
    EXPECT_FLOAT_EQ(p.m[1][1] / p.m[0][0], 2.0f);
}

}  // namespace
}  // namespace TekuUtility
