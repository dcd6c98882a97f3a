#include "graphics/Graphics.h"

#include "common/SlowWork.h"

#include "graphics/BitmapControl.h"
#include "graphics/NativeWindow.h"
#include "graphics/PopupMenu.h"
#include "host/PluginBase.h"

namespace graphics {

Graphics::Graphics(host::PluginBase* plugin) : plugin_(plugin), ui_(*this) {}

platform::RecursiveMutex& Graphics::InstanceLock() {
    return plugin_ ? plugin_->Mutex() : noLock_;
}

Graphics::~Graphics() {
    // Events the window still receives while it goes find no window.
    closeRequested_ = false;
    std::unique_ptr<EditorWindow> window = std::move(window_);
    if (window) window->Close();
}

void Graphics::ShowParamValue(int index, double value, bool normalized) {
    if (!plugin_ || !plugin_->IsValidParam(index)) return;
    double x = normalized ? value : plugin_->GetParam(index).ToNormalized(value);
    for (auto& control : controls_) {
        if (control->ParamIndex() == index) control->SetValueFromPlugin(x);
        const std::vector<int>& aux = control->AuxParams();
        for (std::size_t i = 0; i < aux.size(); ++i)
            if (aux[i] == index) control->SetAuxParamValueFromPlugin(static_cast<int>(i), x);
    }
}

void Graphics::CreateSurfaces(int width, int height) {
    backBuffer_.Resize(width, height);
    backBuffer_.SetScale(scale_);
}

void Graphics::EnsureBackBuffer() {
    if (backBuffer_.Width() != Width() || backBuffer_.Height() != Height())
        backBuffer_.Resize(Width(), Height());
    backBuffer_.SetScale(scale_);
}

bool Graphics::SetScale(int percent) {
    if (!IsOfferedScale(percent)) return false;
    platform::ScopedLock lock(InstanceLock());
    pendingScale_ = percent;
    if (percent == scale_) return true;
    if (!window_) {
        scale_ = percent;
        if (plugin_) plugin_->ResizeEditor(Width(), Height());
        return true;
    }
    const int width = ScaleLength(width_, percent), height = ScaleLength(height_, percent);
    // The host's frame first: a window that grew inside a frame that did not would be cut off.
    if (!plugin_ || !plugin_->RequestEditorSize(width, height)) return false;
    if (!window_->Resize(width, height)) {
        // The frame has the new size already; the window that cannot follow keeps its picture,
        // and the frame is asked back to it.
        plugin_->RequestEditorSize(Width(), Height());
        return false;
    }
    scale_ = percent;
    plugin_->ResizeEditor(Width(), Height());
    // An open text entry sits over the field's old place: it goes, uncommitted.
    if (entryState_ != TextEntryState::None) FinishTextEntry(false);
    EnsureBackBuffer();
    SetAllControlsDirty();
    window_->Invalidate(backBuffer_.Bounds());
    return true;
}

bool Graphics::OpenWindow(void* parent) {
    // No parent, no window: refused before an open window is given up for it.
    if (!parent) return false;
    platform::ScopedLock lock(InstanceLock());
    const int askedWidth = Width(), askedHeight = Height();
    if (followsSystem_ && !window_) pendingScale_ = SystemScalePercent(parent);
    if (!OpenWindowWith(CreateNativeWindow(*this), parent)) return false;
    parent_ = parent;
    // The host's window is on a monitor of another scale than the host last asked about: its
    // frame is asked to follow (a host that asks for the size after opening finds it anyway).
    if (plugin_ && (Width() != askedWidth || Height() != askedHeight))
        plugin_->RequestEditorSize(Width(), Height());
    return true;
}

int Graphics::SystemScale() const {
    return SystemScalePercent(window_ ? parent_ : nullptr);
}

bool Graphics::OpenWindowWith(std::unique_ptr<EditorWindow> window, void* parent) {
    platform::ScopedLock lock(InstanceLock());
    // The open window is still in use: by a menu or dialog waiting for the user, or by the event
    // this request came from.
    if (IsWaitingForUser() || (window_ && windowEvents_ > 0)) return false;
    if (window_) CloseWindow();
    if (!window) return false;
    common::SlowWorkStarts(common::SlowWork::WindowOpen);
    ApplyPendingScale();
    EnsureBackBuffer();
    if (!window->Open(parent, Width(), Height(), 1000 / kFramesPerSecond)) return false;
    window_ = std::move(window);
    idleCount_ = 0;
    // The first timer tick draws everything.
    SetAllControlsDirty();
    return true;
}

bool Graphics::HasWindow() const {
    return NativeWindowAvailable();
}

std::uintptr_t Graphics::WindowHandle() const {
    // A close put off until a wait unwinds counts as gone: the host is to let go of it now.
    if (!window_ || closeRequested_) return 0;
    return reinterpret_cast<std::uintptr_t>(window_->NativeHandle());
}

void Graphics::Idle() {
    if (IsWaitingForUser()) return;
    platform::ScopedLock lock(InstanceLock());
    if (window_ && !closeRequested_) {
        // The window reads its events here (X11): a close from inside one waits until it returns.
        ++windowEvents_;
        window_->Idle();
        --windowEvents_;
    }
    CloseIfRequested();
}

void Graphics::CloseIfRequested() {
    // Where no operation of the window is running any more: the outermost event or idle call.
    if (closeRequested_ && windowEvents_ == 0 && !IsWaitingForUser()) CloseWindow();
}

void Graphics::CloseWindow() {
    if (!window_) return;
    platform::ScopedLock lock(InstanceLock());
    if (!window_) return;
    if (IsWaitingForUser() || windowEvents_ > 0) {
        // The window is still in use: by a loop that waits for the user, which ends now as if
        // dismissed, or by the event that led here. It closes when that has returned.
        closeRequested_ = true;
        if (IsWaitingForUser()) window_->CancelWaits();
        return;
    }
    closeRequested_ = false;
    // An edit gesture cut short by closing still ends for the host; an open text entry goes with
    // the window, uncommitted.
    EndEdit();
    captured_ = -1;
    mouseOver_ = -1;
    tooltipShown_ = false;
    entryState_ = TextEntryState::None;
    entryControl_ = nullptr;
    entryParam_ = -1;
    std::unique_ptr<EditorWindow> window = std::move(window_);
    parent_ = nullptr;
    window->Close();
    // A size the host refused while the window was open is the size of the next opening.
    ApplyPendingScale();
}

void Graphics::ApplyPendingScale() {
    if (window_ || pendingScale_ == scale_) return;
    scale_ = pendingScale_;
    if (!backBuffer_.Empty()) EnsureBackBuffer();
    if (plugin_) plugin_->ResizeEditor(Width(), Height());
}

void Graphics::Resize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (!backBuffer_.Empty()) EnsureBackBuffer();
}

