#include "platform/sdlwin/gl_window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gl/picture_format.h"
#include "platform/win/rects.h"

namespace platform::sdlwin {
namespace {

// The parts of `whole` outside `hole`: up to four bands (none empty).
std::vector<RECT> Around(const RECT& whole, const RECT& hole) {
    const RECT h = win::Intersect(hole, whole);
    if (h.right <= h.left || h.bottom <= h.top) {
        return {whole};
    }
    std::vector<RECT> parts;
    const RECT bands[] = {{whole.left, whole.top, whole.right, h.top},
                          {whole.left, h.bottom, whole.right, whole.bottom},
                          {whole.left, h.top, h.left, h.bottom},
                          {h.right, h.top, whole.right, h.bottom}};
    for (const RECT& r : bands) {
        if (r.right > r.left && r.bottom > r.top) {
            parts.push_back(r);
        }
    }
    return parts;
}

// The part of a view's rect its frame covers (the frame's top-left at the rect's).
// The logical part of its rect a frame covers.
RECT Covered(const PlacedFrame& v) {
    const win::ScaleMap device{v.frame->scale, POINT{0, 0}};
    const int w =
        std::min<int>(device.ToLogical(POINT{v.frame->width, 0}).x, v.rect.right - v.rect.left);
    const int h =
        std::min<int>(device.ToLogical(POINT{0, v.frame->height}).y, v.rect.bottom - v.rect.top);
    return RECT{v.rect.left, v.rect.top, v.rect.left + std::max(0, w), v.rect.top + std::max(0, h)};
}

bool Shows(const PlacedFrame& v) {
    return v.frame != nullptr && (v.frame->framebuffer != 0 || v.frame->inPlace);
}

// Clears `r` (device pixels from the drawable's top-left corner) to black.
void ClearBlack(const RECT& r, int drawableHeight) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(r.left, drawableHeight - r.bottom, r.right - r.left, r.bottom - r.top);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace

std::unique_ptr<GlWindow> GlWindow::Create(SDL_Window* window, SDL_GLContext context) {
    if (window == nullptr || context == nullptr) {
        return nullptr;
    }
    std::unique_ptr<GlWindow> w(new GlWindow(window, context));
    if (!w->MakeCurrent()) {
        return nullptr;
    }
    // The window shows frames as they come: waiting for the display would hold up the tick.
    SDL_GL_SetSwapInterval(0);
    // Frames are drawn in place only with the depth and stencil bits of the device's own
    // framebuffer, so that they come out the same.
    GLint depth = 0;
    GLint stencil = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depth);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL,
                                          GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE, &stencil);
    // SDL's offscreen driver draws a window into a buffer that keeps the window's first size.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool offscreen = driver != nullptr && std::strcmp(driver, "offscreen") == 0;
    w->takesFramesInPlace_ = depth >= 24 && stencil >= 8 && !offscreen;
    glGenTextures(1, &w->texture_);
    glGenFramebuffers(1, &w->framebuffer_);
    return w;
}

GlWindow::~GlWindow() {
    if (!MakeCurrent()) {
        return;
    }
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &texture_);
}

bool GlWindow::MakeCurrent() const {
    if (SDL_GL_GetCurrentContext() == context_ && SDL_GL_GetCurrentWindow() == window_) {
        return true;
    }
    return SDL_GL_MakeCurrent(window_, context_) == 0;
}

SIZE GlWindow::DrawableSize() const {
    int w = 0;
    int h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    return SIZE{w, h};
}

void GlWindow::SetPicture(const win::Surface& surface, const RECT& region, const RECT& changed) {
    // The surface holds device pixels: the region's are kept as they are.
    const win::ScaleMap device{surface.scale, POINT{0, 0}};
    const RECT r =
        win::Intersect(device.ToDevice(region), RECT{0, 0, surface.width, surface.height});
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || !MakeCurrent()) {
        stored_ = RECT{};  // the changes are lost: everything is stored next time
        return;
    }
    picture_ = device;
    picture_.origin = POINT{-r.left, -r.top};
    region_ = region;
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, surface.width);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, r.left);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, r.top);
    // Rows top first: the texture's row 0 is the picture's top row.
    const bool same = r.left == stored_.left && r.top == stored_.top && w == width_ && h == height_;
    stored_ = r;
    if (!same) {
        glTexImage2D(GL_TEXTURE_2D, 0, gl::kPictureInternalFormat, w, h, 0, gl::kPictureFormat,
                     GL_UNSIGNED_BYTE, surface.pixels.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_,
                               0);
        width_ = w;
        height_ = h;
    } else if (const RECT part = win::Intersect(changed, r);
               part.right > part.left && part.bottom > part.top) {
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, part.left);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, part.top);
        glTexSubImage2D(GL_TEXTURE_2D, 0, part.left - r.left, part.top - r.top,
                        part.right - part.left, part.bottom - part.top, gl::kPictureFormat,
                        GL_UNSIGNED_BYTE, surface.pixels.data());
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

