// SDL keyboard events in Win32 terms: the virtual-key codes of WM_KEYDOWN/WM_KEYUP and of the
// key-state table, and the characters of WM_CHAR.
#pragma once

#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace platform::sdl {

struct VirtualKey {
    // The code a key message carries: VK_CONTROL, VK_SHIFT, VK_MENU for either side's
    // modifier, 0 when the key has no virtual-key code.
    int message = 0;
    // The side-specific code the key-state table also records (VK_LCONTROL, VK_RSHIFT, ...);
    // 0 for keys without sides.
    int side = 0;
};

// Maps an SDL key (its SDL_Scancode and SDL_Keycode, as the event gives them) to virtual
// keys. Letters and digits follow the keycode (the layout's letter); the other keys their
// position.
VirtualKey MapKey(int scancode, int keycode);

// The WM_CHAR characters of a text-input event (UTF-8), as UTF-16 code units; malformed
// bytes are dropped.
std::u16string CharsFromText(std::string_view utf8);

}  // namespace platform::sdl
