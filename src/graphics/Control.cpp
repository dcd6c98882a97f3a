#include "graphics/Control.h"

#include "graphics/Graphics.h"
#include "graphics/PopupMenu.h"
#include "host/PluginBase.h"

#include <algorithm>

namespace graphics {

Control::Control(Graphics& graphics, const Rect& rect, int paramIndex)
    : graphics_(graphics), paramIndex_(paramIndex), rect_(rect), targetRect_(rect) {}

void Control::MouseDown(int, int, const Modifiers& mods) {
    if (mods.right) PromptUserInput();
}

void Control::DoubleClick(int, int, const Modifiers&) {
    if (!hasDefault_ || defaultValue_ < 0.0) return;
    value_ = defaultValue_;
    SetDirty(true);
}

void Control::SetValueFromPlugin(double value) {
    if (!hasDefault_) {
        defaultValue_ = value;
        hasDefault_ = true;
    }
    if (value != value_) {
        value_ = value;
        SetDirty(false);
    }
}

void Control::SetValueFromUserInput(double value) {
    if (value != value_) {
        value_ = value;
        SetDirty(false);
    }
}

void Control::Hide(bool hide) {
    hidden_ = hide;
    SetDirty(false);
}

void Control::GrayOut(bool gray) {
    grayed_ = gray;
    SetDirty(false);
}

void Control::SetDirty(bool report) {
    // NaN counts as 0, so that a bad value never reaches the plug-in or the frame choice.
    value_ = value_ > 0.0 ? std::min(value_, 1.0) : 0.0;
    dirty_ = true;
    if (report && paramIndex_ >= 0) graphics_.ReportValue(paramIndex_, value_);
}

void Control::PromptUserInput() {
    host::PluginBase* plugin = graphics_.Plugin();
    if (promptDisabled_ || paramIndex_ < 0 || !plugin || !plugin->IsValidParam(paramIndex_)) return;
    const host::Param& param = plugin->GetParam(paramIndex_);
    if (param.HasDisplayTexts()) {
        PopupMenu menu;
        int current = static_cast<int>(param.FromNormalized(value_) + 0.5);
        for (const host::DisplayText& entry : param.DisplayTexts())
            menu.AddItem(entry.text, entry.value == current ? PopupMenu::kChecked : 0);
        PopupMenu* chosen = graphics_.CreatePopupMenu(menu, rect_);
        if (!chosen) return;
        const host::DisplayText& entry =
            param.DisplayTexts()[static_cast<std::size_t>(chosen->ChosenItemIndex())];
        SetValueFromUserInput(param.ToNormalized(static_cast<double>(entry.value)));
        SetDirty(true);
        return;
    }
    std::string text = param.FormatDisplay(value_, true, false);
    graphics_.CreateTextEntry(this, paramIndex_, rect_, text,
                              static_cast<int>(host::Param::kTextCapacity) - 1);
}

} // namespace graphics
