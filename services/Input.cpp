#include "services/Input.h"

#include <cmath>
#include <limits>

#include "platform/gamepad.h"
#include "platform/keyboard.h"

namespace MyApp {
namespace {

constexpr int kStartKey = 0x47;  // G

bool KeyHeld(int virtualKey) {
    return (static_cast<std::uint16_t>(platform::GetKeyState(virtualKey)) & 0x8000u) != 0;
}

// The joystick condition of each control.
enum class Control { kLeft, kUp, kRight, kDown, kFire, kStart };

bool JoystickHolds(const platform::JOYINFO& info, Control control) {
    const auto x = static_cast<std::int32_t>(info.wXpos);
    const auto y = static_cast<std::int32_t>(info.wYpos);
    switch (control) {
        case Control::kLeft:
            return x < 0;
        case Control::kRight:
            return x > 0;
        case Control::kUp:
            return y < 0;
        case Control::kDown:
            return y > 0;
        case Control::kFire:
        case Control::kStart:
            return info.wButtons != 0;
    }
    return false;
}

}  // namespace

void AddPadControls(const platform::PadControls& pad, InputState& state) {
    state.left |= pad.left;
    state.right |= pad.right;
    state.up |= pad.up;
    state.down |= pad.down;
    state.fire |= pad.fire;
    // The title asks for "G or FIRE": a fire button starts a game, as Start does.
    state.start |= pad.start || pad.fire;
}

std::int32_t ScaleJoystickAxis(platform::UINT position, platform::UINT min, platform::UINT max) {
    // The device's values are unsigned; the arithmetic is in floating point, so neither a
    // range high in the 32-bit values nor an inverted one wraps around.
    const double p = position, lo = min, hi = max;
    if (hi == lo) {
        return 0;  // a range of no width gives no direction
    }
    const double value = (p - (lo + hi) * 0.5) * 200.0 / (hi - lo);
    // |value| can exceed the int32 range only for positions far outside the range.
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t FindJoystick() {
    const platform::UINT count = platform::joyGetNumDevs();
    if (count == 0) {
        return -1;
    }
    platform::JOYINFO info;
    const bool first =
        platform::joyGetPos(platform::JOYSTICKID1, &info) == platform::JOYERR_NOERROR;
    const bool second =
        platform::joyGetPos(platform::JOYSTICKID2, &info) == platform::JOYERR_NOERROR;
    if (first) {
        return 0;
    }
    if (count > 1 && second) {
        return 1;
    }
    return -1;
}

bool PollJoystick(JoystickReading& reading, std::int32_t id) {
    reading.id = id;
    platform::JOYINFO raw;
    if (platform::joyGetPos(static_cast<platform::UINT>(id), &raw) != platform::JOYERR_NOERROR) {
        reading.info = platform::JOYINFO{};
        return false;
    }
    const platform::JOYCAPSW& caps = reading.caps;
    // Scaled values are stored in the unsigned fields as their two's-complement bits.
    reading.info.wXpos =
        static_cast<platform::UINT>(ScaleJoystickAxis(raw.wXpos, caps.wXmin, caps.wXmax));
    reading.info.wYpos =
        static_cast<platform::UINT>(ScaleJoystickAxis(raw.wYpos, caps.wYmin, caps.wYmax));
    reading.info.wZpos =
        static_cast<platform::UINT>(ScaleJoystickAxis(raw.wZpos, caps.wZmin, caps.wZmax));
    reading.info.wButtons = raw.wButtons;
    return true;
}

InputState ReadInput(bool joystickEnabled, platform::HWND mainWindow) {
    InputState state;

    JoystickReading reading;
    bool joystickUsable = false;
    if (joystickEnabled) {
        const std::int32_t id = FindJoystick();
        if (id >= 0) {
            reading.id = id;
            joystickUsable =
                platform::joyGetDevCapsW(static_cast<platform::UINT>(id), &reading.caps,
                                         platform::kJoyCapsSize) == platform::JOYERR_NOERROR;
        }
    }

    struct Field {
        bool* value;
        int key;
        Control control;
    };
    const Field fields[] = {
        {&state.left, platform::VK_LEFT, Control::kLeft},
        {&state.up, platform::VK_UP, Control::kUp},
        {&state.right, platform::VK_RIGHT, Control::kRight},
        {&state.down, platform::VK_DOWN, Control::kDown},
        {&state.fire, platform::VK_LCONTROL, Control::kFire},
        {&state.start, kStartKey, Control::kStart},
    };
    for (const Field& field : fields) {
        if (platform::GetForegroundWindow() == mainWindow && KeyHeld(field.key)) {
            *field.value = true;
        } else if (joystickUsable && PollJoystick(reading, reading.id) &&
                   JoystickHolds(reading.info, field.control)) {
            *field.value = true;
        }
    }
    if (joystickEnabled) {
        AddPadControls(platform::ReadGamepads(), state);
    }
    return state;
}

}  // namespace MyApp
