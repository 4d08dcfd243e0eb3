// Drawing objects, device contexts and the GDI drawing calls, with FreeType text.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/fonts/fonts.h"
#include "platform/win/canvas.h"
#include "platform/win/internal.h"

namespace platform::win {
namespace {

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
        if (face != nullptr)
            FT_Done_Face(face);
    }
    const Glyph& Get(std::uint32_t code);
};

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            lib = nullptr;
        return lib;
    }();
    return library;
}

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s.push_back(c < 128 ? static_cast<char>(c) : '?');
    return s;
}

std::shared_ptr<FontInstance> MakeFont(const FontRequest& request) {
    auto font = std::make_shared<FontInstance>();
    font->underline = request.underline;
    font->strike = request.strike;
    font->weight = request.weight == 0 ? FW_NORMAL : request.weight;
    font->italic = request.italic;
    bool bold = font->weight >= FW_SEMIBOLD;
    std::string path = FindFontFile(Narrow(request.face), bold, request.italic);
    if (Library() == nullptr || path.empty() ||
        FT_New_Face(Library(), path.c_str(), 0, &font->face) != 0) {
        font->face = nullptr;
        int h = request.height == 0 ? 16 : std::abs(request.height);
        font->ascent = h * 4 / 5;
        font->descent = h - font->ascent;
        font->ppem = h;
        font->aveCharWidth = std::max(1, h / 2);
        font->maxCharWidth = h;
        return font;
    }
    FT_Face face = font->face;
    font->emboldenSynthetic = bold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
    font->obliqueSynthetic = request.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
    double upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    double winAscent = face->ascender;
    double winDescent = -face->descender;
    double avgWidth = upem / 2;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0)
            avgWidth = os2->xAvgCharWidth;
    }
    double cell = winAscent + winDescent;
    // A positive height is the cell height (ascent + descent), a negative one the em size;
    // 0 asks for the default size.
    double ppem = 0;
    if (request.height > 0) {
        ppem = request.height * upem / cell;
    } else if (request.height < 0) {
        ppem = -request.height;
    } else {
        ppem = 16 * upem / cell;
    }
    int ppemInt = std::max(1, static_cast<int>(std::lround(ppem)));
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppemInt));
    font->ppem = ppemInt;
    double scale = ppem / upem;
    font->ascent = static_cast<int>(std::lround(winAscent * scale));
    font->descent = static_cast<int>(std::lround(winDescent * scale));
    if (request.height > 0)
        font->descent = request.height - font->ascent;
    font->aveCharWidth = std::max(1, static_cast<int>(std::lround(avgWidth * scale)));
    font->maxCharWidth =
        std::max(font->aveCharWidth,
                 static_cast<int>(std::lround((face->bbox.xMax - face->bbox.xMin) * scale)));
    return font;
}

const Glyph& FontInstance::Get(std::uint32_t code) {
    auto it = glyphs.find(code);
    if (it != glyphs.end())
        return it->second;
    Glyph g;
    if (face != nullptr) {
        FT_UInt index = FT_Get_Char_Index(face, code);
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
            FT_GlyphSlot slot = face->glyph;
            if (emboldenSynthetic)
                FT_GlyphSlot_Embolden(slot);
            if (obliqueSynthetic)
                FT_GlyphSlot_Oblique(slot);
            g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bm = slot->bitmap;
                g.left = slot->bitmap_left;
                g.top = slot->bitmap_top;
                g.width = static_cast<int>(bm.width);
                g.height = static_cast<int>(bm.rows);
                g.alpha.resize(static_cast<std::size_t>(g.width) *
                               static_cast<std::size_t>(g.height));
                for (int y = 0; y < g.height; ++y) {
                    const unsigned char* row =
                        bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
                    std::memcpy(
                        &g.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(g.width)],
                        row, static_cast<std::size_t>(g.width));
                }
            }
        }
    } else {
        g.advance = aveCharWidth;
    }
    return glyphs.emplace(code, std::move(g)).first->second;
}

