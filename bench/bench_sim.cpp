// Simulated game ticks per second: level 3 with all ten saucers wandering and firing and
// every fireball slot in flight, drawn on the headless device with the real data set. The
// device keeps no draw log and counts each mesh's faces once, so the figure is the game's
// and the panel's work, not the stand-in's.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/Entities.h"
#include "platform/gfx/headless.h"
#include "tests/sim/harness/Simulation.h"

namespace {

using MyApp::MeshObject;

// Every hidden fireball slot back in flight from far away, aimed down the middle.
void ArmFireballs(MyApp::GameFields& game) {
    for (std::int32_t id = MyApp::kFirstRockId; id <= MyApp::kLastRockId; ++id) {
        MeshObject* ball = MyApp::FindObject(game, id);
        if (ball != nullptr && !ball->visible) {
            ball->visible = true;
            ball->frame = 5;
            ball->x = (id - 1005) * 0.8;
            ball->y = 1;
            ball->z = 45;
            ball->angle = 180;
            ball->hitCount = -50;
            MyApp::SetUserFloat(*ball, 1.0f);
        }
    }
}

void BM_Level3FullSquadronTicks(benchmark::State& state) {
    auto control = std::make_shared<platform::gfx::HeadlessControl>();
    control->log = false;
    platform::gfx::ScopedHeadlessProvider quiet(control);
    MyApp::sim::Simulation sim(42, KX_SOURCE_DIR "/data");
    MyApp::GameFields& game = sim.game();
    game.level = 3;
    game.energy = 100;
    sim.BuildLevel(3);
    game.levelRunning = true;
    for (std::int32_t id = MyApp::kFirstSaucerId; id <= MyApp::kLastSaucerId; ++id) {
        MeshObject* saucer = MyApp::FindObject(game, id);
        saucer->visible = true;
        saucer->frame = 2;
        saucer->x = (id - 2005) * 1.0;
        saucer->z = 25 + (id - 2001) * 2.5;
    }
    for (auto _ : state) {
        ArmFireballs(game);
        game.energy = 1000000;  // the fireballs find the idle ship
        sim.Tick();
    }
    state.counters["ticks_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["sim_s_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * MyApp::sim::kTickMs / 1000.0,
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Level3FullSquadronTicks);

}  // namespace

BENCHMARK_MAIN();
