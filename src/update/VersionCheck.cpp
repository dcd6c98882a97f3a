#include "update/VersionCheck.h"

#include "common/LeadingInteger.h"
#include "common/NumberText.h"

#include <exception>

namespace update {

using platform::MessageAnswer;
using platform::MessageKind;

Verdict JudgeAnswer(platform::HttpGetOutcome outcome, const std::string& answer) {
    if (outcome == platform::HttpGetOutcome::TooLarge) return Verdict::InvalidCall;
    if (outcome == platform::HttpGetOutcome::Failed || answer.empty())
        return Verdict::ContactFailed;
    if (answer.find('<') != std::string::npos) return Verdict::InvalidCall;
    // The text ends at a zero byte, as a C string would.
    return common::ParseLeadingInt(answer.c_str()) <= kOwnVersionNumber ? Verdict::UpToDate
                                                                        : Verdict::NewVersion;
}

std::string NewVersionText(const std::string& answer) {
    std::string text;
    if (!answer.empty()) text += answer[0];
    text += ".";
    if (answer.size() > 1) text += answer[1];
    text += ".";
    std::size_t rest = answer.size() > 2 && answer[2] == '0' ? 3 : 2;
    if (answer.size() > rest) text += answer.substr(rest);
    return text;
}

std::string ContactFailedMessage(const VersionServer& server) {
    return "An error occurred while contacting " + server.host + ".";
}

std::string InvalidCallMessage(const VersionServer& server) {
    return "Invalid call to " + server.host + ".";
}

std::string NewVersionCaption() {
    return std::string("New Version of ") + kProductName + " Detected";
}

std::string MakerWebAddress(const VersionServer& server) {
    std::string address = "http://" + server.host;
    if (server.port != 80) address += ":" + common::FormatInt(server.port);
    return address;
}

std::string DownloadPageAddress(const VersionServer& server) {
    return MakerWebAddress(server) + kDownloadPath;
}

std::string NewVersionQuestion(const VersionServer& server, const std::string& newVersionText) {
    std::string text = "A new version of ";
    text += kProductName;
    text += " is available.\n\n";
    text += "\tYour version: \t";
    text += kOwnVersionText;
    text += "\n";
    text += "\tNew version: \t";
    text += newVersionText;
    text += "\n";
    text += "\nDo you want to go to " + MakerWebAddress(server) + " to get the new version?";
    return text;
}

void CheckForUpdate(platform::UiServices& ui, VersionTransport& transport,
                    const VersionServer& server) {
    std::string message;
    try {
        platform::HttpGetRequest request;
        request.host = server.host;
        request.port = server.port;
        request.object = kVersionObject;
        request.agent = kAgentName;
        request.timeoutSeconds = server.timeoutSeconds;
        std::string answer;
        platform::HttpGetOutcome outcome = transport.Get(request, answer);
        switch (JudgeAnswer(outcome, answer)) {
        case Verdict::ContactFailed:
            message = ContactFailedMessage(server);
            break;
        case Verdict::InvalidCall:
            ui.ShowMessage(MessageKind::Error, InvalidCallMessage(server), kCheckCaption);
            return;
        case Verdict::UpToDate:
            ui.ShowMessage(MessageKind::Information, "Your version is up to date.", kCheckCaption);
            return;
        case Verdict::NewVersion: {
            std::string question = NewVersionQuestion(server, NewVersionText(answer));
            if (ui.ShowMessage(MessageKind::Question, question, NewVersionCaption()) !=
                MessageAnswer::No)
                OpenWebAddress(ui, DownloadPageAddress(server));
            return;
        }
        }
    } catch (const std::exception&) {
        message = ContactFailedMessage(server);
    }
    ui.ShowMessage(MessageKind::Error, message, kCheckCaption);
}

void CheckForUpdate(platform::UiServices& ui) {
    PlatformTransport transport;
    CheckForUpdate(ui, transport, ConfiguredVersionServer());
}

VersionServer& ConfiguredVersionServer() {
    static VersionServer server;
    return server;
}

void OpenWebAddress(platform::UiServices& ui, const std::string& address) {
    if (ui.InternetAvailable()) ui.OpenWebAddress(address);
}

} // namespace update
