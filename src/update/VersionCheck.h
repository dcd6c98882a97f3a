#pragma once
// The online version check: asks the maker's web server for the newest version number, compares
// it with this build's and tells the user in one message box, offering the download page when a
// newer version exists. The answer rules are plain functions; the request goes through a
// transport so that tests can answer it themselves.

#include "platform/HttpGet.h"
#include "platform/UiServices.h"

#include <string>

namespace update {

// The maker's web host: the one place it is written.
constexpr const char* kMakerHost = "www.tarnwellmusic.com";
constexpr const char* kVersionObject = "music/version/?file=vorn";
constexpr const char* kDownloadPath = "/music/vst.html";
constexpr const char* kAgentName = "Vorna";
constexpr const char* kProductName = "Vorna";
constexpr const char* kOwnVersionText = "1.1.1";
constexpr int kOwnVersionNumber = 1101;
constexpr const char* kCheckCaption = "Check Online for Update";

// Where the check connects. Tests point it at a server of their own on 127.0.0.1.
struct VersionServer {
    std::string host = kMakerHost;
    int port = 80;
    int timeoutSeconds = 10;
};

// Sends the request and reads the answer.
class VersionTransport {
public:
    virtual ~VersionTransport() = default;
    virtual platform::HttpGetOutcome Get(const platform::HttpGetRequest& request,
                                         std::string& body) = 0;
};

// The OS's blocking HTTP GET.
class PlatformTransport : public VersionTransport {
public:
    platform::HttpGetOutcome Get(const platform::HttpGetRequest& request,
                                 std::string& body) override {
        return platform::HttpGet(request, body);
    }
};

enum class Verdict { ContactFailed, InvalidCall, UpToDate, NewVersion };

// What an answer means: nothing (or no connection) is a contact failure; an answer that went on
// past the size limit or holds a "<" anywhere (an HTML page) is an invalid call; a leading number
// up to 1101 (or none) is up to date; a larger one is a new version.
Verdict JudgeAnswer(platform::HttpGetOutcome outcome, const std::string& answer);

// The version text built from the answer's characters: 1102 gives "1.1.2", 1110 "1.1.10".
std::string NewVersionText(const std::string& answer);

// The texts the user sees.
std::string ContactFailedMessage(const VersionServer& server);
std::string InvalidCallMessage(const VersionServer& server);
std::string NewVersionCaption();
std::string NewVersionQuestion(const VersionServer& server, const std::string& newVersionText);
// "http://" and the host (and the port when it is not 80), without a path or closing slash.
std::string MakerWebAddress(const VersionServer& server);
std::string DownloadPageAddress(const VersionServer& server);

// Runs the whole check: request, answer, exactly one message box (plus the browser when the user
// does not decline the new version). No lock is held: the caller must not hold the instance
// mutex either, as the request and the message box may wait a long time.
void CheckForUpdate(platform::UiServices& ui, VersionTransport& transport,
                    const VersionServer& server);
// With the OS transport and the configured server.
void CheckForUpdate(platform::UiServices& ui);

// The server the check above connects to: the maker's, unless a test points it elsewhere.
VersionServer& ConfiguredVersionServer();

// Opens address in the user's browser when the system reports a network connection; shows
// nothing either way.
void OpenWebAddress(platform::UiServices& ui, const std::string& address);

} // namespace update
