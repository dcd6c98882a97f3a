#include "window/win32/Win32Tooltip.h"

#include "platform/Module.h"
#include "platform/win32/WideText.h"

#include <commctrl.h>

namespace platform::win32 {

namespace {

// Wide enough for the longest tooltip text on one line; longer ones wrap.
constexpr int kMaxTipWidth = 480;
// Below the pointer, clear of the arrow.
constexpr int kOffsetBelowPointer = 20;

} // namespace

void Win32Tooltip::FillTool(TTTOOLINFOW& tool) const {
    tool = TTTOOLINFOW();
    // The size without the trailing reserved field, which the common controls of hosts without
    // a manifest refuse.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    // The tool is the editor window itself, so it covers all of it; shown and placed on request.
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = editor_;
    tool.uId = reinterpret_cast<UINT_PTR>(editor_);
    tool.hinst = static_cast<HINSTANCE>(ModuleHandle());
    tool.lpszText = const_cast<wchar_t*>(text_.c_str());
}

bool Win32Tooltip::Create(HWND editor) {
    if (tip_) return true;
    if (!editor || !IsWindow(editor)) return false;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, editor, nullptr,
                           static_cast<HINSTANCE>(ModuleHandle()), nullptr);
    if (!tip_) return false;
    editor_ = editor;
    text_.clear();
    TTTOOLINFOW tool;
    FillTool(tool);
    if (!SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        Destroy();
        return false;
    }
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    return true;
}

void Win32Tooltip::Show(const std::string& text) {
    if (!tip_) return;
    if (!Widen(text, text_)) text_.clear();
    TTTOOLINFOW tool;
    FillTool(tool);
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT pointer = {};
    GetCursorPos(&pointer);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0,
                 MAKELPARAM(pointer.x, pointer.y + kOffsetBelowPointer));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void Win32Tooltip::Hide() {
    if (!tip_) return;
    TTTOOLINFOW tool;
    FillTool(tool);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void Win32Tooltip::Destroy() {
    if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
    tip_ = nullptr;
}

} // namespace platform::win32
