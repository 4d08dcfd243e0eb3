// Pictures that something other than the window system draws into a child window: the 3D
// panel's rendering device. The real-window backend shows a child's latest frame over the
// child's client area every time the child's top-level window is presented. No SDL types
// here, so that the layers above may use it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win/backend.h"
#include "platform/win/scale.h"
#include "platform/wintypes.h"

namespace platform::sdlwin {

// Where a device draws a child's frame itself: the child's client area in device pixels of
// the drawable of the window that shows it (from its top-left corner), which is current.
struct ChildDrawable {
    SIZE drawable{};
    RECT rect{};
};

// A rendered frame: rows from the top, each pixel 0xAARRGGBB; or, for a window drawn with
// OpenGL, a framebuffer of the shared GL context (rows from the bottom) and no pixels; or a
// frame drawn straight into the window's back buffer with its top-left corner at `origin`.
struct ChildFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    unsigned framebuffer = 0;
    double scale = 1.0;  // device pixels of the framebuffer per logical pixel of the child
    bool inPlace = false;
    POINT origin{};      // device pixels of the drawable, for a frame drawn in place
    SIZE drawable{};     // the drawable's size then
    bool fresh = false;  // drawn in place since the window last showed its back buffer
};

// Shows `pixels` (width x height, rows from the top, 0xAARRGGBB) over `child`'s client area,
// top-left aligned and clipped to it, and presents its top-level window at once when the
// real-window backend runs. The frame stays until replaced, removed or the child is gone.
void ShowChildFrame(HWND child, int width, int height, const std::uint32_t* pixels);
// The same for a frame that stays in a GL framebuffer (width x height device pixels, `scale`
// of them per logical pixel): copied, not read back, when the top-level window is drawn with
// OpenGL.
void ShowChildFramebuffer(HWND child, unsigned framebuffer, int width, int height,
                          double scale = 1.0);
// The same for a frame a device drew straight into the back buffer of the window that shows
// `child` (see BeginChildDrawing), its top-left corner at `origin` (device pixels).
void ShowChildDrawnInPlace(HWND child, int width, int height, double scale,
                           const ChildDrawable& at);
// The scale the top-level window of `child` is shown at (1 when none shows it).
double ChildViewScale(HWND child);
void RemoveChildFrame(HWND child);
const ChildFrame* FindChildFrame(HWND child);

// Makes the shared GL context current on the window that shows `child`; nothing when no GL
// window shows it or that window cannot take a frame drawn in place (no depth buffer).
std::optional<ChildDrawable> BeginChildDrawing(HWND child);

// A frame placed in a top-level window's surface (rect in surface pixels).
struct PlacedFrame {
    RECT rect{};
    const ChildFrame* frame = nullptr;
    HWND child = nullptr;
};

// The pixels of `region` of the surface (clipped to it) with the frames drawn over it, each
// clipped to its own rect and to the region; rows of region width.
std::vector<std::uint32_t> ComposeRegion(const win::Surface& surface, const RECT& region,
                                         const std::vector<PlacedFrame>& frames);

// The frames to draw over a top-level window: those of its visible descendants, placed at
// their client areas.
std::vector<PlacedFrame> FramesOf(HWND topLevel);

// Whether the back buffer of a drawable of `drawable` device pixels, `map` placing the
// window's content in it, holds the frame drawn in place for `view` (rect relative to the
// content).
bool HeldInPlace(const PlacedFrame& view, const win::ScaleMap& map, SIZE drawable);
// Frames drawn in place that the back buffer no longer holds (it was shown since, or they were
// drawn for another place or size) are drawn again: their children are sent WM_PAINT, which
// tells no listener.
void RedrawStaleFrames(const std::vector<PlacedFrame>& frames, const win::ScaleMap& map,
                       SIZE drawable);
// The window showed its back buffer: frames drawn in place there must be drawn again.
void MarkFramesShown(const std::vector<PlacedFrame>& frames);

// Called by ShowChildFrame so that the backend presents the top-level window again.
using FrameListener = void (*)(HWND topLevel);
void SetFrameListener(FrameListener listener);

}  // namespace platform::sdlwin
