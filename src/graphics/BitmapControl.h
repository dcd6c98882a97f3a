#pragma once
// A control that shows one frame of a multi-frame image, chosen by its value.

#include "graphics/Bitmap.h"
#include "graphics/Control.h"

namespace graphics {

class BitmapControl : public Control {
public:
    // The rectangle is the position plus the frame size.
    BitmapControl(Graphics& graphics, int x, int y, const Bitmap& bitmap, int paramIndex = -1);
    BitmapControl(Graphics& graphics, const Rect& rect, const Bitmap& bitmap, int paramIndex = -1);

    bool Draw(Surface& target) override;

    const Bitmap& GetBitmap() const { return bitmap_; }
    void SetBitmap(const Bitmap& bitmap) { bitmap_ = bitmap; }

protected:
    Bitmap bitmap_;
};

// Draws the frame that shows the value into the rectangle with the blend.
void DrawBitmapForValue(Surface& target, const Bitmap& bitmap, double value, const Rect& rect,
                        const Blend& blend);

} // namespace graphics
