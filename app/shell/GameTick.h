// The game tick: one call every 30 ms advances the running level or walks the small state
// machine between levels (title, level picture, playing, level ended, level complete, game
// over, game complete), then draws one frame. FormMain::OnTimer runs it on the window's
// fields; everything it does to the window goes through TickServices, so tests can drive
// the tick with doubles.
#pragma once

#include <string>

#include "game/GameFields.h"
#include "services/Timestamp.h"

namespace MyApp {

inline constexpr const char* kStartPrompt = "PREMI [G] o FIRE PER GIOCARE";
// The status line while a running level is paused.
inline constexpr const char* kPauseText = "PAUSA";

// What the tick calls outside its own fields.
class TickServices {
  public:
    virtual ~TickServices() = default;
    // UpdateLevel1..4 at the tick's game time; false when the level ended.
    virtual bool UpdateLevel(int level, const Timestamp& now) = 0;
    virtual void ControlPlayer(const Timestamp& now) = 0;     // levels 1 to 3
    virtual void ControlAstronaut(const Timestamp& now) = 0;  // level 4
    virtual void BuildLevel(int level) = 0;                   // BuildLevel1..4
    virtual bool StartPressed() = 0;                          // ReadInput's start
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
    bool pauseShown = false;  // the status line says kPauseText
    // The last player control in game time, and in the platform's time for the pause, when
    // the game's clock stands still but the control still reads the input every 40 ms.
    Timestamp moveClock;
    Timestamp heldMoveClock;
    Timestamp endClock;
    Timestamp continueClock;
    Timestamp bannerClock;
};

inline constexpr std::int64_t kMovePacingMs = 40;
inline constexpr std::int64_t kLevelEndPauseMs = 1500;
inline constexpr std::int64_t kPictureMs = 5000;

// One tick. The game's clock is held while a running level is paused, and every clock of the
// tick and the game reads the game's time, taken once here.
void RunTick(TickState& state, GameFields& game, TickServices& services);

}  // namespace MyApp
