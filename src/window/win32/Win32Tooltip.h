#pragma once
// The editor's tooltip: a topmost tooltip window owned by the editor window, with one tool that
// covers the whole editor window. It is shown at the pointer when the editor asks (the pointer
// rests on a control with a tooltip text) and hidden when the editor asks.

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace platform::win32 {

class Win32Tooltip {
public:
    Win32Tooltip() = default;
    ~Win32Tooltip() { Destroy(); }
    Win32Tooltip(const Win32Tooltip&) = delete;
    Win32Tooltip& operator=(const Win32Tooltip&) = delete;

    // Creates the tooltip window for the editor window; false when it cannot be created.
    bool Create(HWND editor);
    void Show(const std::string& text);
    void Hide();
    void Destroy();
    // The editor window is being destroyed, and with it the tooltip window it owns.
    void Forget() { tip_ = nullptr; }
    HWND Handle() const { return tip_; }

private:
    void FillTool(TTTOOLINFOW& tool) const;

    HWND tip_ = nullptr;
    HWND editor_ = nullptr;
    std::wstring text_;
};

} // namespace platform::win32
