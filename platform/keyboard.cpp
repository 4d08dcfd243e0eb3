#include "platform/keyboard.h"

#include <array>

namespace platform {
namespace {
std::array<bool, 256> g_down{};
HWND g_foreground = nullptr;

// The generic shift, control and alt keys read as held while either side is.
bool Held(int vk) {
    switch (vk) {
        case VK_SHIFT:
            return g_down[VK_SHIFT] || g_down[VK_LSHIFT] || g_down[VK_RSHIFT];
        case VK_CONTROL:
            return g_down[VK_CONTROL] || g_down[VK_LCONTROL] || g_down[VK_RCONTROL];
        case VK_MENU:
            return g_down[VK_MENU] || g_down[VK_LMENU] || g_down[VK_RMENU];
        default:
            return g_down[static_cast<std::size_t>(vk)];
    }
}
}  // namespace

std::int16_t GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    return Held(virtualKey) ? static_cast<std::int16_t>(0x8000) : 0;
}

HWND GetForegroundWindow() {
    return g_foreground;
}

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey <= 255) {
        g_down[static_cast<std::size_t>(virtualKey)] = down;
    }
}

void ReleaseAllKeys() {
    g_down.fill(false);
}

void SetForegroundWindowHandle(HWND window) {
    g_foreground = window;
}

}  // namespace platform