std::vector<RECT> GlWindow::Bars(const win::ScaleMap& map, SIZE drawable) const {
    const RECT picture{0, 0, region_.right - region_.left, region_.bottom - region_.top};
    return Around(RECT{0, 0, drawable.cx, drawable.cy}, map.ToDevice(picture));
}

void GlWindow::PrepareForFrame(const win::ScaleMap& map) {
    if (Bars(map, DrawableSize()).empty()) {
        return;
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlWindow::Draw(const win::ScaleMap& map, const std::vector<PlacedFrame>& views) {
    if (!MakeCurrent()) {
        return;
    }
    const SIZE drawable = DrawableSize();
    const int bottom = drawable.cy;  // GL rows run from the bottom
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, drawable.cx, drawable.cy);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const RECT picture{0, 0, region_.right - region_.left, region_.bottom - region_.top};
    // The bars only, so that frames drawn in place stay; they were cleared before a frame
    // drawn in place.
    if (views.size() != 1 || !HeldInPlace(views[0], map, drawable)) {
        for (const RECT& bar : Bars(map, drawable)) {
            ClearBlack(bar, bottom);
        }
    }
    // Whole-pixel scales copy pixels as they are; others filter. The picture is at device
    // size already (copied 1:1) unless the scale moved since it was drawn.
    const auto filterFor = [](double ratio) {
        return ratio != std::floor(ratio) ? GL_LINEAR : GL_NEAREST;
    };
    const GLenum filter = filterFor(map.scale);
    const GLenum pictureFilter = filterFor(map.scale / picture_.scale);
    // The picture is copied around a single view only: that view covers the rest.
    const RECT hole = views.size() == 1 && Shows(views[0]) ? Covered(views[0]) : RECT{};
    if (width_ > 0 && height_ > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        for (const RECT& part : Around(picture, hole)) {
            const RECT to = map.ToDevice(part);
            const RECT from =
                picture_.ToDevice(RECT{part.left + region_.left, part.top + region_.top,
                                       part.right + region_.left, part.bottom + region_.top});
            // The texture's rows run from the top: copied upside down.
            glBlitFramebuffer(from.left, from.top, from.right, from.bottom, to.left,
                              bottom - to.top, to.right, bottom - to.bottom, GL_COLOR_BUFFER_BIT,
                              pictureFilter);
        }
    }
    for (const PlacedFrame& v : views) {
        if (!Shows(v)) {
            continue;
        }
        const RECT part = Covered(v);
        const int w = part.right - part.left;
        const int h = part.bottom - part.top;
        if (w <= 0 || h <= 0) {
            continue;
        }
        const RECT to = map.ToDevice(part);
        if (v.frame->inPlace) {
            if (!HeldInPlace(v, map, drawable)) {
                ClearBlack(to, bottom);  // not drawn again: nothing rather than an old frame
            }
            continue;
        }
        // The frame is drawn at its own scale: copied 1:1 when that is the window's.
        const RECT from = win::ScaleMap{v.frame->scale, POINT{0, 0}}.ToDevice(RECT{0, 0, w, h});
        glBindFramebuffer(GL_READ_FRAMEBUFFER, v.frame->framebuffer);
        const int below = v.frame->height - from.bottom;
        glBlitFramebuffer(0, below, from.right, below + from.bottom, to.left, bottom - to.bottom,
                          to.right, bottom - to.top, GL_COLOR_BUFFER_BIT,
                          to.right - to.left == from.right && to.bottom - to.top == from.bottom
                              ? GL_NEAREST
                              : filter);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

void GlWindow::Swap() {
    if (MakeCurrent()) {
        SDL_GL_SwapWindow(window_);
    }
}

Image GlWindow::ReadBack() const {
    Image image;
    if (!MakeCurrent()) {
        return image;
    }
    const SIZE size = DrawableSize();
    image.width = size.cx;
    image.height = size.cy;
    const auto row = static_cast<std::size_t>(size.cx);
    image.pixels.resize(row * static_cast<std::size_t>(size.cy));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, size.cx, size.cy, GL_BGRA, GL_UNSIGNED_BYTE, image.pixels.data());
    for (int y = 0; y < size.cy / 2; ++y) {  // GL's rows run from the bottom
        std::swap_ranges(
            image.pixels.begin() + static_cast<std::ptrdiff_t>(row * y),
            image.pixels.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)),
            image.pixels.begin() + static_cast<std::ptrdiff_t>(row * (size.cy - 1 - y)));
    }
    return image;
}

}  // namespace platform::sdlwin
