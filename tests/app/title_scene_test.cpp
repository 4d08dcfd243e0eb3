// The title scene on the headless panel with the shipped data set, and over top-ten tables far
// larger than ten lines (one line of 10 MB, a million lines).
#include "app/shell/TitleScene.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/msgbox.h"
#include "tests/panel3d/panel_test_support.h"

namespace MyApp {
namespace {

using TekuUtility::testing::ScratchFolder;
using TekuUtility::testing::TestPanel;

std::string SourceData() {
    const char* root = std::getenv("KX_SOURCE_DIR");
    return std::string(root ? root : ".") + "\\data";
}

class TitleSceneTest : public ::testing::Test {
  protected:
    TestPanel panel;
    GameFields game;
    std::vector<std::string> boxes;
    platform::MessageBoxHandler previous;

    TitleSceneTest() {
        panel.start();
        game.panel = &panel;
        game.dataFolder = SourceData();
        previous = platform::SetMessageBoxHandler(
            [this](platform::HWND, const std::string& text, const std::string&, platform::UINT) {
                boxes.push_back(text);
                return platform::IDOK;
            });
    }
    ~TitleSceneTest() override { platform::SetMessageBoxHandler(previous); }
};

TEST_F(TitleSceneTest, ShipNameAndYearWithoutListWhenNoResults) {
    BuildTitleScene(game);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(game.closeRequested);
    EXPECT_EQ(panel.backgroundImageFile, SourceData() + "\\sfondo.png");
    ASSERT_EQ(panel.meshObjects.size(), 1u);
    EXPECT_EQ(panel.meshObjects[0].meshFiles, std::vector<std::string>{SourceData() + "\\Nave.x"});
    EXPECT_TRUE(panel.textLabels.empty());  // no heading either
    ASSERT_EQ(panel.texts3D.size(), 2u);
    EXPECT_EQ(panel.texts3D[0].text, "Kryx Space");
    EXPECT_EQ(panel.texts3D[0].size, 40);
    EXPECT_EQ(panel.texts3D[0].color, 0xFFC000u);  // red 0, green 192, blue 255 from the low byte
    EXPECT_EQ(panel.texts3D[1].text, "2021");
    EXPECT_EQ(panel.texts3D[1].color, 0x0000FFu);
    EXPECT_TRUE(panel.triangles.empty() && panel.quads.empty() && panel.spriteCells.empty());
    GameFields noPanel;  // without a panel nothing happens
    BuildTitleScene(noPanel);
    EXPECT_FALSE(noPanel.closeRequested);
}

TEST_F(TitleSceneTest, ResultsAreNumberedUnderTheHeadingAndEveryLineIsShown) {
    game.highScores = {"00001230 ANNA         Livello 2", "00000900 BOB          Livello 1",
                       "00000010 C            Livello 1"};
    BuildTitleScene(game);
    ASSERT_EQ(panel.textLabels.size(), 4u);
    EXPECT_EQ(panel.textLabels[0].text, "TOP TEN");
    EXPECT_TRUE(panel.textLabels[0].bold);
    EXPECT_EQ(panel.textLabels[0].x, 120);
    EXPECT_EQ(panel.textLabels[0].y, 100);
    EXPECT_EQ(panel.textLabels[0].color, 0xFFFEFE00u);
    EXPECT_EQ(panel.textLabels[1].text, "01  00001230 ANNA         Livello 2");
    EXPECT_EQ(panel.textLabels[3].text, "03  00000010 C            Livello 1");
    EXPECT_EQ(panel.textLabels[3].y, 175);
    EXPECT_FALSE(panel.textLabels[2].bold);
    EXPECT_EQ(panel.textLabels[2].x, 10);
    EXPECT_EQ(panel.textLabels[2].fontFace, "Consolas");

    // Every line of a hand-edited table of twelve is shown.
    for (int i = 3; i < 12; ++i) {
        game.highScores.push_back("0000000" + std::to_string(i % 10) + " X");
    }
    BuildTitleScene(game);
    ASSERT_EQ(panel.textLabels.size(), 13u);
    EXPECT_EQ(panel.textLabels.back().y, 400);
    EXPECT_EQ(panel.textLabels.back().text.substr(0, 4), "12  ");
}

TEST_F(TitleSceneTest, DamagedFilesAreReportedOnceAndTheSceneIsStillSet) {
    ScratchFolder scratch;
    std::filesystem::copy_file(platform::NativePath(SourceData() + "\\sfondo.png"),
                               scratch.file("sfondo.png"));
    std::ofstream(scratch.file("sfondo.png"), std::ios::binary | std::ios::app) << "x";
    game.dataFolder = scratch.path();  // and no Nave.x at all
    BuildTitleScene(game);
    EXPECT_EQ(boxes, std::vector<std::string>{
                         "Immagine corrotta o danneggiata. Ripristinare la cartella immagine"});
    EXPECT_TRUE(game.closeRequested);
    EXPECT_EQ(panel.meshObjects.size(), 1u);
    EXPECT_EQ(panel.texts3D.size(), 2u);
}

#if defined(KX_ASAN)
constexpr double kAllowedMb = 200, kAllowedSeconds = 15;  // quarantined frees, slower copies
#else
constexpr double kAllowedMb = 50, kAllowedSeconds = 3;
#endif

double ResidentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

struct LargeTable {
    const char* name;
    std::vector<std::string> (*make)();
};

class TitleLargeTableTest : public TitleSceneTest,
                            public ::testing::WithParamInterface<LargeTable> {};

// Building the scene and drawing frames stays quick and small; only what fits is drawn.
TEST_P(TitleLargeTableTest, FirstFramesComeQuicklyAndMemoryStaysSmall) {
    game.highScores = GetParam().make();
    const double before = ResidentMb();
    const auto start = std::chrono::steady_clock::now();
    BuildTitleScene(game);
    for (int frame = 0; frame < 10; ++frame) {
        panel.drawFrame();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double grownMb = ResidentMb() - before;
    const std::string figures = std::to_string(seconds) + " s for the scene and 10 frames, " +
                                std::to_string(grownMb) + " MB grown";
    std::printf("%s: %s\n", GetParam().name, figures.c_str());
    EXPECT_LT(seconds, kAllowedSeconds) << figures;
    EXPECT_LT(grownMb, kAllowedMb) << figures;
    ASSERT_FALSE(panel.textLabels.empty());
    EXPECT_LT(panel.textLabels.back().y, 480);  // no label below the panel
    for (const std::string& line : panel.headless()->Log()) {
        EXPECT_LT(line.size(), 2000u);
    }
}

std::vector<std::string> OneLineOf10Mb() {
    return {std::string(10'000'000, '9'), "00000001 A"};
}
std::vector<std::string> MillionLines() {
    return std::vector<std::string>(1'000'000, "00000001 A");
}
INSTANTIATE_TEST_SUITE_P(Tables, TitleLargeTableTest,
                         ::testing::Values(LargeTable{"OneLineOf10Mb", &OneLineOf10Mb},
                                           LargeTable{"MillionLines", &MillionLines}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace MyApp
