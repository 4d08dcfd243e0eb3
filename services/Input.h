// The game's controls as one small record, sampled from the keyboard (while the main window
// is in the foreground) and, when enabled, from the first attached joystick and the game
// pads. Nothing is kept between calls: every read polls the devices anew.
#pragma once

#include <cstdint>

#include "platform/gamepad.h"
#include "platform/joystick.h"
#include "platform/wintypes.h"

namespace MyApp {

struct InputState {
    bool left = false;
    bool right = false;
    bool up = false;
    bool down = false;
    bool fire = false;
    bool start = false;
};

// One joystick poll: the device id (0 or 1), the last positions (already scaled to
// -100..+100) with the button mask, and the device's axis ranges.
struct JoystickReading {
    std::int32_t id = 0;
    platform::JOYINFO info;
    platform::JOYCAPSW caps;
};

// A raw axis position scaled to -100 at min .. +100 at max, truncated toward zero. The
// device's values are unsigned 32-bit numbers; a range of no width counts as centred.
std::int32_t ScaleJoystickAxis(platform::UINT position, platform::UINT min, platform::UINT max);

// The id of the first attached joystick (0 or 1), or -1 when none answers.
std::int32_t FindJoystick();

// Polls joystick id into reading.info and scales its three axes with reading.caps; true when
// the poll succeeded. On failure the positions and buttons are zero.
bool PollJoystick(JoystickReading& reading, std::int32_t id);

// Adds what the game pads ask for to state: stick and D-pad move, the face buttons fire and,
// like Start, start a game.
void AddPadControls(const platform::PadControls& pad, InputState& state);

// Samples the controls. The keyboard counts only while mainWindow is the foreground window;
// the joystick and the game pads count, when joystickEnabled, whatever window is in front.
InputState ReadInput(bool joystickEnabled, platform::HWND mainWindow);

}  // namespace MyApp