Control* Graphics::AttachControl(Control* control) {
    if (!control) return nullptr;
    controls_.emplace_back(control);
    return control;
}

Control* Graphics::AttachBackground(int imageId) {
    auto* background = new BitmapControl(*this, 0, 0, LoadBitmap(imageId, 1));
    controls_.emplace(controls_.begin(), background);
    // Indices of controls attached before the background moved up by one.
    if (captured_ >= 0) ++captured_;
    if (mouseOver_ >= 0) ++mouseOver_;
    return background;
}

Control* Graphics::GetControl(int index) const {
    if (index < 0 || index >= ControlCount()) return nullptr;
    return controls_[static_cast<std::size_t>(index)].get();
}

void Graphics::SetAllControlsDirty() {
    for (auto& control : controls_) control->SetDirty(false);
}

bool Graphics::CollectDirtyArea(Rect& area) {
    area = Rect();
    bool dirty = false;
    for (auto& control : controls_) {
        if (control->IsDirty()) {
            area = area.Union(control->DrawRect());
            dirty = true;
        }
    }
    if (dirty) {
        idleCount_ = 0;
        return true;
    }
    if (++idleCount_ > kQuietTicksBeforeIdle) {
        idleCount_ = 0;
        if (plugin_) plugin_->IdleTick();
    }
    return false;
}

void Graphics::DrawArea(const Rect& requested) {
    common::SlowWorkStarts(common::SlowWork::Drawing);
    EnsureBackBuffer();
    Rect area = requested.Intersection(backBuffer_.UnitBounds());
    backBuffer_.SetClip(area);
    if (strictDrawing_) {
        if (!area.Empty()) {
            // Under the background there is nothing: start from opaque black.
            backBuffer_.Clear(Color(255, 0, 0, 0));
            for (auto& control : controls_)
                if (!control->IsHidden() && control->DrawRect().Intersects(area))
                    control->Draw(backBuffer_);
        }
        for (auto& control : controls_) control->SetClean();
    } else if (!controls_.empty() && controls_.front()->IsDirty()) {
        backBuffer_.Clear(Color(255, 0, 0, 0));
        for (auto& control : controls_) {
            if (!control->IsHidden()) control->Draw(backBuffer_);
            control->SetClean();
        }
    } else {
        for (auto& dirty : controls_) {
            if (!dirty->IsDirty()) continue;
            backBuffer_.SetClip(dirty->DrawRect().Intersection(area));
            for (auto& control : controls_)
                if (!control->IsHidden() && control->DrawRect().Intersects(dirty->DrawRect()))
                    control->Draw(backBuffer_);
            dirty->SetClean();
        }
    }
    backBuffer_.ResetClip();
}

const Surface& Graphics::RenderAll() {
    platform::ScopedLock lock(InstanceLock());
    // Values the host set since: the controls show them before they are drawn.
    if (plugin_) plugin_->ShowParamsChangedWhileBusy();
    EnsureBackBuffer();
    SetAllControlsDirty();
    DrawArea(backBuffer_.UnitBounds());
    return backBuffer_;
}

