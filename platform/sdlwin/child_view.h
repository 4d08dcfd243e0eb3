// Pictures that something other than the window system draws into a child window: the 3D
// panel's rendering device. The real-window backend shows a child's latest frame over the
// child's client area every time the child's top-level window is presented. No SDL types
// here, so that the layers above may use it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win/backend.h"
#include "platform/wintypes.h"

namespace platform::sdlwin {

// A rendered frame: rows from the top, each pixel 0xAARRGGBB; or, for a window drawn with
// OpenGL, a framebuffer of the shared GL context (rows from the bottom) and no pixels.
struct ChildFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    unsigned framebuffer = 0;
    double scale = 1.0;  // device pixels of the framebuffer per logical pixel of the child
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
// The scale the top-level window of `child` is shown at (1 when none shows it).
double ChildViewScale(HWND child);
void RemoveChildFrame(HWND child);
const ChildFrame* FindChildFrame(HWND child);

// The child's client area in the pixels of the native window that shows it, for a device
// that will draw there itself; nothing when no native window shows the child.
std::optional<RECT> ChildViewRect(HWND child);

// A frame placed in a top-level window's surface (rect in surface pixels).
struct PlacedFrame {
    RECT rect{};
    const ChildFrame* frame = nullptr;
};

// The pixels of `region` of the surface (clipped to it) with the frames drawn over it, each
// clipped to its own rect and to the region; rows of region width.
std::vector<std::uint32_t> ComposeRegion(const win::Surface& surface, const RECT& region,
                                         const std::vector<PlacedFrame>& frames);

// The frames to draw over a top-level window: those of its visible descendants, placed at
// their client areas.
std::vector<PlacedFrame> FramesOf(HWND topLevel);

// Called by ShowChildFrame so that the backend presents the top-level window again.
using FrameListener = void (*)(HWND topLevel);
void SetFrameListener(FrameListener listener);

}  // namespace platform::sdlwin
