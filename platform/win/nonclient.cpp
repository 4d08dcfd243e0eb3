// The non-client area: frame, caption, menu bar strip, client edge and scroll bars; their
// sizes, drawing and hit testing.
#include <algorithm>

#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

constexpr int kScroll = 17;

int FrameWidth(const Window& w) {
    if ((w.style & WS_THICKFRAME) != 0) {
        return GetSystemMetrics(SM_CXSIZEFRAME);
    }
    if ((w.style & WS_CAPTION) == WS_CAPTION || (w.style & WS_DLGFRAME) != 0 ||
        (w.exStyle & WS_EX_DLGMODALFRAME) != 0) {
        return GetSystemMetrics(SM_CXFIXEDFRAME);
    }
    if ((w.style & WS_BORDER) != 0) {
        return 1;
    }
    return 0;
}

int CaptionHeight(const Window& w) {
    if ((w.style & WS_CAPTION) != WS_CAPTION) {
        return 0;
    }
    return (w.exStyle & WS_EX_TOOLWINDOW) != 0 ? GetSystemMetrics(SM_CYSMCAPTION)
                                               : GetSystemMetrics(SM_CYCAPTION);
}

int MenuHeight(const Window& w) {
    return (w.style & WS_CHILD) == 0 && w.menu != nullptr ? GetSystemMetrics(SM_CYMENU) : 0;
}

