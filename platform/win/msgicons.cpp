// The message-box icons, computed shape by shape with 4 x 4 samples per pixel.
#include "platform/win/msgicons.h"

#include <algorithm>
#include <cmath>

namespace platform::win {
namespace {

constexpr int kSamples = 4;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Distance from p to the segment a-b (all in the 32-unit design grid).
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax;
    double dy = by - ay;
    double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool InCross(double u, double v) {
    double a = (u - 16) + (v - 16);
    double b = (u - 16) - (v - 16);
    double half = 2.3 * std::sqrt(2.0);
    double reach = 7.4 * std::sqrt(2.0);
    return (std::abs(a) <= half && std::abs(b) <= reach) ||
           (std::abs(b) <= half && std::abs(a) <= reach);
}

// A question mark as one stroke: an arc over the top that turns into a short stem, and a dot.
bool InQuestionMark(double u, double v) {
    constexpr double kCx = 16, kCy = 11.6, kRadius = 4.6, kHalfStroke = 1.7;
    constexpr double kArcEnd = 0.95;  // radians below the right-hand side
    double angle = std::atan2(v - kCy, u - kCx);
    double r = std::hypot(u - kCx, v - kCy);
    bool onArc = std::abs(r - kRadius) <= kHalfStroke && angle <= kArcEnd;
    double ex = kCx + kRadius * std::cos(kArcEnd);
    double ey = kCy + kRadius * std::sin(kArcEnd);
    bool tail = SegmentDistance(u, v, ex, ey, 16, 18.2) <= kHalfStroke ||
                SegmentDistance(u, v, 16, 18.2, 16, 19.6) <= kHalfStroke;
    bool startCap = std::hypot(u - (kCx - kRadius), v - kCy) <= kHalfStroke;
    bool dot = std::hypot(u - 16, v - 24.2) <= 2.0;
    return onArc || tail || startCap || dot;
}

struct Sample {
    double alpha;
    Rgb colour;
};

Sample At(BoxIcon icon, double u, double v) {
    constexpr double kRadius = 14.6;
    double r = std::hypot(u - 16, v - 16);
    if (r > kRadius) {
        return Sample{0, Rgb{0, 0, 0}};
    }
    bool error = icon == BoxIcon::Error;
    Rgb base = error ? Rgb{200, 24, 24} : Rgb{28, 84, 200};
    Rgb light = error ? Rgb{250, 120, 110} : Rgb{120, 176, 250};
    Rgb rim = error ? Rgb{110, 8, 8} : Rgb{14, 40, 110};
    if (r > kRadius - 1.2) {
        return Sample{1, rim};
    }
    if (error ? InCross(u, v) : InQuestionMark(u, v)) {
        return Sample{1, Rgb{255, 255, 255}};
    }
    // Lit from the top left, as the icons of the era are.
    double glow = std::max(0.0, 1.0 - std::hypot(u - 11, v - 10) / 15.0);
    return Sample{1, Mix(base, light, glow * glow)};
}

std::uint32_t Pixel(BoxIcon icon, int x, int y, double unit) {
    double alpha = 0;
    Rgb sum{0, 0, 0};
    for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
            double u = (x + (sx + 0.5) / kSamples) * unit;
            double v = (y + (sy + 0.5) / kSamples) * unit;
            Sample s = At(icon, u, v);
            alpha += s.alpha;
            sum = Rgb{sum.r + s.colour.r * s.alpha, sum.g + s.colour.g * s.alpha,
                      sum.b + s.colour.b * s.alpha};
        }
    }
    if (alpha <= 0) {
        return 0;
    }
    auto channel = [&](double c) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(c / alpha, 0.0, 255.0)));
    };
    auto a = static_cast<std::uint32_t>(std::lround(alpha * 255.0 / (kSamples * kSamples)));
    return (a << 24) | (channel(sum.r) << 16) | (channel(sum.g) << 8) | channel(sum.b);
}

}  // namespace

BoxIcon BoxIconFor(UINT type) {
    switch (type & 0xF0u) {
        case MB_ICONERROR:
            return BoxIcon::Error;
        case MB_ICONQUESTION:
            return BoxIcon::Question;
        default:
            return BoxIcon::None;
    }
}

Surface RenderBoxIcon(BoxIcon icon, int pixels) {
    Surface out;
    if (icon == BoxIcon::None || pixels <= 0) {
        return out;
    }
    out.Resize(pixels, pixels, 0);
    double unit = static_cast<double>(kBoxIconSize) / pixels;
    for (int y = 0; y < pixels; ++y) {
        for (int x = 0; x < pixels; ++x) {
            out.At(x, y) = Pixel(icon, x, y, unit);
        }
    }
    return out;
}

}  // namespace platform::win
