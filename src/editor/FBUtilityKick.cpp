#include "editor/FBUtilityKick.h"

#include "editor/ControlLayout.h"
#include "editor/EditorHost.h"
#include "editor/UtilityActions.h"
#include "editor/VornEditor.h"
#include "graphics/Drawing.h"
#include "graphics/TextRenderer.h"
#include "programs/CommandIds.h"

namespace editor {

FBUtilityKick::FBUtilityKick(VornEditor& editor, int x, int y, const graphics::Bitmap& bitmap,
                             int id, const std::string& caption,
                             const graphics::TextStyle& captionStyle,
                             const graphics::TextStyle& dimmedStyle)
    : ContactControl(editor, x, y, bitmap, id), editor_(editor), owner_(editor.Owner()),
      caption_(caption), dimmedStyle_(dimmedStyle) {
    style_ = captionStyle;
}

FBUtilityKick::FBUtilityKick(VornEditor& editor, const graphics::Rect& rect, int id)
    : ContactControl(editor, rect, graphics::Bitmap(), id), editor_(editor),
      owner_(editor.Owner()) {}

bool FBUtilityKick::IsInertPaste() const {
    return paramIndex_ == kIdPaste && owner_.Clipboard().Empty();
}

const graphics::TextStyle& FBUtilityKick::CaptionStyle() const {
    return IsInertPaste() ? dimmedStyle_ : style_;
}

bool FBUtilityKick::Draw(graphics::Surface& target) {
    if (IsInvisible()) return true;
    graphics::DrawBitmapFrame(target, bitmap_, pressed_ ? 2 : 1, rect_, blend_);
    if (!caption_.empty()) {
        graphics::Rect text = rect_;
        text.top += pressed_ ? 6 : 5;
        graphics::DrawText(target, text, caption_, CaptionStyle());
    }
    return true;
}

void FBUtilityKick::MouseDown(int, int, const graphics::Modifiers& mods) {
    if (IsInertPaste()) {
        pressed_ = false;
        latch_ = 0;
        return;
    }
    pressed_ = true;
    SetDirty(false);
    switch (paramIndex_) {
    case kIdBrowserClose:
        editor_.HideBrowser();
        break;
    case kIdBrowse:
        editor_.ShowBrowser();
        break;
    case kIdInit:
    case kIdPaste:
        owner_.RunCommand(paramIndex_ == kIdInit ? programs::kInitializeProgram
                                                 : programs::kPasteProgram);
        pressed_ = false;
        SetDirty(false);
        break;
    case kIdCopy:
        // Stays pressed until the release, which copies again.
        owner_.RunCommand(programs::kCopyProgram);
        break;
    default: {
        latch_ = latch_ == 0 && mods.right ? 1 : 0;
        if (owner_.LearnActive()) owner_.LearnParameter(paramIndex_);
        platform::ScopedLock lock(owner_.Mutex());
        owner_.Browser().needsRedraw = true;
        break;
    }
    }
}

void FBUtilityKick::MouseUp(int, int, const graphics::Modifiers&) {
    // Latched by a right click: the button stays drawn pressed and does nothing.
    if (latch_) return;
    RunUtilityAction(editor_, paramIndex_);
    pressed_ = false;
    SetDirty(false);
}

} // namespace editor
