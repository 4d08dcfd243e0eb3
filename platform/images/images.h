// Pictures in memory: PNG and BMP (24/32-bit and 8-bit paletted) decoded to 32-bit
// 0xAARRGGBB pixels, and PNG writing. Paths are game paths (backslashes allowed).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// A decoded picture: rows from the top, each pixel 0xAARRGGBB (opaque when the file has no
// alpha).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height, row-major

    bool Empty() const { return width <= 0 || height <= 0; }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    std::uint32_t& At(int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

struct ImageSize {
    int width = 0;
    int height = 0;
};

// Decodes a PNG or BMP held in memory; nothing when the bytes are not a picture it reads,
// when they are cut short, or when the header asks for more than they hold or for a side
// above kMaxPictureSide (picture_check.h).
std::optional<Image> DecodeImage(std::span<const std::uint8_t> bytes);
// Reads and decodes a picture file.
std::optional<Image> LoadImageFile(std::string_view path);
// The size of a picture without decoding its pixels.
std::optional<ImageSize> ImageInfo(std::span<const std::uint8_t> bytes);
// The top-left width x height part of a picture (the whole picture when it fits).
Image CropToTopLeft(Image picture, int width, int height);

// PNG (RGBA) of the image, empty on failure.
std::vector<std::uint8_t> EncodePng(const Image& image);
// Writes the image as a PNG file; false when it cannot be written.
bool WritePngFile(std::string_view path, const Image& image);

}  // namespace platform
