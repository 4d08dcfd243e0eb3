#include "platform/images/images.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "platform/files.h"
#include "platform/images/picture_check.h"

namespace platform {

namespace {

// Pictures written (screenshots) above this many pixels a side are refused.
constexpr int kMaxSide = 1 << 14;

bool FitsInt(std::size_t size) {
    return size <= static_cast<std::size_t>(INT_MAX);
}

}  // namespace

std::optional<Image> DecodeImage(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || !FitsInt(bytes.size())) {
        return std::nullopt;
    }
    // The decoder believes headers and fills missing pixels with zeros: check them first.
    const std::optional<ImageSize> size = CheckedPictureSize(bytes);
    if (!size) {
        return std::nullopt;
    }
    const int length = static_cast<int>(bytes.size());
    int w = 0, h = 0, channels = 0;
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba(
        stbi_load_from_memory(bytes.data(), length, &w, &h, &channels, 4), &stbi_image_free);
    if (!rgba || w != size->width || h != size->height) {
        return std::nullopt;
    }
    Image image;
    image.width = w;
    image.height = h;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    image.pixels.resize(count);
    const stbi_uc* p = rgba.get();
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        image.pixels[i] = (static_cast<std::uint32_t>(p[3]) << 24) |
                          (static_cast<std::uint32_t>(p[0]) << 16) |
                          (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
    }
    return image;
}

std::optional<Image> LoadImageFile(std::string_view path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    return DecodeImage(*bytes);
}

Image CropToTopLeft(Image picture, int width, int height) {
    if (picture.width <= width && picture.height <= height) {
        return picture;
    }
    Image part;
    part.width = std::min(picture.width, width);
    part.height = std::min(picture.height, height);
    part.pixels.resize(static_cast<std::size_t>(part.width) *
                       static_cast<std::size_t>(part.height));
    for (int y = 0; y < part.height; ++y) {
        const auto row = picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
        std::copy(row, row + part.width,
                  part.pixels.begin() + static_cast<std::ptrdiff_t>(y) * part.width);
    }
    return part;
}

std::optional<ImageSize> ImageInfo(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || !FitsInt(bytes.size())) {
        return std::nullopt;
    }
    return CheckedPictureSize(bytes);
}

namespace {
void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* b = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), b, b + size);
}
}  // namespace

std::vector<std::uint8_t> EncodePng(const Image& image) {
    std::vector<std::uint8_t> out;
    const std::size_t count =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    if (image.Empty() || image.pixels.size() != count || image.width > kMaxSide ||
        image.height > kMaxSide) {
        return out;
    }
    std::vector<std::uint8_t> rgba(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = image.pixels[i];
        rgba[i * 4 + 0] = static_cast<std::uint8_t>(c >> 16);
        rgba[i * 4 + 1] = static_cast<std::uint8_t>(c >> 8);
        rgba[i * 4 + 2] = static_cast<std::uint8_t>(c);
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(c >> 24);
    }
    if (!stbi_write_png_to_func(&AppendBytes, &out, image.width, image.height, 4, rgba.data(),
                                image.width * 4)) {
        out.clear();
    }
    return out;
}

bool WritePngFile(std::string_view path, const Image& image) {
    const std::vector<std::uint8_t> png = EncodePng(image);
    if (png.empty()) {
        return false;
    }
    std::FILE* f = std::fopen(NativePath(path).c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace platform
