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
        // The window shows the device's framebuffer as it is, until the device goes.
        auto shown = std::shared_ptr<void>(nullptr, [window](void*) {
            sdlwin::RemoveChildFrame(window);
        });
        device->SetPresentHook([window, shown](unsigned framebuffer, int width, int height) {
            sdlwin::ShowChildFramebuffer(window, framebuffer, width, height);
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
