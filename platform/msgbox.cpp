#include "platform/msgbox.h"

#include <cstdio>
#include <utility>

namespace platform {
namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

int MessageBoxA(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    // Errors also reach the terminal the game was started from, box or no box.
    const bool error = (type & 0xF0) == MB_ICONERROR;
    if (error || !Handler()) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    if (Handler()) {
        return Handler()(owner, text, caption, type);
    }
    return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace platform
