// A floating-point RGBA canvas with the few drawing operations the pictures need, text
// through FreeType, and PNG / 24-bit BMP encoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/datagen/mesh.h"

namespace datagen {

struct Pixel {
    float r = 0, g = 0, b = 0, a = 1;
};

class Image {
  public:
    Image(int width, int height, Pixel fill = {});
    int Width() const { return width_; }
    int Height() const { return height_; }
    Pixel& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Pixel& At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }
    // Blends colour over the pixel with the given coverage (0..1); out of range is ignored.
    void Blend(int x, int y, Pixel colour, float coverage);
    // Adds light (no alpha change).
    void AddLight(int x, int y, float r, float g, float b);
    void FillRect(int x0, int y0, int x1, int y1, Pixel colour);  // x1, y1 exclusive
    void VerticalGradient(Pixel top, Pixel bottom);
    // A soft round glow: light falling off with distance, added to the picture.
    void Glow(double cx, double cy, double radius, float r, float g, float b);
    // A filled disc with an anti-aliased edge.
    void Disc(double cx, double cy, double radius, Pixel colour);
    // Copies src scaled (box filter / nearest) into the rectangle.
    void Paste(const Image& src, int x, int y, int w, int h);

    std::vector<std::uint8_t> EncodePng(bool withAlpha) const;
    std::vector<std::uint8_t> EncodeBmp24() const;

  private:
    int width_, height_;
    std::vector<Pixel> pixels_;
};

// Deterministic noise.
double ValueNoise(double x, double y, int seed);
double Fbm(double x, double y, int seed, int octaves);
std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c);

// Text in one face through FreeType.
class TextRenderer {
  public:
    explicit TextRenderer(const std::string& fontFile);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;
    bool Ok() const { return ok_; }

    int MeasureWidth(const std::string& text, int pixelSize);
    // The largest size not above maxSize whose text fits in maxWidth.
    int FitSize(const std::string& text, int maxSize, int maxWidth);
    struct Style {
        Pixel top{1, 1, 1, 1};      // fill at the top of the glyphs
        Pixel bottom{1, 1, 1, 1};   // fill at the bottom
        Pixel outline{0, 0, 0, 1};  // ring around the glyphs
        int outlineRadius = 0;
        Pixel shadow{0, 0, 0, 0.6f};
        int shadowOffset = 0;
        float glow = 0;          // strength of a soft halo
        Pixel halo{0, 0, 0, 0};  // its colour; the bottom fill colour when transparent
    };
    // Draws text horizontally centred on cx with its baseline at y.
    void DrawCentred(Image& img, const std::string& text, int pixelSize, int cx, int baseline,
                     const Style& style);
    void DrawLeft(Image& img, const std::string& text, int pixelSize, int x, int baseline,
                  const Style& style);

  private:
    struct Impl;
    Impl* impl_ = nullptr;
    bool ok_ = false;
};

// The file of a font found through fontconfig ("DejaVu Sans", bold), empty when none.
std::string FindFont(const std::string& family, bool bold);

// A mesh triangle turned, projected into a w x h canvas and lit at its corners.
struct ShadedTriangle {
    double sx[3], sy[3];  // canvas position of each corner
    double z[3];          // depth of each corner, smaller is nearer
    Pixel shade[3];       // lit colour of each corner
};
std::vector<ShadedTriangle> ProjectMesh(const Mesh& mesh, int w, int h, double yaw, double pitch,
                                        double perspective, double zoom);

// A small rasteriser for meshes: flat-lit triangles with a depth buffer, drawn into the
// rectangle with alpha where nothing covers it. yaw and pitch in degrees turn the mesh
// before an orthographic (perspective = 0) or perspective projection.
void RenderMesh(Image& img, const Mesh& mesh, int x, int y, int w, int h, double yaw, double pitch,
                double perspective = 0.0, double zoom = 1.0);

}  // namespace datagen
