// Resources embedded in the executable at build time, found by type and id as the Win32
// resource section would give them. The data is linked in by the kx_resources target
// (made from the files in resources/); nothing is read from disk at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace platform {

enum class ResourceType {
    Wave,    // a complete RIFF/WAVE file (PCM)
    RcData,  // raw bytes; id 1025 is a PNG picture
    Icon,    // a PNG picture (square, with alpha)
    Bitmap,  // a complete .bmp file (BITMAPFILEHEADER included), 24-bit uncompressed
};

// The bytes of the resource, valid for the whole run; nothing when no resource of that type
// has that id. Programs that call this link kx_resources.
std::optional<std::span<const std::uint8_t>> FindResource(ResourceType type, int id);

}  // namespace platform
