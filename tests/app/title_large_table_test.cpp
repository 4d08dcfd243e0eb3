// The title screen over top-ten tables far larger than ten lines: one line of 10 MB and a
// million lines. Building the scene and drawing frames must stay quick and small.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/shell/TitleScene.h"
#include "platform/msgbox.h"
#include "tests/panel3d/panel_test_support.h"

namespace MyApp {
namespace {

using TekuUtility::testing::TestPanel;

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

class TitleLargeTableTest : public ::testing::TestWithParam<LargeTable> {};

TEST_P(TitleLargeTableTest, FirstFramesComeQuicklyAndMemoryStaysSmall) {
    TestPanel panel;
    panel.start();
    GameFields game;
    game.panel = &panel;
    const char* root = std::getenv("KX_SOURCE_DIR");
    game.dataFolder = std::string(root ? root : ".") + "\\data";
    game.highScores = GetParam().make();
    const auto previous =
        platform::SetMessageBoxHandler([](platform::HWND, const std::string&, const std::string&,
                                          platform::UINT) { return platform::IDOK; });

    const double before = ResidentMb();
    const auto start = std::chrono::steady_clock::now();
    BuildTitleScene(game);
    for (int frame = 0; frame < 10; ++frame) {
        panel.drawFrame();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double grownMb = ResidentMb() - before;
    platform::SetMessageBoxHandler(previous);
    const std::string figures = std::to_string(seconds) + " s for the scene and 10 frames, " +
                                std::to_string(grownMb) + " MB grown";
    std::printf("%s: %s\n", GetParam().name, figures.c_str());
    EXPECT_LT(seconds, kAllowedSeconds) << figures;
    EXPECT_LT(grownMb, kAllowedMb) << figures;
    ASSERT_FALSE(panel.textLabels.empty());
    EXPECT_LT(panel.textLabels.back().y, 480);  // no label below the panel
    for (const std::string& line : panel.headless()->Log()) {
        EXPECT_LT(line.size(), 2000u);  // only what fits on a line is drawn
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
