// The text calls: measuring, wrapping and drawing lines with the selected font.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/win/gdi_internal.h"

namespace platform::win::gdi {

GdiObject& FontObjectOf(DeviceContext& dc) {
    GdiObject* f = ObjOf(dc.font, Kind::Font);
    if (f == nullptr) {
        f = ObjOf(GetStockObject(SYSTEM_FONT), Kind::Font);
    }
    return *f;
}

// The selected font at logical size: what text is measured and laid out with.
FontInstance& FontOf(DeviceContext& dc) {
    GdiObject& f = FontObjectOf(dc);
    if (!f.font) {
        f.font = FontFor(f.request);
    }
    return *f.font;
}

// The selected font rasterised at the device size of a surface, so that text stays sharp.
FontInstance& DeviceFontOf(DeviceContext& dc, const Surface& s) {
    if (s.scale == 1.0) {
        return FontOf(dc);
    }
    FontRequest request = FontObjectOf(dc).request;
    // 0 asks for the default cell height of 16 logical pixels.
    request.height = MapOf(s).DeviceLength(request.height == 0 ? 16 : request.height);
    return *FontFor(request);
}

int MeasureLine(FontInstance& font, std::wstring_view text) {
    int w = 0;
    for (wchar_t c : text) {
        w += font.Get(static_cast<std::uint32_t>(c)).advance;
    }
    return w;
}

void RenderLine(DeviceContext& dc, Surface& s, const RECT& clip, int x, int y,
                std::wstring_view text, int underline, COLORREF color) {
    FontInstance& font = DeviceFontOf(dc, s);
    std::uint32_t argb = ToArgb(color);
    const POINT at = MapOf(s).ToDevice(POINT{dc.origin.x + x, dc.origin.y + y});
    int penX = at.x;
    int baseline = at.y + font.ascent;
    int thickness = std::max(1, font.ppem / 14);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = font.Get(static_cast<std::uint32_t>(text[i]));
        int gx = penX + g.left;
        int gy = baseline - g.top;
        for (int row = 0; row < g.height; ++row) {
            int sy = gy + row;
            if (sy < clip.top || sy >= clip.bottom) {
                continue;
            }
            for (int col = 0; col < g.width; ++col) {
                int sx = gx + col;
                if (sx < clip.left || sx >= clip.right) {
                    continue;
                }
                unsigned a =
                    g.alpha[static_cast<std::size_t>(row) * static_cast<std::size_t>(g.width) +
                            static_cast<std::size_t>(col)];
                if (a == 0) {
                    continue;
                }
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
            if (single) {
                continue;
            }
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
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
    if ((format & DT_WORDBREAK) == 0 || single || width <= 0) {
        return lines;
    }
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
                if (MeasureLine(font, std::wstring_view(rest).substr(0, k)) > width) {
                    break;
                }
                cut = k;
                if (k < rest.size() && rest[k] == L' ') {
                    lastSpace = k;
                }
            }
            std::size_t take =
                lastSpace != std::wstring::npos ? lastSpace : std::max<std::size_t>(cut, 1);
            Line piece{rest.substr(0, take), underline < static_cast<int>(take) ? underline : -1};
            wrapped.push_back(piece);
            std::size_t skip = take;
            while (skip < rest.size() && rest[skip] == L' ') {
                ++skip;
            }
            underline =
                underline >= static_cast<int>(skip) ? underline - static_cast<int>(skip) : -1;
            rest = rest.substr(skip);
        }
        if (line.text.empty()) {
            wrapped.push_back(Line{});
        }
    }
    return wrapped;
}

}  // namespace platform::win::gdi

namespace platform::win {

using namespace gdi;

int TextWidth(HDC dc, std::wstring_view text) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr) {
        return 0;
    }
    return MeasureLine(FontOf(*d), text);
}

void DrawTextLine(HDC dc, int x, int y, std::wstring_view text, int underline) {
    auto [d, s, clip] = TargetOf(dc);
    if (s == nullptr) {
        return;
    }
    RenderLine(*d, *s, clip, x, y, text, underline, d->textColor);
}

}  // namespace platform::win

