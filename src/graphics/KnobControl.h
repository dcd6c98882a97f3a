#pragma once
// Knobs turned by dragging and by the wheel.

#include "graphics/Bitmap.h"
#include "graphics/Control.h"

namespace graphics {

enum class Direction { Vertical, Horizontal };

// Dragging moves the value by the distance over (size x gearing): gearing 4 by default, 40 while
// shift or control is held, so a 40-pixel knob spans its range over 160 pixels (1600 finely).
// One wheel step is 0.01 (0.001 with shift or control). The pointer is hidden while the left
// button holds the knob.
class KnobControl : public Control {
public:
    static constexpr double kDefaultGearing = 4.0;
    static constexpr double kFineGearing = 40.0;

    KnobControl(Graphics& graphics, const Rect& rect, int paramIndex,
                Direction direction = Direction::Vertical, double gearing = kDefaultGearing);

    void MouseDown(int x, int y, const Modifiers& mods) override;
    void MouseUp(int x, int y, const Modifiers& mods) override;
    void Drag(int x, int y, int dx, int dy, const Modifiers& mods) override;
    void Wheel(int x, int y, const Modifiers& mods, double steps) override;

protected:
    Direction direction_;
    double gearing_;
    bool pointerHidden_ = false;
};

// A knob drawn as the frame of a multi-frame image that shows its value.
class KnobMultiControl : public KnobControl {
public:
    KnobMultiControl(Graphics& graphics, int x, int y, const Bitmap& bitmap, int paramIndex,
                     Direction direction = Direction::Vertical, double gearing = kDefaultGearing);

    bool Draw(Surface& target) override;

    const Bitmap& GetBitmap() const { return bitmap_; }
    void SetBitmap(const Bitmap& bitmap) { bitmap_ = bitmap; }

protected:
    Bitmap bitmap_;
};

} // namespace graphics
