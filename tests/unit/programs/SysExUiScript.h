#pragma once
// Scripted answers for the commands' dialogs and message boxes, recording what was shown.

#include "platform/UiServices.h"

#include <deque>
#include <string>
#include <vector>

namespace sysextest {

struct ShownMessage {
    platform::MessageKind kind;
    std::string text;
    std::string caption;
};

class ScriptedUi : public platform::UiServices {
public:
    platform::MessageAnswer ShowMessage(platform::MessageKind kind, const std::string& text,
                                        const std::string& caption) override {
        messages.push_back(ShownMessage{kind, text, caption});
        if (kind != platform::MessageKind::Question) return platform::MessageAnswer::Ok;
        return answerYes ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
    }
    bool ChooseFile(const platform::FileDialogRequest& request, std::string& path) override {
        requests.push_back(request);
        if (chosenPaths.empty()) return false; // cancelled
        path = chosenPaths.front();
        chosenPaths.pop_front();
        return true;
    }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    bool OpenWebAddress(const std::string&) override { return false; }
    bool InternetAvailable() override { return false; }

    bool answerYes = true;
    std::deque<std::string> chosenPaths;
    std::vector<ShownMessage> messages;
    std::vector<platform::FileDialogRequest> requests;
};

} // namespace sysextest
