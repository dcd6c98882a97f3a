#pragma once
// Message boxes, file and folder dialogs and web addresses while a Win32 editor window is open.
// Every box and dialog is owned by the host's top-level window (the topmost ancestor of the editor
// window), so that it stays in front of the host and the host waits for it.

#include "platform/UiServices.h"

#include <windows.h>

#include <string>

namespace platform::win32 {

class Win32UiServices : public UiServices {
public:
    // The editor window whose top-level window owns what is shown; its class name is remembered
    // for when the editor window is gone.
    void Attach(HWND editor);
    void Detach() { editor_ = nullptr; }

    MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                              const std::string& caption) override;
    bool ChooseFile(const FileDialogRequest& request, std::string& path) override;
    bool ChooseFolder(const std::string& title, const std::string& startFolder,
                      std::string& path) override;
    bool OpenWebAddress(const std::string& address) override;
    bool InternetAvailable() override;

    // Ends the box or dialog being shown, and any box it opened in turn, as if cancelled: a file
    // or folder dialog gives no name and a question is not confirmed. On the thread showing it.
    // (A box shown without an owner window is not found.)
    void CancelDialogs();

private:
    // The owner for a box or dialog: the editor's top-level window while the editor window
    // exists, else a top-level window of this process with the remembered class name, else none.
    HWND Owner() const;
    // A modal loop takes the mouse: a capture our window kept from the button-down is let go.
    void ReleaseEditorCapture() const;

    HWND editor_ = nullptr;
    std::wstring ownerClass_;
    HWND dialogOwner_ = nullptr; // the owner of the box or dialog being shown
};

} // namespace platform::win32
