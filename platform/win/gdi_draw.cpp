// The drawing calls: fills, frames, pixels and copies between device contexts.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/win/gdi_internal.h"
#include "platform/win/scale.h"

namespace platform::win::gdi {

Surface* TargetSurface(DeviceContext& dc) {
    if (dc.memory) {
        return BitmapSurface(dc.bitmap);
    }
    Window* w = Find(dc.window);
    if (w == nullptr) {
        return nullptr;
    }
    Window* top = Find(TopLevelOf(dc.window));
    if (top == nullptr || !top->surface) {
        return nullptr;
    }
    top->surfaceDirty = true;
    return top->surface.get();
}

ScaleMap MapOf(const Surface& s) {
    return ScaleMap{s.scale, POINT{0, 0}};
}

RECT ToDevice(const DeviceContext& dc, const Surface& s, const RECT& r) {
    return MapOf(s).ToDevice(RECT{r.left + dc.origin.x, r.top + dc.origin.y, r.right + dc.origin.x,
                                  r.bottom + dc.origin.y});
}

RECT ClipOf(DeviceContext& dc, Surface& s) {
    RECT c{0, 0, s.width, s.height};
    if (dc.clipSet) {
        c = Intersect(c, MapOf(s).ToDevice(dc.clip));
    }
    if (!dc.memory) {
        s.changed = Bounding(s.changed, c);  // whatever is drawn lands inside the clip
    }
    return c;
}

DrawTarget TargetOf(HDC dc) {
    DrawTarget t;
    t.dc = Dc(dc);
    if (t.dc != nullptr) {
        t.surface = TargetSurface(*t.dc);
    }
    if (t.surface != nullptr) {
        t.clip = ClipOf(*t.dc, *t.surface);
    }
    return t;
}

void FillSurface(Surface& s, RECT r, const RECT& clip, std::uint32_t argb) {
    r = Intersect(r, clip);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = &s.pixels[s.Index(0, y)];
        std::fill(row + r.left, row + std::max(r.left, r.right), argb);
    }
}

namespace {

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double ca = (a >> shift) & 0xFF;
        const double cb = (b >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// The source pixel at (u, v) (pixel centres at whole numbers), linearly filtered.
std::uint32_t Sample(const Surface& src, const RECT& from, double u, double v) {
    u = std::clamp(u, static_cast<double>(from.left), static_cast<double>(from.right - 1));
    v = std::clamp(v, static_cast<double>(from.top), static_cast<double>(from.bottom - 1));
    const int x0 = static_cast<int>(u);
    const int y0 = static_cast<int>(v);
    const int x1 = std::min(x0 + 1, static_cast<int>(from.right - 1));
    const int y1 = std::min(y0 + 1, static_cast<int>(from.bottom - 1));
    const std::uint32_t top = Mix(src.At(x0, y0), src.At(x1, y0), u - x0);
    const std::uint32_t bottom = Mix(src.At(x0, y1), src.At(x1, y1), u - x0);
    return Mix(top, bottom, v - y0);
}

}  // namespace

void Resample(Surface& dst, const RECT& to, const RECT& clip, const Surface& src, RECT from,
              Transfer transfer) {
    from = Intersect(from, RECT{0, 0, src.width, src.height});
    const int tw = to.right - to.left;
    const int th = to.bottom - to.top;
    const int fw = from.right - from.left;
    const int fh = from.bottom - from.top;
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0) {
        return;
    }
    const RECT r = Intersect(to, clip);
    const bool filter = transfer != Transfer::CopyNearest && (tw != fw || th != fh);
    for (int y = r.top; y < r.bottom; ++y) {
        const double v = from.top + (y - to.top + 0.5) * fh / th - 0.5;
        const int fy = from.top + (y - to.top) * fh / th;
        for (int x = r.left; x < r.right; ++x) {
            std::uint32_t p = 0;
            if (filter) {
                p = Sample(src, from, from.left + (x - to.left + 0.5) * fw / tw - 0.5, v);
            } else {
                p = src.At(from.left + (x - to.left) * fw / tw, fy);
            }
            std::uint32_t& out = dst.At(x, y);
            out = transfer == Transfer::Blend ? Blend(out, p, p >> 24) : p | 0xFF000000u;
        }
    }
}

