// Shared pieces of the rendering tests: one offscreen GL context for the whole program, the
// GL device maker installed for the panel, and pixel helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/gfx/device.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/gl_device.h"
#include "platform/images/images.h"

namespace platform::gl::testing {

// The context, made on first use; null (with the reason) when this machine has no GL. It is
// kept to the end of the process so the GL driver stays loaded (its own allocations are then
// attributed to it by the leak checker).
inline OffscreenContext* SharedContext(std::string* why) {
    static std::string error;
    static OffscreenContext* context = OffscreenContext::Create(&error).release();
    if (why) {
        *why = error;
    }
    if (context) {
        context->MakeCurrent();
    }
    return context;
}

// Skips the test when there is no GL; installs the GL device maker while the test runs.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        if (!SharedContext(&why)) {
            GTEST_SKIP() << "no OpenGL 3.3 context available (" << why << ")";
        }
        previous_ = gfx::SetFactoryProvider([] { return std::make_unique<GlFactory>(); });
        installed_ = true;
    }
    void TearDown() override {
        if (installed_) {
            gfx::SetFactoryProvider(std::move(previous_));
        }
    }

  private:
    gfx::FactoryProvider previous_;
    bool installed_ = false;
};

inline int Red(std::uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline int Green(std::uint32_t c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int Blue(std::uint32_t c) {
    return static_cast<int>(c & 0xFF);
}

inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

// The box around every pixel whose colour differs from background (left > right when none).
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < left; }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};
inline Box Covered(const Image& image, std::uint32_t background) {
    Box box;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!Near(image.At(x, y), background, 0)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

}  // namespace platform::gl::testing
