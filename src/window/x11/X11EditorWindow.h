#pragma once
// The editor window on Linux: a child of the host's window on a Display connection of its own,
// opened with the editor and closed with it. Linux hosts deliver no events to plug-ins, so the
// window reads its events and runs the redraw timer when the host calls the editor's idle
// operation (effEditIdle), from whatever thread the host uses for it. The plug-in starts no
// thread. Every X call runs inside an error trap: a failure closes the window's use of X instead
// of ending the host's process.

#include "graphics/EditorWindow.h"
#include "platform/UiServices.h"
#include "window/x11/X11DialogWindow.h"
#include "window/x11/X11Image.h"
#include "window/x11/X11TextEntry.h"
#include "window/x11/X11Tooltip.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace graphics {
class Graphics;
}

namespace platform::x11 {

class X11ErrorTrap;

class X11EditorWindow : public graphics::EditorWindow {
public:
    explicit X11EditorWindow(graphics::Graphics& graphics);
    ~X11EditorWindow() override;
    X11EditorWindow(const X11EditorWindow&) = delete;
    X11EditorWindow& operator=(const X11EditorWindow&) = delete;

    bool Open(void* parent, int width, int height, int timerPeriodMs) override;
    void Close() override;
    bool Resize(int width, int height) override;
    void Invalidate(const graphics::Rect& area) override;
    void Blit(const graphics::Surface& backBuffer, const graphics::Rect& area) override;
    void Idle() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void TrackHoverAndLeave() override { hoverWanted_ = true; }
    bool OpenTextEntry(const graphics::TextEntryRequest& request) override;
    std::string TextEntryText() override { return entry_.Text(); }
    void CloseTextEntry() override;
    void ShowTooltip(const std::string& text) override;
    void HideTooltip() override;
    int TrackPopupMenu(const graphics::PopupMenu& menu, int x, int y) override;
    // Our menus' and dialogs' loops watch the flag; it may be raised from another thread.
    void CancelWaits() override { waitsCancelled_ = true; }
    void HidePointer() override;
    void RestorePointer() override;
    platform::UiServices* Ui() override;
    void* NativeHandle() const override {
        return Usable() ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)) : nullptr;
    }

    Window Handle() const { return window_; }

private:
    using Clock = std::chrono::steady_clock;

    // Events (X11Input.cpp).
    void HandleEvent(XEvent& event);
    // Events that arrive while a menu or dialog runs its own loop: only painting and the
    // window's end are handled; input for the editor is dropped.
    void HandleEventDuringWait(XEvent& event);
    void HandleButtonPress(const XButtonEvent& event);
    void HandleButtonRelease(const XButtonEvent& event);
    void HandleMotion(XEvent& event);
    void HandleKeyPress(XKeyEvent& event);
    void HandleEntryKey(XKeyEvent& event);
    void ForwardKeyToHost(XKeyEvent& event);
    void HandleExpose(const XExposeEvent& event);
    void RunTimers();

    bool CreateWindow(X11ErrorTrap& trap);
    // What our menus and dialogs need of the editor while they wait for the user.
    WaitingEditor Waiting();
    void DrawEntry();
    void RestoreFocus();
    void FreeResources();
    bool Usable() const { return display_ && window_ && !gone_; }

    graphics::Graphics& graphics_;
    Display* display_ = nullptr;
    Window parent_ = 0;
    Window window_ = 0;
    Colormap colormap_ = 0; // ours, when the parent's visual is not the default one
    GC gc_ = nullptr;
    Cursor blankCursor_ = 0;
    X11Image image_;
    int width_ = 0, height_ = 0;
    bool gone_ = false;       // destroyed under us (the host's window went first) or X failed
    bool fullyDrawn_ = false; // the back buffer holds a complete picture
    bool grabbed_ = false;

    std::chrono::milliseconds timerPeriod_{40};
    Clock::time_point lastTimer_;

    // Pointer state for double clicks, hover and hiding.
    int pointerX_ = 0, pointerY_ = 0;
    unsigned lastClickButton_ = 0;
    Time lastClickTime_ = 0;
    int lastClickX_ = 0, lastClickY_ = 0;
    bool hoverWanted_ = false;
    bool hoverPending_ = false;
    Clock::time_point lastMotion_;
    bool pointerHidden_ = false;
    int hiddenRootX_ = 0, hiddenRootY_ = 0;

    X11TextEntry entry_;
    graphics::Surface entryPicture_;
    bool focusSaved_ = false;
    Window focusBeforeEntry_ = 0;
    int focusRevertBeforeEntry_ = RevertToParent;

    X11Tooltip tooltip_;
    std::unique_ptr<platform::UiServices> ui_;
    std::function<void(XEvent&)> forward_;
    std::atomic<bool> waitsCancelled_{false};
    int waitDepth_ = 0;
};

} // namespace platform::x11
