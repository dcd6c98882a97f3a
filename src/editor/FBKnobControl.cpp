#include "editor/FBKnobControl.h"

#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "graphics/BitmapControl.h"
#include "graphics/Drawing.h"
#include "graphics/TextRenderer.h"

namespace editor {

FBKnobControl::FBKnobControl(VornEditor& editor, int x, int y, const graphics::Bitmap& bitmap,
                             int paramIndex, const graphics::TextStyle& valueStyle)
    : KnobMultiControl(editor, x, y, bitmap, paramIndex), owner_(editor.Owner()) {
    style_ = valueStyle;
    valueRect_ = rect_;
    valueRect_.top += kValueTextInset;
    targetRect_ = valueRect_;
}

void FBKnobControl::MouseOver(int, int, const graphics::Modifiers&) {
    if (hover_) return;
    hover_ = true;
    SetDirty(false);
}

void FBKnobControl::MouseOut() {
    if (!hover_) return;
    hover_ = false;
    SetDirty(false);
}

bool FBKnobControl::ShowsValue() const {
    return hover_ || owner_.Settings().showAllKnobValues;
}

std::string FBKnobControl::ValueText() const {
    if (!owner_.IsValidParam(paramIndex_)) return std::string();
    const host::Param& param = owner_.GetParam(paramIndex_);
    return param.FormatDisplay(param.Value(), false, true);
}

bool FBKnobControl::Draw(graphics::Surface& target) {
    graphics::DrawBitmapForValue(target, bitmap_, value_, rect_, blend_);
    if (!ShowsValue()) return true;
    const int cx = rect_.left + rect_.Width() / 2;
    const int cy = rect_.top + rect_.Height() / 2;
    graphics::FillCircle(target, cx, cy, rect_.Width() / 2 - 9, graphics::Color(160, 64, 64, 64),
                         0.6);
    graphics::DrawText(target, valueRect_, ValueText(), style_);
    return true;
}

} // namespace editor
