// Game pads with a known layout (a left stick, a D-pad, four face buttons and Start), read
// as the game's controls, and word of pads unplugged. A backend (SDL's game-controller API
// in the game) supplies them; without one no pad is attached.
#pragma once

namespace platform {

// What the attached pads ask for, all pads together.
struct PadControls {
    bool left = false;
    bool right = false;
    bool up = false;
    bool down = false;
    bool fire = false;   // A, B, X or Y
    bool start = false;  // the Start button
};

class GamepadBackend {
  public:
    virtual ~GamepadBackend() = default;
    // Takes in pads plugged in since the last call, then reads every attached pad.
    virtual PadControls Read() = 0;
    // How many pads were unplugged since the last call.
    virtual int TakeUnplugged() = 0;
};

void SetGamepadBackend(GamepadBackend* backend);  // not owned; nullptr: no pads

PadControls ReadGamepads();
int TakeUnpluggedGamepads();

}  // namespace platform
