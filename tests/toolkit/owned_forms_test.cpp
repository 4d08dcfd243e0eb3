// Dialog forms owned by the form they open over: z-order, activation and the focus after them.
#include <memory>

#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/FormNamePlayer.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;
namespace hl = platform::headless;

class OwnedFormTest : public ToolkitTest {
  protected:
    void SetUp() override {
        PlayerName.clear();
        owner = std::make_unique<Form>(nullptr);
        owner->SetLocation(100, 100);
        owner->SetSize(500, 400);
        owner->Create();
        box = std::make_unique<TextBox>(owner.get(), "");
        box->SetLocation(10, 10);
        box->Create();
        box->Focus();
        hl::RunUntilIdle();
    }

    std::unique_ptr<Form> owner;
    std::unique_ptr<TextBox> box;
};

TEST_F(OwnedFormTest, TheNameDialogStaysOverItsOwnerAndTheFocusComesBackAfterIt) {
    auto dialog = std::make_unique<FormNamePlayer>(owner.get(), nullptr, "Classifica");
    dialog->SetLocation(300, 300);
    hl::RunUntilIdle();
    const pf::POINT overlap{320, 320};
    ASSERT_EQ(pf::WindowFromPoint(overlap), dialog->handle);

    // A press on the owner (disabled) and the owner activated by the program: the dialog
    // stays in front, with the keyboard.
    hl::Click(150, 250);
    pf::SetWindowPos(owner->handle, pf::HWND_TOP, 0, 0, 0, 0, pf::SWP_NOMOVE | pf::SWP_NOSIZE);
    hl::RunUntilIdle();
    EXPECT_EQ(pf::WindowFromPoint(overlap), dialog->handle);
    EXPECT_EQ(pf::GetActiveWindow(), dialog->handle);
    hl::TypeText(L"zoe\r");
    hl::RunUntilIdle();
    EXPECT_EQ(PlayerName, "ZOE");
    EXPECT_EQ(pf::GetFocus(), box->handle);
}

}  // namespace
}  // namespace toolkit_test