std::shared_ptr<FontInstance> FontFor(const FontRequest& request) {
    static std::map<FontRequest, std::shared_ptr<FontInstance>> cache;
    auto it = cache.find(request);
    if (it != cache.end())
        return it->second;
    auto font = MakeFont(request);
    cache.emplace(request, font);
    return font;
}

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

Surface* TargetSurface(DeviceContext& dc) {
    if (dc.memory)
        return BitmapSurface(dc.bitmap);
    Window* w = Find(dc.window);
    if (w == nullptr)
        return nullptr;
    Window* top = Find(TopLevelOf(dc.window));
    if (top == nullptr || !top->surface)
        return nullptr;
    top->surfaceDirty = true;
    return top->surface.get();
}

// A rectangle in logical coordinates moved into surface coordinates.
RECT ToSurface(const DeviceContext& dc, const RECT& r) {
    return RECT{r.left + dc.origin.x, r.top + dc.origin.y, r.right + dc.origin.x,
                r.bottom + dc.origin.y};
}

// The effective clip in surface coordinates, bounded by the surface.
RECT ClipOf(DeviceContext& dc, const Surface& s) {
    RECT c{0, 0, s.width, s.height};
    return dc.clipSet ? Intersect(c, dc.clip) : c;
}

// Where a drawing call draws: the device context, the surface it draws into and the effective
// clip. `dc` is none for an unknown context; `surface` is none as well when the context has
// nothing to draw into.
struct DrawTarget {
    DeviceContext* dc = nullptr;
    Surface* surface = nullptr;
    RECT clip{};
};

DrawTarget TargetOf(HDC dc) {
    DrawTarget t;
    t.dc = Dc(dc);
    if (t.dc != nullptr)
        t.surface = TargetSurface(*t.dc);
    if (t.surface != nullptr)
        t.clip = ClipOf(*t.dc, *t.surface);
    return t;
}

void FillSurface(Surface& s, RECT r, const RECT& clip, std::uint32_t argb) {
    r = Intersect(r, clip);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = &s.pixels[s.Index(0, y)];
        std::fill(row + r.left, row + std::max(r.left, r.right), argb);
    }
}

