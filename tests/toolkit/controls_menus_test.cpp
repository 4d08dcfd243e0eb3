// Controls and menus: text box limits and case, timers, images, and the menu tree with
// checkable, greyed and empty items.
#include <memory>

#include "platform/clock.h"

#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/Menus.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;

using ControlsTest = ToolkitTest;

void Type(GUIElement& element, const std::wstring& characters) {
    for (wchar_t c : characters) {
        pf::SendMessageW(element.handle, pf::WM_CHAR, c, 0);
    }
}

TEST_F(ControlsTest, ANameBoxTakesTenCharactersInUpperCaseAndAReadOnlyBoxNone) {
    Form form(nullptr);
    form.Create();
    TextBox box(&form, "");
    box.upperCase = true;
    box.SetMaxLength(10);  // stored, applied by Create
    box.Create();
    Type(box, L"giocatore123");
    EXPECT_EQ(box.GetText(), L"GIOCATORE1");
    EXPECT_EQ(box.GetTextA(), "GIOCATORE1");

    box.SetMaxLength(12);  // applied at once on a created box
    Type(box, L"xyz");
    EXPECT_EQ(box.GetText(), L"GIOCATORE1XY");

    // ApplyStyle changes a created box (and does nothing before Create).
    TextBox fixed(&form, "abc");
    fixed.ApplyStyle();
    fixed.Create();
    fixed.readOnly = true;
    fixed.ApplyStyle();
    EXPECT_NE(pf::GetWindowLongW(fixed.handle, pf::GWL_STYLE) & pf::ES_READONLY, 0u);
    Type(fixed, L"d");
    EXPECT_EQ(fixed.GetText(), L"abc");
}

TEST_F(ControlsTest, ATimerTicksUntilStoppedAndKeepsItsIdAcrossRestarts) {
    pf::ScopedFakeClock clock;
    pf::headless::UseFakeClock(&clock.clock());
    Form form(nullptr);
    form.Create();
    Timer timer(&form, 30);
    timer.Tick = [](GUIElement*) { Log().push_back("tick"); };
    timer.Stop();  // idle: nothing
    timer.Start();
    const std::int32_t id = timer.id;
    const pf::HWND window = timer.handle;
    EXPECT_FALSE(pf::IsWindowVisible(window));  // the hidden holder of the id
    const std::int32_t counter = idCounter;
    timer.Start();
    pf::headless::RunFor(100);
    EXPECT_EQ(Log().size(), 3u);
    timer.Stop();
    EXPECT_FALSE(timer.running);
    pf::headless::RunFor(100);
    EXPECT_EQ(Log().size(), 3u);
    timer.Start();
    EXPECT_EQ(timer.id, id);
    EXPECT_EQ(timer.handle, window);
    EXPECT_EQ(idCounter, counter);
    pf::headless::UseFakeClock(nullptr);
}

TEST_F(ControlsTest, AMissingPictureFileLeavesTheImageEmpty) {
    Form form(nullptr);
    form.Create();
    Image image(&form, "missing-picture.bmp");
    image.Create();
    EXPECT_TRUE(image.created);
    EXPECT_EQ(image.bitmap, nullptr);
}

// ---- Menus ----

