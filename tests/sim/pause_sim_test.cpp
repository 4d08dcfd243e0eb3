// A pause changes nothing: whole games played by the bot with pauses taken where the game is
// most sensitive (just before or after a phase change, any point of level 2's timeline) end
// exactly as the same games played without them, seed for seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "app/shell/GameTick.h"
#include "tests/sim/harness/Bot.h"
#include "tests/sim/harness/Simulation.h"

namespace MyApp::sim {
namespace {

constexpr std::int64_t kMaxGameTicks = 25 * 60 * 1000 / kTickMs;

// Taken before the game's own tick `before` (paused ticks do not count), lasting `ticks`.
struct Pause {
    std::int64_t before = 0;
    std::int64_t ticks = 0;
};

struct Played {
    std::vector<std::string> events;  // "tick: event", by the game's own ticks
    std::vector<std::string> eventsWhilePaused;
    std::vector<std::int64_t> phaseChanges;          // ticks whose update changed the phase
    std::int64_t level2From = -1, level2Until = -1;  // level 2 running
};

Played Play(std::uint32_t seed, const std::vector<Pause>& pauses) {
    Simulation sim(seed);
    Bot bot;
    sim.SetPlayer(&bot);
    Played played;
    std::size_t seen = 0, nextPause = 0;
    for (std::int64_t tick = 0; tick < kMaxGameTicks && !sim.GameOver(); ++tick) {
        for (; nextPause < pauses.size() && pauses[nextPause].before == tick; ++nextPause) {
            // The player pauses and leaves the keys alone until the game resumes.
            sim.game().paused = true;
            sim.SetPlayer(nullptr);
            for (std::int64_t i = 0; i < pauses[nextPause].ticks; ++i) {
                sim.Tick();
            }
            for (; seen < sim.events().size(); ++seen) {
                played.eventsWhilePaused.push_back(sim.events()[seen].what);
            }
            sim.game().paused = false;
            sim.SetPlayer(&bot);
        }
        const std::int32_t phase = sim.game().levelPhase;
        const bool running = sim.game().levelRunning;
        sim.Tick();
        for (; seen < sim.events().size(); ++seen) {
            played.events.push_back(std::to_string(tick) + ": " + sim.events()[seen].what);
        }
        const GameFields& game = sim.game();
        if (running && game.levelRunning && game.levelPhase != phase) {
            played.phaseChanges.push_back(tick);
        }
        if (game.levelRunning && game.level == 2) {
            played.level2From = played.level2From < 0 ? tick : played.level2From;
            played.level2Until = tick;
        }
    }
    return played;
}

// A pause longer than the one between phases just before (or after) every phase change, and
// one of random length at a random point of level 2 (`late`: across the saucers' arrival).
std::vector<Pause> PausesFor(const Played& reference, bool late, std::mt19937& random) {
    std::vector<Pause> pauses;
    for (std::int64_t tick : reference.phaseChanges) {
        pauses.push_back({tick + (late ? 1 : 0), 2500 / kTickMs});
    }
    const std::int64_t from = reference.level2From, until = reference.level2Until;
    const std::int64_t lo = late ? from + 34000 / kTickMs : from;
    const std::int64_t hi = late ? std::min(until, from + 40000 / kTickMs) : until;
    pauses.push_back({std::uniform_int_distribution<std::int64_t>(lo, hi)(random),
                      std::uniform_int_distribution<std::int64_t>(1, 300)(random)});
    std::sort(pauses.begin(), pauses.end(),
              [](const Pause& a, const Pause& b) { return a.before < b.before; });
    return pauses;
}

TEST(PauseSimulation, PausedGamesEndAsTheSameGamesUnpaused) {
    const int seeds = SeedCount(3);
    std::mt19937 random(77);
    for (int i = 0; i < seeds; ++i) {
        const std::uint32_t seed = 2000 + 31 * i;
        const Played reference = Play(seed, {});
        ASSERT_FALSE(reference.phaseChanges.empty()) << "seed " << seed;
        ASSERT_GE(reference.level2From, 0) << "seed " << seed;
        for (const bool late : {false, true}) {
            const std::vector<Pause> pauses = PausesFor(reference, late, random);
            const Played paused = Play(seed, pauses);
            const auto [a, b] = std::mismatch(paused.events.begin(), paused.events.end(),
                                              reference.events.begin(), reference.events.end());
            EXPECT_TRUE(a == paused.events.end() && b == reference.events.end())
                << "seed " << seed << " late " << late << ": "
                << (a != paused.events.end() ? *a : "(end)") << " | "
                << (b != reference.events.end() ? *b : "(end)");
            // Each pause said so on the status line, and nothing else happened meanwhile.
            const std::string pausa = "status \"" + std::string(kPauseText) + "\"";
            EXPECT_EQ(paused.eventsWhilePaused, std::vector<std::string>(pauses.size(), pausa))
                << "seed " << seed;
        }
    }
}

}  // namespace
}  // namespace MyApp::sim
