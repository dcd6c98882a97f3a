#pragma once
// The editor window on Windows: a child window of the host's editor frame that runs the redraw
// timer, copies the back buffer to the screen and forwards mouse and keyboard input to the
// Graphics core. Text entry, tooltip, menus and dialogs are its parts.
//
// Several editors may be open in one process, and the host may destroy the window (with its own
// frame) before it closes the editor: every use of the window handle checks that it still exists.

#include "graphics/EditorWindow.h"
#include "window/win32/Win32TextEntry.h"
#include "window/win32/Win32Tooltip.h"
#include "window/win32/Win32UiServices.h"

#include <windows.h>

namespace graphics {
class Graphics;
}

namespace platform::win32 {

class Win32EditorWindow : public graphics::EditorWindow {
public:
    explicit Win32EditorWindow(graphics::Graphics& graphics);
    ~Win32EditorWindow() override;
    Win32EditorWindow(const Win32EditorWindow&) = delete;
    Win32EditorWindow& operator=(const Win32EditorWindow&) = delete;

    bool Open(void* parent, int width, int height, int timerPeriodMs) override;
    void Close() override;
    bool Resize(int width, int height) override;
    void Invalidate(const graphics::Rect& area) override;
    void Blit(const graphics::Surface& backBuffer, const graphics::Rect& area) override;

    void TakeFocus() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    void TrackHoverAndLeave() override;

    bool OpenTextEntry(const graphics::TextEntryRequest& request) override;
    std::string TextEntryText() override { return entry_.Text(); }
    void CloseTextEntry() override { entry_.Close(); }

    void ShowTooltip(const std::string& text) override;
    void HideTooltip() override { tooltip_.Hide(); }

    int TrackPopupMenu(const graphics::PopupMenu& menu, int x, int y) override;
    // On the window's thread the menu and dialogs end at once; from another thread a message
    // asks the window's thread to end them.
    void CancelWaits() override;

    void HidePointer() override;
    void RestorePointer() override;

    UiServices* Ui() override { return &ui_; }
    // The host may have destroyed the window with its frame: only a window that still exists.
    void* NativeHandle() const override {
        return window_ && IsWindow(window_) ? static_cast<void*>(window_) : nullptr;
    }

private:
    static constexpr UINT kCancelWaitsMessage = WM_APP + 1;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window, HDC given);
    // Ends our menu and dialogs that wait, on the window's thread.
    void EndWaits();
    void WindowGone();
    bool IsOpen() const { return window_ != nullptr; }

    graphics::Graphics& graphics_;
    HWND window_ = nullptr;
    DWORD thread_ = 0; // the thread the window belongs to
    bool classAcquired_ = false;
    bool menuOpen_ = false;
    HDC paintDc_ = nullptr; // the device context of the repaint in progress
    bool pointerHidden_ = false;
    POINT pointerPosition_ = {};
    Win32TextEntry entry_;
    Win32Tooltip tooltip_;
    Win32UiServices ui_;
};

} // namespace platform::win32
