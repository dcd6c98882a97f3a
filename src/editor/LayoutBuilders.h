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
    ControlSpec spec;
    spec.kind = kind;
    spec.id = id;
    spec.rect = rect;
    spec.image = image;
    return spec;
}

inline ControlSpec WithLabel(ControlSpec spec, const char* label, LabelPlace place, int width = 0) {
    spec.label = label;
    spec.labelPlace = place;
    spec.labelWidth = width;
    return spec;
}

inline ControlSpec WithText(ControlSpec spec, TextStyleId style, const char* caption = "",
                            int dx = 0, int dy = 0) {
    spec.style = style;
    spec.caption = caption;
    spec.textDx = dx;
    spec.textDy = dy;
    return spec;
}

} // namespace editor::layout
