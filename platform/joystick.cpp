#include "platform/joystick.h"

namespace platform {
namespace {
JoystickBackend* g_backend = nullptr;
}

void SetJoystickBackend(JoystickBackend* backend) {
    g_backend = backend;
}

UINT joyGetNumDevs() {
    return g_backend ? g_backend->NumDevs() : 0;
}

UINT joyGetPos(UINT id, JOYINFO* info) {
    if (!info) {
        return JOYERR_PARMS;
    }
    *info = JOYINFO{};
    return g_backend ? g_backend->GetPos(id, info) : JOYERR_UNPLUGGED;
}

UINT joyGetDevCapsW(UINT id, JOYCAPSW* caps, UINT size) {
    if (!caps || size != kJoyCapsSize) {
        return JOYERR_PARMS;
    }
    *caps = JOYCAPSW{};
    return g_backend ? g_backend->GetDevCaps(id, caps) : JOYERR_PARMS;
}

}  // namespace platform
