// The main window shown at another scale (what going fullscreen and back does to it) while a
// level runs: the game's state stays and it ticks on; the pointer may rest out of sight only
// while a level runs.
#include <tuple>

#include "platform/win/backend.h"
#include "tests/shell/ShellFixture.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;

TEST_F(ShellTest, ShowingTheWindowAtOtherScalesKeepsTheGameAndItTicksOn) {
    MyApp::FormMain& form = OpenMainForm();
    hl::RunFor(1600);
    EXPECT_FALSE(hl::CursorIdleHiding());
    Hold('G');
    ASSERT_TRUE(RunUntil([&] { return form.fields.levelRunning; }, 6000));
    EXPECT_TRUE(hl::CursorIdleHiding());
    hl::RunFor(600);
    const MyApp::GameFields& f = form.fields;
    const auto state = [&] {
        return std::make_tuple(f.level, f.score, f.energy, f.levelRunning, f.paused, f.levelPhase,
                               Status(), PanelVisible());
    };
    for (const double scale : {2.75, 1.0}) {
        const auto before = state();
        platform::win::SetSurfaceScale(form.handle, scale);
        hl::RunUntilIdle();
        EXPECT_EQ(platform::win::TopLevelSurface(form.handle)->scale, scale);
        EXPECT_EQ(state(), before) << scale;
        const double saucerX = Object(2001)->x;
        hl::RunFor(300);
        EXPECT_NE(Object(2001)->x, saucerX) << "the level ticks on at scale " << scale;
    }
}

}  // namespace
}  // namespace shell_test
