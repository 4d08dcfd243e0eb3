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
    if (Handler()) {
        return Handler()(owner, text, caption, type);
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace platform
