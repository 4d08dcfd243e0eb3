// The joysticks of the multimedia joystick calls, read through SDL2: ids 0 and 1 are the
// first two attached devices that SDL does not know as game pads; axes are reported in
// 0..65535 and buttons as a bit mask.
#pragma once

#include <array>
#include <cstdint>

#include "platform/joystick.h"

struct _SDL_Joystick;

namespace platform::sdl {

// SDL axis value (-32768..32767) to the unsigned position of the caps range 0..65535.
UINT AxisToPosition(std::int16_t axis);
// Bit i set when button i is down; buttons past the 32nd are folded into the last bit so a
// press of any button still shows in the mask.
UINT ButtonMask(const bool* down, int count);
// The range every device reports in its caps.
inline constexpr UINT kAxisMin = 0;
inline constexpr UINT kAxisMax = 65535;

class SdlJoystickBackend : public JoystickBackend {
  public:
    SdlJoystickBackend();  // starts SDL's joystick subsystem
    ~SdlJoystickBackend() override;
    SdlJoystickBackend(const SdlJoystickBackend&) = delete;
    SdlJoystickBackend& operator=(const SdlJoystickBackend&) = delete;

    UINT NumDevs() override;
    UINT GetPos(UINT id, JOYINFO* info) override;
    UINT GetDevCaps(UINT id, JOYCAPSW* caps) override;

  private:
    // The open device for id, opened on demand; null when none is attached there.
    _SDL_Joystick* Open(UINT id);

    bool started_ = false;
    std::array<_SDL_Joystick*, 2> open_{};
};

}  // namespace platform::sdl
