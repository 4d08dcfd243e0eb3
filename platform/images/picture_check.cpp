#include "platform/images/picture_check.h"

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) |
           (static_cast<std::uint32_t>(b[at + 1]) << 16) |
           (static_cast<std::uint32_t>(b[at + 2]) << 8) | static_cast<std::uint32_t>(b[at + 3]);
}

bool SideOk(std::int64_t side) {
    return side >= 1 && side <= kMaxPictureSide;
}

std::optional<ImageSize> CheckBmp(std::span<const std::uint8_t> b) {
    if (b.size() < 26) {
        return std::nullopt;
    }
    const std::uint32_t pixelOffset = Le32(b, 10);
    const std::uint32_t infoSize = Le32(b, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t bitsPerPixel = 0, compression = 0;
    if (infoSize == 12) {  // the old core header: 16-bit sides, no compression
        width = Le16(b, 18);
        height = Le16(b, 20);
        bitsPerPixel = Le16(b, 24);
    } else if (infoSize >= 40 && b.size() >= 34) {
        width = static_cast<std::int32_t>(Le32(b, 18));
        height = std::llabs(static_cast<std::int32_t>(Le32(b, 22)));  // negative: top-down
        bitsPerPixel = Le16(b, 28);
        compression = Le32(b, 30);
    } else {
        return std::nullopt;
    }
    // Uncompressed rows (bit fields only reorder channels); RLE is not read.
    if ((compression != 0 && compression != 3 && compression != 6) || !SideOk(width) ||
        !SideOk(height) || bitsPerPixel == 0 || bitsPerPixel > 32) {
        return std::nullopt;
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset < 14 + infoSize ||
        pixelOffset + rowBytes * static_cast<std::uint64_t>(height) > b.size()) {
        return std::nullopt;
    }
    return ImageSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<ImageSize> CheckPng(std::span<const std::uint8_t> b) {
    // Signature, then chunks of length, type, data and CRC; IHDR first, IEND last.
    if (b.size() < 8 + 25 || std::memcmp(b.data() + 12, "IHDR", 4) != 0 || Be32(b, 8) != 13) {
        return std::nullopt;
    }
    const std::int64_t width = Be32(b, 16), height = Be32(b, 20);
    if (!SideOk(width) || !SideOk(height)) {
        return std::nullopt;
    }
    for (std::size_t at = 8; at + 12 <= b.size();) {
        const std::uint64_t next = at + 12 + static_cast<std::uint64_t>(Be32(b, at));
        if (next > b.size()) {
            return std::nullopt;  // cut inside a chunk
        }
        if (std::memcmp(b.data() + at + 4, "IEND", 4) == 0) {
            return ImageSize{static_cast<int>(width), static_cast<int>(height)};
        }
        at = static_cast<std::size_t>(next);
    }
    return std::nullopt;  // no IEND: the file was cut
}

}  // namespace

std::optional<ImageSize> CheckedPictureSize(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0) {
        return CheckPng(bytes);
    }
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return CheckBmp(bytes);
    }
    return std::nullopt;
}

}  // namespace platform
