// A steady frame of the title and level scenes, drawn through the GL device, allocates nothing
// in the program's own code: this program replaces the global allocation functions with
// counting ones. (The GL driver allocates through malloc, which is not counted.)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/shell/TitleScene.h"
#include "game/GameFields.h"
#include "game/LevelBuilders.h"
#include "game/ScoreDisplay.h"
#include "tests/panel3d/panel_test_support.h"
#include "tests/platform/gl/frame_alloc/allocation_counter.h"
#include "tests/platform/gl/gl_test_support.h"

namespace platform::gl {
namespace {

using TekuUtility::testing::TestPanel;

// Allocations made by the program's code while f runs.
template <typename F>
long AllocationsDuring(F&& f) {
    testing::StartCountingAllocations();
    f();
    return testing::StopCountingAllocations();
}

class FrameAllocationTest : public testing::GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        const char* source = std::getenv("KX_SOURCE_DIR");
        game_.dataFolder = std::string(source ? source : ".") + "/data";
        panel_.backColor = 0;
        panel_.start();
        game_.panel = &panel_;
        game_.energy = 100;
    }
    void BuildLevel(int level) {
        game_.level = level;
        MyApp::BuildLevel(game_, level, [](MyApp::GameFields&, const std::string&) {});
    }
    // Draws until everything the scene needs is made, then counts one more frame.
    long SteadyFrameAllocations() {
        for (int i = 0; i < 3; ++i) {
            panel_.drawFrame();
        }
        return AllocationsDuring([&] { panel_.drawFrame(); });
    }
    bool HasPicture() const { return panel_.hasBackground(); }

    TestPanel panel_;
    MyApp::GameFields game_;
};

TEST_F(FrameAllocationTest, TheTitleSceneDrawsWithoutAllocating) {
    game_.highScores = {"1200 Anna 3", "800 Bruno 2", "150 Carla 1"};
    MyApp::BuildTitleScene(game_);
    ASSERT_TRUE(HasPicture()) << "no data set in " << game_.dataFolder;
    ASSERT_EQ(panel_.texts3D.size(), 2u);
    // The first frame loads meshes and makes fonts and text meshes: the counter sees that.
    EXPECT_GT(AllocationsDuring([&] { panel_.drawFrame(); }), 0);
    EXPECT_EQ(SteadyFrameAllocations(), 0);
    // What the frame keeps is one mesh per 3D text and one font per label style.
    EXPECT_EQ(panel_.passObjects().textMeshCount(), 2u);
    EXPECT_EQ(panel_.passObjects().fontCount(), 2u);
}

TEST_F(FrameAllocationTest, EveryLevelsOpeningSceneDrawsWithoutAllocating) {
    for (int level = 1; level <= 4; ++level) {
        SCOPED_TRACE(level);
        BuildLevel(level);
        ASSERT_TRUE(HasPicture()) << "no data set in " << game_.dataFolder;
        EXPECT_EQ(SteadyFrameAllocations(), 0);
    }
}

TEST_F(FrameAllocationTest, AScoreThatChangesEveryTickDrawsWithoutAllocating) {
    BuildLevel(1);
    ASSERT_TRUE(HasPicture()) << "no data set in " << game_.dataFolder;
    // Every digit once, so that each glyph is in the font's atlas.
    MyApp::SetScoreText(game_, "Punteggio: 0123456789");
    SteadyFrameAllocations();
    char text[32];
    for (int score = 10; score <= 50; score += 10) {
        std::snprintf(text, sizeof text, "Punteggio: %06d", score);
        MyApp::SetScoreText(game_, text);  // the tick's own work, not counted
        EXPECT_EQ(AllocationsDuring([&] { panel_.drawFrame(); }), 0) << text;
    }
}

}  // namespace
}  // namespace platform::gl
