#include "editor/FBScrollItemControl.h"

#include "common/NumberText.h"
#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "graphics/TextRenderer.h"
#include "programs/BrowserLayout.h"

namespace editor {

using graphics::Color;
using graphics::Rect;

FBScrollItemControl::FBScrollItemControl(VornEditor& editor, const Rect& rect, Kind kind,
                                         int position, const graphics::TextStyle& style,
                                         const graphics::TextStyle& litStyle)
    : Control(editor, rect), editor_(editor), owner_(editor.Owner()), kind_(kind),
      position_(position), litStyle_(litStyle) {
    style_ = style;
}

Rect FBScrollItemControl::NumberRect() const {
    return Rect(rect_.left, rect_.top + 1, rect_.left + 20, rect_.bottom);
}

Rect FBScrollItemControl::NameRect() const {
    return Rect(rect_.left + 22, rect_.top + 1, rect_.right - 1, rect_.bottom);
}

void FBScrollItemControl::SetEntry(int n, const std::string& name) {
    active_ = true;
    int shown = kind_ == kBankRow ? n : n % programs::kColumnPrograms + 1;
    number_ = common::FormatInt(shown).substr(0, 2);
    name_ = name;
    tooltip_ = name;
    SetDirty(false);
}

void FBScrollItemControl::Clear() {
    active_ = false;
    number_.clear();
    name_.clear();
    tooltip_.clear();
    SetDirty(false);
}

bool FBScrollItemControl::IsHighlighted() const {
    const programs::BrowserState& browser = owner_.Browser();
    if (kind_ == kBankRow)
        return position_ == programs::HighlightedBankRow(browser.selectedBank,
                                                         browser.bankListOffset,
                                                         static_cast<int>(browser.banks.size()));
    return position_ ==
           programs::HighlightedGridCell(browser.highlightedProgram, browser.gridOffset);
}

bool FBScrollItemControl::Draw(graphics::Surface& target) {
    const Rect number = NumberRect();
    if (!number_.empty()) target.FillRect(number, Color(16, 255, 255, 255), 1.0);
    const bool lit = IsHighlighted();
    if (lit) target.FillRect(number, Color(32, 255, 255, 255), 1.0);
    const graphics::TextStyle& style = lit ? litStyle_ : style_;
    graphics::DrawText(target, number, number_, style);
    graphics::DrawText(target, NameRect(), name_, style);
    return true;
}

void FBScrollItemControl::MouseDown(int, int, const graphics::Modifiers&) {
    if (!active_) return;
    if (kind_ == kBankRow) {
        owner_.LoadBrowserBank(position_);
        editor_.FillBankListPage(owner_.Browser().bankListOffset);
        editor_.FillProgramGridPage(0);
    } else {
        const bool ownCopy = owner_.Browser().source == programs::BrowserSource::OwnPrograms &&
                             owner_.Browser().copyOnClick;
        owner_.ApplyBrowserProgram(position_);
        if (ownCopy)
            editor_.RefreshBrowserLists();
        else
            editor_.FillProgramGridPage(owner_.Browser().gridOffset);
    }
    SetDirty(false);
    editor_.Refresh();
}

} // namespace editor
