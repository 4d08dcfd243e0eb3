// Feeds arbitrary bytes to the picture decoder: what decodes has the size its header check
// promised, within the cap, with one pixel per position.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/images/images.h"
#include "platform/images/picture_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto checked = platform::CheckedPictureSize(bytes);
    const auto image = platform::DecodeImage(bytes);
    if (!image) {
        return 0;
    }
    if (!checked || image->width != checked->width || image->height != checked->height ||
        image->width > platform::kMaxPictureSide || image->height > platform::kMaxPictureSide ||
        image->pixels.size() !=
            static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)) {
        std::abort();
    }
    return 0;
}
