#include "tools/datagen/image.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace datagen {

namespace {
std::uint8_t ToByte(float v) {
    const float c = std::clamp(v, 0.0f, 1.0f);
    return static_cast<std::uint8_t>(std::lround(c * 255.0f));
}
}  // namespace

Image::Image(int width, int height, Pixel fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Image::Blend(int x, int y, Pixel c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const float k = std::clamp(coverage * c.a, 0.0f, 1.0f);
    if (k <= 0) {
        return;
    }
    Pixel& p = At(x, y);
    const float outA = k + p.a * (1 - k);
    if (outA <= 0) {
        return;
    }
    p.r = (c.r * k + p.r * p.a * (1 - k)) / outA;
    p.g = (c.g * k + p.g * p.a * (1 - k)) / outA;
    p.b = (c.b * k + p.b * p.a * (1 - k)) / outA;
    p.a = outA;
}

void Image::AddLight(int x, int y, float r, float g, float b) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    Pixel& p = At(x, y);
    p.r += r;
    p.g += g;
    p.b += b;
}

void Image::FillRect(int x0, int y0, int x1, int y1, Pixel c) {
    for (int y = std::max(0, y0); y < std::min(height_, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) {
            At(x, y) = c;
        }
    }
}

void Image::VerticalGradient(Pixel top, Pixel bottom) {
    for (int y = 0; y < height_; ++y) {
        const float t = height_ > 1 ? static_cast<float>(y) / (height_ - 1) : 0.0f;
        const Pixel c{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                      top.b + (bottom.b - top.b) * t, top.a + (bottom.a - top.a) * t};
        for (int x = 0; x < width_; ++x) {
            At(x, y) = c;
        }
    }
}

void Image::Glow(double cx, double cy, double radius, float r, float g, float b) {
    const int reach = static_cast<int>(radius * 3) + 1;
    for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y) {
        for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d2 = (dx * dx + dy * dy) / (radius * radius);
            const float k = static_cast<float>(std::exp(-d2));
            if (k > 0.002f) {
                AddLight(x, y, r * k, g * k, b * k);
            }
        }
    }
}

void Image::Disc(double cx, double cy, double radius, Pixel colour) {
    const int reach = static_cast<int>(radius) + 2;
    for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y) {
        for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const float cover = static_cast<float>(std::clamp(radius - d + 0.5, 0.0, 1.0));
            if (cover > 0) {
                Blend(x, y, colour, cover);
            }
        }
    }
}

void Image::Paste(const Image& src, int x0, int y0, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // box filter over the source area of this pixel
            const int sx0 = x * src.Width() / w, sx1 = std::max(sx0 + 1, (x + 1) * src.Width() / w);
            const int sy0 = y * src.Height() / h,
                      sy1 = std::max(sy0 + 1, (y + 1) * src.Height() / h);
            Pixel sum{0, 0, 0, 0};
            int n = 0;
            for (int sy = sy0; sy < sy1; ++sy) {
                for (int sx = sx0; sx < sx1; ++sx) {
                    const Pixel& p = src.At(sx, sy);
                    sum.r += p.r * p.a;
                    sum.g += p.g * p.a;
                    sum.b += p.b * p.a;
                    sum.a += p.a;
                    ++n;
                }
            }
            if (sum.a <= 0) {
                continue;
            }
            Blend(x0 + x, y0 + y, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, 1.0f},
                  sum.a / static_cast<float>(n));
        }
    }
}

namespace {
void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}
void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
}  // namespace

std::vector<std::uint8_t> Image::EncodePng(bool withAlpha) const {
    const int channels = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> raw;
    raw.reserve(pixels_.size() * channels);
    for (const Pixel& p : pixels_) {
        raw.push_back(ToByte(p.r));
        raw.push_back(ToByte(p.g));
        raw.push_back(ToByte(p.b));
        if (withAlpha) {
            raw.push_back(ToByte(p.a));
        }
    }
    std::vector<std::uint8_t> out;
    stbi_write_png_to_func(AppendBytes, &out, width_, height_, channels, raw.data(),
                           width_ * channels);
    return out;
}