void Graphics::OnTimer() {
    platform::ScopedLock lock(InstanceLock());
    if (!window_) return;
    if (plugin_) plugin_->ShowParamsChangedWhileBusy();
    if (entryState_ != TextEntryState::None) {
        switch (entryState_) {
        case TextEntryState::Editing:
            entryState_ = TextEntryState::Drawn;
            break;
        case TextEntryState::CancelRequested:
            FinishTextEntry(false);
            break;
        case TextEntryState::CommitRequested:
            FinishTextEntry(true);
            break;
        default:
            break;
        }
        if (entryState_ != TextEntryState::None) return;
    }
    Rect area;
    if (CollectDirtyArea(area) && window_) window_->Invalidate(ScaleRect(area, scale_));
}

void Graphics::OnPaint(const Rect& area) {
    if (!window_) return;
    Rect device;
    {
        // Values set from other threads (ShowParamValue) are read under the instance lock. Only
        // the drawing of the dirty area holds it; the copy to the screen does not need it.
        platform::ScopedLock lock(InstanceLock());
        if (!window_) return;
        const Rect units = UnscaleRect(area, scale_);
        DrawArea(units);
        device = ScaleRect(units, scale_).Intersection(backBuffer_.Bounds());
    }
    window_->Blit(backBuffer_, device);
}

void Graphics::ReportValue(int paramIndex, double normalized) {
    if (plugin_ && plugin_->IsValidParam(paramIndex))
        plugin_->SetParamFromEditor(paramIndex, normalized);
}

PopupMenu* Graphics::CreatePopupMenu(PopupMenu& menu, const Rect& rect) {
    if (!window_ || closeRequested_) return nullptr;
    menu.AssignIds(1);
    int id = 0;
    {
        UserWait wait(*this);
        id = window_->TrackPopupMenu(menu, ScaleCoord(rect.left, scale_),
                                     ScaleCoord(rect.bottom, scale_));
    }
    // Closed meanwhile: the menu was cancelled, whatever it answered.
    if (closeRequested_) return nullptr;
    if (window_) window_->Invalidate(Rect(0, 0, Width(), Height()));
    PopupMenu* chosen = nullptr;
    int index = -1;
    if (id <= 0 || !menu.FindItem(id, chosen, index)) return nullptr;
    chosen->SetChosenItemIndex(index);
    return chosen;
}

void Graphics::HidePointer() {
    if (window_) window_->HidePointer();
}

void Graphics::RestorePointer() {
    if (window_) window_->RestorePointer();
}

Graphics::WindowEvent::WindowEvent(Graphics& graphics)
    : graphics_(graphics), call_(graphics.plugin_) {
    ++graphics_.windowEvents_;
}

Graphics::WindowEvent::~WindowEvent() {
    if (--graphics_.windowEvents_ == 0 && graphics_.closeRequested_) {
        platform::ScopedLock lock(graphics_.InstanceLock());
        graphics_.CloseIfRequested();
    }
    // call_ ends after this: it may destroy the instance.
}

Graphics::UserWait::UserWait(Graphics& owner) : owner_(owner) {
    ++owner_.waitingForUser_;
    depth_ = owner_.InstanceLock().UnlockFully();
}

Graphics::UserWait::~UserWait() {
    owner_.InstanceLock().Relock(depth_);
    --owner_.waitingForUser_;
}

platform::UiServices& Graphics::UiForwarder::Target() {
    platform::UiServices* ui =
        owner_.window_ && !owner_.closeRequested_ ? owner_.window_->Ui() : nullptr;
    return ui ? *ui : none_;
}

// A box or dialog that the editor's close cancelled answers as none would have: the command
// that asked ends with nothing changed.
platform::MessageAnswer Graphics::UiForwarder::ShowMessage(platform::MessageKind kind,
                                                           const std::string& text,
                                                           const std::string& caption) {
    platform::MessageAnswer answer;
    {
        UserWait wait(owner_);
        answer = Target().ShowMessage(kind, text, caption);
    }
    return owner_.closeRequested_ ? none_.ShowMessage(kind, text, caption) : answer;
}

bool Graphics::UiForwarder::ChooseFile(const platform::FileDialogRequest& request,
                                       std::string& path) {
    bool chosen = false;
    {
        UserWait wait(owner_);
        chosen = Target().ChooseFile(request, path);
    }
    if (!owner_.closeRequested_) return chosen;
    path.clear();
    return false;
}

bool Graphics::UiForwarder::ChooseFolder(const std::string& title, const std::string& start,
                                         std::string& path) {
    bool chosen = false;
    {
        UserWait wait(owner_);
        chosen = Target().ChooseFolder(title, start, path);
    }
    if (!owner_.closeRequested_) return chosen;
    path.clear();
    return false;
}

bool Graphics::UiForwarder::OpenWebAddress(const std::string& address) {
    UserWait wait(owner_);
    return Target().OpenWebAddress(address);
}

bool Graphics::UiForwarder::InternetAvailable() {
    UserWait wait(owner_);
    return Target().InternetAvailable();
}

} // namespace graphics
