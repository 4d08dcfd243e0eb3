// 2D fonts of the GL device: FreeType faces found by face name, sized so that a font's cell
// (ascent + descent) is the requested height in pixels, with their glyphs rasterised once
// into an atlas texture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/gfx/device.h"

namespace platform::gl {

class GlDevice;

struct Glyph {
    int left = 0, top = 0;  // bitmap offset from the pen on the baseline (top: up)
    int width = 0, height = 0;
    int atlasX = 0, atlasY = 0;
    long advance = 0;  // 26.6 pixels
};

class FontFace;

// The faces of one device, kept for its whole life.
class FontCache {
  public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    // The face for the description, made on first use; null when no font file can be had.
    FontFace* Get(const gfx::FontDesc& desc);
    std::size_t Size() const { return faces_.size(); }

  private:
    void* library_ = nullptr;  // FT_Library
    std::vector<std::unique_ptr<FontFace>> faces_;
};

class FontFace {
  public:
    ~FontFace();
    bool Matches(const gfx::FontDesc& desc) const;
    int Ascent() const { return ascent_; }
    int LineHeight() const { return lineHeight_; }
    unsigned Atlas() const { return atlas_; }
    int AtlasSize() const { return kAtlasSize; }
    // The glyph of a character, rasterised into the atlas on first use; null when the atlas
    // is full (the character is then left out).
    const Glyph* Get(char32_t ch);

  private:
    friend class FontCache;
    FontFace() = default;
    static constexpr int kAtlasSize = 512;

    gfx::FontDesc desc_;
    void* face_ = nullptr;  // FT_Face
    bool emboldenSynthetic_ = false;
    bool obliqueSynthetic_ = false;
    int ascent_ = 0;
    int lineHeight_ = 0;
    unsigned atlas_ = 0;
    int shelfX_ = 1, shelfY_ = 1, shelfHeight_ = 0;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

// A font handle of the device (what CreateFont returns): shares the cached face.
class GlFont : public gfx::Font {
  public:
    GlFont(GlDevice* device, FontFace* face, gfx::FontDesc desc)
        : device_(device), face_(face), desc_(std::move(desc)) {}
    int DrawText(gfx::Sprite* sprite, std::string_view text, RECT* rect, UINT format,
                 D3DCOLOR color) override;

  private:
    // The quads of one line's glyphs: laid out with the face (back-buffer pixels), drawn
    // with `drawn`, the same face rasterised at `device` pixels per back-buffer pixel (x, y).
    void LineQuads(std::string_view line, int x0, int baseline, FontFace& drawn,
                   std::pair<float, float> device, D3DCOLOR color);

    GlDevice* device_;
    FontFace* face_;
    gfx::FontDesc desc_;
};

// The character of one byte of the program's 8-bit text (Windows-1252).
char32_t CharFromAnsi(unsigned char byte);

}  // namespace platform::gl
