#pragma once
// The message box we draw ourselves: the text (wrapped) above OK, or Yes and No for a question.

#include <X11/Xlib.h>

#include <string>

#include "platform/UiServices.h"
#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

// Enter answers with the focused button (OK or Yes at first), Escape and the close button with
// OK or No; Y and N answer a question. False (answer untouched) when the box cannot be shown or
// the editor's close ended it.
bool ShowDrawnMessageBox(Display* display, Window owner, MessageKind kind, const std::string& text,
                         const std::string& caption, const WaitingEditor& editor,
                         MessageAnswer& answer);

} // namespace platform::x11
