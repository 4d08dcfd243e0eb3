// Drawing objects (brushes, pens, fonts, bitmaps, icons), stock objects, system colours and
// device contexts.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/win/gdi_internal.h"
#include "platform/win/scale.h"

namespace platform::win::gdi {
namespace {

const DWORD kSysColors[] = {
    0xC8C8C8,  // COLOR_SCROLLBAR
    0x000000,  // COLOR_BACKGROUND
    0xD17800,  // COLOR_ACTIVECAPTION (a blue)
    0xDBCDBF,  // COLOR_INACTIVECAPTION
    0xF0F0F0,  // COLOR_MENU
    0xFFFFFF,  // COLOR_WINDOW
    0x646464,  // COLOR_WINDOWFRAME
    0x000000,  // COLOR_MENUTEXT
    0x000000,  // COLOR_WINDOWTEXT
    0xFFFFFF,  // COLOR_CAPTIONTEXT
    0xB4B4B4,  // COLOR_ACTIVEBORDER
    0xFCF7F4,  // COLOR_INACTIVEBORDER
    0xABABAB,  // COLOR_APPWORKSPACE
    0xD77800,  // COLOR_HIGHLIGHT
    0xFFFFFF,  // COLOR_HIGHLIGHTTEXT
    0xF0F0F0,  // COLOR_BTNFACE
    0xA0A0A0,  // COLOR_BTNSHADOW
    0x6D6D6D,  // COLOR_GRAYTEXT
    0x000000,  // COLOR_BTNTEXT
    0x000000,  // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF,  // COLOR_BTNHIGHLIGHT
    0x696969,  // COLOR_3DDKSHADOW
    0xE3E3E3,  // COLOR_3DLIGHT
    0x000000,  // COLOR_INFOTEXT
    0xE1FFFF,  // COLOR_INFOBK
    0x000000,  // unused
    0xCC6600,  // COLOR_HOTLIGHT
};

// The stock objects GetStockObject hands out, made on first request.
struct StockEntry {
    int index;
    Kind kind;
    COLORREF color;
    bool hollow;
    int penStyle;
    const wchar_t* face;
    int height;
    int weight;
};

constexpr StockEntry kStockObjects[] = {
    {WHITE_BRUSH, Kind::Brush, 0xFFFFFF, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {LTGRAY_BRUSH, Kind::Brush, 0xC0C0C0, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {GRAY_BRUSH, Kind::Brush, 0x808080, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {DKGRAY_BRUSH, Kind::Brush, 0x404040, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {BLACK_BRUSH, Kind::Brush, 0, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {NULL_BRUSH, Kind::Brush, 0, true, PS_SOLID, nullptr, 0, FW_NORMAL},
    {WHITE_PEN, Kind::Pen, 0xFFFFFF, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {BLACK_PEN, Kind::Pen, 0, false, PS_SOLID, nullptr, 0, FW_NORMAL},
    {NULL_PEN, Kind::Pen, 0, false, PS_NULL, nullptr, 0, FW_NORMAL},
    {SYSTEM_FONT, Kind::Font, 0, false, PS_SOLID, L"System", 16, FW_BOLD},
    {DEFAULT_GUI_FONT, Kind::Font, 0, false, PS_SOLID, L"Tahoma", -11, FW_NORMAL},
};

HGDIOBJ MakeStock(int index) {
    for (const StockEntry& e : kStockObjects) {
        if (e.index != index) {
            continue;
        }
        auto obj = std::make_unique<GdiObject>();
        obj->stock = true;
        obj->kind = e.kind;
        obj->color = e.color;
        obj->hollow = e.hollow;
        obj->penStyle = e.penStyle;
        if (e.face != nullptr) {
            obj->request.face = e.face;
            obj->request.height = e.height;
            obj->request.weight = e.weight;
        }
        return reinterpret_cast<HGDIOBJ>(NewObject(std::move(obj)));
    }
    return nullptr;
}

}  // namespace

Gdi& G() {
    static Gdi gdi;
    return gdi;
}

std::uintptr_t NewObject(std::unique_ptr<GdiObject> obj) {
    std::uintptr_t h = (G().next += 8);
    G().objects.emplace(h, std::move(obj));
    return h;
}

// A bitmap or an icon of width x height: the given pixels, or `fill` without them.
std::uintptr_t NewPicture(Kind kind, int width, int height, std::uint32_t fill,
                          const std::uint32_t* argb) {
    auto obj = std::make_unique<GdiObject>();
    obj->kind = kind;
    obj->picture.Resize(width, height, fill);
    if (argb != nullptr) {
        std::copy(argb, argb + obj->picture.pixels.size(), obj->picture.pixels.begin());
    }
    return NewObject(std::move(obj));
}

GdiObject* Obj(const void* handle) {
    auto it = G().objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == G().objects.end() ? nullptr : it->second.get();
}

GdiObject* ObjOf(const void* handle, Kind kind) {
    GdiObject* o = Obj(handle);
    return o != nullptr && o->kind == kind ? o : nullptr;
}

DeviceContext* Dc(HDC dc) {
    auto it = G().dcs.find(reinterpret_cast<std::uintptr_t>(dc));
    return it == G().dcs.end() ? nullptr : it->second.get();
}

// Sets one of the colours of a device context, returning the old one (kNoColor for an
// unknown context).
COLORREF SwapColor(HDC dc, COLORREF DeviceContext::*color, COLORREF value) {
    DeviceContext* d = Dc(dc);
    return d == nullptr ? kNoColor : std::exchange(d->*color, value & 0xFFFFFF);
}

// Reads one of the colours of a device context (kNoColor for an unknown one).
COLORREF ReadColor(HDC dc, COLORREF DeviceContext::*color) {
    DeviceContext* d = Dc(dc);
    return d == nullptr ? kNoColor : d->*color;
}

// Every new device context starts with the system font, a white brush and a black pen.
HDC NewDc(std::unique_ptr<DeviceContext> dc) {
    dc->font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    std::uintptr_t h = (G().next += 8);
    G().dcs.emplace(h, std::move(dc));
    return reinterpret_cast<HDC>(h);
}

}  // namespace platform::win::gdi

namespace platform::win {

using namespace gdi;

// ---------------------------------------------------------------------------------------

void Surface::Resize(int w, int h, std::uint32_t fill) {
    const ScaleMap map{scale, POINT{0, 0}};
    width = std::max(0, map.DeviceX(w));
    height = std::max(0, map.DeviceY(h));
    changed = RECT{0, 0, width, height};
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

HDC CreateWindowDC(HWND window, POINT origin, RECT clip) {
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    dc->origin = origin;
    dc->clip = clip;
    dc->clipSet = true;
    return NewDc(std::move(dc));
}

void SetDCClip(HDC dc, RECT clip) {
    if (DeviceContext* d = Dc(dc)) {
        d->clip = clip;
        d->clipSet = true;
    }
}

void DestroyDC(HDC dc) {
    G().dcs.erase(reinterpret_cast<std::uintptr_t>(dc));
}

void ForgetWindowDCs(HWND window) {
    for (auto it = G().dcs.begin(); it != G().dcs.end();) {
        if (!it->second->memory && it->second->window == window) {
            it = G().dcs.erase(it);
        } else {
            ++it;
        }
    }
}

Surface* BitmapSurface(HBITMAP bitmap) {
    GdiObject* o = ObjOf(bitmap, Kind::Bitmap);
    return o == nullptr ? nullptr : &o->picture;
}

HBITMAP CreateBitmapFromPixels(int width, int height, const std::uint32_t* argb) {
    return reinterpret_cast<HBITMAP>(NewPicture(Kind::Bitmap, width, height, 0xFF000000u, argb));
}

Surface* IconSurface(HICON icon) {
    GdiObject* o = ObjOf(icon, Kind::Icon);
    return o == nullptr ? nullptr : &o->picture;
}

const Surface* IconPicture(HICON icon) {
    return IconSurface(icon);
}

HICON CreateIconFromPixels(int width, int height, const std::uint32_t* argb) {
    return reinterpret_cast<HICON>(NewPicture(Kind::Icon, width, height, 0, argb));
}

void MarkStock(HGDIOBJ object) {
    if (GdiObject* o = Obj(object)) {
        o->stock = true;
    }
}

void ResetGdi() {
    // Stock objects and system brushes survive: callers keep their handles for the run.
    auto& objects = G().objects;
    for (auto it = objects.begin(); it != objects.end();) {
        if (it->second->stock) {
            ++it;
        } else {
            it = objects.erase(it);
        }
    }
    G().dcs.clear();
    G().defaultBitmap = nullptr;
}

}  // namespace platform::win

namespace platform {

HBRUSH CreateSolidBrush(COLORREF color) {
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Brush;
    obj->color = color & 0xFFFFFF;
    return reinterpret_cast<HBRUSH>(win::gdi::NewObject(std::move(obj)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Pen;
    obj->penStyle = style;
    obj->penWidth = std::max(1, width);
    obj->color = color & 0xFFFFFF;
    return reinterpret_cast<HPEN>(win::gdi::NewObject(std::move(obj)));
}

HGDIOBJ GetStockObject(int index) {
    auto& stock = G().stock;
    auto it = stock.find(index);
    if (it != stock.end()) {
        return reinterpret_cast<HGDIOBJ>(it->second);
    }
    HGDIOBJ h = win::gdi::MakeStock(index);
    if (h != nullptr) {
        stock.emplace(index, reinterpret_cast<std::uintptr_t>(h));
    }
    return h;
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(win::gdi::kSysColors))) {
        return 0;
    }
    return win::gdi::kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(win::gdi::kSysColors))) {
        return nullptr;
    }
    auto& brushes = G().sysBrushes;
    auto it = brushes.find(index);
    if (it != brushes.end()) {
        return reinterpret_cast<HBRUSH>(it->second);
    }
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Brush;
    obj->stock = true;
    obj->color = win::gdi::kSysColors[index];
    std::uintptr_t h = win::gdi::NewObject(std::move(obj));
    brushes.emplace(index, h);
    return reinterpret_cast<HBRUSH>(h);
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* o = win::gdi::Obj(object);
    if (o == nullptr) {
        return FALSE;
    }
    if (o->stock) {
        return TRUE;
    }
    G().objects.erase(reinterpret_cast<std::uintptr_t>(object));
    return TRUE;
}

BOOL DestroyIcon(HICON icon) {
    if (ObjOf(icon, Kind::Icon) == nullptr) {
        return FALSE;
    }
    return DeleteObject(icon);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* d = Dc(dc);
    GdiObject* o = win::gdi::Obj(object);
    if (d == nullptr || o == nullptr) {
        return nullptr;
    }
    HGDIOBJ old = nullptr;
    switch (o->kind) {
        case Kind::Brush:
            old = d->brush;
            d->brush = static_cast<HBRUSH>(object);
            break;
        case Kind::Pen:
            old = d->pen;
            d->pen = static_cast<HPEN>(object);
            break;
        case Kind::Font:
            old = d->font;
            d->font = static_cast<HFONT>(object);
            break;
        case Kind::Bitmap:
            if (!d->memory) {
                return nullptr;
            }
            old = d->bitmap;
            d->bitmap = static_cast<HBITMAP>(object);
            break;
        case Kind::Icon:
            return nullptr;
    }
    return old;
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
    GdiObject* o = win::gdi::Obj(object);
    if (o == nullptr) {
        return 0;
    }
    if (o->kind == Kind::Bitmap || o->kind == Kind::Icon) {
        if (out == nullptr) {
            return static_cast<int>(sizeof(BITMAP));
        }
        if (size < static_cast<int>(sizeof(BITMAP))) {
            return 0;
        }
        BITMAP bm;
        bm.bmWidth = o->picture.width;
        bm.bmHeight = o->picture.height;
        bm.bmWidthBytes = o->picture.width * 4;
        std::memcpy(out, &bm, sizeof(bm));
        return static_cast<int>(sizeof(BITMAP));
    }
    return 0;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    return win::gdi::SwapColor(dc, &DeviceContext::bkColor, color);
}
COLORREF GetBkColor(HDC dc) {
    return win::gdi::ReadColor(dc, &DeviceContext::bkColor);
}
int SetBkMode(HDC dc, int mode) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    return std::exchange(d->bkMode, mode);
}
COLORREF SetTextColor(HDC dc, COLORREF color) {
    return win::gdi::SwapColor(dc, &DeviceContext::textColor, color);
}
COLORREF GetTextColor(HDC dc) {
    return win::gdi::ReadColor(dc, &DeviceContext::textColor);
}

HDC CreateCompatibleDC(HDC /*dc*/) {
    auto d = std::make_unique<DeviceContext>();
    d->memory = true;
    if (G().defaultBitmap == nullptr || win::BitmapSurface(G().defaultBitmap) == nullptr) {
        G().defaultBitmap = win::CreateBitmapFromPixels(1, 1, nullptr);
    }
    d->bitmap = G().defaultBitmap;
    return win::gdi::NewDc(std::move(d));
}

BOOL DeleteDC(HDC dc) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || !d->memory) {
        return FALSE;
    }
    win::DestroyDC(dc);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC /*dc*/, int width, int height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    return win::CreateBitmapFromPixels(width, height, nullptr);
}

int GetDeviceCaps(HDC /*dc*/, int index) {
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case BITSPIXEL:
            return 32;
        case HORZRES:
            return GetSystemMetrics(SM_CXSCREEN);
        case VERTRES:
            return GetSystemMetrics(SM_CYSCREEN);
        default:
            return 0;
    }
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    long long p = static_cast<long long>(number) * numerator;
    long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    long long r = (p >= 0) == (denominator > 0)
                      ? (std::llabs(p) + half) / std::llabs(static_cast<long long>(denominator))
                      : -((std::llabs(p) + half) / std::llabs(static_cast<long long>(denominator)));
    if (r > 0x7FFFFFFF || r < -0x7FFFFFFFLL - 1) {
        return -1;
    }
    return static_cast<int>(r);
}

}  // namespace platform
