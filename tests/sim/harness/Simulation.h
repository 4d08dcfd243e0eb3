// A whole game in simulated time: the real tick, level builders, updates and controls on the
// real data set, drawn by a real panel on the headless device, with a fake clock advanced
// 30 ms per tick, scripted keys and a seeded generator. Records what the tick showed and
// what happened, for the simulation tests and the benchmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/GameTick.h"
#include "game/GameFields.h"
#include "game/GameInput.h"
#include "game/PlayerControl.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/clock.h"

namespace MyApp::sim {

inline constexpr std::int64_t kTickMs = 30;

// A panel drawn without a window, on a headless device of the game's size.
class SimPanel : public TekuUtility::D3DPanelEx {
  public:
    SimPanel();
    using D3DPanelEx::drawFrame;
    void beep() override {}
};

// Decides the keys held during the next tick (through platform/keyboard.h).
class Player {
  public:
    virtual ~Player() = default;
    virtual void Decide(GameFields& game, bool titleShown) = 0;
};

struct SimEvent {
    std::int64_t ms = 0;  // simulated time since the start of the run
    std::string what;
};

// One played level: when it started and stopped running, and whether it was won.
struct LevelRun {
    std::int32_t level = 0;
    std::int64_t startMs = 0, endMs = -1;  // -1 while it runs
    bool won = false;
};

class Simulation : public TickServices {
  public:
    // The data folder defaults to the shipped data set of the source tree.
    explicit Simulation(std::uint32_t seed, std::string dataFolder = "");
    ~Simulation() override;
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    void SetPlayer(Player* player) { player_ = player; }
    // One tick: the player decides, the tick runs, the clock moves 30 ms.
    void Tick();
    // Ticks until pred holds (checked after every tick) or maxMs have passed.
    void RunUntil(const std::function<bool()>& pred, std::int64_t maxMs);
    // A game has been played to its end and the title is back (name entry opened or not).
    bool GameOver() const { return gamesEnded_ > 0; }
    bool Happened(const std::string& what) const;

    GameFields& game() { return game_; }
    bool titleShown() const { return titleShown_; }
    const std::vector<SimEvent>& events() const { return events_; }
    const std::vector<LevelRun>& levels() const { return levels_; }
    int nameEntries() const { return nameEntries_; }
    std::string Summary() const;

    // TickServices
    bool UpdateLevel(int level, const Timestamp& now) override;
    void ControlPlayer(const Timestamp& now) override { MyApp::ControlPlayer(game_, now); }
    void ControlAstronaut(const Timestamp& now) override { MyApp::ControlAstronaut(game_, now); }
    void BuildLevel(int level) override;
    bool StartPressed() override { return ReadInput(game_).start; }
    void BuildTitleScene() override;
    void OpenNameEntry() override {
        ++nameEntries_;
        Record("name entry, score " + std::to_string(game_.score));
    }
    void Render() override { panel_->drawFrame(); }
    bool CloseMainWindow() override { return false; }
    void LoadBanner(const std::string& path) override;
    void ShowBanner(bool) override {}
    void ShowPanel(bool) override {}
    std::string GetStatusText() override { return status_; }
    void SetStatusText(const std::string& text) override;

  private:
    void Record(std::string what) { events_.push_back({elapsedMs_, std::move(what)}); }

    platform::ScopedFakeClock clock_;
    std::unique_ptr<SimPanel> panel_;
    GameFields game_;
    TickState tick_;
    Player* player_ = nullptr;
    std::int64_t elapsedMs_ = 0;
    bool titleShown_ = true;
    std::int32_t lastPhase_ = 0;
    int gamesEnded_ = 0, nameEntries_ = 0;
    std::string status_;
    std::vector<SimEvent> events_;
    std::vector<LevelRun> levels_;
};

// The seeds of a simulation test: KX_SIM_SEEDS (a count) when set, else `fallback`.
int SeedCount(int fallback);

}  // namespace MyApp::sim
