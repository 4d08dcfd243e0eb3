// Routing of native messages to elements: closing, the message loop's end, characters with
// key preview, Tab order, commands, timers, the mouse wheel, cursors and mouse coordinates.
#include <memory>

#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/PanelChildren.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;

using WindowProcedureTest = ToolkitTest;

bool refuseClose = true;

TEST_F(WindowProcedureTest, CloseIsAskedAndTheMainWindowsDestructionEndsTheLoop) {
    Form form(nullptr);
    form.Closing = [](GUIElement*) {
        Log().push_back("closing");
        return !refuseClose;
    };
    form.Destroyed = [](GUIElement*) { Log().push_back("destroyed"); };
    form.Create();
    ASSERT_EQ(mainWindow, form.handle);
    Form other(nullptr);  // not the main window: its end posts no quit
    other.Create();
    pf::DestroyWindow(other.handle);
    pf::headless::RunUntilIdle();
    EXPECT_FALSE(pf::headless::QuitPosted());

    refuseClose = true;
    EXPECT_EQ(Send(form, pf::WM_CLOSE), 1);
    EXPECT_TRUE(pf::IsWindow(form.handle));
    EXPECT_FALSE(form.destroyed);

    refuseClose = false;
    pf::PostMessageW(form.handle, pf::WM_CLOSE, 0, 0);
    RunMessageLoop(&form);  // returns only once the quit message arrives
    EXPECT_FALSE(pf::IsWindow(form.handle));
    EXPECT_TRUE(form.destroyed);
    EXPECT_EQ(Log(), (std::vector<std::string>{"closing", "closing", "destroyed"}));
}

bool childAnswer = true;

TEST_F(WindowProcedureTest, KeyPreviewOffersCharactersToTheParentAfterTheChild) {
    Form form(nullptr);
    form.keyPreview = true;
    form.KeyPress = [](GUIElement*, wchar_t c) {
        Log().push_back(std::string("form ") + static_cast<char>(c));
        return false;  // the parent's answer never decides
    };
    form.Create();
    TextBox box(&form, "");
    box.KeyPress = [](GUIElement*, wchar_t c) {
        Log().push_back(std::string("box ") + static_cast<char>(c));
        return childAnswer;
    };
    box.Create();

    childAnswer = true;
    Send(box, pf::WM_CHAR, L'a');
    EXPECT_EQ(Log(), (std::vector<std::string>{"box a", "form a"}));
    EXPECT_EQ(box.GetText(), L"a");

    Log().clear();
    childAnswer = false;
    EXPECT_EQ(Send(box, pf::WM_CHAR, L'b'), 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{"box b", "form b"}));
    EXPECT_EQ(box.GetText(), L"a");  // swallowed

    Log().clear();
    form.keyPreview = false;
    childAnswer = true;
    Send(box, pf::WM_CHAR, L'c');
    EXPECT_EQ(Log(), (std::vector<std::string>{"box c"}));
}

TEST_F(WindowProcedureTest, TabAndShiftTabMoveFocusAndStillReachKeyDown) {
    Form form(nullptr);
    form.Create();
    Button first(&form, "1");
    Button second(&form, "2");
    Button third(&form, "3");
    second.KeyDown = [](GUIElement*, int key) { Log().push_back("key " + std::to_string(key)); };
    for (Button* b : {&first, &second, &third}) {
        b->Create();
    }

    second.Focus();
    ASSERT_EQ(pf::GetFocus(), second.handle);
    Send(second, pf::WM_KEYDOWN, pf::VK_TAB);
    EXPECT_EQ(pf::GetFocus(), third.handle);
    EXPECT_EQ(Log(), (std::vector<std::string>{"key 9"}));

    pf::SetKeyDown(pf::VK_SHIFT, true);
    Send(third, pf::WM_KEYDOWN, pf::VK_TAB);
    EXPECT_EQ(pf::GetFocus(), second.handle);
    Send(second, pf::WM_KEYDOWN, pf::VK_TAB);
    EXPECT_EQ(pf::GetFocus(), first.handle);
    pf::SetKeyDown(pf::VK_SHIFT, false);
}

