#pragma once
// Message boxes, file and folder dialogs and web addresses for the X11 editor window. Dialogs go
// through zenity, else kdialog, when one of them is on PATH; without both we draw small dialogs
// of our own. The asking command waits for the answer while X events keep flowing to `forward`.

#include <X11/Xlib.h>

#include <functional>
#include <string>

#include "platform/UiServices.h"

namespace platform::x11 {

class X11UiServices : public platform::UiServices {
public:
    // owner: the editor window (dialogs are transient for its top-level); forward: as above.
    X11UiServices(Display* display, Window owner, std::function<void(XEvent&)> forward);

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
    std::function<void(XEvent&)> forward_;
};

} // namespace platform::x11
