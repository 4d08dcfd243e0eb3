#include "platform/gl/gl_surface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gl/gl_buffers.h"

namespace platform::gl {

GlSurface::GlSurface(const Image& picture) : width_(picture.width), height_(picture.height) {
    // Opaque: the back buffer has no alpha channel of its own.
    std::vector<std::uint32_t> opaque(picture.pixels.begin(),
                                      picture.pixels.begin() + std::ptrdiff_t{width_} * height_);
    for (std::uint32_t& pixel : opaque) {
        pixel |= 0xFF000000u;
    }
    texture_ = UploadPicture(opaque.data(), width_, height_, 0);
    framebuffer_ = FramebufferOf(texture_, 0);
}

GlSurface::~GlSurface() {
    const GLuint framebuffers[] = {framebuffer_, scaledFramebuffer_};
    glDeleteFramebuffers(2, framebuffers);
    const GLuint textures[] = {texture_, scaledTexture_};
    glDeleteTextures(2, textures);
}

GLuint GlSurface::At(int width, int height) const {
    if (width == width_ && height == height_) {
        return framebuffer_;
    }
    if (scaledFramebuffer_ == 0 || width != scaledWidth_ || height != scaledHeight_) {
        scaledTexture_ = UploadPicture(nullptr, width, height, scaledTexture_);
        scaledFramebuffer_ = FramebufferOf(scaledTexture_, scaledFramebuffer_);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glDisable(GL_SCISSOR_TEST);  // a frame drawn in place clips to its target
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_LINEAR);
        scaledWidth_ = width;
        scaledHeight_ = height;
    }
    return scaledFramebuffer_;
}

}  // namespace platform::gl
