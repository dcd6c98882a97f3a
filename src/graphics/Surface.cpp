#include "graphics/Surface.h"

#include <algorithm>

namespace graphics {

namespace {

inline int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

inline std::uint32_t Pack(int a, int r, int g, int b) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// Straight colour of a premultiplied channel, rounded, at most 255.
inline int Straight(int channel, int alpha) {
    if (alpha == 0) return 0;
    return std::min(255, (channel * 255 + alpha / 2) / alpha);
}

inline int Dodge(int destination, int source) {
    if (destination == 0) return 0;
    if (source >= 255) return 255;
    return std::min(255, (destination * 255 + (255 - source) / 2) / (255 - source));
}

} // namespace

int AlphaByte(double alpha) {
    if (!(alpha > 0.0)) return 0;
    if (alpha >= 1.0) return 255;
    return static_cast<int>(alpha * 255.0 + 0.5);
}

int WeightOf(double weight) {
    if (!(weight > 0.0)) return 0;
    if (weight >= 1.0) return 256;
    return static_cast<int>(weight * 256.0 + 0.5);
}

std::uint32_t Premultiply(Color c) {
    return Pack(c.a, MulDiv255(c.r, c.a), MulDiv255(c.g, c.a), MulDiv255(c.b, c.a));
}

Color Unpremultiply(std::uint32_t pixel) {
    int a = Channel(pixel, 24);
    return Color(a, Straight(Channel(pixel, 16), a), Straight(Channel(pixel, 8), a),
                 Straight(Channel(pixel, 0), a));
}

void Surface::Resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (width_ == 0 || height_ == 0) width_ = height_ = 0;
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u);
    ResetClip();
}

std::uint32_t Surface::Pixel(int x, int y) const {
    if (!Bounds().Contains(x, y)) return 0;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Surface::SetPixel(int x, int y, std::uint32_t premultiplied) {
    if (!clip_.Contains(x, y)) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = premultiplied;
}

void Surface::Clear(Color color) {
    std::uint32_t value = Premultiply(color);
    for (int y = clip_.top; y < clip_.bottom; ++y) {
        std::uint32_t* row = Row(y);
        std::fill(row + clip_.left, row + clip_.right, value);
    }
}

void Surface::SetScale(int percent) {
    scale_ = IsOfferedScale(percent) ? percent : 100;
}

void Surface::FillRect(const Rect& rect, Color color, double alpha) {
    Rect area = ToDevice(rect).Intersection(clip_);
    if (area.Empty()) return;
    Color source = color;
    source.a = static_cast<std::uint8_t>(MulDiv255(color.a, AlphaByte(alpha)));
    std::uint32_t value = Premultiply(source);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            BlendPixel(x, y, value, BlendMode::Normal, 256);
    }
}

void Surface::BlendCoverage(int x, int y, Color color, int coverage) {
    if (coverage <= 0) return;
    Color source = color;
    source.a = static_cast<std::uint8_t>(MulDiv255(color.a, std::min(coverage, 255)));
    BlendPixel(x, y, Premultiply(source), BlendMode::Normal, 256);
}

void Surface::BlendPixel(int x, int y, std::uint32_t source, BlendMode mode, int weight) {
    if (!clip_.Contains(x, y) || weight <= 0) return;
    std::uint32_t& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    int sa = Channel(source, 24);
    int s[3] = {Channel(source, 16), Channel(source, 8), Channel(source, 0)};
    int da = Channel(pixel, 24);
    int d[3] = {Channel(pixel, 16), Channel(pixel, 8), Channel(pixel, 0)};
    // The weight scales the whole premultiplied source.
    int wa = (sa * weight + 128) >> 8;
    int ws[3];
    for (int i = 0; i < 3; ++i) ws[i] = (s[i] * weight + 128) >> 8;
    if (mode == BlendMode::ColorDodge && da == 0) mode = BlendMode::Normal;
    switch (mode) {
    case BlendMode::Normal:
        da = wa + MulDiv255(da, 255 - wa);
        for (int i = 0; i < 3; ++i) d[i] = std::min(255, ws[i] + MulDiv255(d[i], 255 - wa));
        break;
    case BlendMode::Additive:
        da = std::min(255, da + wa);
        for (int i = 0; i < 3; ++i) d[i] = std::min(255, d[i] + ws[i]);
        break;
    case BlendMode::ColorDodge: {
        // Dodging works on straight colours: the destination brightened by the source, mixed in
        // by the weighted source alpha.
        int na = wa + MulDiv255(da, 255 - wa);
        for (int i = 0; i < 3; ++i) {
            int dc = Straight(d[i], da);
            int sc = Straight(s[i], sa);
            int mixed = dc + (Dodge(dc, sc) - dc) * wa / 255;
            d[i] = MulDiv255(mixed, na);
        }
        da = na;
        break;
    }
    }
    pixel = Pack(da, d[0], d[1], d[2]);
}

} // namespace graphics
