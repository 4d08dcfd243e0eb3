#include "platform/gamepad.h"

namespace platform {
namespace {
GamepadBackend* g_backend = nullptr;
}

void SetGamepadBackend(GamepadBackend* backend) {
    g_backend = backend;
}

PadControls ReadGamepads() {
    return g_backend ? g_backend->Read() : PadControls{};
}

int TakeUnpluggedGamepads() {
    return g_backend ? g_backend->TakeUnplugged() : 0;
}

}  // namespace platform
