#pragma once
// Editor scales. Controls, layouts and input work in editor units (the 100 % picture, 968 x 640);
// surfaces and windows hold device pixels. A scale is a whole percentage; an edge at unit v lies
// at device pixel round(v * percent / 100), so neighbouring rectangles stay neighbours.

#include "graphics/Geometry.h"

namespace graphics {

// The sizes the editor offers, smallest first.
constexpr int kScalePercents[] = {100, 125, 150, 175, 200};
constexpr int kScaleCount = 5;
constexpr int kMinScalePercent = 100;
constexpr int kMaxScalePercent = 200;

// Editor unit -> device pixel (round half up, also below zero).
inline int ScaleCoord(int units, int percent) {
    long long t = static_cast<long long>(units) * percent + 50;
    long long q = t / 100;
    if (t % 100 != 0 && t < 0) --q;
    return static_cast<int>(q);
}

// A length (a font size, a radius) in device pixels, rounded half up.
inline int ScaleLength(int units, int percent) {
    return ScaleCoord(units, percent);
}

inline Rect ScaleRect(const Rect& r, int percent) {
    return Rect(ScaleCoord(r.left, percent), ScaleCoord(r.top, percent),
                ScaleCoord(r.right, percent), ScaleCoord(r.bottom, percent));
}

// Device pixel -> the editor unit it is drawn for: the u with ScaleCoord(u) <= device <
// ScaleCoord(u + 1), so a pointer hits a control on exactly the pixels drawn for it. (The floor
// of device / scale is not that: at 175 % unit 3 starts at pixel 5, which it would give to 2.)
inline int UnscaleCoord(int device, int percent) {
    if (percent <= 0) return device;
    long long t = static_cast<long long>(device) * 100 + 49;
    long long q = t / percent;
    if (t % percent != 0 && t < 0) --q;
    return static_cast<int>(q);
}

// The smallest rectangle of editor units that covers the device rectangle.
inline Rect UnscaleRect(const Rect& r, int percent) {
    Rect units(UnscaleCoord(r.left, percent), UnscaleCoord(r.top, percent),
               UnscaleCoord(r.right - 1, percent) + 1, UnscaleCoord(r.bottom - 1, percent) + 1);
    return r.Empty() ? Rect() : units;
}

// Whether the percentage is one of the offered sizes.
bool IsOfferedScale(int percent);
// The offered size nearest to any percentage (ties go to the larger one; values beyond the ends
// and NaN give the end, 100 for NaN).
int NearestScale(double percent);

} // namespace graphics
