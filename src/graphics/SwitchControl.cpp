#include "graphics/SwitchControl.h"

namespace graphics {

void SwitchControl::MouseDown(int, int, const Modifiers&) {
    value_ += bitmap_.frames > 1 ? 1.0 / (bitmap_.frames - 1) : 1.0;
    // The margin absorbs the rounding of repeated steps, so the last frame is reached exactly.
    if (value_ > 1.001) value_ = 0.0;
    SetDirty(true);
}

void ContactControl::MouseUp(int, int, const Modifiers&) {
    value_ = 0.0;
    SetDirty(true);
}

SwitchPopUpControl::SwitchPopUpControl(Graphics& graphics, int x, int y, const Bitmap& bitmap,
                                       int paramIndex)
    : SwitchControl(graphics, x, y, bitmap, paramIndex) {
    DisablePrompt(false);
}

void SwitchPopUpControl::MouseDown(int, int, const Modifiers&) {
    PromptUserInput();
    SetDirty(false);
}

} // namespace graphics
