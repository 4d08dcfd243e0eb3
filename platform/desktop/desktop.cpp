#include "platform/desktop/desktop.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/gfx/device.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/gl_device.h"
#include "platform/sdl/sdl_gamepad.h"
#include "platform/sdl/sdl_joystick.h"
#include "platform/sdl/sdl_sound.h"
#include "platform/sdlwin/child_view.h"
#include "platform/sdlwin/sdl_backend.h"

namespace platform::desktop {
namespace {

// The one GL context every panel device draws in; it lives until the program ends.
std::shared_ptr<gl::OffscreenContext>& Context() {
    static std::shared_ptr<gl::OffscreenContext> context;
    return context;
}

// Makes GL devices whose presented frames the panel's window shows over its client area,
// copied from the device's framebuffer when the window is drawn.
class PanelDeviceFactory : public gfx::Factory {
  public:
    std::unique_ptr<gfx::Device> CreateDevice(gfx::DeviceType,
                                              const gfx::DeviceParams& params) override {
        Context()->MakeCurrent();
        std::unique_ptr<gl::GlDevice> device = gl::GlDevice::Create(params.width, params.height);
        if (!device) {
            return nullptr;
        }
        const HWND window = params.window;
        if (window == nullptr) {
            return device;
        }
        // The window shows the device's frames until the device goes.
        auto shown =
            std::shared_ptr<void>(nullptr, [window](void*) { sdlwin::RemoveChildFrame(window); });
        // It renders at the device size of the panel's rectangle in the window, straight into
        // the window's back buffer where the window can take that, else into its own
        // framebuffer, which the window copies.
        gl::GlDevice* raw = device.get();
        device->SetScaleSource([window] { return sdlwin::ChildViewScale(window); });
        device->SetTargetSource([window]() -> std::optional<gl::GlDevice::Target> {
            const std::optional<sdlwin::ChildDrawable> at = sdlwin::BeginChildDrawing(window);
            if (!at) {
                Context()->MakeCurrent();
                return std::nullopt;
            }
            // The panel is the window's only view: the window's depth buffer is its own.
            return gl::GlDevice::Target{
                0,   at->drawable.cx, at->drawable.cy, POINT{at->rect.left, at->rect.top}, at->rect,
                true};
        });
        device->SetPresentHook([window, shown, raw](unsigned framebuffer, int width, int height) {
            if (const auto& in = raw->InPlace()) {
                sdlwin::ShowChildDrawnInPlace(
                    window, width, height, raw->Scale(),
                    sdlwin::ChildDrawable{SIZE{in->width, in->height}, in->clip});
            } else {
                sdlwin::ShowChildFramebuffer(window, framebuffer, width, height, raw->Scale());
            }
        });
        return device;
    }
};

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// SDL falls back to drivers that show nothing when no display answers; the game would then
// run unseen. Those count only when SDL_VIDEODRIVER asks for them.
bool DriverShowsWindows() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) {
        return false;
    }
    const bool invisible = std::strcmp(driver, "offscreen") == 0 ||
                           std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "evdev") == 0;
    return !invisible || EnvironmentSet("SDL_VIDEODRIVER");
}

}  // namespace

bool Start(std::string* error) {
    if (!EnvironmentSet("SDL_VIDEODRIVER") && !EnvironmentSet("DISPLAY") &&
        !EnvironmentSet("WAYLAND_DISPLAY")) {
        if (error != nullptr) {
            *error = "no display (DISPLAY and WAYLAND_DISPLAY are not set)";
        }
        return false;
    }
    if (!sdlwin::Install(error)) {
        return false;
    }
    if (!DriverShowsWindows()) {
        if (error != nullptr) {
            const char* driver = SDL_GetCurrentVideoDriver();
            *error = std::string("no display answers (SDL offers only its \"") +
                     (driver != nullptr ? driver : "") + "\" driver)";
        }
        sdlwin::Uninstall();
        return false;
    }
    static sdl::SdlSoundOutput sound;
    SetSoundOutput(&sound);
    // Pads first: the raw joysticks then leave out the devices read as pads.
    static sdl::SdlGamepadBackend pads;
    SetGamepadBackend(&pads);
    static sdl::SdlJoystickBackend joysticks;
    SetJoystickBackend(&joysticks);

    Context() = gl::OffscreenContext::Create();
    if (Context()) {
        sdlwin::UseGlContext(Context()->NativeContext());
    }
    // Without a GL context there is no device maker at all: a panel then reports that its
    // device cannot be initialised, in its own error box, and stays blank.
    gfx::SetFactoryProvider([]() -> std::unique_ptr<gfx::Factory> {
        if (!Context()) {
            return nullptr;
        }
        return std::make_unique<PanelDeviceFactory>();
    });
    return true;
}

void SetMainWindowPlacement(const WindowPlacement& placement) {
    sdlwin::SetMainWindowPlacement(placement);
}

WindowPlacement MainWindowPlacement() {
    return sdlwin::MainWindowPlacement();
}

}  // namespace platform::desktop
