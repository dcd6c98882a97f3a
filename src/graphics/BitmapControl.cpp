#include "graphics/BitmapControl.h"

#include "graphics/Drawing.h"

namespace graphics {

BitmapControl::BitmapControl(Graphics& graphics, int x, int y, const Bitmap& bitmap, int paramIndex)
    : BitmapControl(graphics, Rect(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()), bitmap,
                    paramIndex) {}

BitmapControl::BitmapControl(Graphics& graphics, const Rect& rect, const Bitmap& bitmap,
                             int paramIndex)
    : Control(graphics, rect, paramIndex), bitmap_(bitmap) {}

bool BitmapControl::Draw(Surface& target) {
    DrawBitmapForValue(target, bitmap_, value_, rect_, blend_);
    return true;
}

void DrawBitmapForValue(Surface& target, const Bitmap& bitmap, double value, const Rect& rect,
                        const Blend& blend) {
    if (!bitmap.image) return;
    DrawBitmapFrame(target, bitmap, FrameForValue(bitmap.frames, value), rect, blend);
}

} // namespace graphics
