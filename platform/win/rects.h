// Rectangle arithmetic shared by the window system and the backends that show it.
#pragma once

#include <algorithm>

#include "platform/wintypes.h"

namespace platform::win {

// The common part of two rectangles; where they do not meet, an empty one (never inverted).
inline RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline RECT Bounding(const RECT& a, const RECT& b) {
    if (a.right <= a.left || a.bottom <= a.top) {
        return b;
    }
    if (b.right <= b.left || b.bottom <= b.top) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace platform::win