std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned a) {
    if (a >= 255)
        return src | 0xFF000000u;
    if (a == 0)
        return dst;
    unsigned inv = 255 - a;
    unsigned r = (((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * inv + 127) / 255;
    unsigned g = (((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * inv + 127) / 255;
    unsigned b = ((src & 0xFF) * a + (dst & 0xFF) * inv + 127) / 255;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

FontInstance& FontOf(DeviceContext& dc) {
    GdiObject* f = ObjOf(dc.font, Kind::Font);
    if (f == nullptr)
        f = ObjOf(GetStockObject(SYSTEM_FONT), Kind::Font);
    if (!f->font)
        f->font = FontFor(f->request);
    return *f->font;
}

int MeasureLine(FontInstance& font, std::wstring_view text) {
    int w = 0;
    for (wchar_t c : text)
        w += font.Get(static_cast<std::uint32_t>(c)).advance;
    return w;
}

void RenderLine(DeviceContext& dc, Surface& s, const RECT& clip, int x, int y,
                std::wstring_view text, int underline, COLORREF color) {
    FontInstance& font = FontOf(dc);
    std::uint32_t argb = ToArgb(color);
    int penX = dc.origin.x + x;
    int baseline = dc.origin.y + y + font.ascent;
    int thickness = std::max(1, font.ppem / 14);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = font.Get(static_cast<std::uint32_t>(text[i]));
        int gx = penX + g.left;
        int gy = baseline - g.top;
        for (int row = 0; row < g.height; ++row) {
            int sy = gy + row;
            if (sy < clip.top || sy >= clip.bottom)
                continue;
            for (int col = 0; col < g.width; ++col) {
                int sx = gx + col;
                if (sx < clip.left || sx >= clip.right)
                    continue;
                unsigned a =
                    g.alpha[static_cast<std::size_t>(row) * static_cast<std::size_t>(g.width) +
                            static_cast<std::size_t>(col)];
                if (a == 0)
                    continue;
                s.At(sx, sy) = Blend(s.At(sx, sy), argb, a);
            }
        }
        if (font.underline || static_cast<int>(i) == underline) {
            int uy = baseline + std::max(1, font.descent / 2);
            FillSurface(s, RECT{penX, uy, penX + g.advance, uy + thickness}, clip, argb);
        }
        if (font.strike) {
            int sy = baseline - font.ascent / 3;
            FillSurface(s, RECT{penX, sy, penX + g.advance, sy + thickness}, clip, argb);
        }
        penX += g.advance;
    }
}

// Splits text into lines and strips '&' prefixes; `underline` gets the index of the
// mnemonic character in its line, or -1.
struct Line {
    std::wstring text;
    int underline = -1;
};

std::vector<Line> SplitLines(std::wstring_view text, UINT format, FontInstance& font, int width) {
    std::vector<Line> lines;
    Line cur;
    bool prefix = (format & DT_NOPREFIX) == 0;
    bool single = (format & DT_SINGLELINE) != 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (prefix && c == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                cur.text.push_back(L'&');
                ++i;
            } else if (i + 1 < text.size()) {
                cur.underline = static_cast<int>(cur.text.size());
            }
            continue;
        }
        if (c == L'\r' || c == L'\n') {
            if (single)
                continue;
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            lines.push_back(std::move(cur));
            cur = Line{};
            continue;
        }
        if (c == L'\t' && (format & DT_EXPANDTABS) != 0) {
            cur.text.append(8 - cur.text.size() % 8, L' ');
            continue;
        }
        cur.text.push_back(c);
    }
    lines.push_back(std::move(cur));
    if ((format & DT_WORDBREAK) == 0 || single || width <= 0)
        return lines;
    // Word wrapping: break at the last space that keeps the line within the width.
    std::vector<Line> wrapped;
    for (Line& line : lines) {
        std::wstring rest = line.text;
        int underline = line.underline;
        while (!rest.empty()) {
            if (MeasureLine(font, rest) <= width) {
                wrapped.push_back(Line{rest, underline});
                break;
            }
            std::size_t cut = 0;
            std::size_t lastSpace = std::wstring::npos;
            for (std::size_t k = 1; k <= rest.size(); ++k) {
                if (MeasureLine(font, std::wstring_view(rest).substr(0, k)) > width)
                    break;
                cut = k;
                if (k < rest.size() && rest[k] == L' ')
                    lastSpace = k;
            }
            std::size_t take =
                lastSpace != std::wstring::npos ? lastSpace : std::max<std::size_t>(cut, 1);
            Line piece{rest.substr(0, take), underline < static_cast<int>(take) ? underline : -1};
            wrapped.push_back(piece);
            std::size_t skip = take;
            while (skip < rest.size() && rest[skip] == L' ')
                ++skip;
            underline =
                underline >= static_cast<int>(skip) ? underline - static_cast<int>(skip) : -1;
            rest = rest.substr(skip);
        }
        if (line.text.empty())
            wrapped.push_back(Line{});
    }
    return wrapped;
}

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
        if (e.index != index)
            continue;
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

// ---------------------------------------------------------------------------------------

void Surface::Resize(int w, int h, std::uint32_t fill) {
    width = std::max(0, w);
    height = std::max(0, h);
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

int TextWidth(HDC dc, std::wstring_view text) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr)
        return 0;
    return MeasureLine(FontOf(*d), text);
}

void DrawTextLine(HDC dc, int x, int y, std::wstring_view text, int underline) {
    auto [d, s, clip] = TargetOf(dc);
    if (s == nullptr)
        return;
    RenderLine(*d, *s, clip, x, y, text, underline, d->textColor);
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    auto [d, s, clip] = TargetOf(dc);
    if (s == nullptr)
        return;
    FillSurface(*s, ToSurface(*d, r), clip, ToArgb(color));
}

void BlendSurface(HDC dc, int x, int y, const Surface& source) {
    auto [d, s, clip] = TargetOf(dc);
    if (s == nullptr)
        return;
    for (int row = 0; row < source.height; ++row) {
        int sy = d->origin.y + y + row;
        if (sy < clip.top || sy >= clip.bottom)
            continue;
        for (int col = 0; col < source.width; ++col) {
            int sx = d->origin.x + x + col;
            if (sx < clip.left || sx >= clip.right)
                continue;
            std::uint32_t src = source.At(col, row);
            s->At(sx, sy) = Blend(s->At(sx, sy), src, src >> 24);
        }
    }
}

void MarkStock(HGDIOBJ object) {
    if (GdiObject* o = Obj(object))
        o->stock = true;
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

// ---------------------------------------------------------------------------------------
// The GDI calls.

namespace platform {

using win::Dc;
using win::DeviceContext;
using win::G;
using win::GdiObject;
using win::Kind;
using win::ObjOf;

HFONT CreateFontW(int height, int /*width*/, int /*escapement*/, int /*orientation*/, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD /*charSet*/,
                  DWORD /*outPrecision*/, DWORD /*clipPrecision*/, DWORD /*quality*/,
                  DWORD /*pitchAndFamily*/, LPCWSTR faceName) {
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Font;
    obj->request.height = height;
    obj->request.weight = weight;
    obj->request.italic = italic != 0;
    obj->request.underline = underline != 0;
    obj->request.strike = strikeOut != 0;
    obj->request.face = faceName != nullptr ? faceName : L"";
    return reinterpret_cast<HFONT>(win::NewObject(std::move(obj)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Brush;
    obj->color = color & 0xFFFFFF;
    return reinterpret_cast<HBRUSH>(win::NewObject(std::move(obj)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Pen;
    obj->penStyle = style;
    obj->penWidth = std::max(1, width);
    obj->color = color & 0xFFFFFF;
    return reinterpret_cast<HPEN>(win::NewObject(std::move(obj)));
}

HGDIOBJ GetStockObject(int index) {
    auto& stock = G().stock;
    auto it = stock.find(index);
    if (it != stock.end())
        return reinterpret_cast<HGDIOBJ>(it->second);
    HGDIOBJ h = win::MakeStock(index);
    if (h != nullptr)
        stock.emplace(index, reinterpret_cast<std::uintptr_t>(h));
    return h;
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(win::kSysColors)))
        return 0;
    return win::kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(win::kSysColors)))
        return nullptr;
    auto& brushes = G().sysBrushes;
    auto it = brushes.find(index);
    if (it != brushes.end())
        return reinterpret_cast<HBRUSH>(it->second);
    auto obj = std::make_unique<GdiObject>();
    obj->kind = Kind::Brush;
    obj->stock = true;
    obj->color = win::kSysColors[index];
    std::uintptr_t h = win::NewObject(std::move(obj));
    brushes.emplace(index, h);
    return reinterpret_cast<HBRUSH>(h);
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* o = win::Obj(object);
    if (o == nullptr)
        return FALSE;
    if (o->stock)
        return TRUE;
    G().objects.erase(reinterpret_cast<std::uintptr_t>(object));
    return TRUE;
}

BOOL DestroyIcon(HICON icon) {
    if (ObjOf(icon, Kind::Icon) == nullptr)
        return FALSE;
    return DeleteObject(icon);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* d = Dc(dc);
    GdiObject* o = win::Obj(object);
    if (d == nullptr || o == nullptr)
        return nullptr;
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
            if (!d->memory)
                return nullptr;
            old = d->bitmap;
            d->bitmap = static_cast<HBITMAP>(object);
            break;
        case Kind::Icon:
            return nullptr;
    }
    return old;
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
    GdiObject* o = win::Obj(object);
    if (o == nullptr)
        return 0;
    if (o->kind == Kind::Bitmap || o->kind == Kind::Icon) {
        if (out == nullptr)
            return static_cast<int>(sizeof(BITMAP));
        if (size < static_cast<int>(sizeof(BITMAP)))
            return 0;
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
    return win::SwapColor(dc, &DeviceContext::bkColor, color);
}
COLORREF GetBkColor(HDC dc) {
    return win::ReadColor(dc, &DeviceContext::bkColor);
}
int SetBkMode(HDC dc, int mode) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(d->bkMode, mode);
}
COLORREF SetTextColor(HDC dc, COLORREF color) {
    return win::SwapColor(dc, &DeviceContext::textColor, color);
}
COLORREF GetTextColor(HDC dc) {
    return win::ReadColor(dc, &DeviceContext::textColor);
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* tm) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || tm == nullptr)
        return FALSE;
    win::FontInstance& f = win::FontOf(*d);
    *tm = TEXTMETRICW{};
    tm->tmAscent = f.ascent;
    tm->tmDescent = f.descent;
    tm->tmHeight = f.ascent + f.descent;
    tm->tmInternalLeading = std::max(0, tm->tmHeight - f.ppem);
    tm->tmAveCharWidth = f.aveCharWidth;
    tm->tmMaxCharWidth = f.maxCharWidth;
    tm->tmWeight = f.weight;
    tm->tmItalic = f.italic ? 1 : 0;
    tm->tmUnderlined = f.underline ? 1 : 0;
    tm->tmStruckOut = f.strike ? 1 : 0;
    tm->tmCharSet = static_cast<BYTE>(DEFAULT_CHARSET);
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || size == nullptr || (text == nullptr && count > 0))
        return FALSE;
    win::FontInstance& f = win::FontOf(*d);
    size->cx = win::MeasureLine(f, std::wstring_view(text == nullptr ? L"" : text,
                                                     static_cast<std::size_t>(std::max(0, count))));
    size->cy = f.ascent + f.descent;
    return TRUE;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* /*dx*/) {
    auto [d, s, clip] = win::TargetOf(dc);
    if (d == nullptr)
        return FALSE;
    if (s == nullptr)
        return TRUE;
    if (rect != nullptr && (options & ETO_OPAQUE) != 0)
        win::FillSurface(*s, win::ToSurface(*d, *rect), clip, win::ToArgb(d->bkColor));
    if (rect != nullptr && (options & ETO_CLIPPED) != 0)
        clip = win::Intersect(clip, win::ToSurface(*d, *rect));
    if (text == nullptr || count == 0)
        return TRUE;
    std::wstring_view view(text, count);
    win::FontInstance& f = win::FontOf(*d);
    if (d->bkMode == OPAQUE && (options & ETO_OPAQUE) == 0) {
        int w = win::MeasureLine(f, view);
        RECT box{x, y, x + w, y + f.ascent + f.descent};
        win::FillSurface(*s, win::ToSurface(*d, box), clip, win::ToArgb(d->bkColor));
    }
    win::RenderLine(*d, *s, clip, x, y, view, -1, d->textColor);
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (count < 0)
        return FALSE;
    return ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || rect == nullptr || text == nullptr)
        return 0;
    std::wstring_view view = count < 0 ? std::wstring_view(text)
                                       : std::wstring_view(text, static_cast<std::size_t>(count));
    win::FontInstance& f = win::FontOf(*d);
    int lineHeight = f.ascent + f.descent;
    int width = rect->right - rect->left;
    std::vector<win::Line> lines = win::SplitLines(view, format, f, width);
    int total = lineHeight * static_cast<int>(lines.size());
    if ((format & DT_CALCRECT) != 0) {
        int maxWidth = 0;
        for (const auto& l : lines)
            maxWidth = std::max(maxWidth, win::MeasureLine(f, l.text));
        if ((format & DT_WORDBREAK) == 0 || (format & DT_SINGLELINE) != 0 || width <= 0) {
            rect->right = rect->left + maxWidth;
        } else {
            rect->right = rect->left + std::max(maxWidth, 0);
        }
        rect->bottom = rect->top + total;
        return total;
    }
    win::Surface* s = win::TargetSurface(*d);
    if (s == nullptr)
        return total;
    RECT clip = win::ClipOf(*d, *s);
    if ((format & DT_NOCLIP) == 0)
        clip = win::Intersect(clip, win::ToSurface(*d, *rect));
    int y = rect->top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_VCENTER) != 0) {
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        } else if ((format & DT_BOTTOM) != 0) {
            y = rect->bottom - lineHeight;
        }
    }
    for (const auto& line : lines) {
        int w = win::MeasureLine(f, line.text);
        int x = rect->left;
        if ((format & DT_CENTER) != 0) {
            x = rect->left + (width - w) / 2;
        } else if ((format & DT_RIGHT) != 0) {
            x = rect->right - w;
        }
        if (d->bkMode == OPAQUE) {
            RECT box{x, y, x + w, y + lineHeight};
            win::FillSurface(*s, win::ToSurface(*d, box), clip, win::ToArgb(d->bkColor));
        }
        win::RenderLine(*d, *s, clip, x, y, line.text, line.underline, d->textColor);
        y += lineHeight;
    }
    return total;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    auto [d, s, clip] = win::TargetOf(dc);
    if (d == nullptr)
        return FALSE;
    if (s == nullptr)
        return TRUE;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    GdiObject* pen = ObjOf(d->pen, Kind::Pen);
    GdiObject* brush = ObjOf(d->brush, Kind::Brush);
    bool nullPen = pen == nullptr || pen->penStyle == PS_NULL;
    int pw = nullPen ? 0 : pen->penWidth;
    if (brush != nullptr && !brush->hollow) {
        // With a null pen the filled area is one pixel smaller on the right and bottom.
        RECT fill = nullPen ? RECT{left, top, right - 1, bottom - 1}
                            : RECT{left + pw, top + pw, right - pw, bottom - pw};
        win::FillSurface(*s, win::ToSurface(*d, fill), clip, win::ToArgb(brush->color));
    }
    if (!nullPen) {
        std::uint32_t c = win::ToArgb(pen->color);
        const RECT edges[] = {{left, top, right, top + pw},
                              {left, bottom - pw, right, bottom},
                              {left, top, left + pw, bottom},
                              {right - pw, top, right, bottom}};
        for (const RECT& edge : edges)
            win::FillSurface(*s, win::ToSurface(*d, edge), clip, c);
    }
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = Dc(dc);
    GdiObject* b = ObjOf(brush, Kind::Brush);
    if (d == nullptr || rect == nullptr || b == nullptr)
        return 0;
    if (!b->hollow)
        win::FillSolid(dc, *rect, b->color);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = Dc(dc);
    GdiObject* b = ObjOf(brush, Kind::Brush);
    if (d == nullptr || rect == nullptr || b == nullptr)
        return 0;
    if (b->hollow)
        return 1;
    const RECT& r = *rect;
    const RECT edges[] = {{r.left, r.top, r.right, r.top + 1},
                          {r.left, r.bottom - 1, r.right, r.bottom},
                          {r.left, r.top, r.left + 1, r.bottom},
                          {r.right - 1, r.top, r.right, r.bottom}};
    for (const RECT& edge : edges)
        win::FillSolid(dc, edge, b->color);
    return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto [d, s, clip] = win::TargetOf(dc);
    if (s == nullptr)
        return kNoColor;
    int sx = x + d->origin.x;
    int sy = y + d->origin.y;
    if (sx < clip.left || sy < clip.top || sx >= clip.right || sy >= clip.bottom)
        return kNoColor;
    std::uint32_t p = s->At(sx, sy);
    return RGB(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p));
}

