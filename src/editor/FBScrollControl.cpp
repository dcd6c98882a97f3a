#include "editor/FBScrollControl.h"

#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "programs/BrowserLayout.h"

#include <algorithm>
#include <cmath>

namespace editor {

using graphics::Rect;

FBScrollControl::FBScrollControl(VornEditor& editor, const Rect& rect, int id, Kind kind)
    : Control(editor, rect, id), editor_(editor), owner_(editor.Owner()), kind_(kind) {}

Rect FBScrollControl::UpArrowRect() const {
    return Rect(rect_.left, rect_.top, rect_.right, rect_.top + kArrowHeight);
}

Rect FBScrollControl::DownArrowRect() const {
    return Rect(rect_.left, rect_.bottom - kArrowHeight, rect_.right, rect_.bottom);
}

void FBScrollControl::Thumb(int& top, int& bottom) const {
    const programs::BrowserState& browser = owner_.Browser();
    int count, visible, position;
    if (kind_ == kBankList) {
        count = static_cast<int>(browser.banks.size());
        visible = programs::kBankListRows;
        position = browser.bankListOffset;
    } else {
        count = std::min(static_cast<int>(browser.programs.size()), programs::kColumnPrograms);
        visible = programs::kGridRows;
        position = count > 0 ? browser.gridOffset : 0;
    }
    const int track = rect_.Height() - 2 * kArrowHeight;
    top = rect_.top + kArrowHeight;
    int height = 0;
    if (count >= 1) {
        top += static_cast<int>(std::floor(static_cast<double>(position) / count * track));
        height = static_cast<int>(std::floor(static_cast<double>(visible) / count * track));
    }
    bottom = std::min(top + height, rect_.bottom - kArrowHeight);
}

bool FBScrollControl::Draw(graphics::Surface& target) {
    int top, bottom;
    Thumb(top, bottom);
    target.FillRect(Rect(rect_.left, top, rect_.right, bottom), graphics::Color(32, 255, 255, 255),
                    1.0);
    return true;
}

void FBScrollControl::MouseDown(int x, int y, const graphics::Modifiers&) {
    // Paging belongs to the open window only.
    if (!editor_.IsWindowOpen()) return;
    int top, bottom;
    Thumb(top, bottom);
    int direction = 0;
    if (y < top || UpArrowRect().Contains(x, y))
        direction = -1;
    else if (y >= bottom || DownArrowRect().Contains(x, y))
        direction = 1;
    if (direction == 0) return;
    if (kind_ == kBankList) {
        owner_.PageBankList(direction * programs::kBankListRows);
        editor_.FillBankListPage(owner_.Browser().bankListOffset);
    } else {
        owner_.PageProgramGrid(direction * programs::kGridPageOffset);
        editor_.FillProgramGridPage(owner_.Browser().gridOffset);
    }
    SetDirty(false);
}

} // namespace editor
