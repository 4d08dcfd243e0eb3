// The drawing objects and device contexts behind the GDI calls, shared by the files that
// implement those calls.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/win/canvas.h"
#include "platform/win/internal.h"
#include "platform/win/scale.h"

namespace platform::win::gdi {

struct FontRequest {
    int height = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::wstring face;
    auto Key() const { return std::tie(height, weight, italic, underline, strike, face); }
    bool operator<(const FontRequest& o) const { return Key() < o.Key(); }
};

struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<std::uint8_t> alpha;
};

// A face at one size, with its metrics and rendered glyphs.
struct FontInstance {
    FT_Face face = nullptr;
    bool emboldenSynthetic = false;
    bool obliqueSynthetic = false;
    bool underline = false;
    bool strike = false;
    int ascent = 12;
    int descent = 4;
    int ppem = 13;
    int aveCharWidth = 7;
    int maxCharWidth = 14;
    int weight = FW_NORMAL;
    bool italic = false;
    std::map<std::uint32_t, Glyph> glyphs;

    ~FontInstance() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
    }
    const Glyph& Get(std::uint32_t code);
};

enum class Kind { Brush, Pen, Font, Bitmap, Icon };

struct GdiObject {
    Kind kind = Kind::Brush;
    bool stock = false;
    COLORREF color = 0;
    bool hollow = false;
    int penStyle = PS_SOLID;
    int penWidth = 1;
    FontRequest request;
    std::shared_ptr<FontInstance> font;
    Surface picture;
};

struct DeviceContext {
    HWND window = nullptr;  // window DCs draw into the window's top-level surface
    bool memory = false;
    POINT origin;  // surface coordinates of logical (0, 0)
    RECT clip;     // surface coordinates
    bool clipSet = false;
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HBITMAP bitmap = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    POINT pos;
};

struct Gdi {
    std::map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
    std::map<std::uintptr_t, std::unique_ptr<DeviceContext>> dcs;
    std::uintptr_t next = 0x400000;
    std::map<int, std::uintptr_t> stock;
    std::map<int, std::uintptr_t> sysBrushes;
    HBITMAP defaultBitmap = nullptr;
};

Gdi& G();
std::uintptr_t NewObject(std::unique_ptr<GdiObject> obj);
// A bitmap or an icon of width x height: the given pixels, or `fill` without them.
std::uintptr_t NewPicture(Kind kind, int width, int height, std::uint32_t fill,
                          const std::uint32_t* argb);
GdiObject* Obj(const void* handle);
GdiObject* ObjOf(const void* handle, Kind kind);
DeviceContext* Dc(HDC dc);
HDC NewDc(std::unique_ptr<DeviceContext> dc);

// The face of a request at its size, made once and shared.
std::shared_ptr<FontInstance> FontFor(const FontRequest& request);

Surface* TargetSurface(DeviceContext& dc);
// Logical pixels of a surface to its device pixels.
ScaleMap MapOf(const Surface& s);
// A rectangle in the context's logical coordinates in device pixels of the surface.
RECT ToDevice(const DeviceContext& dc, const Surface& s, const RECT& r);
// The effective clip in device pixels, bounded by the surface.
// Counts as a change of a window's surface, as the caller is about to draw there.
RECT ClipOf(DeviceContext& dc, Surface& s);

// Where a drawing call draws: the device context, the surface it draws into and the effective
// clip. `dc` is none for an unknown context; `surface` is none as well when the context has
// nothing to draw into.
struct DrawTarget {
    DeviceContext* dc = nullptr;
    Surface* surface = nullptr;
    RECT clip{};
};
DrawTarget TargetOf(HDC dc);

void FillSurface(Surface& s, RECT r, const RECT& clip, std::uint32_t argb);
// How Resample puts pixels down: copied opaque as picked, copied opaque with filtering when
// the sizes differ, or blended by their alpha with filtering.
enum class Transfer { CopyNearest, Copy, Blend };
// Draws the `from` part of `src` into the `to` rectangle of `dst` (device pixels), clipped.
void Resample(Surface& dst, const RECT& to, const RECT& clip, const Surface& src, RECT from,
              Transfer transfer);
// `src` over `dst` with coverage `a` (0..255).
std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned a);

}  // namespace platform::win::gdi

namespace platform {

// The GDI entry points of the gdi_*.cpp files reach the device-context store by these names.
using win::gdi::Dc;
using win::gdi::DeviceContext;
using win::gdi::G;
using win::gdi::GdiObject;
using win::gdi::Kind;
using win::gdi::ObjOf;

}  // namespace platform
