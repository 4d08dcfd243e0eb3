#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>

namespace platform::sdl {
namespace {

void AddControls(SDL_GameController* pad, PadControls* controls) {
    auto button = [pad](SDL_GameControllerButton b) {
        return SDL_GameControllerGetButton(pad, b) != 0;
    };
    const int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    controls->left |= x < -kPadDeadZone || button(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    controls->right |= x > kPadDeadZone || button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    controls->up |= y < -kPadDeadZone || button(SDL_CONTROLLER_BUTTON_DPAD_UP);
    controls->down |= y > kPadDeadZone || button(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    controls->fire |= button(SDL_CONTROLLER_BUTTON_A) || button(SDL_CONTROLLER_BUTTON_B) ||
                      button(SDL_CONTROLLER_BUTTON_X) || button(SDL_CONTROLLER_BUTTON_Y);
    controls->start |= button(SDL_CONTROLLER_BUTTON_START);
}

}  // namespace

SdlGamepadBackend::SdlGamepadBackend() {
    started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

SdlGamepadBackend::~SdlGamepadBackend() {
    for (auto& [id, pad] : open_) {
        SDL_GameControllerClose(pad);
    }
    open_.clear();
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
}

void SdlGamepadBackend::Refresh() {
    if (!started_) {
        return;
    }
    // Detects arrivals and departures even when nobody pumps SDL's events.
    SDL_GameControllerUpdate();
    for (auto it = open_.begin(); it != open_.end();) {
        if (SDL_GameControllerGetAttached(it->second)) {
            ++it;
            continue;
        }
        SDL_GameControllerClose(it->second);
        it = open_.erase(it);
        ++unplugged_;
    }
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        if (id < 0 || open_.count(id) != 0 || !SDL_IsGameController(index)) {
            continue;
        }
        if (SDL_GameController* pad = SDL_GameControllerOpen(index)) {
            open_.emplace(id, pad);
        }
    }
}

PadControls SdlGamepadBackend::Read() {
    Refresh();
    PadControls controls;
    for (const auto& [id, pad] : open_) {
        AddControls(pad, &controls);
    }
    return controls;
}

int SdlGamepadBackend::TakeUnplugged() {
    Refresh();
    const int count = unplugged_;
    unplugged_ = 0;
    return count;
}

}  // namespace platform::sdl
