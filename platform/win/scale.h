// Logical and device pixels. Everything the window system and the layers above compute is in
// logical pixels; a window is shown at one scale factor, its content kept at its aspect ratio
// and centred in what shows it (black bars fill the rest).
#pragma once

#include "platform/win/win32.h"

namespace platform::win {

// The map from a window's logical pixels to device pixels: device = origin + logical * scale.
// Edges land on the first device pixel at or after their scaled position, so that every
// device pixel belongs to exactly one logical pixel and a logical point survives the trip
// to device pixels and back.
struct ScaleMap {
    double scale = 1.0;
    POINT origin{0, 0};

    int DeviceX(int logicalX) const;
    int DeviceY(int logicalY) const;
    POINT ToDevice(POINT logical) const;
    RECT ToDevice(const RECT& logical) const;
    // The logical pixel a device pixel shows (outside the content: beyond its edges).
    POINT ToLogical(POINT device) const;
    // A length such as a font height, rounded to whole device pixels (at least 1 when the
    // logical length is positive).
    int DeviceLength(int logical) const;
};

// Content of `content` logical pixels shown as large as it fits in `target` device pixels,
// keeping its aspect ratio, centred.
ScaleMap Letterbox(SIZE content, SIZE target);

// The scale a window of `content` logical pixels (plus `frame` pixels of native frame and
// title) takes on first start: the largest step of 0.25, at least 1, whose outer size fits
// 85% of the usable desktop.
double FirstStartScale(SIZE content, SIZE frame, SIZE usableDesktop);

}  // namespace platform::win
