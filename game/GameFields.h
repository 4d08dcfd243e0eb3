// The game fields of the main window: level, energy, score, the state flags and the window
// elements the game draws into. The game layer owns the record; FormMain carries it, so
// level code reads and writes it without knowing the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/GameClock.h"
#include "platform/wintypes.h"
#include "services/SoundQueue.h"
#include "services/Timestamp.h"

namespace TekuUtility {
class D3DPanelEx;
class Image;
class CellControl;
class Timer;
}  // namespace TekuUtility

namespace MyApp {

struct GameFields {
    std::int32_t level = 1;         // level to play or being played; 5 = all four won
    std::int32_t reachedLevel = 0;  // level stored with the score
    std::string dataFolder;         // "..\data" or "data\"; names are appended as "\name"
    bool levelRunning = false;
    bool levelComplete = false;
    std::int32_t energy = 0;
    std::int32_t score = 0;
    bool paused = false;
    bool closeRequested = false;  // the next tick closes the main window without asking

    // The main window's elements the game draws into; the window owns them.
    TekuUtility::D3DPanelEx* panel = nullptr;
    TekuUtility::Image* banner = nullptr;
    TekuUtility::CellControl* statusBar = nullptr;
    TekuUtility::Timer* timer = nullptr;

    SoundQueue sounds;
    std::vector<std::string> highScores;
    bool joystickEnabled = false;

    std::int32_t levelPhase = 0;
    Timestamp levelStartTime;
    // Held by the tick while a running level is paused; the game's timestamps are its time.
    GameClock clock;

    // The main window: the owner of error boxes and the window that must be in the
    // foreground for the keyboard to count.
    platform::HWND mainWindow = nullptr;
};

}  // namespace MyApp
