#include "editor/FBSwitchMidiLearn.h"

#include "editor/EditorHost.h"
#include "editor/VornEditor.h"

namespace editor {

FBSwitchMidiLearn::FBSwitchMidiLearn(VornEditor& editor, int x, int y,
                                     const graphics::Bitmap& learnImage,
                                     const graphics::Bitmap& unlearnImage)
    : SwitchControl(editor, x, y, learnImage), owner_(editor.Owner()), learn_(learnImage),
      unlearn_(unlearnImage) {}

void FBSwitchMidiLearn::MouseDown(int x, int y, const graphics::Modifiers& mods) {
    if (mods.left) {
        SwitchControl::MouseDown(x, y, mods);
        owner_.StartLearn(!learnImage_, value_ > 0.0);
        return;
    }
    // The mode changes only while learn is off.
    if (mods.right && value_ == 0.0) {
        learnImage_ = !learnImage_;
        SetBitmap(learnImage_ ? learn_ : unlearn_);
        SetDirty(false);
    }
}

void FBSwitchMidiLearn::SwitchOff() {
    value_ = 0.0;
    SetDirty(false);
}

} // namespace editor
