#pragma once
// Message boxes, file and folder dialogs and web addresses for the X11 editor window. Dialogs go
// through zenity, else kdialog, when one of them is on PATH; without both we draw small dialogs
// of our own. The asking command waits for the answer while X events keep flowing to the editor,
// and the editor's close ends the wait as a cancel.

#include <X11/Xlib.h>

#include <string>

#include "platform/UiServices.h"
#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

class X11UiServices : public platform::UiServices {
public:
    // owner: the editor window (dialogs are transient for its top-level); editor: as above.
    X11UiServices(Display* display, Window owner, WaitingEditor editor);

    MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                              const std::string& caption) override;
    bool ChooseFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseFolder(const std::string& title, const std::string& startFolder,
                      std::string& path) override;
    bool OpenWebAddress(const std::string& address) override;
    bool InternetAvailable() override;

private:
    Display* display_;
    Window owner_;
    WaitingEditor editor_;
};

} // namespace platform::x11
