// An OpenGL 3.3 core context without a visible window: SDL's offscreen video driver when no
// video driver runs yet, else a hidden window of the running one. For tests and tools that
// render into the device's own framebuffer and read the pixels back.
#pragma once

#include <memory>
#include <string>

namespace platform::gl {

class OffscreenContext {
  public:
    // Null when no GL context can be had; error then says why.
    static std::unique_ptr<OffscreenContext> Create(std::string* error = nullptr);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    void MakeCurrent();
    // The SDL_GLContext, for windows that draw in this context too.
    void* NativeContext() const { return context_; }
    // The GL_RENDERER string (e.g. "llvmpipe (LLVM 15.0.6, 256 bits)").
    std::string Renderer() const;

  private:
    OffscreenContext() = default;
    void* window_ = nullptr;
    void* context_ = nullptr;
    bool ownsVideo_ = false;
};

}  // namespace platform::gl
