#pragma once
// A software ARGB32 bitmap with premultiplied alpha (0xAARRGGBB per pixel, rows top to bottom)
// and a clip rectangle that limits every drawing operation. All blending is integer arithmetic,
// so every build draws the same pixels.
//
// A surface has a scale (100 % unless set). The drawing operations (clip, rectangles, and the
// images, circles and texts of Drawing.h and TextRenderer.h) take editor units and draw at that
// scale; sizes, bounds and the pixel operations are in device pixels.

#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "graphics/Scale.h"

#include <cstdint>
#include <vector>

namespace graphics {

class Surface {
public:
    Surface() = default;
    Surface(int width, int height) { Resize(width, height); }

    // Resizes to width x height device pixels (negative sizes count as 0), clears to transparent
    // black and resets the clip to the whole surface. The scale stays.
    void Resize(int width, int height);
    // The scale drawing operations work at (an offered size; others are taken as 100 %).
    void SetScale(int percent);
    int ScalePercent() const { return scale_; }
    // Editor units -> device pixels at this surface's scale.
    Rect ToDevice(const Rect& units) const { return ScaleRect(units, scale_); }
    int ToDevice(int units) const { return ScaleCoord(units, scale_); }
    // The editor units the surface covers.
    Rect UnitBounds() const { return UnscaleRect(Bounds(), scale_); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    Rect Bounds() const { return Rect(0, 0, width_, height_); }

    std::uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t premultiplied);
    const std::uint32_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }
    std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

    // Drawing is limited to the clip rectangle (always within the surface): given in editor
    // units, kept (Clip) in device pixels.
    void SetClip(const Rect& clip) { clip_ = ToDevice(clip).Intersection(Bounds()); }
    void SetDeviceClip(const Rect& clip) { clip_ = clip.Intersection(Bounds()); }
    void ResetClip() { clip_ = Bounds(); }
    const Rect& Clip() const { return clip_; }

    // Replaces every pixel inside the clip with the colour (not blended).
    void Clear(Color color);
    // Blends the colour, its alpha scaled by alpha (0..1), over the rectangle (editor units).
    void FillRect(const Rect& rect, Color color, double alpha);
    // Blends one premultiplied pixel at (x, y) when it lies inside the clip. weight is 0..256.
    void BlendPixel(int x, int y, std::uint32_t source, BlendMode mode, int weight);
    // Blends the straight colour with coverage 0..255 (the colour's own alpha is applied too).
    void BlendCoverage(int x, int y, Color color, int coverage);

private:
    int width_ = 0;
    int height_ = 0;
    int scale_ = 100;
    Rect clip_;
    std::vector<std::uint32_t> pixels_;
};

// Colour helpers shared by the drawing code.
std::uint32_t Premultiply(Color color);
Color Unpremultiply(std::uint32_t pixel);
// round(x * 255 / 255^2): exact rounded division of a product of two 0..255 values by 255.
inline int MulDiv255(int a, int b) {
    int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}
// An alpha or weight given as 0..1 (NaN and out-of-range values limited) as 0..255 or 0..256.
int AlphaByte(double alpha);
int WeightOf(double weight);

} // namespace graphics
