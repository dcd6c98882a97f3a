#pragma once
// A user interface that records every message box and dialog and answers them from a script:
// Yes/No for questions, a path or a cancel for file dialogs.

#include "platform/UiServices.h"

#include <deque>
#include <string>
#include <vector>

struct ShownMessage {
    platform::MessageKind kind;
    std::string text;
    std::string caption;
};

class ScriptedUi : public platform::UiServices {
public:
    platform::MessageAnswer ShowMessage(platform::MessageKind kind, const std::string& text,
                                        const std::string& caption) override {
        messages.push_back({kind, text, caption});
        if (kind != platform::MessageKind::Question) return platform::MessageAnswer::Ok;
        if (answers.empty()) return platform::MessageAnswer::No;
        platform::MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool ChooseFile(const platform::FileDialogRequest& request, std::string& path) override {
        dialogs.push_back(request);
        if (paths.empty()) return false;
        path = paths.front();
        paths.pop_front();
        return !path.empty(); // an empty scripted path is a cancel
    }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    bool OpenWebAddress(const std::string& address) override {
        opened.push_back(address);
        return true;
    }
    bool InternetAvailable() override { return online; }

    std::deque<platform::MessageAnswer> answers; // for questions, in order; No when none left
    std::deque<std::string> paths;               // for file dialogs; "" cancels
    bool online = true;

    std::vector<ShownMessage> messages;
    std::vector<platform::FileDialogRequest> dialogs;
    std::vector<std::string> opened;
};
