// The Form base: window styles of the normal and dialog modes, client sizing and centring.
#include "toolkit/Form.h"
#include "tests/toolkit/ToolkitFixture.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;

using FormTest = ToolkitTest;

TEST_F(FormTest, WindowStylesOfTheNormalAndDialogModes) {
    Form normal(nullptr);
    EXPECT_EQ(normal.WindowStyle(), 0x10C90000u | pf::WS_MINIMIZEBOX | pf::WS_THICKFRAME);
    EXPECT_EQ(normal.WindowExStyle(), 0u);
    normal.minimizeBox = false;
    normal.maximizeBox = false;
    EXPECT_EQ(normal.WindowStyle(), 0x10C80000u);
    normal.caption = false;
    EXPECT_EQ(normal.WindowStyle(), pf::WS_POPUP);
    normal.SetEnabled(false);
    EXPECT_EQ(normal.WindowStyle(), pf::WS_POPUP | pf::WS_DISABLED);

    Form dialog(nullptr, kDialogStyle);
    dialog.caption = false;  // ignored in dialog mode
    EXPECT_EQ(dialog.WindowStyle(), 0x10C90000u);
    EXPECT_EQ(dialog.WindowExStyle(), 0x89u);
    dialog.topMost = false;
    dialog.modalFrame = true;
    dialog.maximizeBox = false;
    EXPECT_EQ(dialog.WindowStyle(), 0x10C80080u);
    EXPECT_EQ(dialog.WindowExStyle(), 0x81u);
}

TEST_F(FormTest, ClientSizeAddsTheFrameAndCentringUsesTheScreen) {
    Form form(nullptr);
    form.SetClientSize(640, 505);  // nothing before the window exists
    EXPECT_EQ(form.width, 100);
    form.Create();
    form.SetClientSize(640, 505);
    pf::RECT client{};
    pf::GetClientRect(form.handle, &client);
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 505);

    form.CenterOnScreen();
    const int screenWidth = pf::GetSystemMetrics(pf::SM_CXSCREEN);
    const int screenHeight = pf::GetSystemMetrics(pf::SM_CYSCREEN);
    pf::RECT outer{};
    pf::GetWindowRect(form.handle, &outer);
    EXPECT_EQ(outer.left, (screenWidth - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (screenHeight - (outer.bottom - outer.top)) / 2);
    EXPECT_EQ(form.left, outer.left);
}

}  // namespace
}  // namespace toolkit_test
