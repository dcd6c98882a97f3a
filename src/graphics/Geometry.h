#pragma once
// Rectangles in editor pixels: origin at the top-left corner, x to the right, y downwards; right
// and bottom are exclusive.

#include <algorithm>

namespace graphics {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    Rect() = default;
    Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const Rect& other) const { return !Intersection(other).Empty(); }
    Rect Intersection(const Rect& other) const {
        return Rect(std::max(left, other.left), std::max(top, other.top),
                    std::min(right, other.right), std::min(bottom, other.bottom));
    }
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    Rect Union(const Rect& other) const {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return Rect(std::min(left, other.left), std::min(top, other.top),
                    std::max(right, other.right), std::max(bottom, other.bottom));
    }
    Rect Offset(int dx, int dy) const { return Rect(left + dx, top + dy, right + dx, bottom + dy); }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

} // namespace graphics