HDC CreateCompatibleDC(HDC /*dc*/) {
    auto d = std::make_unique<DeviceContext>();
    d->memory = true;
    if (G().defaultBitmap == nullptr || win::BitmapSurface(G().defaultBitmap) == nullptr) {
        G().defaultBitmap = win::CreateBitmapFromPixels(1, 1, nullptr);
    }
    d->bitmap = G().defaultBitmap;
    return win::NewDc(std::move(d));
}

BOOL DeleteDC(HDC dc) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || !d->memory)
        return FALSE;
    win::DestroyDC(dc);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC /*dc*/, int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    return win::CreateBitmapFromPixels(width, height, nullptr);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw,
                int sh, DWORD /*rop*/) {
    DeviceContext* d = Dc(dest);
    DeviceContext* s = Dc(source);
    if (d == nullptr || s == nullptr || sw <= 0 || sh <= 0)
        return FALSE;
    win::Surface* from = win::TargetSurface(*s);
    win::Surface* to = win::TargetSurface(*d);
    if (from == nullptr || to == nullptr)
        return FALSE;
    RECT clip = win::ClipOf(*d, *to);
    RECT sclip = win::ClipOf(*s, *from);
    std::vector<std::uint32_t> copy;  // the source may be the destination
    const win::Surface* src = from;
    win::Surface tmp;
    if (from == to) {
        tmp = *from;
        src = &tmp;
    }
    for (int row = 0; row < height; ++row) {
        int ty = d->origin.y + y + row;
        if (ty < clip.top || ty >= clip.bottom)
            continue;
        int fy = s->origin.y + sy + row * sh / height;
        if (fy < sclip.top || fy >= sclip.bottom)
            continue;
        for (int col = 0; col < width; ++col) {
            int tx = d->origin.x + x + col;
            if (tx < clip.left || tx >= clip.right)
                continue;
            int fx = s->origin.x + sx + col * sw / width;
            if (fx < sclip.left || fx >= sclip.right)
                continue;
            to->At(tx, ty) = src->At(fx, fy) | 0xFF000000u;
        }
    }
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sx, int sy,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT /*usage*/) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || bits == nullptr || info == nullptr)
        return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biCompression != BI_RGB || (h.biBitCount != 32 && h.biBitCount != 24) || h.biWidth <= 0) {
        return 0;
    }
    win::Surface* s = win::TargetSurface(*d);
    if (s == nullptr)
        return 0;
    RECT clip = win::ClipOf(*d, *s);
    int bytesPerPixel = h.biBitCount / 8;
    std::size_t stride =
        (static_cast<std::size_t>(h.biWidth) * static_cast<std::size_t>(bytesPerPixel) + 3) &
        ~std::size_t{3};
    int rows = std::abs(h.biHeight);
    bool topDown = h.biHeight < 0;
    const auto* data = static_cast<const std::uint8_t*>(bits);
    for (int row = 0; row < static_cast<int>(height); ++row) {
        int srcRow = sy + row;  // counted from the top of the picture
        int fileRow = topDown ? srcRow : rows - 1 - srcRow;
        int scan = fileRow - static_cast<int>(startScan);
        if (srcRow < 0 || srcRow >= rows || scan < 0 || scan >= static_cast<int>(lines))
            continue;
        int ty = d->origin.y + y + row;
        if (ty < clip.top || ty >= clip.bottom)
            continue;
        const std::uint8_t* line = data + static_cast<std::size_t>(scan) * stride;
        for (int col = 0; col < static_cast<int>(width); ++col) {
            int srcCol = sx + col;
            int tx = d->origin.x + x + col;
            if (srcCol < 0 || srcCol >= h.biWidth || tx < clip.left || tx >= clip.right)
                continue;
            const std::uint8_t* p =
                line + static_cast<std::size_t>(srcCol) * static_cast<std::size_t>(bytesPerPixel);
            s->At(tx, ty) = 0xFF000000u | (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
        }
    }
    return static_cast<int>(lines);
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
    if (denominator == 0)
        return -1;
    long long p = static_cast<long long>(number) * numerator;
    long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    long long r = (p >= 0) == (denominator > 0)
                      ? (std::llabs(p) + half) / std::llabs(static_cast<long long>(denominator))
                      : -((std::llabs(p) + half) / std::llabs(static_cast<long long>(denominator)));
    if (r > 0x7FFFFFFF || r < -0x7FFFFFFFLL - 1)
        return -1;
    return static_cast<int>(r);
}

}  // namespace platform
