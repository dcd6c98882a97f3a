#include "graphics/KnobControl.h"

#include "graphics/BitmapControl.h"
#include "graphics/Graphics.h"

namespace graphics {

KnobControl::KnobControl(Graphics& graphics, const Rect& rect, int paramIndex, Direction direction,
                         double gearing)
    : Control(graphics, rect, paramIndex), direction_(direction), gearing_(gearing) {}

void KnobControl::MouseDown(int x, int y, const Modifiers& mods) {
    if (mods.left && !pointerHidden_) {
        graphics_.HidePointer();
        pointerHidden_ = true;
    }
    Control::MouseDown(x, y, mods);
}

void KnobControl::MouseUp(int, int, const Modifiers&) {
    if (pointerHidden_) {
        graphics_.RestorePointer();
        pointerHidden_ = false;
    }
}

void KnobControl::Drag(int, int, int dx, int dy, const Modifiers& mods) {
    double gearing = (mods.shift || mods.control) ? kFineGearing : gearing_;
    if (direction_ == Direction::Vertical) {
        if (rect_.Height() <= 0) return;
        value_ += -dy / (rect_.Height() * gearing);
    } else {
        if (rect_.Width() <= 0) return;
        value_ += dx / (rect_.Width() * gearing);
    }
    SetDirty(true);
}

void KnobControl::Wheel(int, int, const Modifiers& mods, double steps) {
    value_ += steps * ((mods.shift || mods.control) ? 0.001 : 0.01);
    SetDirty(true);
}

KnobMultiControl::KnobMultiControl(Graphics& graphics, int x, int y, const Bitmap& bitmap,
                                   int paramIndex, Direction direction, double gearing)
    : KnobControl(graphics, Rect(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight()),
                  paramIndex, direction, gearing),
      bitmap_(bitmap) {}

bool KnobMultiControl::Draw(Surface& target) {
    DrawBitmapForValue(target, bitmap_, value_, rect_, blend_);
    return true;
}

} // namespace graphics
