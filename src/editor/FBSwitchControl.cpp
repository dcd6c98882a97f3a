#include "editor/FBSwitchControl.h"

#include "editor/ControlLayout.h"
#include "editor/EditorHost.h"
#include "editor/UtilityActions.h"
#include "editor/VornEditor.h"
#include "graphics/TextRenderer.h"

namespace editor {

FBSwitchControl::FBSwitchControl(VornEditor& editor, int x, int y, const graphics::Bitmap& bitmap,
                                 int id, const std::string& caption,
                                 const graphics::TextStyle& captionStyle)
    : SwitchControl(editor, x, y, bitmap, id), editor_(editor), owner_(editor.Owner()),
      caption_(caption) {
    style_ = captionStyle;
}

graphics::Rect FBSwitchControl::CaptionUpRect() const {
    graphics::Rect rect = rect_;
    rect.top += 5;
    return rect;
}

graphics::Rect FBSwitchControl::CaptionDownRect() const {
    graphics::Rect rect = rect_;
    rect.top += 6;
    return rect;
}

bool FBSwitchControl::Draw(graphics::Surface& target) {
    SwitchControl::Draw(target);
    if (!caption_.empty())
        graphics::DrawText(target, value_ >= 0.5 ? CaptionDownRect() : CaptionUpRect(), caption_,
                           style_);
    return true;
}

void FBSwitchControl::MouseDown(int x, int y, const graphics::Modifiers& mods) {
    SwitchControl::MouseDown(x, y, mods);
    switch (paramIndex_) {
    case kIdSelectCopy: {
        platform::ScopedLock lock(owner_.Mutex());
        owner_.Browser().copyOnClick = value_ >= 0.5;
        break;
    }
    case kIdSourceFile:
    case kIdSourceIntern:
    case kIdSourceFactory:
        RunUtilityAction(editor_, paramIndex_);
        // A browser action: the source buttons show the new source at once.
        editor_.Refresh();
        break;
    default:
        break; // parameter switches only report
    }
}

} // namespace editor
