// Whole games on the real data set in simulated time: a bot that plays through all four
// levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "tests/sim/harness/Bot.h"
#include "tests/sim/harness/Simulation.h"

namespace MyApp::sim {
namespace {

TEST(GameSimulation, BotWinsEveryLevelAcrossSeeds) {
    const int seeds = SeedCount(3);
    std::map<int, int> played;
    std::map<int, std::vector<double>> seconds;  // of every won level
    int complete = 0;
    for (int i = 0; i < seeds; ++i) {
        const std::uint32_t seed = 1000 + 17 * i;
        Simulation sim(seed);
        Bot bot;
        sim.SetPlayer(&bot);
        sim.RunUntil([&] { return sim.GameOver(); }, 25 * 60 * 1000);
        for (const LevelRun& run : sim.levels()) {
            ++played[run.level];
            if (run.won) {
                seconds[run.level].push_back((run.endMs - run.startMs) / 1000.0);
            }
        }
        // Every level can be won by reasonable play: the large saucer is tall enough to stay
        // within a shot's reach wherever it comes back.
        const bool won = sim.GameOver() && sim.Happened("banner GiocoCompletato.bmp");
        complete += won ? 1 : 0;
        EXPECT_TRUE(won) << "seed " << seed << "\n" << sim.Summary();
        if (won) {
            // Back at the title after the last level, with the whole game on record.
            EXPECT_EQ(sim.game().reachedLevel, 4);
            EXPECT_EQ(sim.game().level, 1);
            EXPECT_TRUE(sim.titleShown());
            EXPECT_EQ(sim.nameEntries(), 1);
            for (int level = 1; level <= 4; ++level) {
                EXPECT_TRUE(sim.Happened("build level " + std::to_string(level))) << level;
            }
        }
    }
    std::printf("bot: %d of %d games won\n", complete, seeds);
    for (auto& [level, times] : seconds) {
        std::sort(times.begin(), times.end());
        std::printf("level %d: won %zu of %d, median %.1f s\n", level, times.size(), played[level],
                    times[times.size() / 2]);
    }
}

}  // namespace
}  // namespace MyApp::sim
