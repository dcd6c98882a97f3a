#pragma once
// What the program and file commands need of the user interface: message boxes, file and folder
// dialogs, opening a web address. The OS editor window implements it while it is open; tests
// implement it with scripted answers. Without an open editor `NoUiServices` answers: dialogs give
// no name and questions are not confirmed, so a command ends with nothing changed.

#include <string>

namespace platform {

enum class MessageKind { Information, Error, Question };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest {
    bool save = false;         // save dialog (asks before replacing) or open dialog (existing files)
    std::string extension;     // one extension without the dot, e.g. "fxp"
    std::string defaultName;   // may be empty
    std::string startFolder;   // empty: the user's desktop folder
};

class UiServices {
public:
    virtual ~UiServices() = default;

    // An information or error box has an OK button; a question has Yes and No.
    virtual MessageAnswer ShowMessage(MessageKind kind, const std::string& text,
                                      const std::string& caption) = 0;
    // False when cancelled or when no dialog can be shown; otherwise path is the chosen file.
    virtual bool ChooseFile(const FileDialogRequest& request, std::string& path) = 0;
    // False when cancelled; otherwise path is the chosen folder.
    virtual bool ChooseFolder(const std::string& title, const std::string& startFolder,
                              std::string& path) = 0;
    virtual bool OpenWebAddress(const std::string& address) = 0;
    virtual bool InternetAvailable() = 0;
};

class NoUiServices : public UiServices {
public:
    MessageAnswer ShowMessage(MessageKind kind, const std::string&, const std::string&) override {
        return kind == MessageKind::Question ? MessageAnswer::No : MessageAnswer::Ok;
    }
    bool ChooseFile(const FileDialogRequest&, std::string&) override { return false; }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    bool OpenWebAddress(const std::string&) override { return false; }
    bool InternetAvailable() override { return false; }
};

} // namespace platform
