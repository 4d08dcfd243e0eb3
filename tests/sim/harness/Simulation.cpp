#include "tests/sim/harness/Simulation.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "game/EnemyFire.h"
#include "game/Level1.h"
#include "game/Level2.h"
#include "game/Level34.h"
#include "game/LevelBuilders.h"
#include "game/Random.h"
#include "game/ResetForTests.h"
#include "platform/keyboard.h"

namespace MyApp::sim {
namespace {

// Stands for the main window: ReadInput compares it with the foreground window.
const platform::HWND kMainWindow = reinterpret_cast<platform::HWND>(std::uintptr_t{0x5170});

std::string DefaultDataFolder() {
    const char* dir = std::getenv("KX_SOURCE_DIR");
    return std::string(dir ? dir : KX_SOURCE_PATH) + "/data";
}

}  // namespace

SimPanel::SimPanel() : D3DPanelEx(nullptr) {
    width = 640;
    height = 480;
    initDevice(nullptr);
}

Simulation::Simulation(std::uint32_t seed, std::string dataFolder) {
    // Every piece of state the game keeps for the whole run starts afresh.
    ResetGameForTests();
    SeedRandomForTesting(seed);
    platform::ReleaseAllKeys();
    platform::SetForegroundWindowHandle(kMainWindow);

    panel_ = std::make_unique<SimPanel>();
    game_.panel = panel_.get();
    game_.mainWindow = kMainWindow;
    game_.dataFolder = dataFolder.empty() ? DefaultDataFolder() : std::move(dataFolder);
}

Simulation::~Simulation() {
    platform::ReleaseAllKeys();
    platform::SetForegroundWindowHandle(nullptr);
}

void Simulation::Tick() {
    if (player_ != nullptr) {
        player_->Decide(game_, titleShown_);
    }
    const bool wasRunning = game_.levelRunning;
    RunTick(tick_, game_, *this);
    if (!wasRunning && game_.levelRunning) {
        levels_.push_back({game_.level, elapsedMs_, -1, false});
        Record("level " + std::to_string(game_.level) + " running");
    }
    if (game_.levelRunning && game_.levelPhase != lastPhase_) {
        Record("level " + std::to_string(game_.level) + " phase " +
               std::to_string(game_.levelPhase));
    }
    lastPhase_ = game_.levelRunning ? game_.levelPhase : 0;
    clock_.AdvanceMs(kTickMs);
    elapsedMs_ += kTickMs;
}

void Simulation::RunUntil(const std::function<bool()>& pred, std::int64_t maxMs) {
    for (const std::int64_t end = elapsedMs_ + maxMs; elapsedMs_ < end && !pred();) {
        Tick();
    }
}

bool Simulation::Happened(const std::string& what) const {
    return std::any_of(events_.begin(), events_.end(),
                       [&](const SimEvent& e) { return e.what == what; });
}

bool Simulation::UpdateLevel(int level, const Timestamp& now) {
    using Update = bool (*)(GameFields&, const Timestamp&);
    constexpr Update kUpdates[] = {UpdateLevel1, UpdateLevel2, UpdateLevel3, UpdateLevel4};
    const bool running = level < 1 || level > 4 || kUpdates[level - 1](game_, now);
    if (!running && !levels_.empty() && levels_.back().endMs < 0) {
        LevelRun& run = levels_.back();
        run.endMs = elapsedMs_;
        run.won = game_.levelComplete;
        Record("level " + std::to_string(level) + (run.won ? " won" : " lost") + " score " +
               std::to_string(game_.score) + " energy " + std::to_string(game_.energy));
    }
    return running;
}

void Simulation::BuildLevel(int level) {
    titleShown_ = false;
    // The shipped files are checked by their own test; the simulation only plays them.
    MyApp::BuildLevel(game_, level, [](GameFields&, const std::string&) {});
    Record("build level " + std::to_string(level));
}

void Simulation::BuildTitleScene() {
    panel_->setScene({}, {}, {}, {}, {}, {});
    titleShown_ = true;
    ++gamesEnded_;
    Record("title, reached level " + std::to_string(game_.reachedLevel));
}

void Simulation::LoadBanner(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    Record("banner " + path.substr(slash == std::string::npos ? 0 : slash + 1));
}

void Simulation::SetStatusText(const std::string& text) {
    status_ = text;
    if (!text.empty()) {
        Record("status \"" + text + "\"");
    }
}

std::string Simulation::Summary() const {
    std::ostringstream out;
    for (const SimEvent& e : events_) {
        out << e.ms / 1000.0 << " s: " << e.what << "\n";
    }
    return out.str();
}

int SeedCount(int fallback) {
    const char* value = std::getenv("KX_SIM_SEEDS");
    if (value == nullptr) {
        return fallback;
    }
    const int n = std::atoi(value);
    return n > 0 ? n : fallback;
}

}  // namespace MyApp::sim
