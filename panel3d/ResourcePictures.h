// Pictures stored as resources of the program, found by integer id (low 16 bits) among the
// raw-data resources first, then the bitmaps.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/images/images.h"

namespace TekuUtility {

std::optional<platform::Image> LoadResourcePicture(std::int32_t resourceId);
std::optional<platform::ImageSize> ResourcePictureSize(std::int32_t resourceId);

}  // namespace TekuUtility
