// Rectangle arithmetic shared by the window system and the backends that show it.
#pragma once

#include <algorithm>

#include "platform/wintypes.h"

namespace platform::win {

// The common part of two rectangles; where they do not meet, an empty one (never inverted).
inline RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

}  // namespace platform::win
