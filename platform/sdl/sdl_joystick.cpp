#include "platform/sdl/sdl_joystick.h"

#include <SDL.h>

namespace platform::sdl {

UINT AxisToPosition(std::int16_t axis) {
    return static_cast<UINT>(static_cast<int>(axis) + 32768);
}

UINT ButtonMask(const bool* down, int count) {
    UINT mask = 0;
    for (int i = 0; down && i < count; ++i) {
        if (down[i]) {
            mask |= 1u << (i < 31 ? i : 31);
        }
    }
    return mask;
}

namespace {

// The SDL device index of raw joystick id: the id-th attached device that is not a game pad
// (pads SDL knows are read through the game-controller API); -1 when there is none.
int RawDeviceIndex(UINT id) {
    const int count = SDL_NumJoysticks();
    UINT seen = 0;
    for (int index = 0; index < count; ++index) {
        if (SDL_IsGameController(index)) {
            continue;
        }
        if (seen == id) {
            return index;
        }
        ++seen;
    }
    return -1;
}

}  // namespace

SdlJoystickBackend::SdlJoystickBackend() {
    started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

SdlJoystickBackend::~SdlJoystickBackend() {
    for (SDL_Joystick*& joystick : open_) {
        if (joystick) {
            SDL_JoystickClose(joystick);
            joystick = nullptr;
        }
    }
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
}

UINT SdlJoystickBackend::NumDevs() {
    // The multimedia call counts the slots the driver supports, not attached devices.
    return started_ ? 2 : 0;
}

SDL_Joystick* SdlJoystickBackend::Open(UINT id) {
    if (!started_ || id > 1) {
        return nullptr;
    }
    SDL_JoystickUpdate();
    SDL_Joystick*& joystick = open_[id];
    if (joystick && !SDL_JoystickGetAttached(joystick)) {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
    // Re-check that slot id still names the same device: a device unplugged before it moves
    // the later ones down.
    const int index = RawDeviceIndex(id);
    if (index < 0) {
        if (joystick) {
            SDL_JoystickClose(joystick);
            joystick = nullptr;
        }
        return nullptr;
    }
    const SDL_JoystickID wanted = SDL_JoystickGetDeviceInstanceID(index);
    if (joystick && SDL_JoystickInstanceID(joystick) != wanted) {
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
    if (!joystick) {
        joystick = SDL_JoystickOpen(index);
    }
    return joystick;
}

UINT SdlJoystickBackend::GetPos(UINT id, JOYINFO* info) {
    if (id > 1) {
        return JOYERR_PARMS;
    }
    SDL_Joystick* joystick = Open(id);
    if (!joystick) {
        return JOYERR_UNPLUGGED;
    }
    const int axes = SDL_JoystickNumAxes(joystick);
    auto axis = [&](int index) {
        return index < axes ? AxisToPosition(SDL_JoystickGetAxis(joystick, index))
                            : AxisToPosition(0);
    };
    info->wXpos = axis(0);
    info->wYpos = axis(1);
    info->wZpos = axis(2);
    bool down[64] = {};
    const int buttons = SDL_JoystickNumButtons(joystick);
    const int n = buttons < 64 ? buttons : 64;
    for (int i = 0; i < n; ++i) {
        down[i] = SDL_JoystickGetButton(joystick, i) != 0;
    }
    info->wButtons = ButtonMask(down, n);
    return JOYERR_NOERROR;
}

UINT SdlJoystickBackend::GetDevCaps(UINT id, JOYCAPSW* caps) {
    if (id > 1) {
        return JOYERR_PARMS;
    }
    SDL_Joystick* joystick = Open(id);
    if (!joystick) {
        return JOYERR_UNPLUGGED;
    }
    caps->wXmin = caps->wYmin = caps->wZmin = kAxisMin;
    caps->wXmax = caps->wYmax = caps->wZmax = kAxisMax;
    const int buttons = SDL_JoystickNumButtons(joystick);
    caps->wNumButtons = buttons > 0 ? static_cast<UINT>(buttons) : 0;
    return JOYERR_NOERROR;
}

}  // namespace platform::sdl
