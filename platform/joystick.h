// Joysticks with the meaning of the multimedia joystick calls: up to two devices (ids 0 and
// 1), raw axis positions in each device's own range, and a button mask. A backend (SDL in
// the game, a scripted one in tests) supplies the devices; without one none is attached.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

namespace platform {

inline constexpr UINT JOYERR_NOERROR = 0;
inline constexpr UINT JOYERR_PARMS = 165;
inline constexpr UINT JOYERR_UNPLUGGED = 167;
inline constexpr UINT JOYSTICKID1 = 0;
inline constexpr UINT JOYSTICKID2 = 1;

struct JOYINFO {
    UINT wXpos = 0;
    UINT wYpos = 0;
    UINT wZpos = 0;
    UINT wButtons = 0;
};

struct JOYCAPSW {
    UINT wXmin = 0, wXmax = 0;
    UINT wYmin = 0, wYmax = 0;
    UINT wZmin = 0, wZmax = 0;
    UINT wNumButtons = 0;
};
inline constexpr UINT kJoyCapsSize = 728;  // sizeof(JOYCAPSW) on Windows, which callers pass

class JoystickBackend {
  public:
    virtual ~JoystickBackend() = default;
    virtual UINT NumDevs() = 0;
    virtual UINT GetPos(UINT id, JOYINFO* info) = 0;
    virtual UINT GetDevCaps(UINT id, JOYCAPSW* caps) = 0;
};

void SetJoystickBackend(JoystickBackend* backend);  // not owned; nullptr: no joysticks

UINT joyGetNumDevs();
UINT joyGetPos(UINT id, JOYINFO* info);
UINT joyGetDevCapsW(UINT id, JOYCAPSW* caps, UINT size);

}  // namespace platform