TEST_F(WindowProcedureTest, CommandsReachButtonsForEveryNotificationAndTimerMessagesTimers) {
    Form form(nullptr);
    form.Create();
    Button button(&form, "ok");
    button.Command = [](GUIElement* e) { Log().push_back(e->typeName); };
    button.Create();
    Label label(&form, "not a command element");
    label.Create();
    Timer timer(&form, 30);
    timer.Tick = [](GUIElement*) { Log().push_back("tick"); };
    timer.Start();

    Send(form, pf::WM_COMMAND, pf::MAKEWPARAM(button.id, pf::BN_CLICKED),
         reinterpret_cast<pf::LPARAM>(button.handle));
    Send(form, pf::WM_COMMAND, pf::MAKEWPARAM(button.id, 7),
         reinterpret_cast<pf::LPARAM>(button.handle));
    Send(form, pf::WM_COMMAND, pf::MAKEWPARAM(label.id, 0),
         reinterpret_cast<pf::LPARAM>(label.handle));
    // An accelerator with the button's id is no menu choice and no control.
    Send(form, pf::WM_COMMAND, pf::MAKEWPARAM(button.id, 1), 0);
    Send(form, pf::WM_TIMER, static_cast<pf::WPARAM>(button.id));  // a non-timer id
    Send(form, pf::WM_TIMER, 999999);                              // nobody's id
    Send(form, pf::WM_TIMER, static_cast<pf::WPARAM>(timer.id));
    EXPECT_EQ(Log(), (std::vector<std::string>{"button", "button", "tick"}));
}

// A form with a vertically scrolling panel (range 0..100, page 10) and a button.
class ScrollTest : public WindowProcedureTest {
  protected:
    void SetUp() override {
        form = std::make_unique<Form>(nullptr);
        form->Create();
        panel = std::make_unique<PanelChildren>(form.get());
        panel->verticalScrollBar = true;
        panel->SetSize(200, 200);
        panel->VerticalScroll = [](GUIElement*, std::int32_t d) {
            Log().push_back("v " + std::to_string(d));
        };
        panel->Create();
        button = std::make_unique<Button>(form.get(), "b");
        button->Create();
    }

    int Position() {
        pf::SCROLLINFO info{};
        info.fMask = pf::SIF_ALL;
        pf::GetScrollInfo(panel->handle, pf::SB_VERT, &info);
        return info.nPos;
    }
    pf::LRESULT Wheel(GUIElement& target, int delta) {
        return Send(target, pf::WM_MOUSEWHEEL, pf::MAKEWPARAM(0, delta), 0);
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<PanelChildren> panel;
    std::unique_ptr<Button> button;
};

TEST_F(ScrollTest, TheWheelOverANonPanelScrollsThePanelClickedLast) {
    Wheel(*button, -120);  // no panel clicked yet
    EXPECT_EQ(Position(), 0);
    EXPECT_TRUE(Log().empty());

    Send(*panel, pf::WM_LBUTTONDOWN, 0, pf::MAKELPARAM(5, 5));
    EXPECT_EQ(Wheel(*button, -1), 0);  // a page down, whatever the delta's size
    EXPECT_EQ(Position(), 10);
    Wheel(*button, 240);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{"v -10", "v 10"}));

    Log().clear();
    Send(*button, pf::WM_LBUTTONDOWN, 0, pf::MAKELPARAM(5, 5));  // clicking a non-panel
    EXPECT_EQ(wheelPanel, nullptr);
    Wheel(*button, -120);
    EXPECT_EQ(Position(), 0);
    EXPECT_TRUE(Log().empty());

    // The wheel over the panel itself scrolls it without a click.
    Wheel(*panel, -120);
    EXPECT_EQ(Position(), 10);

    // Activating a form forgets the panel clicked last.
    Send(*panel, pf::WM_LBUTTONDOWN, 0, pf::MAKELPARAM(5, 5));
    ASSERT_EQ(wheelPanel, panel.get());
    pf::SetForegroundWindowHandle(form->handle);
    Send(*form, pf::WM_ACTIVATE, pf::WA_ACTIVE);
    EXPECT_EQ(wheelPanel, nullptr);
    EXPECT_EQ(activeForm, form.get());
}

TEST_F(WindowProcedureTest, CursorsFollowTheFlagsAndMouseMessagesCarrySignedCoordinates) {
    Form form(nullptr);
    form.MouseDown = [](GUIElement*, pf::HWND, int x, int y) {
        Log().push_back(std::to_string(x) + "," + std::to_string(y));
    };
    form.RightMouseUp = form.MouseDown;
    form.Create();
    Button button(&form, "b");
    button.SetHandCursor(true);
    button.Create();
    EXPECT_EQ(Send(button, pf::WM_SETCURSOR, 0, pf::MAKELPARAM(pf::HTCLIENT, 0)), 1);
    EXPECT_EQ(pf::GetCursor(), handCursorHandle);
    button.SetHandCursor(false);
    button.SetWaitCursor(true);
    EXPECT_EQ(Send(button, pf::WM_SETCURSOR, 0, pf::MAKELPARAM(pf::HTCLIENT, 0)), 1);
    EXPECT_EQ(pf::GetCursor(), waitCursorHandle);

    Send(form, pf::WM_LBUTTONDOWN, 0, pf::MAKELPARAM(-3, 40));
    Send(form, pf::WM_RBUTTONUP, 0, pf::MAKELPARAM(12, -7));
    EXPECT_EQ(Log(), (std::vector<std::string>{"-3,40", "12,-7"}));
}

}  // namespace
}  // namespace toolkit_test
