#include "window/win32/Win32PopupMenu.h"

#include "graphics/PopupMenu.h"
#include "platform/win32/WideText.h"

#include <string>

namespace platform::win32 {

namespace {

using graphics::PopupMenu;

// An item text as the menu shows it: "&" would mark the next letter as the item's key (and
// vanish), so a program name "Bass & Lead" is doubled to show as written.
std::wstring MenuText(const std::string& label) {
    std::wstring wide;
    if (!Widen(label, wide)) wide = L"?";
    std::wstring shown;
    for (wchar_t c : wide) {
        shown.push_back(c);
        if (c == L'&') shown.push_back(L'&');
    }
    return shown;
}

// Builds the native menu of one level; submenus become pop-up entries built the same way.
HMENU Build(const PopupMenu& menu) {
    HMENU native = CreatePopupMenu();
    if (!native) return nullptr;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        const PopupMenu::Item& item = menu.ItemAt(i);
        if (item.flags & PopupMenu::kSeparator) {
            AppendMenuW(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (item.flags & PopupMenu::kDisabled) flags |= MF_GRAYED;
        if (item.flags & PopupMenu::kChecked) flags |= MF_CHECKED;
        const std::wstring text = MenuText(menu.Label(i));
        if (item.submenu) {
            HMENU sub = Build(*item.submenu);
            if (!sub) continue;
            if (!AppendMenuW(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                             text.c_str()))
                DestroyMenu(sub);
            continue;
        }
        AppendMenuW(native, flags, static_cast<UINT_PTR>(item.id), text.c_str());
    }
    return native;
}

} // namespace

int TrackNativePopupMenu(HWND owner, const PopupMenu& menu, int x, int y) {
    if (!owner || !IsWindow(owner)) return 0;
    HMENU native = Build(menu);
    if (!native) return 0;
    POINT corner = {x, y};
    ClientToScreen(owner, &corner);
    // The menu takes the mouse itself; a capture kept from the button-down would steal its clicks.
    if (GetCapture() == owner) ReleaseCapture();
    int chosen = static_cast<int>(TrackPopupMenuEx(
        native, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
        corner.x, corner.y, owner, nullptr));
    // Destroys the submenus with it.
    DestroyMenu(native);
    return chosen > 0 ? chosen : 0;
}

} // namespace platform::win32
