#include "platform/gl/gl_font.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "platform/fonts/fonts.h"
#include "platform/gl/gl_buffers.h"
#include "platform/gl/gl_device.h"

namespace platform::gl {

namespace {

constexpr int kBoldWeight = 600;

}  // namespace

char32_t CharFromAnsi(unsigned char byte) {
    // The printable characters Windows-1252 puts in 0x80..0x9F; the rest equals Latin-1.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0) {
        return kHigh[byte - 0x80] ? kHigh[byte - 0x80] : byte;
    }
    return byte;
}

FontCache::FontCache() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0) {
        library_ = library;
    }
}

FontCache::~FontCache() {
    faces_.clear();
    if (library_) {
        FT_Done_FreeType(static_cast<FT_Library>(library_));
    }
}

FontFace* FontCache::Get(const gfx::FontDesc& desc) {
    for (const auto& face : faces_) {
        if (face->Matches(desc)) {
            return face.get();
        }
    }
    if (!library_ || desc.height == 0) {
        return nullptr;
    }
    const bool bold = desc.weight >= kBoldWeight;
    const std::string path = FindFontFile(desc.face, bold, desc.italic);
    if (path.empty()) {
        return nullptr;
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library_), path.c_str(), 0, &ftFace) != 0) {
        return nullptr;
    }
    std::unique_ptr<FontFace> face(new FontFace);
    face->desc_ = desc;
    face->face_ = ftFace;
    face->emboldenSynthetic_ = bold && !(ftFace->style_flags & FT_STYLE_FLAG_BOLD);
    face->obliqueSynthetic_ = desc.italic && !(ftFace->style_flags & FT_STYLE_FLAG_ITALIC);

    // A positive height is the cell height (ascent + descent, as Windows measures them), a
    // negative one the em height.
    double ascentUnits = ftFace->ascender;
    double descentUnits = -ftFace->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ftFace, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    const double upem = ftFace->units_per_EM > 0 ? ftFace->units_per_EM : 2048;
    const double cellUnits = std::max(ascentUnits + descentUnits, 1.0);
    const double ppem = desc.height > 0 ? desc.height * upem / cellUnits : -desc.height;
    if (FT_Set_Char_Size(ftFace, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) {
        return nullptr;
    }
    face->ascent_ = static_cast<int>(std::lround(ascentUnits * ppem / upem));
    face->lineHeight_ =
        desc.height > 0 ? desc.height : static_cast<int>(std::lround(cellUnits * ppem / upem));

    // Cleared, so that sampling near a glyph's edge reads zero coverage.
    const std::vector<unsigned char> zero(FontFace::kAtlasSize * FontFace::kAtlasSize, 0);
    const GLuint atlas =
        StoreTexture(0, GL_R8, FontFace::kAtlasSize, FontFace::kAtlasSize, GL_RED, 1, zero.data());
    face->atlas_ = atlas;
    faces_.push_back(std::move(face));
    return faces_.back().get();
}

FontFace::~FontFace() {
    if (atlas_) {
        glDeleteTextures(1, &atlas_);
    }
    if (face_) {
        FT_Done_Face(static_cast<FT_Face>(face_));
    }
}

bool FontFace::Matches(const gfx::FontDesc& desc) const {
    return desc.height == desc_.height &&
           (desc.weight >= kBoldWeight) == (desc_.weight >= kBoldWeight) &&
           desc.italic == desc_.italic && desc.face == desc_.face;
}

const Glyph* FontFace::Get(char32_t ch) {
    if (auto it = glyphs_.find(ch); it != glyphs_.end()) {
        return &it->second;
    }
    auto* face = static_cast<FT_Face>(face_);
    Glyph glyph;
    if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) {
        return &glyphs_.emplace(ch, glyph).first->second;  // no such glyph: draws nothing
    }
    FT_GlyphSlot slot = face->glyph;
    if (obliqueSynthetic_) {
        FT_GlyphSlot_Oblique(slot);
    }
    if (emboldenSynthetic_) {
        FT_GlyphSlot_Embolden(slot);
    }
    glyph.advance = slot->advance.x;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 && slot->bitmap.width > 0 &&
        slot->bitmap.rows > 0) {
        const int w = static_cast<int>(slot->bitmap.width);
        const int h = static_cast<int>(slot->bitmap.rows);
        if (shelfX_ + w + 1 > kAtlasSize) {
            shelfX_ = 1;
            shelfY_ += shelfHeight_ + 1;
            shelfHeight_ = 0;
        }
        if (shelfY_ + h + 1 > kAtlasSize || w + 2 > kAtlasSize) {
            return nullptr;
        }
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = w;
        glyph.height = h;
        glyph.atlasX = shelfX_;
        glyph.atlasY = shelfY_;
        glBindTexture(GL_TEXTURE_2D, atlas_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, slot->bitmap.pitch > 0 ? slot->bitmap.pitch : 0);
        glTexSubImage2D(GL_TEXTURE_2D, 0, shelfX_, shelfY_, w, h, GL_RED, GL_UNSIGNED_BYTE,
                        slot->bitmap.buffer);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        shelfX_ += w + 1;
        shelfHeight_ = std::max(shelfHeight_, h);
    }
    return &glyphs_.emplace(ch, glyph).first->second;
}

