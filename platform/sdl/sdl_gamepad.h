// Game pads through SDL's game-controller API and the mapping database that ships with SDL
// (plus SDL_GAMECONTROLLERCONFIG): pads are taken in when plugged in, at any time, and
// counted when unplugged. Devices SDL has no mapping for stay raw joysticks.
#pragma once

#include <cstdint>
#include <map>

#include "platform/gamepad.h"

struct _SDL_GameController;

namespace platform::sdl {

// A stick deflection past this (of 32767) counts as a direction; pads rest a little off
// centre, so the raw joystick's half-percent centre would make them drift.
inline constexpr int kPadDeadZone = 8000;

class SdlGamepadBackend : public GamepadBackend {
  public:
    SdlGamepadBackend();  // starts SDL's game-controller subsystem
    ~SdlGamepadBackend() override;
    SdlGamepadBackend(const SdlGamepadBackend&) = delete;
    SdlGamepadBackend& operator=(const SdlGamepadBackend&) = delete;

    PadControls Read() override;
    int TakeUnplugged() override;

    // The number of pads open now.
    int Attached() const { return static_cast<int>(open_.size()); }

  private:
    // Closes pads that went away (counting them) and opens the ones that arrived.
    void Refresh();

    bool started_ = false;
    std::map<std::int32_t, _SDL_GameController*> open_;  // by SDL instance id
    int unplugged_ = 0;
};

}  // namespace platform::sdl