namespace platform {

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
    return reinterpret_cast<HFONT>(win::gdi::NewObject(std::move(obj)));
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* tm) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || tm == nullptr) {
        return FALSE;
    }
    win::gdi::FontInstance& f = win::gdi::FontOf(*d);
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
    if (d == nullptr || size == nullptr || (text == nullptr && count > 0)) {
        return FALSE;
    }
    win::gdi::FontInstance& f = win::gdi::FontOf(*d);
    size->cx =
        win::gdi::MeasureLine(f, std::wstring_view(text == nullptr ? L"" : text,
                                                   static_cast<std::size_t>(std::max(0, count))));
    size->cy = f.ascent + f.descent;
    return TRUE;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* /*dx*/) {
    auto [d, s, clip] = win::gdi::TargetOf(dc);
    if (d == nullptr) {
        return FALSE;
    }
    if (s == nullptr) {
        return TRUE;
    }
    if (rect != nullptr && (options & ETO_OPAQUE) != 0) {
        win::gdi::FillSurface(*s, win::gdi::ToDevice(*d, *s, *rect), clip, win::ToArgb(d->bkColor));
    }
    if (rect != nullptr && (options & ETO_CLIPPED) != 0) {
        clip = win::Intersect(clip, win::gdi::ToDevice(*d, *s, *rect));
    }
    if (text == nullptr || count == 0) {
        return TRUE;
    }
    std::wstring_view view(text, count);
    win::gdi::FontInstance& f = win::gdi::FontOf(*d);
    if (d->bkMode == OPAQUE && (options & ETO_OPAQUE) == 0) {
        int w = win::gdi::MeasureLine(f, view);
        RECT box{x, y, x + w, y + f.ascent + f.descent};
        win::gdi::FillSurface(*s, win::gdi::ToDevice(*d, *s, box), clip, win::ToArgb(d->bkColor));
    }
    win::gdi::RenderLine(*d, *s, clip, x, y, view, -1, d->textColor);
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (count < 0) {
        return FALSE;
    }
    return ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    DeviceContext* d = Dc(dc);
    if (d == nullptr || rect == nullptr || text == nullptr) {
        return 0;
    }
    std::wstring_view view = count < 0 ? std::wstring_view(text)
                                       : std::wstring_view(text, static_cast<std::size_t>(count));
    win::gdi::FontInstance& f = win::gdi::FontOf(*d);
    int lineHeight = f.ascent + f.descent;
    int width = rect->right - rect->left;
    std::vector<win::gdi::Line> lines = win::gdi::SplitLines(view, format, f, width);
    int total = lineHeight * static_cast<int>(lines.size());
    if ((format & DT_CALCRECT) != 0) {
        int maxWidth = 0;
        for (const auto& l : lines) {
            maxWidth = std::max(maxWidth, win::gdi::MeasureLine(f, l.text));
        }
        if ((format & DT_WORDBREAK) == 0 || (format & DT_SINGLELINE) != 0 || width <= 0) {
            rect->right = rect->left + maxWidth;
        } else {
            rect->right = rect->left + std::max(maxWidth, 0);
        }
        rect->bottom = rect->top + total;
        return total;
    }
    win::Surface* s = win::gdi::TargetSurface(*d);
    if (s == nullptr) {
        return total;
    }
    RECT clip = win::gdi::ClipOf(*d, *s);
    if ((format & DT_NOCLIP) == 0) {
        clip = win::Intersect(clip, win::gdi::ToDevice(*d, *s, *rect));
    }
    int y = rect->top;
    if ((format & DT_SINGLELINE) != 0) {
        if ((format & DT_VCENTER) != 0) {
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        } else if ((format & DT_BOTTOM) != 0) {
            y = rect->bottom - lineHeight;
        }
    }
    for (const auto& line : lines) {
        int w = win::gdi::MeasureLine(f, line.text);
        int x = rect->left;
        if ((format & DT_CENTER) != 0) {
            x = rect->left + (width - w) / 2;
        } else if ((format & DT_RIGHT) != 0) {
            x = rect->right - w;
        }
        if (d->bkMode == OPAQUE) {
            RECT box{x, y, x + w, y + lineHeight};
            win::gdi::FillSurface(*s, win::gdi::ToDevice(*d, *s, box), clip,
                                  win::ToArgb(d->bkColor));
        }
        win::gdi::RenderLine(*d, *s, clip, x, y, line.text, line.underline, d->textColor);
        y += lineHeight;
    }
    return total;
}

}  // namespace platform
