// The keyboard state table and the foreground window, as GetKeyState and
// GetForegroundWindow report them. The window-system backends keep both current from their
// input events; tests set them directly.
#pragma once

#include "platform/wintypes.h"

namespace platform {

// High bit (0x8000) set while the key is held.
std::int16_t GetKeyState(int virtualKey);
HWND GetForegroundWindow();

void SetKeyDown(int virtualKey, bool down);
void ReleaseAllKeys();
void SetForegroundWindowHandle(HWND window);

}  // namespace platform