std::vector<std::uint8_t> Image::EncodeBmp24() const {
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
    const std::uint32_t dataSize = rowSize * height_;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + dataSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);  // BITMAPINFOHEADER
    Put32(out, width_);
    Put32(out, height_);  // positive: rows bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, dataSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < width_; ++x) {
            const Pixel& p = At(x, y);
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
            written += 3;
        }
        for (; written < rowSize; ++written) {
            out.push_back(0);
        }
    }
    return out;
}

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 0x8DA6B343u ^ b * 0xD8163841u ^ c * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double ValueNoise(double x, double y, int seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    auto v = [seed](std::int32_t a, std::int32_t b) {
        return (Hash(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b),
                     static_cast<std::uint32_t>(seed)) &
                0xFFFF) /
               65535.0;
    };
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = v(ix, iy), b = v(ix + 1, iy), c = v(ix, iy + 1), d = v(ix + 1, iy + 1);
    return a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
}

double Fbm(double x, double y, int seed, int octaves) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise(x, y, seed + o * 101);
        norm += amp;
        x = x * 2.03 + 17.1;
        y = y * 2.03 - 9.7;
        amp *= 0.5;
    }
    return sum / norm;
}

// ---- text ----

struct TextRenderer::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

TextRenderer::TextRenderer(const std::string& fontFile) : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->library) != 0) {
        return;
    }
    if (FT_New_Face(impl_->library, fontFile.c_str(), 0, &impl_->face) != 0) {
        return;
    }
    ok_ = true;
}

TextRenderer::~TextRenderer() {
    if (impl_->face) {
        FT_Done_Face(impl_->face);
    }
    if (impl_->library) {
        FT_Done_FreeType(impl_->library);
    }
    delete impl_;
}

namespace {
// Coverage of the text, in a buffer with a margin on every side.
struct Mask {
    int width = 0, height = 0, originX = 0, baseline = 0;
    std::vector<float> a;
    float At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return a[static_cast<std::size_t>(y) * width + x];
    }
};

Mask RenderMask(FT_Face face, const std::string& text, int size, int margin) {
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    // First pass: width.
    long pen = 0;
    FT_UInt prev = 0;
    for (unsigned char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (prev && glyph && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, glyph, FT_KERNING_DEFAULT, &k);
            pen += k.x;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) {
            pen += face->glyph->advance.x;
        }
        prev = glyph;
    }
    Mask m;
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    const int descent = static_cast<int>(-(face->size->metrics.descender >> 6));
    m.width = static_cast<int>(pen >> 6) + 2 * margin + 2;
    m.height = ascent + descent + 2 * margin;
    m.originX = margin;
    m.baseline = margin + ascent;
    m.a.assign(static_cast<std::size_t>(m.width) * m.height, 0.0f);
    pen = 0;
    prev = 0;
    for (unsigned char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (prev && glyph && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, glyph, FT_KERNING_DEFAULT, &k);
            pen += k.x;
        }
        prev = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        const int gx = m.originX + static_cast<int>(pen >> 6) + g->bitmap_left;
        const int gy = m.baseline - g->bitmap_top;
        for (unsigned r = 0; r < g->bitmap.rows; ++r) {
            for (unsigned c = 0; c < g->bitmap.width; ++c) {
                const int x = gx + static_cast<int>(c), y = gy + static_cast<int>(r);
                if (x < 0 || y < 0 || x >= m.width || y >= m.height) {
                    continue;
                }
                const float v = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
                float& dst = m.a[static_cast<std::size_t>(y) * m.width + x];
                dst = std::max(dst, v);
            }
        }
        pen += g->advance.x;
    }
    return m;
}
// Rows of the mask where the glyphs have ink, for the vertical fill gradient.
void InkRows(const Mask& m, int& top, int& bottom) {
    top = m.height;
    bottom = 0;
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            if (m.At(xx, yy) > 0.1f) {
                top = std::min(top, yy);
                bottom = std::max(bottom, yy);
            }
        }
    }
}

