#include "platform/sdlwin/child_view.h"

#include <algorithm>
#include <map>

#include "platform/win/rects.h"
#include "platform/win/win32.h"

namespace platform::sdlwin {
namespace {

using win::Intersect;

struct Registry {
    std::map<HWND, ChildFrame> frames;
    FrameListener listener = nullptr;
    bool redrawing = false;  // frames drawn again for the window being drawn tell nobody
};

Registry& Frames() {
    static Registry registry;
    return registry;
}

}  // namespace

void ShowChildFrame(HWND child, int width, int height, const std::uint32_t* pixels) {
    if (width <= 0 || height <= 0 || pixels == nullptr || !IsWindow(child)) {
        RemoveChildFrame(child);
        return;
    }
    ChildFrame& f = Frames().frames[child] = ChildFrame{};
    f.width = width;
    f.height = height;
    f.pixels.assign(pixels,
                    pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (Frames().listener != nullptr) {
        Frames().listener(GetAncestorRoot(child));
    }
}

namespace {

// Keeps a frame that stays in GL (a framebuffer, or the window's back buffer when drawn in
// place) and tells the listener.
void ShowGlFrame(HWND child, const ChildFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 || (frame.framebuffer == 0 && !frame.inPlace) ||
        !IsWindow(child)) {
        RemoveChildFrame(child);
        return;
    }
    ChildFrame& f = Frames().frames[child] = frame;
    f.scale = frame.scale > 0 ? frame.scale : 1.0;
    if (Frames().listener != nullptr && !Frames().redrawing) {
        Frames().listener(GetAncestorRoot(child));
    }
}

}  // namespace

void ShowChildFramebuffer(HWND child, unsigned framebuffer, int width, int height, double scale) {
    ChildFrame f;
    f.width = width;
    f.height = height;
    f.framebuffer = framebuffer;
    f.scale = scale;
    ShowGlFrame(child, f);
}

void ShowChildDrawnInPlace(HWND child, int width, int height, double scale,
                           const ChildDrawable& at) {
    ChildFrame f;
    f.width = width;
    f.height = height;
    f.scale = scale;
    f.inPlace = true;
    f.origin = POINT{at.rect.left, at.rect.top};
    f.drawable = at.drawable;
    f.fresh = true;
    ShowGlFrame(child, f);
}

bool HeldInPlace(const PlacedFrame& view, const win::ScaleMap& map, SIZE drawable) {
    const ChildFrame* f = view.frame;
    const RECT at = map.ToDevice(view.rect);
    return f != nullptr && f->inPlace && f->fresh && f->origin.x == at.left &&
           f->origin.y == at.top && f->drawable.cx == drawable.cx && f->drawable.cy == drawable.cy;
}

void RedrawStaleFrames(const std::vector<PlacedFrame>& frames, const win::ScaleMap& map,
                       SIZE drawable) {
    for (const PlacedFrame& p : frames) {
        if (p.frame == nullptr || !p.frame->inPlace || HeldInPlace(p, map, drawable)) {
            continue;
        }
        Frames().redrawing = true;
        SendMessageW(p.child, WM_PAINT, 0, 0);
        Frames().redrawing = false;
    }
}

void MarkFramesShown(const std::vector<PlacedFrame>& frames) {
    for (const PlacedFrame& p : frames) {
        auto it = Frames().frames.find(p.child);
        if (it != Frames().frames.end()) {
            it->second.fresh = false;
        }
    }
}

double ChildViewScale(HWND child) {
    const win::Surface* s = win::TopLevelSurface(GetAncestorRoot(child));
    return s != nullptr ? s->scale : 1.0;
}

void RemoveChildFrame(HWND child) {
    Frames().frames.erase(child);
}

const ChildFrame* FindChildFrame(HWND child) {
    auto it = Frames().frames.find(child);
    return it == Frames().frames.end() ? nullptr : &it->second;
}

void SetFrameListener(FrameListener listener) {
    Frames().listener = listener;
}

std::vector<PlacedFrame> FramesOf(HWND topLevel) {
    std::vector<PlacedFrame> placed;
    auto& frames = Frames().frames;
    for (auto it = frames.begin(); it != frames.end();) {
        if (!IsWindow(it->first)) {
            it = frames.erase(it);  // the child is gone: so is its frame
            continue;
        }
        if (GetAncestorRoot(it->first) == topLevel && IsWindowVisible(it->first)) {
            placed.push_back(
                PlacedFrame{win::RectInSurface(it->first, true), &it->second, it->first});
        }
        ++it;
    }
    return placed;
}

std::vector<std::uint32_t> ComposeRegion(const win::Surface& surface, const RECT& region,
                                         const std::vector<PlacedFrame>& frames) {
    RECT r = Intersect(region, RECT{0, 0, surface.width, surface.height});
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src =
            surface.pixels.data() +
            static_cast<std::size_t>(r.top + y) * static_cast<std::size_t>(surface.width) +
            static_cast<std::size_t>(r.left);
        std::copy(src, src + w, out.begin() + static_cast<std::ptrdiff_t>(y) * w);
    }
    for (const PlacedFrame& p : frames) {
        if (p.frame == nullptr ||
            p.frame->pixels.size() < static_cast<std::size_t>(p.frame->width) *
                                         static_cast<std::size_t>(p.frame->height)) {
            continue;
        }
        RECT shown{p.rect.left, p.rect.top, p.rect.left + p.frame->width,
                   p.rect.top + p.frame->height};
        RECT clip = Intersect(Intersect(shown, p.rect), r);
        for (int y = clip.top; y < clip.bottom; ++y) {
            const std::uint32_t* src = p.frame->pixels.data() +
                                       static_cast<std::size_t>(y - p.rect.top) *
                                           static_cast<std::size_t>(p.frame->width) +
                                       static_cast<std::size_t>(clip.left - p.rect.left);
            std::copy(
                src, src + (clip.right - clip.left),
                out.begin() + static_cast<std::ptrdiff_t>(y - r.top) * w + (clip.left - r.left));
        }
    }
    return out;
}

}  // namespace platform::sdlwin
