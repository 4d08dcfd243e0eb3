// What a picture file's header promises, checked against the file before any pixel is
// decoded, so that a header that lies cannot make the decoder allocate or invent pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/images/images.h"

namespace platform {

// The largest side of a picture the game reads (its own are 640 x 480 and 128 x 168).
constexpr int kMaxPictureSide = 4096;

// The size of a PNG or BMP whose header is consistent with the bytes: sides from 1 to
// kMaxPictureSide, a BMP whose pixel rows all lie inside the file (top-down ones included,
// compressed ones refused), a PNG whose chunks all lie inside the file up to its IEND.
// Nothing otherwise.
std::optional<ImageSize> CheckedPictureSize(std::span<const std::uint8_t> bytes);

}  // namespace platform
