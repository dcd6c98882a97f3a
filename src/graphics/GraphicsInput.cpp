// Input routing of the Graphics core: hit search, mouse, wheel and keyboard events, tooltips and
// the text-entry state machine.

#include "common/NumberText.h"
#include "common/Utf8Text.h"
#include "graphics/Graphics.h"
#include "host/PluginBase.h"

#include <cmath>

namespace graphics {

int Graphics::FindControl(int x, int y, bool forMouseOver) const {
    for (int i = ControlCount() - 1; i >= 0; --i) {
        Control* control = controls_[static_cast<std::size_t>(i)].get();
        if (control->IsHidden()) continue;
        if (control->IsGrayed() && !(forMouseOver && control->MouseOverWhenGrayed())) continue;
        if (control->IsHit(x, y)) return i;
    }
    return -1;
}

void Graphics::BeginEdit(int controlIndex) {
    Control* control = GetControl(controlIndex);
    if (!control || control->ParamIndex() < 0 || !plugin_) return;
    // A gesture still open (a button-up that never came) ends before the next begins, so the
    // host always sees matched pairs.
    EndEdit();
    editParam_ = control->ParamIndex();
    plugin_->BeginParamEdit(editParam_);
}

void Graphics::EndEdit() {
    if (editParam_ < 0 || !plugin_) return;
    int param = editParam_;
    editParam_ = -1;
    plugin_->EndParamEdit(param);
}

void Graphics::HideTooltip() {
    if (tooltipShown_ && window_) window_->HideTooltip();
    tooltipShown_ = false;
}

void Graphics::OnMouseDown(int deviceX, int deviceY, const Modifiers& mods) {
    platform::ScopedLock lock(InstanceLock());
    const int x = UnscaleCoord(deviceX, scale_), y = UnscaleCoord(deviceY, scale_);
    pointerX_ = x;
    pointerY_ = y;
    HideTooltip();
    if (entryState_ != TextEntryState::None) {
        // Before the first tick the click is taken as a change of mind, afterwards as done.
        if (entryState_ == TextEntryState::Editing) entryState_ = TextEntryState::CancelRequested;
        if (entryState_ == TextEntryState::Drawn) entryState_ = TextEntryState::CommitRequested;
        return;
    }
    if (window_) {
        window_->TakeFocus();
        window_->CaptureMouse();
    }
    captured_ = FindControl(x, y);
    lastX_ = deviceX;
    lastY_ = deviceY;
    Control* control = GetControl(captured_);
    if (!control) return;
    BeginEdit(captured_);
    control->MouseDown(x, y, mods);
}

void Graphics::OnMouseUp(int deviceX, int deviceY, const Modifiers& mods) {
    platform::ScopedLock lock(InstanceLock());
    const int x = UnscaleCoord(deviceX, scale_), y = UnscaleCoord(deviceY, scale_);
    pointerX_ = x;
    pointerY_ = y;
    if (window_) window_->ReleaseMouse();
    int target = captured_ >= 0 ? captured_ : FindControl(x, y);
    if (Control* control = GetControl(target)) control->MouseUp(x, y, mods);
    captured_ = -1;
    EndEdit();
}

void Graphics::OnMouseMove(int deviceX, int deviceY, const Modifiers& mods) {
    platform::ScopedLock lock(InstanceLock());
    const int x = UnscaleCoord(deviceX, scale_), y = UnscaleCoord(deviceY, scale_);
    pointerX_ = x;
    pointerY_ = y;
    if (mods.left || mods.right) {
        Control* control = GetControl(captured_);
        if (!control) return;
        // The way in editor units since the last drag step. A move within one unit waits for
        // the next, so no way is lost to rounding at larger scales.
        int dx = x - UnscaleCoord(lastX_, scale_), dy = y - UnscaleCoord(lastY_, scale_);
        if (dx == 0 && dy == 0) return;
        lastX_ = deviceX;
        lastY_ = deviceY;
        control->Drag(x, y, dx, dy, mods);
        return;
    }
    MouseOver(x, y, mods);
}

bool Graphics::MouseOver(int x, int y, const Modifiers& mods) {
    if (!mouseOverTracking_) return false;
    int hit = FindControl(x, y, true);
    if (hit != mouseOver_) HideTooltip();
    if (Control* control = GetControl(hit)) control->MouseOver(x, y, mods);
    if (mouseOver_ >= 0 && mouseOver_ != hit) {
        if (Control* previous = GetControl(mouseOver_)) previous->MouseOut();
    }
    mouseOver_ = hit;
    if (window_) window_->TrackHoverAndLeave();
    return hit >= 0;
}

void Graphics::MouseOut() {
    for (auto& control : controls_) control->MouseOut();
    mouseOver_ = -1;
}

void Graphics::OnDoubleClick(int deviceX, int deviceY, const Modifiers& mods) {
    platform::ScopedLock lock(InstanceLock());
    const int x = UnscaleCoord(deviceX, scale_), y = UnscaleCoord(deviceY, scale_);
    pointerX_ = x;
    pointerY_ = y;
    if (entryState_ != TextEntryState::None) return;
    int hit = FindControl(x, y);
    Control* control = GetControl(hit);
    if (!control) return;
    // The button-up that follows ends the gesture opened here.
    captured_ = hit;
    lastX_ = deviceX;
    lastY_ = deviceY;
    BeginEdit(hit);
    if (window_) window_->CaptureMouse();
    if (control->DoubleClickAsMouseDown())
        control->MouseDown(x, y, mods);
    else
        control->DoubleClick(x, y, mods);
}

void Graphics::OnWheel(int deviceX, int deviceY, const Modifiers& mods, int wheelDelta) {
    platform::ScopedLock lock(InstanceLock());
    const int x = UnscaleCoord(deviceX, scale_), y = UnscaleCoord(deviceY, scale_);
    pointerX_ = x;
    pointerY_ = y;
    if (entryState_ != TextEntryState::None) {
        entryState_ = TextEntryState::CancelRequested;
        return;
    }
    int target = captured_ >= 0 ? captured_ : FindControl(x, y);
    if (Control* control = GetControl(target)) control->Wheel(x, y, mods, wheelDelta / 120.0);
}

void Graphics::OnHover(int deviceX, int deviceY) {
    platform::ScopedLock lock(InstanceLock());
    if (!tooltips_ || !window_) return;
    const int x = UnscaleCoord(deviceX, scale_), y = UnscaleCoord(deviceY, scale_);
    Control* control = GetControl(FindControl(x, y, true));
    if (control && !control->Tooltip().empty()) {
        window_->ShowTooltip(control->Tooltip());
        tooltipShown_ = true;
    }
}

void Graphics::OnMouseLeave() {
    platform::ScopedLock lock(InstanceLock());
    HideTooltip();
    MouseOut();
}

bool Graphics::OnKeyDown(int platformKey) {
    platform::ScopedLock lock(InstanceLock());
    int key = MapPlatformKey(platformKey);
    if (key < 0) return false;
    int x = pointerX_, y = pointerY_;
    Control* target = GetControl(captured_);
    if (!target) {
        int hit = FindControl(x, y);
        target = hit > 0 ? GetControl(hit) : keyboardHandler_;
    }
    return target ? target->KeyDown(x, y, key) : false;
}

bool Graphics::CreateTextEntry(Control* control, int paramIndex, const Rect& rect,
                               const std::string& text, int length) {
    if (entryState_ != TextEntryState::None || !window_ || !control) return false;
    TextEntryRequest request;
    request.rect = ScaleRect(rect, scale_);
    request.text = text;
    request.maxLength = length;
    request.style = control->EntryStyle();
    request.scale = scale_;
    if (!window_->OpenTextEntry(request)) return false;
    entryState_ = TextEntryState::Editing;
    entryControl_ = control;
    entryParam_ = plugin_ && plugin_->IsValidParam(paramIndex) ? paramIndex : -1;
    return true;
}

void Graphics::OnTextEntryCommit() {
    platform::ScopedLock lock(InstanceLock());
    if (entryState_ == TextEntryState::Editing || entryState_ == TextEntryState::Drawn)
        entryState_ = TextEntryState::CommitRequested;
}

void Graphics::OnTextEntryCancel() {
    platform::ScopedLock lock(InstanceLock());
    if (entryState_ == TextEntryState::Editing || entryState_ == TextEntryState::Drawn)
        entryState_ = TextEntryState::CancelRequested;
}

bool Graphics::TextEntryAccepts(unsigned c) const {
    if (entryState_ == TextEntryState::None) return false;
    // Control characters are the box's own editing keys (backspace and the like).
    if (c < 32 || c == 127 || entryParam_ < 0 || !plugin_) return true;
    host::ParamKind kind = plugin_->GetParam(entryParam_).Kind();
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return true;
    return c == '.' && kind == host::ParamKind::Double;
}

void Graphics::FinishTextEntry(bool commit) {
    std::string text;
    if (commit && window_) {
        text = window_->TextEntryText();
        text = common::CutUtf8(text, kTextEntryCapacity);
    }
    if (window_) window_->CloseTextEntry();
    Control* control = entryControl_;
    int paramIndex = entryParam_;
    entryState_ = TextEntryState::None;
    entryControl_ = nullptr;
    entryParam_ = -1;
    if (!commit || !control) return;
    if (paramIndex < 0) {
        control->TextFromTextEntry(text);
        return;
    }
    const host::Param& param = plugin_->GetParam(paramIndex);
    double value = 0.0;
    if (param.Kind() == host::ParamKind::Enum) {
        if (!param.ValueOfText(text, value)) value = 0.0;
    } else {
        value = common::ParseDouble(text.c_str());
        // "inf" or "nan" typed into a number box changes nothing.
        if (!std::isfinite(value)) return;
    }
    control->SetValueFromUserInput(param.ToNormalized(value));
    control->SetDirty(true);
}

} // namespace graphics