// The mask blurred by three box passes of radius r, across and then down.
std::vector<float> BoxBlur(const Mask& m, int r) {
    std::vector<float> blur = m.a, tmp(blur.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int yy = 0; yy < m.height; ++yy) {
            for (int xx = 0; xx < m.width; ++xx) {
                float s = 0;
                for (int d = -r; d <= r; ++d) {
                    const int sx = std::clamp(xx + d, 0, m.width - 1);
                    s += blur[static_cast<std::size_t>(yy) * m.width + sx];
                }
                tmp[static_cast<std::size_t>(yy) * m.width + xx] = s / (2 * r + 1);
            }
        }
        for (int yy = 0; yy < m.height; ++yy) {
            for (int xx = 0; xx < m.width; ++xx) {
                float s = 0;
                for (int d = -r; d <= r; ++d) {
                    const int sy = std::clamp(yy + d, 0, m.height - 1);
                    s += tmp[static_cast<std::size_t>(sy) * m.width + xx];
                }
                blur[static_cast<std::size_t>(yy) * m.width + xx] = s / (2 * r + 1);
            }
        }
    }
    return blur;
}

// A halo: the blurred mask added as light.
void DrawGlow(Image& img, const Mask& m, int ox, int oy, const TextRenderer::Style& style,
              int glowRadius) {
    const std::vector<float> blur = BoxBlur(m, std::max(1, glowRadius / 2));
    const Pixel c = style.halo.a > 0 ? style.halo : style.bottom;
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            const float k = blur[static_cast<std::size_t>(yy) * m.width + xx] * style.glow;
            img.AddLight(ox + xx, oy + yy, c.r * k, c.g * k, c.b * k);
        }
    }
}

void DrawShadow(Image& img, const Mask& m, int ox, int oy, const TextRenderer::Style& style) {
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            const float a = m.At(xx - style.shadowOffset, yy - style.shadowOffset);
            if (a > 0) {
                img.Blend(ox + xx, oy + yy, style.shadow, a);
            }
        }
    }
}

// A ring: the mask dilated by a disc of the outline radius with a soft edge.
void DrawOutline(Image& img, const Mask& m, int ox, int oy, const TextRenderer::Style& style) {
    const int r = style.outlineRadius;
    for (int yy = 0; yy < m.height; ++yy) {
        for (int xx = 0; xx < m.width; ++xx) {
            float a = 0;
            for (int dy = -r; dy <= r; ++dy) {
                for (int dx = -r; dx <= r; ++dx) {
                    const double d = std::hypot(dx, dy);
                    if (d > r + 0.5) {
                        continue;
                    }
                    const float edge = static_cast<float>(std::clamp(r + 0.5 - d, 0.0, 1.0));
                    a = std::max(a, m.At(xx + dx, yy + dy) * edge);
                }
            }
            if (a > 0) {
                img.Blend(ox + xx, oy + yy, style.outline, a);
            }
        }
    }
}

// The glyphs themselves, graded from the top colour to the bottom one over the inked rows.
void DrawFill(Image& img, const Mask& m, int ox, int oy, const TextRenderer::Style& style) {
    int top = 0, bottom = 0;
    InkRows(m, top, bottom);
    for (int yy = 0; yy < m.height; ++yy) {
        const float t = bottom > top
                            ? std::clamp(static_cast<float>(yy - top) / (bottom - top), 0.0f, 1.0f)
                            : 0.0f;
        const Pixel c{style.top.r + (style.bottom.r - style.top.r) * t,
                      style.top.g + (style.bottom.g - style.top.g) * t,
                      style.top.b + (style.bottom.b - style.top.b) * t, 1.0f};
        for (int xx = 0; xx < m.width; ++xx) {
            const float a = m.At(xx, yy);
            if (a > 0) {
                img.Blend(ox + xx, oy + yy, c, a);
            }
        }
    }
}

}  // namespace

int TextRenderer::MeasureWidth(const std::string& text, int pixelSize) {
    if (!ok_) {
        return 0;
    }
    return RenderMask(impl_->face, text, pixelSize, 0).width - 2;
}

int TextRenderer::FitSize(const std::string& text, int maxSize, int maxWidth) {
    int size = maxSize;
    while (size > 6 && MeasureWidth(text, size) > maxWidth) {
        --size;
    }
    return size;
}

void TextRenderer::DrawCentred(Image& img, const std::string& text, int pixelSize, int cx,
                               int baseline, const Style& style) {
    DrawLeft(img, text, pixelSize, cx - MeasureWidth(text, pixelSize) / 2, baseline, style);
}

