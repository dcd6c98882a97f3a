#pragma once
// Colours as (alpha, red, green, blue), 0..255 each, and the ways an image is blended onto a
// surface.

#include <cstdint>

namespace graphics {

struct Color {
    std::uint8_t a = 255;
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    constexpr Color() = default;
    constexpr Color(int alpha, int red, int green, int blue)
        : a(static_cast<std::uint8_t>(alpha)), r(static_cast<std::uint8_t>(red)),
          g(static_cast<std::uint8_t>(green)), b(static_cast<std::uint8_t>(blue)) {}
    bool operator==(const Color& o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
};

enum class BlendMode { Normal, Additive, ColorDodge };

// A blend mode and a weight 0..1 that scales the source's alpha.
struct Blend {
    BlendMode mode = BlendMode::Normal;
    double weight = 1.0;

    constexpr Blend() = default;
    constexpr Blend(BlendMode m, double w = 1.0) : mode(m), weight(w) {}
};

} // namespace graphics
