#pragma once
// Switches that step through the frames of their image on each click, and momentary contacts.

#include "graphics/BitmapControl.h"

namespace graphics {

// Each click adds 1/(frames - 1) (1 for a one-frame image); past 1 it wraps to 0. The value is
// reported. A double-click is another click.
class SwitchControl : public BitmapControl {
public:
    using BitmapControl::BitmapControl;

    void MouseDown(int x, int y, const Modifiers& mods) override;
    void DoubleClick(int x, int y, const Modifiers& mods) override { MouseDown(x, y, mods); }
};

// A switch that springs back: released, its value returns to 0 and is reported.
class ContactControl : public SwitchControl {
public:
    using SwitchControl::SwitchControl;

    void MouseUp(int x, int y, const Modifiers& mods) override;
};

// A switch whose click opens the value prompt (a menu of the parameter's display texts) instead
// of stepping.
class SwitchPopUpControl : public SwitchControl {
public:
    SwitchPopUpControl(Graphics& graphics, int x, int y, const Bitmap& bitmap, int paramIndex);

    void MouseDown(int x, int y, const Modifiers& mods) override;
};

} // namespace graphics
