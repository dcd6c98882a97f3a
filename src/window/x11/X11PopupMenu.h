#pragma once
// Pop-up menus drawn by us in an override-redirect window, with submenus, check marks, disabled
// items and separators, driven by mouse and keyboard in a modal loop of their own.

// Before Xlib: its None macro would otherwise replace an enumerator of the menu model.
#include "graphics/PopupMenu.h"

#include <X11/Xlib.h>

#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

// Shows the menu with its top-left at root coordinates (x, y), grabs pointer and keyboard and
// runs its own event loop on `display` until an item is chosen or the menu dismissed, by the user
// or by the editor's close. Events for other windows that arrive meanwhile go to the editor, so
// that it keeps repainting on Expose. Returns the chosen item's id (PopupMenu::AssignIds
// numbering) or 0.
int TrackPopupMenu(Display* display, Window owner, const graphics::PopupMenu& menu, int x, int y,
                   const WaitingEditor& editor);

} // namespace platform::x11