std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned a) {
    if (a >= 255) {
        return src | 0xFF000000u;
    }
    if (a == 0) {
        return dst;
    }
    unsigned inv = 255 - a;
    unsigned r = (((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * inv + 127) / 255;
    unsigned g = (((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * inv + 127) / 255;
    unsigned b = ((src & 0xFF) * a + (dst & 0xFF) * inv + 127) / 255;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace platform::win::gdi

namespace platform::win {

using namespace gdi;

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    auto [d, s, clip] = TargetOf(dc);
    if (s == nullptr) {
        return;
    }
    FillSurface(*s, ToDevice(*d, *s, r), clip, ToArgb(color));
}

void BlendSurface(HDC dc, int x, int y, const Surface& source) {
    auto [d, s, clip] = TargetOf(dc);
    if (s == nullptr) {
        return;
    }
    Resample(*s, ToDevice(*d, *s, RECT{x, y, x + source.width, y + source.height}), clip, source,
             RECT{0, 0, source.width, source.height}, Transfer::Blend);
}

}  // namespace platform::win

namespace platform {

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    auto [d, s, clip] = win::gdi::TargetOf(dc);
    if (d == nullptr) {
        return FALSE;
    }
    if (s == nullptr) {
        return TRUE;
    }
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    GdiObject* pen = ObjOf(d->pen, Kind::Pen);
    GdiObject* brush = ObjOf(d->brush, Kind::Brush);
    bool nullPen = pen == nullptr || pen->penStyle == PS_NULL;
    int pw = nullPen ? 0 : pen->penWidth;
    if (brush != nullptr && !brush->hollow) {
        // With a null pen the filled area is one pixel smaller on the right and bottom.
        RECT fill = nullPen ? RECT{left, top, right - 1, bottom - 1}
                            : RECT{left + pw, top + pw, right - pw, bottom - pw};
        win::gdi::FillSurface(*s, win::gdi::ToDevice(*d, *s, fill), clip,
                              win::ToArgb(brush->color));
    }
    if (!nullPen) {
        std::uint32_t c = win::ToArgb(pen->color);
        const RECT edges[] = {{left, top, right, top + pw},
                              {left, bottom - pw, right, bottom},
                              {left, top, left + pw, bottom},
                              {right - pw, top, right, bottom}};
        for (const RECT& edge : edges) {
            win::gdi::FillSurface(*s, win::gdi::ToDevice(*d, *s, edge), clip, c);
        }
    }
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = Dc(dc);
    GdiObject* b = ObjOf(brush, Kind::Brush);
    if (d == nullptr || rect == nullptr || b == nullptr) {
        return 0;
    }
    if (!b->hollow) {
        win::FillSolid(dc, *rect, b->color);
    }
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = Dc(dc);
    GdiObject* b = ObjOf(brush, Kind::Brush);
    if (d == nullptr || rect == nullptr || b == nullptr) {
        return 0;
    }
    if (b->hollow) {
        return 1;
    }
    const RECT& r = *rect;
    const RECT edges[] = {{r.left, r.top, r.right, r.top + 1},
                          {r.left, r.bottom - 1, r.right, r.bottom},
                          {r.left, r.top, r.left + 1, r.bottom},
                          {r.right - 1, r.top, r.right, r.bottom}};
    for (const RECT& edge : edges) {
        win::FillSolid(dc, edge, b->color);
    }
    return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto [d, s, clip] = win::gdi::TargetOf(dc);
    if (s == nullptr) {
        return kNoColor;
    }
    const POINT at = win::gdi::MapOf(*s).ToDevice(POINT{x + d->origin.x, y + d->origin.y});
    const int sx = at.x;
    const int sy = at.y;
    if (sx < clip.left || sy < clip.top || sx >= clip.right || sy >= clip.bottom) {
        return kNoColor;
    }
    std::uint32_t p = s->At(sx, sy);
    return RGB(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p));
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw,
                int sh, DWORD /*rop*/) {
    DeviceContext* d = Dc(dest);
    DeviceContext* s = Dc(source);
    if (d == nullptr || s == nullptr || sw <= 0 || sh <= 0) {
        return FALSE;
    }
    win::Surface* from = win::gdi::TargetSurface(*s);
    win::Surface* to = win::gdi::TargetSurface(*d);
    if (from == nullptr || to == nullptr) {
        return FALSE;
    }
    const RECT clip = win::gdi::ClipOf(*d, *to);
    const RECT sclip = win::gdi::ClipOf(*s, *from);
    const RECT whole = win::gdi::ToDevice(*s, *from, RECT{sx, sy, sx + sw, sy + sh});
    const RECT part = win::Intersect(whole, sclip);
    if (part.right <= part.left || part.bottom <= part.top) {
        return TRUE;
    }
    // The target shrinks with the source's clipped part: what lies outside draws nothing.
    const RECT all = win::gdi::ToDevice(*d, *to, RECT{x, y, x + width, y + height});
    const auto along = [](int v, int from0, int from1, int to0, int to1) {
        return to0 + static_cast<int>((static_cast<long long>(v - from0) * (to1 - to0)) /
                                      std::max(1, from1 - from0));
    };
    const RECT target{along(part.left, whole.left, whole.right, all.left, all.right),
                      along(part.top, whole.top, whole.bottom, all.top, all.bottom),
                      along(part.right, whole.left, whole.right, all.left, all.right),
                      along(part.bottom, whole.top, whole.bottom, all.top, all.bottom)};
    // Between surfaces of one scale pixels are picked as they are; across scales, filtered.
    const auto transfer =
        from->scale == to->scale ? win::gdi::Transfer::CopyNearest : win::gdi::Transfer::Copy;
    if (from == to) {  // the source may be the destination
        const win::Surface copy = *from;
        win::gdi::Resample(*to, target, clip, copy, part, transfer);
    } else {
        win::gdi::Resample(*to, target, clip, *from, part, transfer);
    }
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

}  // namespace platform
