#include "window/win32/Win32TextEntry.h"

#include "graphics/Graphics.h"
#include "graphics/Scale.h"
#include "platform/Module.h"
#include "platform/win32/WideText.h"

#include <commctrl.h>

#include <vector>

namespace platform::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kBoxControlId = 1;

COLORREF ColourOf(const graphics::Color& color) {
    return RGB(color.r, color.g, color.b);
}

DWORD AlignmentStyle(graphics::TextAlign align) {
    switch (align) {
    case graphics::TextAlign::Center:
        return ES_CENTER;
    case graphics::TextAlign::Right:
        return ES_RIGHT;
    default:
        return ES_LEFT;
    }
}

// The clipboard's text, empty when it holds none or cannot be opened.
std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Read no further than the memory block holds, terminated or not.
            std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
            std::size_t length = 0;
            while (length < limit && chars[length] != L'\0') ++length;
            text.assign(chars, length);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

bool Win32TextEntry::Open(HWND editor, const graphics::TextEntryRequest& request) {
    if (box_ || !editor || !IsWindow(editor)) return false;
    std::wstring text;
    if (!Widen(request.text, text)) text.clear();
    const graphics::Rect& rect = request.rect;
    box_ = CreateWindowExW(0, L"EDIT", text.c_str(),
                           WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL |
                               AlignmentStyle(request.style.align),
                           rect.left, rect.top, rect.Width(), rect.Height(), editor,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBoxControlId)),
                           static_cast<HINSTANCE>(ModuleHandle()), nullptr);
    if (!box_) return false;
    std::wstring face;
    if (!Widen(request.style.font, face) || face.size() >= LF_FACESIZE) face = L"Arial";
    // A negative height asks for the character height, which is the style's pixels per em, at
    // the editor's scale.
    const int scale = graphics::IsOfferedScale(request.scale) ? request.scale : 100;
    font_ =
        CreateFontW(-graphics::ScaleLength(request.style.size, scale), 0, 0, 0, FW_NORMAL, FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (font_) SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    textColour_ = ColourOf(request.style.entryText);
    backColour_ = ColourOf(request.style.entryBackground);
    brush_ = CreateSolidBrush(backColour_);
    // No given length leaves the control's own limit.
    if (request.maxLength > 0) SendMessageW(box_, EM_SETLIMITTEXT, request.maxLength, 0);
    SetWindowSubclass(box_, &Win32TextEntry::BoxProc, kSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(box_, EM_SETSEL, 0, -1);
    SetFocus(box_);
    return true;
}

std::string Win32TextEntry::Text() const {
    if (!box_) return std::string();
    int length = GetWindowTextLengthW(box_);
    if (length <= 0) return std::string();
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(box_, text.data(), length + 1);
    return Narrow(text.data());
}

void Win32TextEntry::Close() {
    if (box_) {
        HWND box = box_;
        // Closing is not a loss of focus the user caused: nothing more goes to the editor core.
        RemoveWindowSubclass(box, &Win32TextEntry::BoxProc, kSubclassId);
        HWND editor = GetParent(box);
        if (GetFocus() == box && editor) SetFocus(editor);
        box_ = nullptr;
        DestroyWindow(box);
    }
    FreeResources();
}

void Win32TextEntry::Forget() {
    box_ = nullptr;
    FreeResources();
}

void Win32TextEntry::FreeResources() {
    if (font_) DeleteObject(font_);
    if (brush_) DeleteObject(brush_);
    font_ = nullptr;
    brush_ = nullptr;
}

HBRUSH Win32TextEntry::Colours(HWND control, HDC dc) const {
    if (!box_ || control != box_) return nullptr;
    SetTextColor(dc, textColour_);
    SetBkColor(dc, backColour_);
    SetBkMode(dc, OPAQUE);
    return brush_ ? brush_ : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

LRESULT CALLBACK Win32TextEntry::BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<Win32TextEntry*>(self)->Handle(box, message, wParam, lParam);
}

LRESULT Win32TextEntry::Handle(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Enter and Escape belong to the box, not to a dialog the host may have put us in.
        return DefSubclassProc(box, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            graphics_.OnTextEntryCommit();
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            graphics_.OnTextEntryCancel();
            return 0;
        }
        break;
    case WM_CHAR:
        // The characters of Enter and Escape were handled as keys; the box would only beep.
        if (wParam == L'\r' || wParam == L'\n' || wParam == 27) return 0;
        if (!graphics_.TextEntryAccepts(static_cast<unsigned>(wParam))) return 0;
        break;
    case WM_PASTE:
        PasteFiltered(box);
        return 0;
    case WM_KILLFOCUS:
        graphics_.OnTextEntryCommit();
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, &Win32TextEntry::BoxProc, kSubclassId);
        if (box == box_) box_ = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

void Win32TextEntry::PasteFiltered(HWND box) {
    // Pasted text passes the same filter as typed characters; line breaks and other control
    // characters have no place in a one-line box. The box's length limit cuts the rest.
    std::wstring pasted = ClipboardText(box);
    std::wstring kept;
    for (wchar_t c : pasted) {
        if (c >= 32 && c != 127 && graphics_.TextEntryAccepts(static_cast<unsigned>(c)))
            kept.push_back(c);
    }
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
}

} // namespace platform::win32
