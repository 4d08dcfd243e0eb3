#include "platform/sdlwin/gl_window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <algorithm>
#include <cmath>

#include "platform/win/rects.h"

namespace platform::sdlwin {
namespace {

// Copies a w x h block of the bound read framebuffer (rows from the bottom, origin 0, 0) to
// `to` in the window (top-left origin, drawable height h); upside down when `flip`.
void CopyTo(int w, int h, const RECT& to, int drawableHeight, bool flip, bool smooth) {
    const int bottom = drawableHeight - to.bottom;
    const int top = drawableHeight - to.top;
    glBlitFramebuffer(0, 0, w, h, to.left, flip ? top : bottom, to.right, flip ? bottom : top,
                      GL_COLOR_BUFFER_BIT, smooth ? GL_LINEAR : GL_NEAREST);
}

}  // namespace

std::unique_ptr<GlWindow> GlWindow::Create(SDL_Window* window, SDL_GLContext context) {
    if (window == nullptr || context == nullptr)
        return nullptr;
    std::unique_ptr<GlWindow> w(new GlWindow(window, context));
    if (!w->MakeCurrent())
        return nullptr;
    // The window shows frames as they come: waiting for the display would hold up the tick.
    SDL_GL_SetSwapInterval(0);
    glGenTextures(1, &w->texture_);
    glGenFramebuffers(1, &w->framebuffer_);
    return w;
}

GlWindow::~GlWindow() {
    if (!MakeCurrent())
        return;
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &texture_);
}

bool GlWindow::MakeCurrent() const {
    if (SDL_GL_GetCurrentContext() == context_ && SDL_GL_GetCurrentWindow() == window_)
        return true;
    return SDL_GL_MakeCurrent(window_, context_) == 0;
}

SIZE GlWindow::DrawableSize() const {
    int w = 0;
    int h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    return SIZE{w, h};
}

void GlWindow::SetPicture(const win::Surface& surface, const RECT& region) {
    const RECT r = win::Intersect(region, RECT{0, 0, surface.width, surface.height});
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || !MakeCurrent())
        return;
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, surface.width);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, r.left);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, r.top);
    // Rows top first: the texture's row 0 is the picture's top row.
    if (w != width_ || h != height_) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     surface.pixels.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_,
                               0);
        width_ = w;
        height_ = h;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE,
                        surface.pixels.data());
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

void GlWindow::Draw(const win::ScaleMap& map, const std::vector<PlacedFrame>& views) {
    if (!MakeCurrent())
        return;
    const SIZE drawable = DrawableSize();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, drawable.cx, drawable.cy);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Whole-pixel scales copy pixels as they are; others filter.
    const bool smooth = map.scale != std::floor(map.scale);
    if (width_ > 0 && height_ > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        CopyTo(width_, height_, map.ToDevice(RECT{0, 0, width_, height_}), drawable.cy, true,
               smooth);
    }
    for (const PlacedFrame& v : views) {
        if (v.frame == nullptr || v.frame->framebuffer == 0)
            continue;
        // The frame's top-left corner at the rect's, clipped to the rect.
        const int w = std::min<int>(v.frame->width, v.rect.right - v.rect.left);
        const int h = std::min<int>(v.frame->height, v.rect.bottom - v.rect.top);
        if (w <= 0 || h <= 0)
            continue;
        const RECT shown{v.rect.left, v.rect.top, v.rect.left + w, v.rect.top + h};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, v.frame->framebuffer);
        const int below = v.frame->height - h;  // GL rows run from the bottom
        glBlitFramebuffer(0, below, w, below + h, map.DeviceX(shown.left),
                          drawable.cy - map.DeviceY(shown.bottom), map.DeviceX(shown.right),
                          drawable.cy - map.DeviceY(shown.top), GL_COLOR_BUFFER_BIT,
                          smooth ? GL_LINEAR : GL_NEAREST);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

void GlWindow::Swap() {
    if (MakeCurrent())
        SDL_GL_SwapWindow(window_);
}

Image GlWindow::ReadBack() const {
    Image image;
    if (!MakeCurrent())
        return image;
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
        std::swap_ranges(image.pixels.begin() + static_cast<std::ptrdiff_t>(row * y),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(row * (size.cy - 1 - y)));
    }
    return image;
}

}  // namespace platform::sdlwin