class MenuTest : public ToolkitTest {
  protected:
    void SetUp() override {
        form = std::make_unique<Form>(nullptr);
        form->Create();
        bar = std::make_unique<MenuBar>(form.get());
        options = std::make_unique<Menu>(bar.get(), "&Opzioni");
        joystick = std::make_unique<SubMenu>(options.get(), "&Abilita Joystick");
        joystick->checkable = true;
        joystick->Command = [](GUIElement* e) {
            Log().push_back(static_cast<SubMenu*>(e)->checked ? "checked" : "unchecked");
        };
    }
    pf::UINT State(const SubMenu& item) {
        return pf::GetMenuState(options->menuHandle, static_cast<pf::UINT>(item.id),
                                pf::MF_BYCOMMAND);
    }
    void Choose(const SubMenu& item) {
        pf::SendMessageW(form->handle, pf::WM_COMMAND, pf::MAKEWPARAM(item.id, 0), 0);
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<MenuBar> bar;
    std::unique_ptr<Menu> options;
    std::unique_ptr<SubMenu> joystick;
};

TEST_F(MenuTest, TheBarIsBuiltInOnePassAndSetOnTheForm) {
    options->Create();  // waits for its bar
    joystick->Create();
    EXPECT_FALSE(options->created);
    EXPECT_FALSE(joystick->created);
    bar->Create();
    EXPECT_TRUE(bar->created);
    EXPECT_EQ(pf::GetMenu(form->handle), bar->menuHandle);
    EXPECT_TRUE(options->created);
    EXPECT_TRUE(joystick->created);
    EXPECT_EQ(joystick->handle, nullptr);  // a plain item has no menu of its own
    EXPECT_EQ(pf::GetMenuItemCount(bar->menuHandle), 1);
    EXPECT_EQ(pf::GetMenuItemCount(options->menuHandle), 1);

    // A second Create keeps the tree instead of setting an empty bar.
    const pf::HMENU first = bar->menuHandle;
    bar->Create();
    EXPECT_EQ(pf::GetMenu(form->handle), first);

    // Items made later attach and create themselves at once, at the end.
    SubMenu late(options.get(), "&Tardi");
    EXPECT_TRUE(late.created);
    EXPECT_EQ(pf::GetMenuItemCount(options->menuHandle), 2);
}

TEST_F(MenuTest, ACheckableItemTogglesBeforeItsCommand) {
    bar->Create();
    Choose(*joystick);
    EXPECT_NE(State(*joystick) & pf::MF_CHECKED, 0u);
    Choose(*joystick);
    EXPECT_EQ(State(*joystick) & pf::MF_CHECKED, 0u);
    EXPECT_EQ(Log(), (std::vector<std::string>{"checked", "unchecked"}));
    EXPECT_FALSE(joystick->IsChecked());

    // A checked item that is not checkable shows no mark.
    joystick->checkable = false;
    joystick->SetChecked(true);
    EXPECT_EQ(State(*joystick) & pf::MF_CHECKED, 0u);
    joystick->SetCheckable(true);
    EXPECT_NE(State(*joystick) & pf::MF_CHECKED, 0u);
    joystick->SetChecked(false);
    EXPECT_EQ(State(*joystick) & pf::MF_CHECKED, 0u);
    // Choosing a non-checkable item leaves its flag alone.
    joystick->checkable = false;
    Choose(*joystick);
    EXPECT_FALSE(joystick->checked);
}

TEST_F(MenuTest, AnItemCreatedWhileDisabledIsGreyedUntilEnabled) {
    joystick->SetEnabled(false);
    bar->Create();
    EXPECT_NE(State(*joystick) & pf::MF_GRAYED, 0u);
    joystick->SetEnabled(true);
    EXPECT_EQ(State(*joystick) & pf::MF_GRAYED, 0u);
    joystick->SetEnabled(false);
    EXPECT_NE(State(*joystick) & pf::MF_GRAYED, 0u);
}

TEST_F(MenuTest, CascadingItemsAndEmptyTexts) {
    SubMenu cascade(options.get(), "&Altro");
    SubMenu inner(&cascade, "&Dentro");
    SubMenu blank(options.get(), "");
    blank.checked = true;  // not checkable: created without a mark
    Label stray(form.get(), "x");
    SubMenu unattached(&stray, "&Nessuno");  // a parent of another kind: not attached
    bar->Create();
    EXPECT_NE(cascade.popupHandle, nullptr);
    EXPECT_EQ(inner.ParentMenuHandle(), cascade.popupHandle);
    EXPECT_EQ(pf::GetMenuItemCount(cascade.popupHandle), 1);
    EXPECT_TRUE(blank.created);
    EXPECT_EQ(State(blank) & pf::MF_CHECKED, 0u);
    EXPECT_EQ(pf::GetMenuItemCount(options->menuHandle), 3);
    EXPECT_FALSE(unattached.created);
    EXPECT_EQ(unattached.ParentMenuHandle(), nullptr);

    inner.Command = [](GUIElement*) { Log().push_back("inner"); };
    Choose(inner);
    EXPECT_EQ(Log(), (std::vector<std::string>{"inner"}));
}

}  // namespace
}  // namespace toolkit_test
