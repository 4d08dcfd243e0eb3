// Fonts: faces found by name, sized and measured the way GDI does, glyphs rendered with
// FreeType.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/fonts/fonts.h"
#include "platform/win/gdi_internal.h"

namespace platform::win::gdi {
namespace {

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            lib = nullptr;
        }
        return lib;
    }();
    return library;
}

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) {
        s.push_back(c < 128 ? static_cast<char>(c) : '?');
    }
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
        if (os2->xAvgCharWidth > 0) {
            avgWidth = os2->xAvgCharWidth;
        }
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
    if (request.height > 0) {
        font->descent = request.height - font->ascent;
    }
    font->aveCharWidth = std::max(1, static_cast<int>(std::lround(avgWidth * scale)));
    font->maxCharWidth =
        std::max(font->aveCharWidth,
                 static_cast<int>(std::lround((face->bbox.xMax - face->bbox.xMin) * scale)));
    return font;
}

}  // namespace

const Glyph& FontInstance::Get(std::uint32_t code) {
    auto it = glyphs.find(code);
    if (it != glyphs.end()) {
        return it->second;
    }
    Glyph g;
    if (face != nullptr) {
        FT_UInt index = FT_Get_Char_Index(face, code);
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
            FT_GlyphSlot slot = face->glyph;
            if (emboldenSynthetic) {
                FT_GlyphSlot_Embolden(slot);
            }
            if (obliqueSynthetic) {
                FT_GlyphSlot_Oblique(slot);
            }
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
    if (it != cache.end()) {
        return it->second;
    }
    auto font = MakeFont(request);
    cache.emplace(request, font);
    return font;
}

}  // namespace platform::win::gdi
