// A picture the GL device copies whole into its back buffer (the panel's background).
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gfx/device.h"
#include "platform/images/images.h"

namespace platform::gl {

// The picture, its top row first, read through a framebuffer of its own; at scales other
// than 1 also filtered to the device's size once, so that each frame copies it 1:1 instead of
// filtering every pixel again. Copies turn the rows over (GL counts them from the bottom),
// which lets a copy into a window's back buffer be a plain memory copy (picture_format.h).
class GlSurface : public gfx::Surface {
  public:
    // The picture must have all its pixels; it is made opaque.
    explicit GlSurface(const Image& picture);
    ~GlSurface() override;
    GlSurface(const GlSurface&) = delete;
    GlSurface& operator=(const GlSurface&) = delete;
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    // A framebuffer holding the picture at width x height pixels, its top row first.
    GLuint At(int width, int height) const;

  private:
    int width_;
    int height_;
    GLuint texture_ = 0;
    GLuint framebuffer_ = 0;
    mutable GLuint scaledTexture_ = 0;
    mutable GLuint scaledFramebuffer_ = 0;
    mutable int scaledWidth_ = 0;
    mutable int scaledHeight_ = 0;
};

}  // namespace platform::gl
