// The game tick: one call every 30 ms advances the running level or walks the small state
// machine between levels (title, level picture, playing, level ended, level complete, game
// over, game complete), then draws one frame. FormMain::OnTimer runs it on the window's
// fields; everything it does to the window goes through TickServices, so tests can drive
// the tick with doubles.
#pragma once

#include <string>

#include "app/Timestamp.h"
#include "game/GameFields.h"

namespace MyApp {

inline constexpr const char* kStartPrompt = "PREMI [G] o FIRE PER GIOCARE";

// What the tick calls outside its own fields.
class TickServices {
  public:
    virtual ~TickServices() = default;
    virtual bool UpdateLevel(int level) = 0;  // UpdateLevel1..4; false when the level ended
    virtual void ControlPlayer() = 0;         // levels 1 to 3
    virtual void ControlAstronaut() = 0;      // level 4
    virtual void BuildLevel(int level) = 0;   // BuildLevel1..4
    virtual bool StartPressed() = 0;          // ReadInput's start
    virtual void BuildTitleScene() = 0;
    virtual void OpenNameEntry() = 0;
    virtual void Render() = 0;
    // Sends WM_CLOSE to the main window; true when the window is gone afterwards.
    virtual bool CloseMainWindow() = 0;
    virtual void LoadBanner(const std::string& path) = 0;
    virtual void ShowBanner(bool show) = 0;
    virtual void ShowPanel(bool show) = 0;
    virtual std::string GetStatusText() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
};

// The tick's private state: one set for the program (FormMain keeps it in static storage).
struct TickState {
    bool started = false;  // the clocks have been set at the first tick
    bool tickBusy = false;
    bool gameOverPending = false;
    bool gameOverBannerDue = false;
    bool autoContinue = false;
    bool bannerShown = false;
    bool levelStarting = false;
    Timestamp moveClock;
    Timestamp endClock;
    Timestamp continueClock;
    Timestamp bannerClock;
};

inline constexpr std::int64_t kMovePacingMs = 40;
inline constexpr std::int64_t kLevelEndPauseMs = 1500;
inline constexpr std::int64_t kPictureMs = 5000;

void RunTick(TickState& state, GameFields& game, TickServices& services);

}  // namespace MyApp
