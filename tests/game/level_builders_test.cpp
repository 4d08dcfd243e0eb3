// The four level builders with the shipped data set, on the headless device: the scene of
// each level after one frame, the order of the data-file checks and the level fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/Entities.h"
#include "game/LevelBuilders.h"
#include "game/PlayerControl.h"
#include "game/ResetForTests.h"
#include "game/ScoreDisplay.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/msgbox.h"
#include "tests/panel3d/panel_test_support.h"
#include "toolkit/Controls.h"

namespace MyApp {
namespace {

using TekuUtility::MeshObject;

std::string SourceDir() {
    if (const char* env = std::getenv("KX_SOURCE_DIR")) {
        return env;
    }
    return KX_SOURCE_PATH;
}

class LevelBuilderTest : public ::testing::Test {
  protected:
    platform::ScopedFakeClock clock;
    TekuUtility::testing::TestPanel panel;
    TekuUtility::Image banner{nullptr, std::string()};
    GameFields game;
    std::vector<std::string> boxes;
    platform::MessageBoxHandler previousHandler;

    LevelBuilderTest() {
        panel.start();
        game.panel = &panel;
        game.banner = &banner;
        game.energy = 100;
        game.dataFolder = SourceDir() + "/data";
        previousHandler = platform::SetMessageBoxHandler(
            [this](platform::HWND, const std::string& text, const std::string&, platform::UINT) {
                boxes.push_back(text);
                return 1;
            });
    }
    ~LevelBuilderTest() override { platform::SetMessageBoxHandler(previousHandler); }

    std::vector<std::string> RecordChecks(std::int32_t level) {
        std::vector<std::string> checks;
        BuildLevel(game, level,
                   [&](GameFields&, const std::string& path) { checks.push_back(path); });
        return checks;
    }
    static bool Drawn(const MeshObject& o) {
        return o.bounds.maxX > o.bounds.minX && o.bounds.maxY > o.bounds.minY &&
               o.bounds.maxZ > o.bounds.minZ;
    }
};

// Every level, built with the shipped data set and drawn once: a scene whose records come
// in id order, whose visible meshes load, and whose data files are checked once per list.
TEST_F(LevelBuilderTest, EachLevelOpensWithAConsistentSceneAfterOneFrame) {
    for (std::int32_t level = 1; level <= 4; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        game.levelPhase = 7;
        void (*builders[])(GameFields&) = {BuildLevel1, BuildLevel2, BuildLevel3, BuildLevel4};
        builders[level - 1](game);
        panel.drawFrame();

        EXPECT_FALSE(game.closeRequested) << "the shipped data set passes its check";
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(game.levelPhase, 1);
        EXPECT_TRUE(panel.hasBackground());

        // Player, shot, ten rocks, then the saucers; each kind's mesh list checked once.
        ASSERT_GT(panel.meshObjects.size(), 12u);
        std::vector<std::string> expected = {panel.backgroundImageFile};
        for (std::size_t i = 0; i < panel.meshObjects.size(); ++i) {
            const MeshObject& o = panel.meshObjects[i];
            const std::int32_t id = i < 2    ? static_cast<std::int32_t>(i) + 1
                                    : i < 12 ? 1001 + static_cast<std::int32_t>(i) - 2
                                             : 2001 + static_cast<std::int32_t>(i) - 12;
            EXPECT_EQ(o.id, id);
            EXPECT_EQ(Drawn(o), o.visible) << "id " << o.id;
            if (i < 3 || i == 12) {
                expected.insert(expected.end(), o.meshFiles.begin(), o.meshFiles.end());
            } else {
                EXPECT_EQ(o.meshFiles, panel.meshObjects[i < 12 ? 2 : 12].meshFiles);
            }
        }
        EXPECT_TRUE(panel.meshObjects[0].visible);

        ASSERT_EQ(panel.spriteCells.size(), 1u);
        EXPECT_FALSE(UpdateEnergyBar(game));
        EXPECT_EQ(panel.spriteCells[0].row, 0);  // band 0 at full energy
        ASSERT_EQ(panel.textLabels.size(), 1u);
        EXPECT_EQ(panel.textLabels[0].text, ScoreText(game));
        EXPECT_EQ(RecordChecks(level), expected);
    }
    EXPECT_TRUE(RecordChecks(5).empty());
}

TEST_F(LevelBuilderTest, OnlyLevelTwoSetsItsStartTime) {
    for (std::int32_t level : {1, 3, 4}) {
        RecordChecks(level);
        EXPECT_TRUE(game.levelStartTime.unset) << "level " << level;
    }
    RecordChecks(2);
    ASSERT_FALSE(game.levelStartTime.unset);
    clock.AdvanceMs(7000);
    EXPECT_EQ(ElapsedMs(game.levelStartTime, Timestamp::Now()), 7000);
    RecordChecks(2);  // building again restarts the timeline
    EXPECT_EQ(ElapsedMs(game.levelStartTime, Timestamp::Now()), 0);
    clock.AdvanceMs(100);
    RecordChecks(3);
    EXPECT_EQ(ElapsedMs(game.levelStartTime, Timestamp::Now()), 100);
}

TEST_F(LevelBuilderTest, DamagedDataReportsOnceAndTheLevelIsStillBuilt) {
    game.dataFolder = SourceDir() + "/no-such-data";
    BuildLevel3(game);
    EXPECT_TRUE(game.closeRequested);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(panel.meshObjects.size(), 2u + 10u + 10u);
    EXPECT_EQ(game.levelPhase, 1);
    panel.drawFrame();  // missing meshes are simply not drawn
    EXPECT_FALSE(Drawn(panel.meshObjects[0]));
}

// The ship of level 1 against the view the panel's camera really has, with the shipped mesh.
TEST_F(LevelBuilderTest, ShipLeavesTheViewByAtMostOneStep) {
    const auto window = reinterpret_cast<platform::HWND>(std::uintptr_t{0x100});
    game.mainWindow = window;
    platform::SetForegroundWindowHandle(window);
    ResetGameForTests();
    BuildLevel1(game);
    for (int key : {platform::VK_LEFT, platform::VK_RIGHT}) {
        SCOPED_TRACE(key == platform::VK_LEFT ? "left" : "right");
        platform::ReleaseAllKeys();
        platform::SetKeyDown(key, true);
        double last = 1e9;
        for (int i = 0; i < 200 && GetPosition(game, kPlayerId).x != last; ++i) {
            last = GetPosition(game, kPlayerId).x;
            panel.drawFrame();
            clock.AdvanceMs(41);
            ControlPlayer(game, Timestamp::Now());
        }
        panel.drawFrame();
        const Point3 bmin = GetBoundsMin(game, kPlayerId);
        const Point3 bmax = GetBoundsMax(game, kPlayerId);
        if (key == platform::VK_LEFT) {
            EXPECT_LT(last, -2);
            EXPECT_FALSE(InsideLeftPlane(game, bmin));
            EXPECT_TRUE(InsideLeftPlane(game, {bmin.x + 0.1 + 1e-6, bmin.y, bmin.z}));
        } else {
            EXPECT_GT(last, 2);
            EXPECT_FALSE(InsideRightPlane(game, bmax));
            EXPECT_TRUE(InsideRightPlane(game, {bmax.x - 0.1 - 1e-6, bmax.y, bmax.z}));
        }
    }
    platform::ReleaseAllKeys();
    platform::SetForegroundWindowHandle(nullptr);
}

}  // namespace
}  // namespace MyApp
