#pragma once
// Small makers for the rows of the control tables, shared by the main-view and browser tables.
// A control placed by position gets its image's frame size as its rectangle.

#include "editor/ControlLayout.h"
#include "editor/ImageTable.h"

namespace editor::layout {

inline graphics::Rect AtPosition(int x, int y, int image) {
    const ImageInfo* info = FindImage(image);
    if (!info) return graphics::Rect(x, y, x, y);
    return graphics::Rect(x, y, x + info->FrameWidth(), y + info->FrameHeight());
}

inline ControlSpec Make(ControlClass kind, int id, graphics::Rect rect, int image = kNoImage) {
    ControlSpec control;
    control.kind = kind;
    control.id = id;
    control.rect = rect;
    control.image = image;
    return control;
}

inline ControlSpec WithLabel(ControlSpec control, const char* label, LabelPlace place, int width = 0) {
    control.label = label;
    control.labelPlace = place;
    control.labelWidth = width;
    return control;
}

inline ControlSpec WithText(ControlSpec control, TextStyleId style, const char* caption = "",
                            int dx = 0, int dy = 0) {
    control.style = style;
    control.caption = caption;
    control.textDx = dx;
    control.textDy = dy;
    return control;
}

} // namespace editor::layout
