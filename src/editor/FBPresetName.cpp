#include "editor/FBPresetName.h"

#include "common/Utf8Text.h"

#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "graphics/TextRenderer.h"

namespace editor {

FBPresetName::FBPresetName(VornEditor& editor, const graphics::Rect& rect, int id,
                           const graphics::TextStyle& style, const graphics::TextStyle& entryStyle)
    : Control(editor, rect, id), editor_(editor), owner_(editor.Owner()) {
    style_ = style;
    SetEntryStyle(entryStyle);
}

std::string FBPresetName::Name() const {
    return owner_.PresetName(owner_.CurrentPresetIndex());
}

bool FBPresetName::Draw(graphics::Surface& target) {
    graphics::DrawText(target, rect_, Name(), style_);
    return true;
}

void FBPresetName::MouseDown(int, int, const graphics::Modifiers&) {
    // Without a parameter the entry's text comes back through TextFromTextEntry.
    editor_.CreateTextEntry(this, -1, rect_, Name(), kEntryLength);
}

void FBPresetName::TextFromTextEntry(const std::string& text) {
    // The box limits characters, the name holds bytes: a character that does not fit whole is
    // left out rather than split.
    const std::string name = common::CutUtf8(text, kEntryLength);
    owner_.SetProgramName(name.c_str());
    owner_.NotifyProgramChange();
    owner_.ReportAllParamsToHost();
    SetDirty(false);
    // The browser's name field shows the same name.
    editor_.RefreshProgramDisplay();
}

} // namespace editor
