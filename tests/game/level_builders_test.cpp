// The four level builders with the shipped data set, on the headless device: the scene of
// each level after one frame, the order of the data-file checks and the level fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/Entities.h"
#include "game/LevelBuilders.h"
#include "game/PlayerControl.h"
#include "game/ScoreDisplay.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/msgbox.h"
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

// A window-less panel drawing on the headless device.
class HeadlessPanel : public TekuUtility::D3DPanelEx {
  public:
    HeadlessPanel() : D3DPanelEx(nullptr) {
        width = 640;
        height = 480;
        initDevice(nullptr);
    }
    using D3DPanelEx::drawFrame;
};

class LevelBuilderTest : public ::testing::Test {
  protected:
    platform::ScopedFakeClock clock;
    HeadlessPanel panel;
    TekuUtility::Image banner{nullptr, std::string()};
    GameFields game;
    std::vector<std::string> boxes;
    platform::MessageBoxHandler previousHandler;

    LevelBuilderTest() {
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

    std::string Data(const std::string& name) { return game.dataFolder + name; }
    std::vector<std::string> Data(const std::vector<std::string>& names) {
        std::vector<std::string> files;
        for (const std::string& name : names) {
            files.push_back(Data(name));
        }
        return files;
    }
    std::vector<std::string> RecordChecks(std::int32_t level) {
        std::vector<std::string> checks;
        BuildLevel(game, level,
                   [&](GameFields&, const std::string& path) { checks.push_back(path); });
        return checks;
    }
    std::vector<std::int32_t> Ids() {
        std::vector<std::int32_t> ids;
        for (const MeshObject& o : panel.meshObjects) {
            ids.push_back(o.id);
        }
        return ids;
    }
    static bool Drawn(const MeshObject& o) {
        return o.bounds.maxX > o.bounds.minX && o.bounds.maxY > o.bounds.minY &&
               o.bounds.maxZ > o.bounds.minZ;
    }
};

const std::vector<std::string> kRockNames = {"\\asteroide.x", "\\asteroide2.x",
                                             "\\asteroideImpatto.x", "\\asteroideImpatto2.x",
                                             "\\esplosione.x"};

std::vector<std::string> RockNames(const std::string& last) {
    std::vector<std::string> names = kRockNames;
    names.push_back(last);
    return names;
}

// What differs between the levels' scenes.
struct ExpectedLevel {
    std::int32_t level;
    std::string background, bannerName;
    std::vector<std::string> playerNames;
    double px, py, pz;
    std::int32_t playerAngle;
    std::string shotName;
    std::int32_t shotAngle;
    std::string lastRockName;
    std::vector<std::string> saucerNames;
    // id, x, z, frame, visible of each saucer
    std::vector<std::tuple<std::int32_t, double, double, std::int32_t, bool>> saucers;
};

const std::vector<std::string> kLaterSaucers = {"\\uforid1.x", "\\uforidcolpito1.x", "\\ufokryx.x",
                                                "\\ufokryx2.x", "\\esplosione.x"};

std::vector<ExpectedLevel> ExpectedLevels() {
    std::vector<ExpectedLevel> levels;
    levels.push_back(
        {1,
         "\\sfondo.png",
         "\\Livello1.bmp",
         {"\\Nave.x", "\\NaveColpita.x"},
         0,
         -2,
         0,
         0,
         "\\fire.x",
         0,
         "\\fire.x",
         {"\\ufo.x", "\\ufocolpito.x", "\\ufokryx.x", "\\ufokryx2.x", "\\esplosione.x"},
         {{2001, 0, 50, 0, true}}});
    ExpectedLevel two{2,
                      "\\sfondo.png",
                      "\\Livello2.bmp",
                      {"\\NaveHorz.x", "\\NaveHorzColpita.x"},
                      -2,
                      -2,
                      2,
                      85,
                      "\\fireHorz.x",
                      90,
                      "\\fireHorz.x",
                      kLaterSaucers,
                      {}};
    for (std::int32_t id = 2001; id <= 2007; ++id) {
        two.saucers.emplace_back(id, 0, 2, 0, false);
    }
    levels.push_back(two);
    ExpectedLevel three{3,
                        "\\sfondoFase2.png",
                        "\\Livello3.bmp",
                        {"\\Nave.x", "\\NaveColpita.x"},
                        0,
                        -2,
                        0,
                        0,
                        "\\fire.x",
                        0,
                        "\\fire.x",
                        kLaterSaucers,
                        {{2001, -3, 50, 2, true}, {2002, 3, 50, 2, true}}};
    for (std::int32_t id = 2003; id <= 2010; ++id) {
        three.saucers.emplace_back(id, 0, 50, 0, false);
    }
    levels.push_back(three);
    ExpectedLevel four{4,
                       "\\sfondo4liv.png",
                       "\\Livello4.bmp",
                       {"\\astronauta.x", "\\astronautaColpito.x", "\\astronautafire.x"},
                       0,
                       -3.5,
                       0,
                       0,
                       "\\fireblack.x",
                       0,
                       "\\fire.x",
                       kLaterSaucers,
                       {{2001, 3, 50, 2, true}}};
    for (std::int32_t id = 2002; id <= 2009; ++id) {
        four.saucers.emplace_back(id, 0, 50, 0, false);
    }
    levels.push_back(four);
    return levels;
}

TEST_F(LevelBuilderTest, EachLevelOpensWithItsSceneAfterOneFrame) {
    for (const ExpectedLevel& e : ExpectedLevels()) {
        SCOPED_TRACE("level " + std::to_string(e.level));
        game.levelPhase = 7;
        game.score = 0;
        void (*builders[])(GameFields&) = {BuildLevel1, BuildLevel2, BuildLevel3, BuildLevel4};
        builders[e.level - 1](game);
        panel.drawFrame();

        EXPECT_FALSE(game.closeRequested) << "the shipped data set passes its check";
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(game.levelPhase, 1);
        EXPECT_EQ(panel.backgroundImageFile, Data(e.background));
        EXPECT_TRUE(panel.hasBackground());
        EXPECT_EQ(banner.fileName, Data(e.bannerName));
        EXPECT_EQ(panel.spriteSheetResourceId, 1025);
        EXPECT_EQ(panel.lightPosition.x, -2);
        EXPECT_EQ(panel.lightPosition.y, -5);
        EXPECT_EQ(panel.lightPosition.z, 0);
        EXPECT_EQ(panel.lightDirection.x, 10);

        // Ids in order: player, shot, ten rocks, the saucers.
        std::vector<std::int32_t> ids = {1, 2};
        for (std::int32_t id = 1001; id <= 1010; ++id) {
            ids.push_back(id);
        }
        for (const auto& s : e.saucers) {
            ids.push_back(std::get<0>(s));
        }
        ASSERT_EQ(Ids(), ids);

        const MeshObject& player = panel.meshObjects[0];
        EXPECT_EQ(player.x, e.px);
        EXPECT_EQ(player.y, e.py);
        EXPECT_EQ(player.z, e.pz);
        EXPECT_EQ(player.angle, e.playerAngle);
        EXPECT_EQ(player.frame, 0);
        EXPECT_TRUE(player.visible);
        EXPECT_TRUE(player.lit);
        EXPECT_EQ(player.meshFiles, Data(e.playerNames));
        EXPECT_TRUE(Drawn(player)) << "the player's mesh loads and is drawn";

        const MeshObject& shot = panel.meshObjects[1];
        EXPECT_EQ(shot.x, e.px);
        EXPECT_EQ(shot.y, e.py);
        EXPECT_EQ(shot.z, e.pz);
        EXPECT_EQ(shot.angle, e.shotAngle);
        EXPECT_FALSE(shot.visible);
        EXPECT_TRUE(shot.lit);
        EXPECT_EQ(shot.meshFiles, Data(std::vector<std::string>{e.shotName}));

        for (std::size_t i = 2; i < 12; ++i) {
            const MeshObject& rock = panel.meshObjects[i];
            EXPECT_EQ(rock.x, 0);
            EXPECT_EQ(rock.y, 0);
            EXPECT_EQ(rock.z, 50);
            EXPECT_EQ(rock.frame, rock.id <= 1006 ? 0 : 1);
            EXPECT_FALSE(rock.visible);
            EXPECT_TRUE(rock.lit);
            EXPECT_EQ(rock.meshFiles, Data(RockNames(e.lastRockName)));
            EXPECT_FALSE(Drawn(rock));
        }
        for (std::size_t k = 0; k < e.saucers.size(); ++k) {
            const MeshObject& saucer = panel.meshObjects[12 + k];
            const auto& [id, x, z, frame, visible] = e.saucers[k];
            EXPECT_EQ(saucer.x, x);
            EXPECT_EQ(saucer.y, 0);
            EXPECT_EQ(saucer.z, z);
            EXPECT_EQ(saucer.angle, 180);
            EXPECT_EQ(saucer.frame, frame);
            EXPECT_EQ(saucer.visible, visible);
            EXPECT_EQ(saucer.meshFiles, Data(e.saucerNames));
            EXPECT_EQ(Drawn(saucer), visible);
            EXPECT_EQ(saucer.hitCount, 0);
            EXPECT_EQ(saucer.userValue, 0);
        }

        ASSERT_EQ(panel.spriteCells.size(), 1u);
        const TekuUtility::SpriteCell& bar = panel.spriteCells[0];
        EXPECT_EQ(bar.width, 128);
        EXPECT_EQ(bar.height, 24);
        EXPECT_EQ(bar.row, 0);
        EXPECT_EQ(bar.lastRow, 6);
        EXPECT_EQ(bar.x, 20);
        EXPECT_EQ(bar.y, 10);
        EXPECT_FALSE(UpdateEnergyBar(game));
        EXPECT_EQ(bar.row, 0);  // band 0 at full energy

        ASSERT_EQ(panel.textLabels.size(), 1u);
        const TekuUtility::TextLabel& label = panel.textLabels[0];
        EXPECT_EQ(label.text, "Punteggio: 000000");
        EXPECT_EQ(label.text, ScoreText(game));
        EXPECT_EQ(label.height, 18);
        EXPECT_EQ(label.fontFace, "Arial");
        EXPECT_TRUE(label.bold);
        EXPECT_FALSE(label.italic);
        EXPECT_EQ(label.x, 480);
        EXPECT_EQ(label.y, 10);
        EXPECT_EQ(label.color, 0xfffefefeu);
        EXPECT_TRUE(panel.texts3D.empty());
        EXPECT_TRUE(panel.triangles.empty());
    }
}

TEST_F(LevelBuilderTest, DataFilesAreCheckedOncePerListInOrder) {
    for (const ExpectedLevel& e : ExpectedLevels()) {
        SCOPED_TRACE("level " + std::to_string(e.level));
        std::vector<std::string> expected = {Data(e.background)};
        for (const auto& names : {e.playerNames, std::vector<std::string>{e.shotName},
                                  RockNames(e.lastRockName), e.saucerNames}) {
            for (const std::string& file : Data(names)) {
                expected.push_back(file);
            }
        }
        EXPECT_EQ(RecordChecks(e.level), expected);
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
    ResetPlayerControlForTesting();
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
