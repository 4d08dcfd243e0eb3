// Invalidation, WM_PAINT and device contexts for windows.
#include <algorithm>
#include <utility>

#include "platform/win/canvas.h"
#include "platform/win/internal.h"
#include "platform/win/scale.h"

namespace platform::win {

namespace {

bool Empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT Union(const RECT& a, const RECT& b) {
    if (Empty(a)) {
        return b;
    }
    if (Empty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The part of the surface a window may draw in: its own area (client or whole) within
// every ancestor's client area.
RECT VisibleArea(const Window& w, bool client) {
    POINT o = SurfaceOrigin(w);
    RECT area{o.x, o.y, o.x + (w.rect.right - w.rect.left), o.y + (w.rect.bottom - w.rect.top)};
    if (client) {
        RECT c = ClientRectInWindow(w);
        area = RECT{o.x + c.left, o.y + c.top, o.x + c.right, o.y + c.bottom};
    }
    const Window* cur = &w;
    while ((cur->style & WS_CHILD) != 0) {
        Window* p = Find(cur->parent);
        if (p == nullptr) {
            break;
        }
        POINT po = SurfaceOrigin(*p);
        RECT pc = ClientRectInWindow(*p);
        area =
            Intersect(area, RECT{po.x + pc.left, po.y + pc.top, po.x + pc.right, po.y + pc.bottom});
        cur = p;
    }
    return area;
}

void MarkChildren(Window& w) {
    for (HWND c : w.children) {
        Window* cw = Find(c);
        if (cw == nullptr) {
            continue;
        }
        RECT r;
        GetClientRect(c, &r);
        cw->updateRect = r;
        cw->needsPaint = true;
        cw->needsErase = true;
        cw->needsFrame = true;
        MarkChildren(*cw);
    }
}

}  // namespace

void InvalidateWindow(HWND window, const RECT* rect, bool erase, bool frame, bool children) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    RECT c;
    GetClientRect(window, &c);
    RECT r = rect != nullptr ? Intersect(*rect, c) : c;
    if (!Empty(r)) {
        w->updateRect = w->needsPaint ? Union(w->updateRect, r) : r;
        w->needsPaint = true;
        w->needsErase = w->needsErase || erase;
    }
    if (frame) {
        w->needsFrame = true;
        if (!w->needsPaint) {
            // Only the frame changed: draw it now, no WM_PAINT needed.
            if (IsVisibleChain(*w) && !w->painting) {
                w->needsFrame = false;
                PaintNonClient(window);
            }
        }
    }
    if (children) {
        for (HWND ch : std::vector<HWND>(w->children)) {
            InvalidateWindow(ch, nullptr, erase, true, true);
        }
    }
}

void InvalidateUnder(const Window& w) {
    if ((w.style & WS_CHILD) == 0) {
        return;
    }
    RECT r = w.rect;
    InvalidateWindow(w.parent, &r, true, false, true);
}

HDC MakeWindowDC(HWND window, bool client, const RECT* clipClient) {
    Window* w = Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    POINT o = SurfaceOrigin(*w);
    RECT c = ClientRectInWindow(*w);
    POINT origin = client ? POINT{o.x + c.left, o.y + c.top} : o;
    RECT clip = VisibleArea(*w, client);
    if (clipClient != nullptr) {
        clip = Intersect(clip, RECT{clipClient->left + origin.x, clipClient->top + origin.y,
                                    clipClient->right + origin.x, clipClient->bottom + origin.y});
    }
    return CreateWindowDC(window, origin, clip);
}

void SendPaintNow(HWND window, bool children) {
    Window* w = Find(window);
    if (w == nullptr || !IsVisibleChain(*w)) {
        return;
    }
    if (w->needsPaint && !w->painting) {
        Send(window, WM_PAINT, 0, 0);
        w = Find(window);
        if (w == nullptr) {
            return;
        }
        if (w->needsPaint && !w->painting) {
            w->needsPaint = false;
            w->needsErase = false;
        }
    }
    if (children) {
        for (HWND c : std::vector<HWND>(w->children)) {
            SendPaintNow(c, true);
        }
    }
}

RECT RectInSurface(HWND window, bool client) {
    Window* w = Find(window);
    if (w == nullptr) {
        return RECT{};
    }
    POINT o = SurfaceOrigin(*w);
    if (!client) {
        return RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left),
                    o.y + (w->rect.bottom - w->rect.top)};
    }
    RECT c = ClientRectInWindow(*w);
    return RECT{o.x + c.left, o.y + c.top, o.x + c.right, o.y + c.bottom};
}

RECT ContentRect(HWND topLevel) {
    Window* w = Find(topLevel);
    if (w == nullptr) {
        return RECT{};
    }
    RECT ins = NonClientInsets(*w);
    int menu = (w->style & WS_CHILD) == 0 && w->menu != nullptr ? GetSystemMetrics(SM_CYMENU) : 0;
    int edge = (w->exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0;
    int width = w->rect.right - w->rect.left;
    int height = w->rect.bottom - w->rect.top;
    return RECT{ins.left - edge, ins.top - edge - menu, width - ins.right + edge,
                height - ins.bottom + edge};
}

const Surface* TopLevelSurface(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0 || !w->surface) {
        return nullptr;
    }
    return w->surface.get();
}

