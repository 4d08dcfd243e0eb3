#include "platform/win/scale.h"

#include <algorithm>
#include <cmath>

namespace platform::win {
namespace {

// The first device pixel at or after v * scale; the small allowance keeps exact products
// (1.25 * 4) from moving up through rounding error.
int FirstAtOrAfter(double v, double scale) {
    return static_cast<int>(std::ceil(v * scale - 1e-9));
}

}  // namespace

int ScaleMap::DeviceX(int logicalX) const {
    return origin.x + FirstAtOrAfter(logicalX, scale);
}

int ScaleMap::DeviceY(int logicalY) const {
    return origin.y + FirstAtOrAfter(logicalY, scale);
}

POINT ScaleMap::ToDevice(POINT logical) const {
    return POINT{DeviceX(logical.x), DeviceY(logical.y)};
}

RECT ScaleMap::ToDevice(const RECT& logical) const {
    return RECT{DeviceX(logical.left), DeviceY(logical.top), DeviceX(logical.right),
                DeviceY(logical.bottom)};
}

POINT ScaleMap::ToLogical(POINT device) const {
    const double s = scale > 0 ? scale : 1.0;
    auto back = [s](int d) { return static_cast<int>(std::floor((d + 1e-9) / s)); };
    return POINT{back(device.x - origin.x), back(device.y - origin.y)};
}

int ScaleMap::DeviceLength(int logical) const {
    if (logical <= 0) {
        return static_cast<int>(std::lround(logical * scale));
    }
    return std::max(1, static_cast<int>(std::lround(logical * scale)));
}

ScaleMap Letterbox(SIZE content, SIZE target) {
    ScaleMap map;
    if (content.cx <= 0 || content.cy <= 0 || target.cx <= 0 || target.cy <= 0) {
        return map;
    }
    map.scale = std::min(static_cast<double>(target.cx) / content.cx,
                         static_cast<double>(target.cy) / content.cy);
    const RECT shown = map.ToDevice(RECT{0, 0, content.cx, content.cy});
    map.origin = POINT{(target.cx - shown.right) / 2, (target.cy - shown.bottom) / 2};
    return map;
}

double FirstStartScale(SIZE content, SIZE frame, SIZE usableDesktop) {
    const double roomX = 0.85 * usableDesktop.cx - frame.cx;
    const double roomY = 0.85 * usableDesktop.cy - frame.cy;
    double best = 1.0;
    for (double s = 1.25; s <= 16.0; s += 0.25) {
        if (content.cx * s > roomX || content.cy * s > roomY) {
            break;
        }
        best = s;
    }
    return best;
}

}  // namespace platform::win