void GlFont::LineQuads(std::string_view line, int x0, int baseline, FontFace& drawn,
                       std::pair<float, float> device, D3DCOLOR color) {
    const auto [sx, sy] = device;
    // The line's baseline on the device pixel grid.
    const float top = std::round(static_cast<float>(baseline) * sy);
    std::vector<GlDevice::Vertex2D>& quads = device_->Scratch2D();
    const float inv = 1.0f / static_cast<float>(drawn.AtlasSize());
    long pen = 0;  // 26.6 back-buffer pixels
    for (const char c : line) {
        const char32_t ch = CharFromAnsi(static_cast<unsigned char>(c));
        const Glyph* laid = face_->Get(ch);
        const Glyph* g = &drawn == face_ ? laid : drawn.Get(ch);
        if (!laid) {
            continue;
        }
        if (g && g->width > 0) {
            // The glyph's device pixels, placed at its logical pen position snapped to the
            // device pixel grid, so that each texel covers exactly one pixel at any scale.
            const float penX = static_cast<float>(x0 + static_cast<int>((pen + 32) >> 6));
            const float x = (std::round(penX * sx) + static_cast<float>(g->left)) / sx;
            const float y = (top - static_cast<float>(g->top)) / sy;
            const float w = static_cast<float>(g->width) / sx;
            const float h = static_cast<float>(g->height) / sy;
            const float u0 = static_cast<float>(g->atlasX) * inv;
            const float v0 = static_cast<float>(g->atlasY) * inv;
            const float u1 = static_cast<float>(g->atlasX + g->width) * inv;
            const float v1 = static_cast<float>(g->atlasY + g->height) * inv;
            quads.push_back({x, y, u0, v0, color});
            quads.push_back({x + w, y, u1, v0, color});
            quads.push_back({x + w, y + h, u1, v1, color});
            quads.push_back({x, y, u0, v0, color});
            quads.push_back({x + w, y + h, u1, v1, color});
            quads.push_back({x, y + h, u0, v1, color});
        }
        pen += laid->advance;
    }
}

int GlFont::DrawText(gfx::Sprite*, std::string_view text, RECT* rect, UINT format, D3DCOLOR color) {
    const int lineHeight = face_->LineHeight();
    // Widths of the lines, in pixels.
    auto lineWidth = [&](std::size_t begin, std::size_t end) {
        long pen = 0;
        for (std::size_t i = begin; i < end; ++i) {
            if (const Glyph* g = face_->Get(CharFromAnsi(static_cast<unsigned char>(text[i])))) {
                pen += g->advance;
            }
        }
        return static_cast<int>((pen + 32) >> 6);
    };
    auto lineEnd = [&](std::size_t begin) {
        std::size_t end = text.find('\n', begin);
        return end == std::string_view::npos ? text.size() : end;
    };
    auto trimmed = [&](std::size_t begin, std::size_t end) {
        return end > begin && text[end - 1] == '\r' ? end - 1 : end;
    };
    int lines = 0, widest = 0;
    for (std::size_t begin = 0;;) {
        const std::size_t end = lineEnd(begin);
        widest = std::max(widest, lineWidth(begin, trimmed(begin, end)));
        ++lines;
        if (end >= text.size()) {
            break;
        }
        begin = end + 1;
    }
    const int height = lines * lineHeight;
    if (format & gfx::DT_CALCRECT) {
        if (rect) {
            rect->right = rect->left + widest;
            rect->bottom = rect->top + height;
        }
        return height;
    }
    if (!rect || (color >> 24) == 0) {
        return height;  // nothing would show
    }
    device_->Scratch2D().clear();
    FontFace* drawn = device_->DeviceFace(desc_, face_);
    // Device pixels per back-buffer pixel as the framebuffer has them (its size is rounded up).
    const std::pair<float, float> device =
        drawn == face_ ? std::pair{1.0f, 1.0f}
                       : std::pair{static_cast<float>(device_->FramebufferWidth()) /
                                       static_cast<float>(device_->BackBufferWidth()),
                                   static_cast<float>(device_->FramebufferHeight()) /
                                       static_cast<float>(device_->BackBufferHeight())};
    int line = 0;
    for (std::size_t begin = 0;; ++line) {
        const std::size_t end = lineEnd(begin);
        const std::size_t stop = trimmed(begin, end);
        int x0 = rect->left;
        if (format & gfx::DT_CENTER) {
            x0 = rect->left + (rect->right - rect->left - lineWidth(begin, stop)) / 2;
        }
        const int baseline = rect->top + line * lineHeight + face_->Ascent();
        LineQuads(text.substr(begin, stop - begin), x0, baseline, *drawn, device, color);
        if (end >= text.size()) {
            break;
        }
        begin = end + 1;
    }
    if (!device_->Scratch2D().empty()) {
        device_->Draw2D(device_->Scratch2D(), drawn->Atlas(), GlDevice::Quads2D::Coverage, true,
                        false);
    }
    return height;
}

}  // namespace platform::gl
