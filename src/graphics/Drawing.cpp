#include "graphics/Drawing.h"

#include "graphics/ImageCache.h"

namespace graphics {

void DrawFrame(Surface& target, const Surface& image, int frames, int frame, const Rect& unitRect,
               const Blend& blend) {
    if (frames < 1 || frame < 1 || frame > frames || unitRect.Empty() || image.Empty()) return;
    int frameHeight = image.Height() / frames;
    if (frameHeight <= 0) return;
    int sourceTop = (frame - 1) * frameHeight;
    int weight = WeightOf(blend.weight);
    const Rect rect = target.ToDevice(unitRect);
    Rect area = Rect(rect.left, rect.top, rect.left + image.Width(), rect.top + frameHeight)
                    .Intersection(rect)
                    .Intersection(target.Clip());
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* row = image.Row(sourceTop + (y - rect.top));
        for (int x = area.left; x < area.right; ++x) {
            std::uint32_t pixel = row[x - rect.left];
            // A fully transparent source pixel changes nothing in any mode.
            if (pixel != 0) target.BlendPixel(x, y, pixel, blend.mode, weight);
        }
    }
}

void DrawBitmapFrame(Surface& target, const Bitmap& bitmap, int frame, const Rect& rect,
                     const Blend& blend) {
    if (!bitmap.image) return;
    const Surface* image = target.ScalePercent() == 100
                               ? bitmap.image
                               : CachedImage(bitmap.id, target.ScalePercent(), bitmap.frames);
    if (image) DrawFrame(target, *image, bitmap.frames, frame, rect, blend);
}

void FillCircle(Surface& target, int unitX, int unitY, int unitRadius, Color color, double alpha) {
    if (unitRadius <= 0) return;
    const int cx = target.ToDevice(unitX), cy = target.ToDevice(unitY);
    const int radius = ScaleLength(unitRadius, target.ScalePercent());
    Color source = color;
    source.a = static_cast<std::uint8_t>(MulDiv255(color.a, AlphaByte(alpha)));
    if (source.a == 0) return;
    Rect area =
        Rect(cx - radius, cy - radius, cx + radius, cy + radius).Intersection(target.Clip());
    // Distances in 1/32 pixel: sample (i, j) of a pixel lies at its corner + (2i + 1, 2j + 1).
    const long long limit =
        static_cast<long long>(radius) * 32 * static_cast<long long>(radius) * 32;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            long long px = static_cast<long long>(x - cx) * 32;
            long long py = static_cast<long long>(y - cy) * 32;
            int covered = 0;
            for (int j = 0; j < 16; ++j) {
                long long dy = py + 2 * j + 1;
                for (int i = 0; i < 16; ++i) {
                    long long dx = px + 2 * i + 1;
                    if (dx * dx + dy * dy <= limit) ++covered;
                }
            }
            if (covered == 0) continue;
            // 256 samples give coverage 0..256; full coverage is the colour's whole alpha.
            target.BlendCoverage(x, y, source, covered >= 256 ? 255 : (covered * 255 + 128) / 256);
        }
    }
}

} // namespace graphics
