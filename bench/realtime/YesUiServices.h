#pragma once
// The user interface the file workloads hand the instrument: every question is answered Yes (a
// bank SysEx load asks before it replaces a bank), no dialog gives a name, and the messages are
// counted so that a refused file shows up as a failed workload, not as a fast one.

#include "platform/UiServices.h"

#include <string>

namespace realtime {

class YesUiServices : public platform::UiServices {
public:
    platform::MessageAnswer ShowMessage(platform::MessageKind kind, const std::string& text,
                                        const std::string&) override {
        if (kind == platform::MessageKind::Error) lastError = text;
        return kind == platform::MessageKind::Question ? platform::MessageAnswer::Yes
                                                       : platform::MessageAnswer::Ok;
    }
    bool ChooseFile(const platform::FileDialogRequest&, std::string&) override { return false; }
    bool ChooseFolder(const std::string&, const std::string&, std::string&) override {
        return false;
    }
    bool OpenWebAddress(const std::string&) override { return false; }
    bool InternetAvailable() override { return false; }

    std::string lastError; // the text of the last error box, empty when none was shown
};

} // namespace realtime
