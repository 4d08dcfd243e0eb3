#include "platform/desktop/desktop.h"

#include <memory>

#include "platform/gfx/device.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/gl_device.h"
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

// Makes GL devices that hand each presented frame to the panel's window, which shows it over
// its client area.
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
        gl::GlDevice* raw = device.get();
        // The frame's picture is kept from one present to the next.
        device->SetPresentHook([raw, window, frame = Image{}](unsigned, int, int) mutable {
            if (window == nullptr) {
                return;
            }
            raw->ReadPixels(&frame);
            sdlwin::ShowChildFrame(window, frame.width, frame.height, frame.pixels.data());
            // Showing the frame presents the window, which may make the window's own renderer
            // context current: the device's next frame must draw in the panels' context again.
            Context()->MakeCurrent();
        });
        return device;
    }
};

}  // namespace

bool Start(std::string* error) {
    if (!sdlwin::Install(error)) {
        return false;
    }
    static sdl::SdlSoundOutput sound;
    SetSoundOutput(&sound);
    static sdl::SdlJoystickBackend joysticks;
    SetJoystickBackend(&joysticks);

    Context() = gl::OffscreenContext::Create();
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

}  // namespace platform::desktop
