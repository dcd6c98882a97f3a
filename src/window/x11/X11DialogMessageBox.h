#pragma once
// The message box we draw ourselves: the text (wrapped) above OK, or Yes and No for a question.

#include <X11/Xlib.h>

#include <functional>
#include <string>

#include "platform/UiServices.h"

namespace platform::x11 {

// Enter answers with the focused button (OK or Yes at first), Escape and the close button with
// OK or No; Y and N answer a question. False (answer untouched) when the box cannot be shown.
bool ShowDrawnMessageBox(Display* display, Window owner, MessageKind kind, const std::string& text,
                         const std::string& caption, const std::function<void(XEvent&)>& forward,
                         MessageAnswer& answer);

} // namespace platform::x11
