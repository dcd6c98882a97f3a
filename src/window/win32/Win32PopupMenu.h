#pragma once
// Pop-up menus of the editor as native menus.

#include <windows.h>

namespace graphics {
class PopupMenu;
}

namespace platform::win32 {

// Shows the menu with its top-left corner at (x, y) of the owner window's client area and waits
// for the user: the number of the chosen item (PopupMenu::AssignIds), 0 when it was dismissed.
int TrackNativePopupMenu(HWND owner, const graphics::PopupMenu& menu, int x, int y);

} // namespace platform::win32
