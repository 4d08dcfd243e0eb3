// The element model: stored versus applied properties, the Form's styles and sizing, the
// registry's lookups, owned children and the shared id counter.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"
#include "toolkit/OwnedChildren.h"
#include "toolkit/PanelChildren.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;

// The smallest concrete element: no native window of its own.
class BareElement : public GUIElement {
  public:
    void Create() override { created = true; }
};

using ElementModelTest = ToolkitTest;

TEST_F(ElementModelTest, NarrowTextIsWidenedByteByByte) {
    Form form(nullptr);
    Label label(&form, "");
    label.SetText(std::string("Citt\xE0 \xB0"));
    EXPECT_EQ(label.text, std::wstring(L"Citt\u00E0 \u00B0"));
    EXPECT_EQ(Narrow(L"a\u00E9\u4E2D"), std::string("a\xE9?"));
}

TEST_F(ElementModelTest, SettersStoreBeforeCreateAndApplyAfter) {
    Form form(nullptr);
    form.Create();
    Label label(&form, "before");
    label.SetText("stored");
    label.SetSize(120, 40);
    label.SetLocation(7, 9);
    label.SetEnabled(false);
    EXPECT_EQ(label.handle, nullptr);
    EXPECT_EQ(label.text, L"stored");

    label.Create();
    ASSERT_NE(label.handle, nullptr);
    EXPECT_EQ(label.GetText(), L"stored");
    EXPECT_FALSE(pf::IsWindowEnabled(label.handle));
    pf::RECT r{};
    pf::GetWindowRect(label.handle, &r);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 40);
    EXPECT_EQ(label.GetLocation().x, 7);
    EXPECT_EQ(label.GetLocation().y, 9);

    label.SetText(std::wstring(L"after"));
    EXPECT_EQ(label.GetText(), L"after");
    label.SetEnabled(true);
    EXPECT_TRUE(pf::IsWindowEnabled(label.handle));
    label.SetSize(60, 20);
    pf::GetWindowRect(label.handle, &r);
    EXPECT_EQ(r.right - r.left, 60);
    label.Hide();
    EXPECT_FALSE(label.visible);
    EXPECT_FALSE(pf::IsWindowVisible(label.handle));
    label.Show();
    EXPECT_TRUE(pf::IsWindowVisible(label.handle));

    // Text typed into the window is what GetText reports.
    pf::SetWindowTextW(label.handle, L"typed");
    EXPECT_EQ(label.GetText(), L"typed");
    EXPECT_EQ(label.text, L"typed");

    // Show creates an element not yet created; its font is made and applied by Create.
    Font font("Arial", 16);
    font.bold = true;
    Button button(&form, "go");
    button.font = &font;
    EXPECT_EQ(font.handle, nullptr);
    button.Show();
    EXPECT_TRUE(pf::IsWindowVisible(button.handle));
    ASSERT_NE(font.handle, nullptr);
    EXPECT_EQ(reinterpret_cast<pf::HFONT>(Send(button, pf::WM_GETFONT)), font.handle);
}

TEST_F(ElementModelTest, LookupByHandleFallsBackOnlyToTheLastElementStillWithoutHandle) {
    Form form(nullptr);
    form.Create();
    Button first(&form, "a");
    Button pending(&form, "b");
    const auto unknown = reinterpret_cast<pf::HWND>(std::intptr_t{0x7777});

    // The newest element has no window yet: unknown windows belong to it (its creation).
    EXPECT_EQ(FindElementByHandle(unknown), &pending);
    pending.Create();
    EXPECT_EQ(FindElementByHandle(pending.handle), &pending);
    EXPECT_EQ(FindElementByHandle(unknown), nullptr);
    // An older element without a handle never takes unknown windows.
    EXPECT_EQ(first.handle, nullptr);
    EXPECT_EQ(FindElementByHandle(unknown), nullptr);
}

TEST_F(ElementModelTest, FormsGetLoadOnceThroughTheirCreateMessage) {
    Form form(nullptr);
    form.Load = [](GUIElement* e) {
        // Raised from WM_CREATE: the handle is known, the form is not yet marked created.
        Log().push_back(e->handle != nullptr && !e->created ? "load-in-create" : "load-late");
    };
    form.Create();
    form.OnCreate(form.handle);
    pf::SendMessageW(form.handle, pf::WM_CREATE, 0, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{"load-in-create"}));
    EXPECT_EQ(mainWindow, form.handle);
}

