// Message boxes. The window system installs the real, modal implementation (a window of its
// own with a nested message loop); tests install a scripted one. Without either, the text
// goes to stderr and the box answers IDOK (IDNO to a yes/no question). Error boxes
// (MB_ICONERROR) are written to stderr as well when a box is shown.
#pragma once

#include <functional>
#include <string>

#include "platform/wintypes.h"

namespace platform {

using MessageBoxHandler =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;

int MessageBoxA(HWND owner, const std::string& text, const std::string& caption, UINT type);

// Installs a handler and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
