#include "editor/FBDropDown.h"

#include "common/NumberText.h"
#include "editor/ControlLayout.h"
#include "editor/EditorHost.h"
#include "editor/VornEditor.h"
#include "graphics/PopupMenu.h"
#include "graphics/TextRenderer.h"
#include "programs/ProgramNumbering.h"

#include <algorithm>
#include <cmath>

namespace editor {

using graphics::PopupMenu;

FBDropDown::FBDropDown(VornEditor& editor, const graphics::Rect& rect, int id,
                       const graphics::TextStyle& style, int textDx, int textDy)
    : Control(editor, rect, id), editor_(editor), owner_(editor.Owner()),
      textRect_(rect.Offset(textDx, textDy)) {
    style_ = style;
}

bool FBDropDown::IsBankNumber() const {
    return paramIndex_ == kIdBankNumber || paramIndex_ == kIdBrowserBankNumber;
}

bool FBDropDown::IsProgramNumber() const {
    return paramIndex_ == kIdProgramNumber || paramIndex_ == kIdBrowserProgramNumber;
}

int FBDropDown::IntegerValue() const {
    if (!owner_.IsValidParam(paramIndex_)) return 0;
    return static_cast<int>(std::floor(owner_.GetParam(paramIndex_).FromNormalized(value_) + 0.5));
}

std::string FBDropDown::Text() const {
    const int current = owner_.CurrentPresetIndex();
    if (IsBankNumber()) return programs::VoiceBankText(current);
    if (IsProgramNumber()) return programs::ProgramNumberText(current);
    if (!owner_.IsValidParam(paramIndex_)) return std::string();
    return owner_.GetParam(paramIndex_).FormatDisplay(IntegerValue(), false, true);
}

bool FBDropDown::Draw(graphics::Surface& target) {
    graphics::DrawText(target, textRect_, Text(), style_);
    return true;
}

void FBDropDown::MouseDown(int, int, const graphics::Modifiers&) {
    if (IsProgramNumber()) {
        ChooseProgram();
    } else if (IsBankNumber()) {
        ChooseBank();
    } else {
        ChooseParameterValue();
    }
}

void FBDropDown::BuildProgramMenu(PopupMenu& menu, PopupMenu* groups[4]) const {
    platform::ScopedLock lock(owner_.Mutex());
    const int current = owner_.CurrentPresetIndex();
    const int first = programs::FirstProgramOfVoiceBank(current);
    const int currentGroup = programs::PositionInVoiceBank(current) / programs::kProgramGroupSize;
    for (int g = 0; g < 4; ++g) {
        const int low = g * programs::kProgramGroupSize + 1;
        const std::string label = common::FormatInt(low) + " - " +
                                  common::FormatInt(low + programs::kProgramGroupSize - 1);
        PopupMenu& group = menu.AddSubmenu(label, g == currentGroup ? PopupMenu::kChecked : 0);
        groups[g] = &group;
        for (int h = 0; h < programs::kProgramGroupSize; ++h) {
            const int j = g * programs::kProgramGroupSize + h;
            const int program = first + j;
            group.AddItem(common::FormatInt(j + 1) + " - " + owner_.PresetName(program),
                          program == current ? PopupMenu::kChecked : 0);
        }
    }
}

void FBDropDown::ChooseProgram() {
    PopupMenu menu;
    PopupMenu* groups[4] = {};
    BuildProgramMenu(menu, groups);
    // No lock while the menu waits for the user.
    PopupMenu* chosen = editor_.CreatePopupMenu(menu, rect_);
    if (!chosen) return;
    const int group = static_cast<int>(std::find(groups, groups + 4, chosen) - groups);
    if (group >= 4) return;
    owner_.SelectProgram(programs::ProgramOfSelectorItem(owner_.CurrentPresetIndex(), group + 1,
                                                         chosen->ChosenItemIndex() + 1));
    SetDirty(false);
}

void FBDropDown::BuildBankMenu(PopupMenu& menu) const {
    const int bank = programs::VoiceBankOf(owner_.CurrentPresetIndex());
    for (int b = 0; b < programs::kVoiceBankCount; ++b)
        menu.AddItem("Bank " + common::FormatInt(b + 1), b == bank ? PopupMenu::kChecked : 0);
}

void FBDropDown::ChooseBank() {
    PopupMenu menu;
    BuildBankMenu(menu);
    PopupMenu* chosen = editor_.CreatePopupMenu(menu, rect_);
    if (!chosen) return;
    owner_.SelectProgram(
        programs::ProgramInVoiceBank(owner_.CurrentPresetIndex(), chosen->ChosenItemIndex()));
    SetDirty(false);
}

void FBDropDown::BuildChoiceMenu(PopupMenu& menu) const {
    if (!owner_.IsValidParam(paramIndex_)) return;
    const host::Param& param = owner_.GetParam(paramIndex_);
    const int current = IntegerValue();
    int position = 0;
    for (const host::DisplayText& entry : param.DisplayTexts())
        menu.AddItem(entry.text, position++ == current ? PopupMenu::kChecked : 0);
}

void FBDropDown::ChooseParameterValue() {
    if (!owner_.IsValidParam(paramIndex_)) return;
    const host::Param& param = owner_.GetParam(paramIndex_);
    if (param.DisplayTexts().size() == 2) {
        // Two choices: a click toggles, no menu.
        SetValueFromUserInput(param.ToNormalized(1.0 - IntegerValue()));
        SetDirty(true);
        return;
    }
    PopupMenu menu;
    BuildChoiceMenu(menu);
    if (menu.ItemCount() == 0) return;
    PopupMenu* chosen = editor_.CreatePopupMenu(menu, rect_);
    if (!chosen) return;
    // ToNormalized clamps the position into the range before normalising it.
    SetValueFromUserInput(param.ToNormalized(static_cast<double>(chosen->ChosenItemIndex())));
    SetDirty(true);
}

} // namespace editor
