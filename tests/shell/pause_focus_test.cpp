// Losing the keyboard focus or being minimised pauses a running level as "p" does; the status
// line says so, and only "p" resumes.
#include <ostream>

#include "platform/keyboard.h"
#include "tests/shell/ShellFixture.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;
using MyApp::FormMain;

struct Away {
    const char* name;
    platform::UINT message;
    platform::WPARAM leave;
    platform::WPARAM back;
};

void PrintTo(const Away& away, std::ostream* out) {
    *out << away.name;
}

class PauseOnLeaveTest : public ShellTest, public ::testing::WithParamInterface<Away> {
  protected:
    FormMain& OpenAndStart() {
        FormMain& form = OpenMainForm();
        EXPECT_TRUE(StartLevelOne());
        return form;
    }
    void Send(FormMain& form, platform::WPARAM wParam) {
        platform::SendMessageW(form.handle, GetParam().message, wParam, 0);
        hl::RunFor(60);
    }
};

TEST_P(PauseOnLeaveTest, PausesARunningLevelAndOnlyPResumes) {
    FormMain& form = OpenAndStart();
    Send(form, GetParam().leave);
    EXPECT_TRUE(form.fields.paused);
    EXPECT_EQ(Status(), "PAUSA");

    // Nothing moves while paused: neither the ship under a held key nor the saucer.
    const double shipX = Object(1)->x;
    const double saucerX = Object(2001)->x;
    Hold(platform::VK_RIGHT, 600);
    EXPECT_DOUBLE_EQ(Object(1)->x, shipX);
    EXPECT_DOUBLE_EQ(Object(2001)->x, saucerX);

    // Coming back leaves the game paused; a second loss does not resume it either.
    Send(form, GetParam().back);
    Send(form, GetParam().leave);
    Send(form, GetParam().back);
    EXPECT_TRUE(form.fields.paused);
    EXPECT_EQ(Status(), "PAUSA");

    hl::TypeText(L"p");
    hl::RunFor(60);
    EXPECT_FALSE(form.fields.paused);
    EXPECT_EQ(Status(), "");
    Hold(platform::VK_RIGHT, 400);
    EXPECT_GT(Object(1)->x, shipX);
}

TEST_P(PauseOnLeaveTest, LeavingWithoutARunningLevelDoesNotPause) {
    FormMain& form = OpenMainForm();
    hl::RunFor(1600);
    Send(form, GetParam().leave);
    EXPECT_FALSE(form.fields.paused);
    EXPECT_EQ(Status(), "PREMI [G] o FIRE PER GIOCARE");
}

INSTANTIATE_TEST_SUITE_P(
    FocusAndMinimise, PauseOnLeaveTest,
    ::testing::Values(Away{"FocusLost", platform::WM_ACTIVATEAPP, platform::FALSE, platform::TRUE},
                      Away{"Minimised", platform::WM_SIZE, platform::SIZE_MINIMIZED,
                           platform::SIZE_RESTORED}),
    [](const ::testing::TestParamInfo<Away>& info) { return std::string(info.param.name); });

TEST_F(ShellTest, NoLevelRunsWhileMinimised) {
    FormMain& form = OpenMainForm();
    hl::RunFor(1600);
    // Minimised between levels: the level that begins then is paused before its first update.
    platform::SendMessageW(form.handle, platform::WM_SIZE, platform::SIZE_MINIMIZED, 0);
    Hold('G');
    ASSERT_TRUE(RunUntil([&] { return form.fields.levelRunning; }, 6000));
    const double saucerX = Object(2001)->x;
    hl::RunFor(300);
    EXPECT_TRUE(form.fields.paused);
    EXPECT_DOUBLE_EQ(Object(2001)->x, saucerX);
    // A pause command that arrives while minimised (a gamepad's Start) does not resume.
    form.TogglePause();
    EXPECT_TRUE(form.fields.paused);
    platform::SendMessageW(form.handle, platform::WM_SIZE, platform::SIZE_RESTORED, 0);
    form.TogglePause();
    EXPECT_FALSE(form.fields.paused);
}

}  // namespace
}  // namespace shell_test