void SetSurfaceScale(HWND window, double scale) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0 || !w->surface || scale <= 0 ||
        w->surface->scale == scale) {
        return;
    }
    w->surface->scale = scale;
    w->surface->Resize(w->rect.right - w->rect.left, w->rect.bottom - w->rect.top, 0xFFF0F0F0u);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

RECT TakeSurfaceChanges(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0 || !w->surface) {
        return RECT{};
    }
    return std::exchange(w->surface->changed, RECT{});
}

std::optional<Surface> CaptureWindow(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return std::nullopt;
    }
    const Surface* top = TopLevelSurface(TopLevelOf(window));
    if (top == nullptr) {
        return std::nullopt;
    }
    // The window's device pixels, at the surface's scale.
    const POINT at = SurfaceOrigin(*w);
    const RECT r = ScaleMap{top->scale, POINT{0, 0}}.ToDevice(RECT{
        at.x, at.y, at.x + (w->rect.right - w->rect.left), at.y + (w->rect.bottom - w->rect.top)});
    const POINT o{r.left, r.top};
    Surface out;
    out.Resize(r.right - r.left, r.bottom - r.top, 0xFF000000u);
    out.scale = top->scale;
    for (int y = 0; y < out.height; ++y) {
        int sy = o.y + y;
        if (sy < 0 || sy >= top->height) {
            continue;
        }
        for (int x = 0; x < out.width; ++x) {
            int sx = o.x + x;
            if (sx < 0 || sx >= top->width) {
                continue;
            }
            out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                       static_cast<std::size_t>(x)] = top->At(sx, sy);
        }
    }
    return out;
}

}  // namespace platform::win

namespace platform {

using win::Find;
using win::Window;

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (window == nullptr) {
        for (HWND t : std::vector<HWND>(win::Sys().topLevels)) {
            win::InvalidateWindow(t, nullptr, erase != FALSE, true, true);
        }
        return TRUE;
    }
    if (Find(window) == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    win::InvalidateWindow(window, rect, erase != FALSE, false, true);
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN /*region*/, UINT flags) {
    Window* w = Find(window);
    if (w == nullptr) {
        win::SetError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool children = (flags & RDW_NOCHILDREN) == 0;
    if ((flags & RDW_INVALIDATE) != 0) {
        win::InvalidateWindow(window, rect, (flags & RDW_ERASE) != 0, (flags & RDW_FRAME) != 0,
                              children);
    }
    if ((flags & RDW_VALIDATE) != 0) {
        w->needsPaint = false;
        w->needsErase = false;
        if ((flags & RDW_NOFRAME) == 0) {
            w->needsFrame = false;
        }
    }
    if ((flags & (RDW_UPDATENOW | RDW_ERASENOW)) != 0) {
        win::SendPaintNow(window, (flags & RDW_ALLCHILDREN) != 0);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    if (Find(window) == nullptr) {
        return FALSE;
    }
    win::SendPaintNow(window, false);
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    Window* w = Find(window);
    if (w == nullptr || paint == nullptr) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    w->painting = true;
    if (w->needsFrame) {
        w->needsFrame = false;
        win::Send(window, WM_NCPAINT, 1, 0);
        w = Find(window);
        if (w == nullptr) {
            return nullptr;
        }
    }
    RECT client;
    GetClientRect(window, &client);
    RECT update = w->needsPaint ? win::Intersect(w->updateRect, client) : RECT{};
    bool erase = w->needsErase;
    w->needsPaint = false;
    w->needsErase = false;
    // Children are drawn over whatever the parent paints now.
    win::MarkChildren(*w);
    HDC dc = win::MakeWindowDC(window, true, &update);
    paint->hdc = dc;
    paint->rcPaint = update;
    paint->fErase = TRUE;
    if (erase) {
        paint->fErase = win::Send(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (Window* w = Find(window)) {
        w->painting = false;
    }
    if (paint != nullptr && paint->hdc != nullptr) {
        win::DestroyDC(paint->hdc);
    }
    return TRUE;
}

HDC GetDC(HWND window) {
    if (window == nullptr) {
        return CreateCompatibleDC(nullptr);
    }
    if (Find(window) == nullptr) {
        return nullptr;
    }
    return win::MakeWindowDC(window, true, nullptr);
}

int ReleaseDC(HWND /*window*/, HDC dc) {
    if (dc == nullptr) {
        return 0;
    }
    win::DestroyDC(dc);
    return 1;
}

BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* rect, const RECT* /*clip*/) {
    Window* w = Find(window);
    if (w == nullptr) {
        return FALSE;
    }
    if (rect == nullptr) {
        for (HWND c : w->children) {
            Window* cw = Find(c);
            if (cw == nullptr) {
                continue;
            }
            cw->rect.left += dx;
            cw->rect.right += dx;
            cw->rect.top += dy;
            cw->rect.bottom += dy;
        }
    }
    win::InvalidateWindow(window, nullptr, true, false, true);
    return TRUE;
}

}  // namespace platform
