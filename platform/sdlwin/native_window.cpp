#include "platform/sdlwin/native_window.h"

#include <algorithm>
#include <vector>

#include "platform/sdlwin/child_view.h"

namespace platform::sdlwin {

RECT OuterRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT RegionOf(HWND window, bool decorated) {
    if (decorated) {
        return win::ContentRect(window);
    }
    RECT r = OuterRect(window);
    return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

void SetIcon(HWND window, Native& n) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (icon == nullptr) {
        icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    }
    if (icon == n.icon) {
        return;
    }
    const win::Surface* picture = win::IconPicture(icon);
    if (picture == nullptr || picture->width <= 0 || picture->height <= 0) {
        return;
    }
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(picture->pixels.data()), picture->width, picture->height, 32,
        picture->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (s == nullptr) {
        return;
    }
    SDL_SetWindowIcon(n.window, s);
    SDL_FreeSurface(s);
    n.icon = icon;
}

void PresentWithRenderer(HWND window, Native& n, const win::Surface& surface) {
    RECT region = RegionOf(window, n.decorated);
    region.left = std::clamp<LONG>(region.left, 0, surface.width);
    region.top = std::clamp<LONG>(region.top, 0, surface.height);
    region.right = std::clamp<LONG>(region.right, region.left, surface.width);
    region.bottom = std::clamp<LONG>(region.bottom, region.top, surface.height);
    int w = region.right - region.left;
    int h = region.bottom - region.top;
    if (w <= 0 || h <= 0) {
        return;
    }
    std::vector<std::uint32_t> pixels = ComposeRegion(surface, region, FramesOf(window));
    if (n.texture == nullptr || n.textureWidth != w || n.textureHeight != h) {
        if (n.texture != nullptr) {
            SDL_DestroyTexture(n.texture);
        }
        n.texture = SDL_CreateTexture(n.renderer, SDL_PIXELFORMAT_ARGB8888,
                                      SDL_TEXTUREACCESS_STREAMING, w, h);
        n.textureWidth = w;
        n.textureHeight = h;
    }
    if (n.texture == nullptr) {
        return;
    }
    SDL_UpdateTexture(n.texture, nullptr, pixels.data(), w * 4);
    Show(n);
}

void Show(Native& n) {
    if (n.texture == nullptr) {
        return;
    }
    KeepGlContext keep;
    SDL_RenderClear(n.renderer);
    SDL_RenderCopy(n.renderer, n.texture, nullptr, nullptr);
    SDL_RenderPresent(n.renderer);
}

HWND OwnerOf(HWND window) {
    return reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT));
}

bool OnSomeDisplay(int x, int y) {
    const SDL_Point p{x, y};
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&p, &bounds)) {
            return true;
        }
    }
    return false;
}

double PixelsPerPoint(const Native& n) {
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(n.window, &w, &h);
    if (!n.gl || w <= 0) {
        return 1.0;
    }
    return static_cast<double>(n.gl->DrawableSize().cx) / w;
}

win::ScaleMap MapOf(HWND window, const Native& n) {
    if (!n.gl) {
        return win::ScaleMap{};
    }
    const RECT region = RegionOf(window, n.decorated);
    return win::Letterbox(SIZE{region.right - region.left, region.bottom - region.top},
                          n.gl->DrawableSize());
}

bool IsFullscreenKey(const SDL_Keysym& key) {
    const bool enter = key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER;
    return key.sym == SDLK_F11 || (enter && (key.mod & KMOD_ALT) != 0);
}

bool SurfaceAt(HWND window, double scale) {
    const win::Surface* surface = win::TopLevelSurface(window);
    if (surface == nullptr || surface->scale == scale) {
        return true;
    }
    win::SetSurfaceScale(window, scale);
    return false;
}

WindowPlacement PlacementOf(const Native& n, const SDL_Rect& windowed) {
    WindowPlacement p;
    p.known = true;
    p.fullscreen = n.fullscreen;
    if (p.fullscreen) {
        p.x = windowed.x;
        p.y = windowed.y;
        p.width = windowed.w;
        p.height = windowed.h;
        p.known = windowed.w > 0;
        return p;
    }
    SDL_GetWindowPosition(n.window, &p.x, &p.y);
    SDL_GetWindowSize(n.window, &p.width, &p.height);
    return p;
}

namespace {

// A rectangle of the window's surface relative to the part of it the native window shows.
RECT InRegion(const RECT& r, const RECT& region) {
    return RECT{r.left - region.left, r.top - region.top, r.right - region.left,
                r.bottom - region.top};
}

}  // namespace

std::vector<PlacedFrame> ViewsOf(HWND window, const Native& n) {
    const RECT region = RegionOf(window, n.decorated);
    std::vector<PlacedFrame> views = FramesOf(window);
    for (PlacedFrame& v : views) {
        v.rect = InRegion(v.rect, region);
    }
    return views;
}

std::optional<ChildDrawable> DrawableOf(HWND child, HWND top, const Native& n) {
    if (!n.gl || !n.gl->TakesFramesInPlace() || !n.gl->MakeCurrent()) {
        return std::nullopt;
    }
    std::vector<PlacedFrame> views = ViewsOf(top, n);
    std::erase_if(views, [child](const PlacedFrame& v) { return v.child == child; });
    if (!views.empty()) {
        return std::nullopt;  // the window's picture goes around one view only
    }
    const win::ScaleMap map = MapOf(top, n);
    n.gl->PrepareForFrame(map);
    return ChildDrawable{
        n.gl->DrawableSize(),
        map.ToDevice(InRegion(win::RectInSurface(child, true), RegionOf(top, n.decorated)))};
}

}  // namespace platform::sdlwin
