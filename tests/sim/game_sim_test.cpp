// Whole games on the real data set in simulated time: a bot that plays through all four
// levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "game/Entities.h"
#include "tests/sim/harness/Bot.h"
#include "tests/sim/harness/Simulation.h"

namespace MyApp::sim {
namespace {

constexpr std::int64_t kMinute = 60 * 1000;

bool Has(const Simulation& sim, const std::string& what) {
    const auto& e = sim.events();
    return std::any_of(e.begin(), e.end(), [&](const SimEvent& ev) { return ev.what == what; });
}

struct GameResult {
    std::uint32_t seed = 0;
    std::vector<LevelRun> levels;
    bool complete = false;
    std::int32_t score = 0;
    std::string summary;
};

GameResult PlayOneGame(std::uint32_t seed) {
    Simulation sim(seed);
    Bot bot;
    sim.SetPlayer(&bot);
    sim.RunUntil([&] { return sim.GameOver(); }, 25 * kMinute);
    GameResult r;
    r.seed = seed;
    r.levels = sim.levels();
    r.complete = sim.GameOver() && Has(sim, "banner GiocoCompletato.bmp");
    r.score = sim.game().score;
    r.summary = sim.Summary();
    if (r.complete) {
        // Back at the title after the last level, with the whole game on record.
        EXPECT_EQ(sim.game().reachedLevel, 4);
        EXPECT_EQ(sim.game().level, 1);
        EXPECT_TRUE(sim.titleShown());
        EXPECT_EQ(sim.nameEntries(), 1);
        for (int level = 1; level <= 4; ++level) {
            EXPECT_TRUE(Has(sim, "build level " + std::to_string(level))) << level;
        }
    }
    return r;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

TEST(GameSimulation, BotWinsEveryLevelAcrossSeeds) {
    const int seeds = SeedCount(3);
    std::map<int, int> played, won;
    std::map<int, std::vector<double>> seconds;
    int complete = 0;
    for (int i = 0; i < seeds; ++i) {
        const GameResult r = PlayOneGame(1000 + 17 * i);
        complete += r.complete ? 1 : 0;
        for (const LevelRun& run : r.levels) {
            ++played[run.level];
            if (run.won) {
                ++won[run.level];
                seconds[run.level].push_back((run.endMs - run.startMs) / 1000.0);
            }
        }
        // Every level can be won by reasonable play: the large saucer is tall enough to stay
        // within a shot's reach wherever it comes back.
        EXPECT_TRUE(r.complete) << "seed " << r.seed << "\n" << r.summary;
    }
    std::printf("bot: %d of %d games won\n", complete, seeds);
    for (int level = 1; level <= 4; ++level) {
        std::printf("level %d: won %d of %d, median %.1f s\n", level, won[level], played[level],
                    Median(seconds[level]));
    }
}

}  // namespace
}  // namespace MyApp::sim
