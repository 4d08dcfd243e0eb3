// A pause changes nothing: whole games played by the bot with pauses taken at the ticks where
// the game is most sensitive (the ticks around a phase change, any point of level 2's
// timeline) end exactly as the same games played without them, seed for seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/shell/GameTick.h"
#include "tests/sim/harness/Bot.h"
#include "tests/sim/harness/Simulation.h"

namespace MyApp::sim {
namespace {

constexpr std::int64_t kMaxGameTicks = 25 * 60 * 1000 / kTickMs;

// A pause taken before the game's own tick `before` (paused ticks not counted), lasting `ticks`.
struct Pause {
    std::int64_t before = 0;
    std::int64_t ticks = 0;
};

// What a game did, each event at the game tick it happened on, and the ticks it paused.
struct Played {
    std::vector<std::pair<std::int64_t, std::string>> events;
    std::vector<std::string> eventsWhilePaused;
    std::vector<std::int64_t> phaseChanges;          // ticks whose update changed the phase
    std::int64_t level2From = -1, level2Until = -1;  // level 2 running
    std::int32_t score = 0;
};

void TakeEvents(const Simulation& sim, std::size_t& seen,
                const std::function<void(const std::string&)>& take) {
    for (; seen < sim.events().size(); ++seen) {
        take(sim.events()[seen].what);
    }
}

Played Play(std::uint32_t seed, const std::vector<Pause>& pauses) {
    Simulation sim(seed);
    Bot bot;
    sim.SetPlayer(&bot);
    Played played;
    std::size_t seen = 0;
    std::size_t nextPause = 0;
    for (std::int64_t tick = 0; tick < kMaxGameTicks && !sim.GameOver(); ++tick) {
        while (nextPause < pauses.size() && pauses[nextPause].before == tick) {
            // The player pauses and leaves the keys alone until the game resumes.
            sim.game().paused = true;
            sim.SetPlayer(nullptr);
            for (std::int64_t i = 0; i < pauses[nextPause].ticks; ++i) {
                sim.Tick();
            }
            TakeEvents(sim, seen,
                       [&](const std::string& e) { played.eventsWhilePaused.push_back(e); });
            sim.game().paused = false;
            sim.SetPlayer(&bot);
            ++nextPause;
        }
        const std::int32_t phase = sim.game().levelPhase;
        const bool running = sim.game().levelRunning;
        sim.Tick();
        TakeEvents(sim, seen, [&](const std::string& e) { played.events.emplace_back(tick, e); });
        const GameFields& game = sim.game();
        if (running && game.levelRunning && game.levelPhase != phase) {
            played.phaseChanges.push_back(tick);
        }
        if (game.levelRunning && game.level == 2) {
            played.level2From = played.level2From < 0 ? tick : played.level2From;
            played.level2Until = tick;
        }
    }
    played.score = sim.game().score;
    return played;
}

// Pauses just before or just after every phase change, longer than the pause between
// phases, and one pause at a random point of level 2 (`lateInLevel2`: across the saucers'
// arrival), of random length.
std::vector<Pause> PausesFor(const Played& reference, bool afterChange, bool lateInLevel2,
                             std::mt19937& random) {
    std::vector<Pause> pauses;
    for (std::int64_t tick : reference.phaseChanges) {
        pauses.push_back({tick + (afterChange ? 1 : 0), 2500 / kTickMs});
    }
    if (reference.level2From >= 0) {
        const std::int64_t from = reference.level2From;
        const std::int64_t lo = lateInLevel2 ? from + 34000 / kTickMs : from;
        const std::int64_t hi = lateInLevel2 ? from + 40000 / kTickMs : reference.level2Until;
        const std::int64_t at = std::uniform_int_distribution<std::int64_t>(lo, hi)(random);
        const std::int64_t ticks = std::uniform_int_distribution<std::int64_t>(1, 300)(random);
        pauses.push_back({std::min(at, reference.level2Until), ticks});
    }
    std::sort(pauses.begin(), pauses.end(),
              [](const Pause& a, const Pause& b) { return a.before < b.before; });
    return pauses;
}

// The first event (tick and text) where two games part, or "" when they never do.
std::string FirstDifference(const std::vector<std::pair<std::int64_t, std::string>>& a,
                            const std::vector<std::pair<std::int64_t, std::string>>& b) {
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i]) {
            auto show = [&](const auto& v) {
                return i < v.size() ? std::to_string(v[i].first) + " " + v[i].second : "(end)";
            };
            return "event " + std::to_string(i) + ": " + show(a) + " | " + show(b);
        }
    }
    return "";
}

TEST(PauseSimulation, PausedGamesEndAsTheSameGamesUnpaused) {
    const int seeds = SeedCount(3);
    std::mt19937 random(77);
    for (int i = 0; i < seeds; ++i) {
        const std::uint32_t seed = 2000 + 31 * i;
        const Played reference = Play(seed, {});
        ASSERT_FALSE(reference.phaseChanges.empty()) << "seed " << seed;
        for (const bool variant : {false, true}) {
            const std::vector<Pause> pauses = PausesFor(reference, variant, variant, random);
            const Played paused = Play(seed, pauses);
            EXPECT_EQ(FirstDifference(paused.events, reference.events), "")
                << "seed " << seed << " variant " << variant;
            EXPECT_EQ(paused.score, reference.score) << "seed " << seed;
            // Each pause said so on the status line, and nothing else happened meanwhile.
            EXPECT_EQ(paused.eventsWhilePaused,
                      std::vector<std::string>(pauses.size(),
                                               "status \"" + std::string(kPauseText) + "\""))
                << "seed " << seed;
        }
    }
}

}  // namespace
}  // namespace MyApp::sim
