#include "platform/gl/gl_context.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL.h>

namespace platform::gl {
namespace {

// Depth and stencil as the device's own framebuffer has them, so that a panel can draw
// straight into a window.
void RequestWindowBuffers() {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

}  // namespace

std::unique_ptr<OffscreenContext> OffscreenContext::Create(std::string* error) {
    std::unique_ptr<OffscreenContext> context(new OffscreenContext);
    auto fail = [&](const char* what) {
        if (error) {
            *error = std::string(what) + ": " + SDL_GetError();
        }
        return nullptr;
    };
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_GetCurrentVideoDriver() == nullptr) {
        if (SDL_VideoInit("offscreen") != 0) {
            return fail("no offscreen video driver");
        }
        context->ownsVideo_ = true;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    RequestWindowBuffers();
    SDL_Window* window =
        SDL_CreateWindow("kx offscreen", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        return fail("no GL window");
    }
    context->window_ = window;
    SDL_GLContext gl = SDL_GL_CreateContext(window);
    SDL_GL_ResetAttributes();
    // Windows made later draw in this context: theirs are the same buffers.
    RequestWindowBuffers();
    if (!gl) {
        return fail("no OpenGL 3.3 core context");
    }
    context->context_ = gl;
    context->MakeCurrent();
    return context;
}

OffscreenContext::~OffscreenContext() {
    if (context_) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
    if (window_) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
    }
    if (ownsVideo_) {
        SDL_VideoQuit();
    }
}

void OffscreenContext::MakeCurrent() {
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), static_cast<SDL_GLContext>(context_));
}

std::string OffscreenContext::Renderer() const {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer ? renderer : "";
}

}  // namespace platform::gl
