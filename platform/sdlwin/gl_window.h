// A top-level window shown through OpenGL: the window system's picture kept in a texture
// (stored again only when it changed) drawn around the child views, which are drawn straight
// into the back buffer or copied from their framebuffers, everything scaled and letterboxed,
// one buffer swap per frame. All GL work runs in the one context the 3D panels draw in.
#pragma once

#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/images/images.h"
#include "platform/sdlwin/child_view.h"
#include "platform/win/backend.h"
#include "platform/win/scale.h"

namespace platform::sdlwin {

class GlWindow {
  public:
    // Null when the context cannot draw into the window.
    static std::unique_ptr<GlWindow> Create(SDL_Window* window, SDL_GLContext context);
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    // The window's drawable size in device pixels.
    SIZE DrawableSize() const;
    // Makes the shared context current on the window; false when it cannot be.
    bool MakeCurrent() const;
    // Whether a device may draw its frames straight into the back buffer (it has the
    // depth and stencil bits of the device's own framebuffer).
    bool TakesFramesInPlace() const { return takesFramesInPlace_; }
    // Before a frame is drawn in place: where `map` leaves bars, the whole back buffer is
    // cleared to black at once (far cheaper on a software rasteriser than clearing each bar,
    // which Draw then leaves alone).
    void PrepareForFrame(const win::ScaleMap& map);
    // Keeps `region` (logical pixels) of the surface (clipped to it) as the window's picture,
    // at the surface's device pixels.
    // Only `changed` (device pixels) is stored again when the picture keeps its size.
    void SetPicture(const win::Surface& surface, const RECT& region, const RECT& changed);
    // Draws the picture through `map` (logical pixels of the region to device pixels), then
    // each view over its rect (logical, relative to the region), into the back buffer.
    void Draw(const win::ScaleMap& map, const std::vector<PlacedFrame>& views);
    // Shows what Draw drew.
    void Swap();
    // The back buffer as a picture, top row first (what the next Swap shows).
    Image ReadBack() const;

  private:
    GlWindow(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
    // The parts of a drawable of that size the picture does not cover under `map`.
    std::vector<RECT> Bars(const win::ScaleMap& map, SIZE drawable) const;

    SDL_Window* window_;
    SDL_GLContext context_;
    unsigned texture_ = 0;
    unsigned framebuffer_ = 0;  // reads the texture for copies
    bool takesFramesInPlace_ = false;
    int width_ = 0;
    int height_ = 0;
    win::ScaleMap picture_;  // logical pixels of the surface to texels
    RECT region_{};          // the picture's logical part of the surface
    RECT stored_{};          // the device pixels of the surface the texture holds
};

}  // namespace platform::sdlwin