void TextRenderer::DrawLeft(Image& img, const std::string& text, int pixelSize, int x, int baseline,
                            const Style& style) {
    if (!ok_) {
        return;
    }
    const int glowRadius = style.glow > 0 ? pixelSize / 4 + 2 : 0;
    const int margin = std::max({style.outlineRadius, style.shadowOffset, glowRadius}) + 2;
    const Mask m = RenderMask(impl_->face, text, pixelSize, margin);
    const int ox = x - m.originX, oy = baseline - m.baseline;
    if (glowRadius > 0) {
        DrawGlow(img, m, ox, oy, style, glowRadius);
    }
    if (style.shadowOffset > 0) {
        DrawShadow(img, m, ox, oy, style);
    }
    if (style.outlineRadius > 0) {
        DrawOutline(img, m, ox, oy, style);
    }
    DrawFill(img, m, ox, oy, style);
}

std::string FindFont(const std::string& family, bool bold) {
    std::string result;
    if (!FcInit()) {
        return result;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (!pattern) {
        return result;
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult res;
    FcPattern* match = FcFontMatch(nullptr, pattern, &res);
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            result = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcFini();  // releases fontconfig's caches; the next lookup starts afresh
    return result;
}

// ---- mesh preview ----

namespace {

constexpr int kSs = 3;  // supersampling per axis

// The supersampled picture being drawn: nearest depth and colour per sample.
struct Raster {
    int sw, sh;
    std::vector<float> depth;
    std::vector<Pixel> colour;
    Raster(int width, int height)
        : sw(width),
          sh(height),
          depth(static_cast<std::size_t>(width) * height, 1e30f),
          colour(static_cast<std::size_t>(width) * height, Pixel{0, 0, 0, 0}) {}
};

// Turns the model to the viewing angles and projects it onto the raster.
struct View {
    double ya, pa, scale, camera, perspective, sw, sh;

    Vec3 Turn(Vec3 p) const {
        // yaw about y (+z towards +x), then tilt the top towards the viewer
        Vec3 q{p.x * std::cos(ya) + p.z * std::sin(ya), p.y,
               -p.x * std::sin(ya) + p.z * std::cos(ya)};
        return Vec3{q.x, q.y * std::cos(pa) + q.z * std::sin(pa),
                    -q.y * std::sin(pa) + q.z * std::cos(pa)};
    }
    void Project(Vec3 p, double& x, double& y) const {
        const double f = perspective > 0 ? camera / (camera + p.z) : 1.0;
        x = sw * 0.5 + p.x * f * scale;
        y = sh * 0.5 - p.y * f * scale;
    }
};

View MakeView(const Mesh& mesh, int sw, int sh, double yaw, double pitch, double perspective,
              double zoom) {
    const double ya = yaw * 3.14159265358979 / 180, pa = pitch * 3.14159265358979 / 180;
    double radius = 1e-6;
    for (const Vec3& p : mesh.positions) {
        radius = std::max(radius, Length(p));
    }
    const double scale = std::min(sw, sh) * 0.5 / radius * zoom;
    const double camera = radius * perspective;
    return View{
        ya, pa, scale, camera, perspective, static_cast<double>(sw), static_cast<double>(sh)};
}

// Lambert light with a highlight, from the viewer's side whichever way the normal faces.
Pixel Shade(Vec3 n, const Material& mat) {
    const Vec3 light = Normalize({-0.45, 0.75, -0.55});
    if (n.z > 0) {
        n = n * -1.0;  // lit from the viewer's side either way
    }
    const double lambert = std::max(0.0, Dot(n, light));
    const double highlight = std::pow(std::max(0.0, Dot(n, Normalize(light + Vec3{0, 0, -1}))),
                                      std::max(4.0, mat.power));
    auto ch = [&](double d, double s, double e) {
        return static_cast<float>(d * (0.38 + 0.72 * lambert) + s * highlight * 0.6 + e);
    };
    return {ch(mat.diffuse.r, mat.specular.r, mat.emissive.r),
            ch(mat.diffuse.g, mat.specular.g, mat.emissive.g),
            ch(mat.diffuse.b, mat.specular.b, mat.emissive.b), 1.0f};
}

// Fills a projected triangle with depth test, interpolating depth and shade.
void FillTriangle(Raster& r, const ShadedTriangle& t) {
    const double* sx = t.sx;
    const double* sy = t.sy;
    const Pixel* shade = t.shade;
    const double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
    if (std::fabs(area) < 1e-9) {
        return;
    }
    const int minX = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
    const int maxX =
        std::min(r.sw - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
    const int minY = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
    const int maxY =
        std::min(r.sh - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
    for (int py = minY; py <= maxY; ++py) {
        for (int px = minX; px <= maxX; ++px) {
            const double cx = px + 0.5, cy = py + 0.5;
            const double w0 = ((sx[1] - cx) * (sy[2] - cy) - (sx[2] - cx) * (sy[1] - cy)) / area;
            const double w1 = ((sx[2] - cx) * (sy[0] - cy) - (sx[0] - cx) * (sy[2] - cy)) / area;
            const double w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) {
                continue;
            }
            const float z = static_cast<float>(w0 * t.z[0] + w1 * t.z[1] + w2 * t.z[2]);
            const std::size_t idx = static_cast<std::size_t>(py) * r.sw + px;
            if (z >= r.depth[idx]) {
                continue;
            }
            r.depth[idx] = z;
            r.colour[idx] = {
                static_cast<float>(w0 * shade[0].r + w1 * shade[1].r + w2 * shade[2].r),
                static_cast<float>(w0 * shade[0].g + w1 * shade[1].g + w2 * shade[2].g),
                static_cast<float>(w0 * shade[0].b + w1 * shade[1].b + w2 * shade[2].b), 1.0f};
        }
    }
}

// Averages each block of samples into one pixel blended over the image at (x0, y0).
void Resolve(Image& img, const Raster& r, int x0, int y0, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Pixel sum{0, 0, 0, 0};
            for (int dy = 0; dy < kSs; ++dy) {
                for (int dx = 0; dx < kSs; ++dx) {
                    const Pixel& p =
                        r.colour[static_cast<std::size_t>(y * kSs + dy) * r.sw + x * kSs + dx];
                    sum.r += p.r * p.a;
                    sum.g += p.g * p.a;
                    sum.b += p.b * p.a;
                    sum.a += p.a;
                }
            }
            if (sum.a <= 0) {
                continue;
            }
            img.Blend(x0 + x, y0 + y,
                      {std::min(1.0f, sum.r / sum.a), std::min(1.0f, sum.g / sum.a),
                       std::min(1.0f, sum.b / sum.a), 1.0f},
                      sum.a / (kSs * kSs));
        }
    }
}

}  // namespace

std::vector<ShadedTriangle> ProjectMesh(const Mesh& mesh, int sw, int sh, double yaw, double pitch,
                                        double perspective, double zoom) {
    const View view = MakeView(mesh, sw, sh, yaw, pitch, perspective, zoom);
    std::vector<ShadedTriangle> out;
    out.reserve(mesh.faces.size());
    for (std::size_t fi = 0; fi < mesh.faces.size(); ++fi) {
        const auto& f = mesh.faces[fi];
        const Material& mat = mesh.materials[mesh.faceMaterials[fi]];
        ShadedTriangle t;
        for (int k = 0; k < 3; ++k) {
            const Vec3 v = view.Turn(mesh.positions[f[k]]);
            view.Project(v, t.sx[k], t.sy[k]);
            t.z[k] = v.z;
            t.shade[k] = Shade(view.Turn(mesh.normals[f[k]]), mat);
        }
        out.push_back(t);
    }
    return out;
}

void RenderMesh(Image& img, const Mesh& mesh, int x0, int y0, int w, int h, double yaw,
                double pitch, double perspective, double zoom) {
    Raster raster(w * kSs, h * kSs);
    for (const ShadedTriangle& t :
         ProjectMesh(mesh, raster.sw, raster.sh, yaw, pitch, perspective, zoom)) {
        FillTriangle(raster, t);
    }
    Resolve(img, raster, x0, y0, w, h);
}

}  // namespace datagen