TEST_F(ElementModelTest, IdsAreUniqueAcrossKindsInCreationOrder) {
    Form first(nullptr);
    first.Create();
    const std::int32_t firstId = first.id;

    Button button(&first, "b");
    button.Create();
    MenuBar bar(&first);
    Menu menu(&bar, "&File");
    SubMenu item(&menu, "&Esci");  // takes its id at construction
    Timer timer(&first, 10);
    timer.Start();
    PanelChildren panel(&first);
    panel.Create();
    Form second(nullptr);
    second.Create();

    EXPECT_EQ((std::vector{button.id, item.id, timer.id, panel.id, second.id}),
              (std::vector{firstId + 1, firstId + 2, firstId + 3, firstId + 4, firstId + 5}));
    EXPECT_EQ(pf::GetDlgCtrlID(button.handle), button.id);
    EXPECT_EQ(FindElementById(item.id), &item);
    EXPECT_EQ(FindMenuItemById(item.id), &item);
    EXPECT_EQ(FindMenuItemById(button.id), nullptr);  // not a menu item
    EXPECT_EQ(mainWindow, first.handle);              // the first form stays the main one
}

TEST_F(ElementModelTest, TheRegistryNeverReturnsADeletedElement) {
    Form form(nullptr);
    form.Create();
    auto button = std::make_unique<Button>(&form, "gone");
    button->Command = [](GUIElement*) { Log().push_back("command"); };
    button->Create();
    const pf::HWND buttonWindow = button->handle;
    const std::int32_t buttonId = button->id;
    auto panel = std::make_unique<PanelChildren>(&form);
    panel->Create();
    const pf::HWND panelWindow = panel->handle;
    Send(*panel, pf::WM_LBUTTONDOWN, 0, pf::MAKELPARAM(1, 1));
    EXPECT_EQ(wheelPanel, panel.get());

    button.reset();
    panel.reset();
    EXPECT_EQ(FindElementByHandle(buttonWindow), nullptr);
    EXPECT_EQ(FindElementById(buttonId), nullptr);
    EXPECT_EQ(wheelPanel, nullptr);
    EXPECT_FALSE(pf::IsWindow(panelWindow));

    // Late messages for the orphaned control reach no element (ASan guards the memory).
    pf::SendMessageW(buttonWindow, pf::WM_LBUTTONDOWN, 0, pf::MAKELPARAM(2, 2));
    pf::SendMessageW(buttonWindow, pf::WM_CHAR, L'a', 0);
    pf::SendMessageW(form.handle, pf::WM_COMMAND, pf::MAKEWPARAM(buttonId, 0),
                     reinterpret_cast<pf::LPARAM>(buttonWindow));
    pf::SendMessageW(form.handle, pf::WM_TIMER, static_cast<pf::WPARAM>(buttonId), 0);
    EXPECT_TRUE(Log().empty());
}

TEST_F(ElementModelTest, DeletingAnActiveFormOrDialogLeavesNoDanglingPointers) {
    Form owner(nullptr);
    owner.Create();
    auto dialog = std::make_unique<Form>(nullptr, kDialogStyle);
    dialog->Create();
    owner.ownedDialog = dialog.get();
    activeForm = dialog.get();
    dialog.reset();
    EXPECT_EQ(owner.ownedDialog, nullptr);
    // Closing the dialog may hand activation back to the owner, never to the deleted form.
    EXPECT_TRUE(activeForm == nullptr || activeForm == &owner);
    pf::SendMessageW(owner.handle, pf::WM_ACTIVATE, pf::WA_ACTIVE, 0);
}

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

// Notes its name in a shared log when it goes.
class LoggedElement : public GUIElement {
  public:
    LoggedElement(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}
    ~LoggedElement() override { log_.push_back(name_); }
    void Create() override { created = true; }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

using OwnedChildrenTest = ToolkitTest;

TEST_F(OwnedChildrenTest, ChildrenGoLastMadeFirstOnClearAndWithTheList) {
    std::vector<std::string> log;
    GUIElement* first = nullptr;
    {
        OwnedChildren children;
        first = children.Make<LoggedElement>(log, "panel");
        children.Make<LoggedElement>(log, "label");
        ASSERT_TRUE(IsLiveElement(first));
        children.Clear();
        EXPECT_EQ(log, (std::vector<std::string>{"label", "panel"}));
        EXPECT_FALSE(IsLiveElement(first));

        children.Make<LoggedElement>(log, "button");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"label", "panel", "button"}));
}

}  // namespace
}  // namespace toolkit_test