int EdgeWidth(const Window& w) {
    return (w.exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0;
}

struct Parts {
    RECT caption;
    RECT close;
    RECT menu;
    RECT vscroll;
    RECT hscroll;
};

Parts PartsOf(const Window& w) {
    int width = w.rect.right - w.rect.left;
    int f = FrameWidth(w);
    int c = CaptionHeight(w);
    int m = MenuHeight(w);
    int e = EdgeWidth(w);
    Parts p;
    p.caption = RECT{f, f, width - f, f + c};
    int box = std::max(0, c - 4);
    p.close = (w.style & WS_SYSMENU) != 0 && c > 0
                  ? RECT{width - f - 2 - box * 3 / 2, f + 2, width - f - 2, f + 2 + box}
                  : RECT{};
    p.menu = RECT{f, f + c, width - f, f + c + m};
    RECT client = ClientRectInWindow(w);
    if ((w.style & WS_VSCROLL) != 0) {
        p.vscroll = RECT{client.right, f + c + m + e, client.right + kScroll, client.bottom};
    }
    if ((w.style & WS_HSCROLL) != 0) {
        p.hscroll = RECT{f + e, client.bottom, client.right, client.bottom + kScroll};
    }
    return p;
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

ScrollBarState& Bar(Window& w, int bar) {
    return bar == SB_HORZ ? w.hscroll : w.vscroll;
}

// Geometry of a bar along its length: arrows at both ends, the thumb in the track.
struct BarGeometry {
    int start = 0;  // track start (after the first arrow)
    int end = 0;    // track end (before the second arrow)
    int thumbStart = 0;
    int thumbEnd = 0;
};

BarGeometry GeometryOf(const ScrollBarState& s, int length) {
    BarGeometry g;
    int arrow = std::min(kScroll, length / 2);
    g.start = arrow;
    g.end = length - arrow;
    int track = std::max(0, g.end - g.start);
    int range = s.max - s.min + 1;
    int thumb =
        s.page > 0 && range > 0 ? std::max(8, track * s.page / range) : std::min(kScroll, track);
    thumb = std::min(thumb, track);
    int span = std::max(1, range - std::max(s.page, 1));
    int pos = std::clamp(s.pos - s.min, 0, span);
    g.thumbStart = g.start + (track - thumb) * pos / span;
    g.thumbEnd = g.thumbStart + thumb;
    return g;
}

struct ThumbDrag {
    HWND window = nullptr;
    int bar = SB_VERT;
    int grab = 0;
};

ThumbDrag g_drag;

void DrawArrow(HDC dc, const RECT& r, int direction) {
    // direction: 0 up, 1 down, 2 left, 3 right; a small filled triangle.
    int cx = (r.left + r.right) / 2;
    int cy = (r.top + r.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        switch (direction) {
            case 0:
                FillSolid(dc, RECT{cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i}, 0x606060);
                break;
            case 1:
                FillSolid(dc, RECT{cx - i, cy + 2 - i, cx + i + 1, cy + 3 - i}, 0x606060);
                break;
            case 2:
                FillSolid(dc, RECT{cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1}, 0x606060);
                break;
            default:
                FillSolid(dc, RECT{cx + 2 - i, cy - i, cx + 3 - i, cy + i + 1}, 0x606060);
                break;
        }
    }
}

}  // namespace

RECT NonClientInsets(const Window& w) {
    int f = FrameWidth(w);
    int e = EdgeWidth(w);
    return RECT{f + e, f + CaptionHeight(w) + MenuHeight(w) + e, f + e, f + e};
}

void DrawEdge3D(HDC dc, const RECT& r, bool sunken) {
    COLORREF outerTL = sunken ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_3DLIGHT);
    COLORREF outerBR = sunken ? GetSysColor(COLOR_BTNHIGHLIGHT) : GetSysColor(COLOR_3DDKSHADOW);
    COLORREF innerTL = sunken ? GetSysColor(COLOR_3DDKSHADOW) : GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF innerBR = sunken ? GetSysColor(COLOR_3DLIGHT) : GetSysColor(COLOR_BTNSHADOW);
    FillSolid(dc, RECT{r.left, r.top, r.right, r.top + 1}, outerTL);
    FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, outerTL);
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, outerBR);
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, outerBR);
    FillSolid(dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.top + 2}, innerTL);
    FillSolid(dc, RECT{r.left + 1, r.top + 1, r.left + 2, r.bottom - 1}, innerTL);
    FillSolid(dc, RECT{r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, innerBR);
    FillSolid(dc, RECT{r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, innerBR);
}

HFONT UiFont() {
    static HFONT font = nullptr;
    if (font == nullptr) {
        font =
            CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        MarkStock(font);
    }
    return font;
}

HFONT UiBoldFont() {
    static HFONT font = nullptr;
    if (font == nullptr) {
        font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        MarkStock(font);
    }
    return font;
}

void DrawScrollBars(HDC dc, const Window& w, const RECT& /*client*/) {
    Parts p = PartsOf(w);
    bool enabled = (w.style & WS_DISABLED) == 0;
    auto draw = [&](const RECT& r, const ScrollBarState& s, bool vertical) {
        if (r.right <= r.left || r.bottom <= r.top) {
            return;
        }
        FillSolid(dc, r, GetSysColor(COLOR_SCROLLBAR) + 0x202020);
        int length = vertical ? r.bottom - r.top : r.right - r.left;
        BarGeometry g = GeometryOf(s, length);
        RECT a1 = vertical ? RECT{r.left, r.top, r.right, r.top + g.start}
                           : RECT{r.left, r.top, r.left + g.start, r.bottom};
        RECT a2 = vertical ? RECT{r.left, r.top + g.end, r.right, r.bottom}
                           : RECT{r.left + g.end, r.top, r.right, r.bottom};
        FillSolid(dc, a1, GetSysColor(COLOR_BTNFACE));
        FillSolid(dc, a2, GetSysColor(COLOR_BTNFACE));
        DrawArrow(dc, a1, vertical ? 0 : 2);
        DrawArrow(dc, a2, vertical ? 1 : 3);
        if (enabled && s.max > s.min) {
            RECT t =
                vertical
                    ? RECT{r.left + 2, r.top + g.thumbStart, r.right - 2, r.top + g.thumbEnd}
                    : RECT{r.left + g.thumbStart, r.top + 2, r.left + g.thumbEnd, r.bottom - 2};
            FillSolid(dc, t, 0xC0C0C0);
        }
    };
    draw(p.vscroll, w.vscroll, true);
    draw(p.hscroll, w.hscroll, false);
    if (p.vscroll.right > p.vscroll.left && p.hscroll.right > p.hscroll.left) {
        FillSolid(dc, RECT{p.vscroll.left, p.hscroll.top, p.vscroll.right, p.hscroll.bottom},
                  GetSysColor(COLOR_BTNFACE));
    }
}

namespace {

// The sizing or fixed frame, `f` pixels wide; a top-level window's is outlined.
void DrawOuterFrame(HDC dc, int width, int height, int f, bool topLevel) {
    COLORREF frame = topLevel ? GetSysColor(COLOR_BTNFACE) : 0x646464;
    FillSolid(dc, RECT{0, 0, width, f}, frame);
    FillSolid(dc, RECT{0, height - f, width, height}, frame);
    FillSolid(dc, RECT{0, 0, f, height}, frame);
    FillSolid(dc, RECT{width - f, 0, width, height}, frame);
    if (topLevel) {
        HBRUSH outline = GetSysColorBrush(COLOR_WINDOWFRAME);
        RECT outer{0, 0, width, height};
        FrameRect(dc, &outer, outline);
    }
}

// The small icon at `x` in a caption `c` pixels high, scaled by nearest neighbour; returns
// where the title starts.
int DrawCaptionIcon(HDC dc, const Window& w, const RECT& caption, int c, int x) {
    HICON icon = w.icons[ICON_SMALL] != nullptr ? w.icons[ICON_SMALL] : w.icons[ICON_BIG];
    if (icon == nullptr || (w.exStyle & WS_EX_TOOLWINDOW) != 0 || (w.style & WS_SYSMENU) == 0) {
        return x;
    }
    Surface* pic = IconSurface(icon);
    if (pic == nullptr) {
        return x;
    }
    int size = std::max(1, c - 7);
    Surface small;
    small.Resize(size, size, 0);
    for (int yy = 0; yy < size; ++yy) {
        for (int xx = 0; xx < size; ++xx) {
            small.pixels[static_cast<std::size_t>(yy * size + xx)] =
                pic->At(xx * pic->width / size, yy * pic->height / size);
        }
    }
    BlendSurface(dc, x, caption.top + (c - size) / 2, small);
    return x + size + 4;
}

// The close box: a raised button with a cross.
void DrawCloseBox(HDC dc, const RECT& close) {
    FillSolid(dc, close, GetSysColor(COLOR_BTNFACE));
    DrawEdge3D(dc, close, false);
    int cx = (close.left + close.right) / 2;
    int cy = (close.top + close.bottom) / 2;
    for (int i = -3; i <= 3; ++i) {
        FillSolid(dc, RECT{cx + i, cy + i, cx + i + 1, cy + i + 1}, 0);
        FillSolid(dc, RECT{cx + i, cy - i, cx + i + 1, cy - i + 1}, 0);
    }
}

// The caption bar in the active or inactive colour: icon, title clipped before the close
// box, and the close box.
void DrawCaption(HDC dc, HWND window, const Window& w, const Parts& p, int c) {
    bool active = Sys().active == window;
    FillSolid(dc, p.caption, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    int x = DrawCaptionIcon(dc, w, p.caption, c, p.caption.left + 4);
    HGDIOBJ old = SelectObject(dc, UiFont());
    SetTextColor(dc, active ? GetSysColor(COLOR_CAPTIONTEXT) : 0x404040);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    RECT titleClip = p.caption;
    titleClip.left = x;
    if (p.close.right > p.close.left) {
        titleClip.right = p.close.left - 2;
    }
    HDC clipped = MakeWindowDC(window, false, nullptr);
    SelectObject(clipped, UiFont());
    SetTextColor(clipped, GetTextColor(dc));
    SetBkMode(clipped, TRANSPARENT);
    DrawTextW(clipped, w.text.c_str(), -1, &titleClip,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    DestroyDC(clipped);
    if (p.close.right > p.close.left) {
        DrawCloseBox(dc, p.close);
    }
    SelectObject(dc, old);
}

}  // namespace

void PaintNonClient(HWND window) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    HDC dc = MakeWindowDC(window, false, nullptr);
    if (dc == nullptr) {
        return;
    }
    int width = w->rect.right - w->rect.left;
    int height = w->rect.bottom - w->rect.top;
    int f = FrameWidth(*w);
    int e = EdgeWidth(*w);
    int c = CaptionHeight(*w);
    int m = MenuHeight(*w);
    bool topLevel = (w->style & WS_CHILD) == 0;
    if (f > 0) {
        DrawOuterFrame(dc, width, height, f, topLevel);
    }
    Parts p = PartsOf(*w);
    if (c > 0) {
        DrawCaption(dc, window, *w, p, c);
    }
    if (m > 0) {
        DrawMenuBarInto(dc, *w, p.menu);
    }
    if (e > 0) {
        DrawEdge3D(dc, RECT{f, f + c + m, width - f, height - f}, true);
    }
    if (f == 1 && !topLevel) {
        RECT outer{0, 0, width, height};
        HBRUSH b = CreateSolidBrush(0x646464);
        FrameRect(dc, &outer, b);
        DeleteObject(b);
    }
    DrawScrollBars(dc, *w, ClientRectInWindow(*w));
    DestroyDC(dc);
}

int HitTest(HWND window, POINT screen) {
    Window* w = Find(window);
    if (w == nullptr) {
        return HTNOWHERE;
    }
    RECT r = ScreenRectOf(*w);
    POINT p{screen.x - r.left, screen.y - r.top};
    if (p.x < 0 || p.y < 0 || p.x >= r.right - r.left || p.y >= r.bottom - r.top) {
        return HTNOWHERE;
    }
    RECT client = ClientRectInWindow(*w);
    if (Inside(client, p)) {
        return HTCLIENT;
    }
    Parts parts = PartsOf(*w);
    if (Inside(parts.close, p)) {
        return HTCLOSE;
    }
    if (Inside(parts.caption, p)) {
        return HTCAPTION;
    }
    if (Inside(parts.menu, p)) {
        return HTMENU;
    }
    if (Inside(parts.vscroll, p)) {
        return HTVSCROLL;
    }
    if (Inside(parts.hscroll, p)) {
        return HTHSCROLL;
    }
    return HTBORDER;
}

void ScrollBarMouse(HWND window, int hit, UINT message, POINT screen) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    RECT r = ScreenRectOf(*w);
    POINT p{screen.x - r.left, screen.y - r.top};
    Parts parts = PartsOf(*w);
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONUP) {
        if (g_drag.window != window) {
            return;
        }
        bool vertical = g_drag.bar == SB_VERT;
        const RECT& bar = vertical ? parts.vscroll : parts.hscroll;
        ScrollBarState& s = Bar(*w, g_drag.bar);
        int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
        BarGeometry g = GeometryOf(s, length);
        int along = (vertical ? p.y - bar.top : p.x - bar.left) - g_drag.grab;
        int track = std::max(1, (g.end - g.start) - (g.thumbEnd - g.thumbStart));
        int span = std::max(0, s.max - s.min + 1 - std::max(s.page, 1));
        int pos = s.min + std::clamp((along - g.start) * span / track, 0, span);
        s.track = pos;
        UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
        if (message == WM_MOUSEMOVE) {
            Send(window, msg, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
        } else {
            g_drag = ThumbDrag{};
            Send(window, msg, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
            Send(window, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        }
        return;
    }
    if (message != WM_LBUTTONDOWN) {
        return;
    }
    bool vertical = hit == HTVSCROLL;
    const RECT& bar = vertical ? parts.vscroll : parts.hscroll;
    ScrollBarState& s = Bar(*w, vertical ? SB_VERT : SB_HORZ);
    int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    int along = vertical ? p.y - bar.top : p.x - bar.left;
    BarGeometry g = GeometryOf(s, length);
    int code = -1;
    if (along < g.start) {
        code = SB_LINEUP;
    } else if (along >= g.end) {
        code = SB_LINEDOWN;
    } else if (along < g.thumbStart) {
        code = SB_PAGEUP;
    } else if (along >= g.thumbEnd) {
        code = SB_PAGEDOWN;
    } else {
        g_drag = ThumbDrag{window, vertical ? SB_VERT : SB_HORZ, along - g.thumbStart};
        s.track = s.pos;
        return;
    }
    UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
    Send(window, msg, MAKEWPARAM(code, 0), 0);
    Send(window, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

bool ScrollDragActive() {
    return g_drag.window != nullptr && Find(g_drag.window) != nullptr;
}
HWND ScrollDragWindow() {
    return g_drag.window;
}

}  // namespace platform::win

namespace platform {

using win::Find;
using win::Window;

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
    Window* w = Find(window);
    if (w == nullptr || info == nullptr || (bar != SB_HORZ && bar != SB_VERT)) {
        return 0;
    }
    win::ScrollBarState& s = win::Bar(*w, bar);
    if ((info->fMask & SIF_RANGE) != 0) {
        s.min = info->nMin;
        s.max = std::max(info->nMin, info->nMax);
    }
    if ((info->fMask & SIF_PAGE) != 0) {
        s.page = std::clamp(static_cast<int>(info->nPage), 0, s.max - s.min + 1);
    }
    if ((info->fMask & SIF_POS) != 0) {
        s.pos = info->nPos;
    }
    int maxPos = s.max - std::max(s.page - 1, 0);
    s.pos = std::clamp(s.pos, s.min, std::max(s.min, maxPos));
    if (redraw) {
        RECT none;
        win::InvalidateWindow(window, &none, false, true, false);
    }
    return s.pos;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
    Window* w = Find(window);
    if (w == nullptr || info == nullptr || (bar != SB_HORZ && bar != SB_VERT)) {
        return FALSE;
    }
    const win::ScrollBarState& s = win::Bar(*w, bar);
    if ((info->fMask & SIF_RANGE) != 0) {
        info->nMin = s.min;
        info->nMax = s.max;
    }
    if ((info->fMask & SIF_PAGE) != 0) {
        info->nPage = static_cast<UINT>(s.page);
    }
    if ((info->fMask & SIF_POS) != 0) {
        info->nPos = s.pos;
    }
    if ((info->fMask & SIF_TRACKPOS) != 0) {
        info->nTrackPos = s.track;
    }
    return TRUE;
}

}  // namespace platform
