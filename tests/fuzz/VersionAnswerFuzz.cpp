// The version check's answer handling: any body gives exactly one message box (the question may
// be followed by opening the download page) and never a crash, also for bodies with zero bytes.

#include "FuzzSupport.h"
#include "update/VersionCheck.h"

#include <string>

namespace {

class Transport : public update::VersionTransport {
public:
    explicit Transport(std::string body) : body_(std::move(body)) {}
    platform::HttpGetOutcome Get(const platform::HttpGetRequest&, std::string& body) override {
        body = body_;
        return platform::HttpGetOutcome::Body;
    }

private:
    std::string body_;
};

class CountingUi : public platform::NoUiServices {
public:
    platform::MessageAnswer ShowMessage(platform::MessageKind, const std::string&,
                                        const std::string&) override {
        ++messages;
        return platform::MessageAnswer::Yes;
    }
    bool OpenWebAddress(const std::string&) override { return ++opened, true; }
    bool InternetAvailable() override { return true; }
    int messages = 0;
    int opened = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    update::Verdict verdict = update::JudgeAnswer(platform::HttpGetOutcome::Body, body);
    if (verdict == update::Verdict::NewVersion)
        fuzz::Require(update::NewVersionText(body).size() + 2 >= body.size(),
                      "text keeps the tail");
    CountingUi ui;
    Transport transport(body);
    update::CheckForUpdate(ui, transport, update::VersionServer());
    fuzz::Require(ui.messages == 1, "exactly one message box");
    fuzz::Require(ui.opened == (verdict == update::Verdict::NewVersion ? 1 : 0),
                  "the page opens only for a new version the user accepted");
    return 0;
}
