#include "editor/ControlLayout.h"

#include "editor/ImageTable.h"
#include "editor/LayoutParts.h"

namespace editor {

using graphics::Rect;

bool ControlSpec::IsInvisible() const {
    return kind == ControlClass::FBOptionMenu ||
           (kind == ControlClass::FBUtilityKick && image == kNoImage);
}

const std::vector<ControlSpec>& EditorControls() {
    static const std::vector<ControlSpec> controls = [] {
        std::vector<ControlSpec> all = MainViewControls();
        std::vector<ControlSpec> browser = BrowserControls();
        all.insert(all.end(), browser.begin(), browser.end());
        return all;
    }();
    return controls;
}

const ControlSpec* FindControlByKey(int key) {
    if (key < 0) return nullptr;
    for (const ControlSpec& control : EditorControls()) {
        if (control.key == key) return &control;
    }
    return nullptr;
}

const ControlSpec* FindControlById(int id) {
    if (id == kNoId) return nullptr;
    for (const ControlSpec& control : EditorControls()) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

Rect AlgorithmRect() {
    return Rect(177, 135, 309, 267);
}

// Four tall cells for the algorithms with a stack of three or four levels, three square ones in
// the middle row and one wide cell for the algorithm of four carriers; together they tile the
// diagram.
const std::array<Rect, 8>& AlgorithmHitRects() {
    static const std::array<Rect, 8> rects = {
        Rect(177, 135, 210, 201), Rect(210, 135, 243, 201), Rect(243, 135, 276, 201),
        Rect(276, 135, 309, 201), Rect(177, 201, 217, 245), Rect(217, 201, 261, 245),
        Rect(261, 201, 309, 245), Rect(177, 245, 309, 267),
    };
    return rects;
}

Rect BrowseButtonRect() {
    return Rect(226, 74, 266, 114);
}

Rect BrowserRect() {
    return Rect(14, 14, 956, 630);
}

Rect HalveDoubled(int left, int top, int right, int bottom) {
    return Rect(left / 2, top / 2, right / 2, bottom / 2);
}

} // namespace editor
