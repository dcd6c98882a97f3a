#include "update/VersionCheck.h"
#include "ScriptedUi.h"
#include "platform/LoopbackHttpServer.h"

#include <gtest/gtest.h>

using platform::HttpGetOutcome;
using platform::MessageAnswer;
using platform::MessageKind;

namespace {

// Answers the request with a fixed outcome and body, and keeps the request it was given.
class FakeTransport : public update::VersionTransport {
public:
    FakeTransport(HttpGetOutcome outcome, std::string body) : outcome_(outcome), body_(body) {}
    HttpGetOutcome Get(const platform::HttpGetRequest& request, std::string& body) override {
        last = request;
        body = body_;
        return outcome_;
    }
    platform::HttpGetRequest last;

private:
    HttpGetOutcome outcome_;
    std::string body_;
};

const update::VersionServer kServer; // the maker's

ScriptedUi Check(HttpGetOutcome outcome, const std::string& body,
                 MessageAnswer answer = MessageAnswer::Yes, bool online = true) {
    ScriptedUi ui;
    ui.answers.push_back(answer);
    ui.online = online;
    FakeTransport transport(outcome, body);
    update::CheckForUpdate(ui, transport, kServer);
    return ui;
}

void ExpectOneMessage(const ScriptedUi& ui, MessageKind kind, const std::string& text) {
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, kind);
    EXPECT_EQ(ui.messages[0].text, text);
    EXPECT_EQ(ui.messages[0].caption, "Check Online for Update");
    EXPECT_TRUE(ui.opened.empty());
}

} // namespace

TEST(VersionCheck, SendsTheFixedRequest) {
    ScriptedUi ui;
    FakeTransport transport(HttpGetOutcome::Body, "1101");
    update::CheckForUpdate(ui, transport, kServer);
    EXPECT_EQ(transport.last.host, "www.tarnwellmusic.com");
    EXPECT_EQ(transport.last.port, 80);
    EXPECT_EQ(transport.last.object, "music/version/?file=vorn");
    EXPECT_EQ(transport.last.agent, "Vorna");
    EXPECT_EQ(transport.last.timeoutSeconds, 10);
    EXPECT_EQ(transport.last.maxBodyBytes, 65536u);
}

TEST(VersionCheck, AnswersUpToTheOwnVersionAreUpToDate) {
    for (const char* body : {"1101", "1100", "abc", "0", "-5000", " 1101\r\n", "\n"})
        ExpectOneMessage(Check(HttpGetOutcome::Body, body), MessageKind::Information,
                         "Your version is up to date.");
}

TEST(VersionCheck, EmptyOrFailedAnswersAreContactErrors) {
    std::string text = "An error occurred while contacting www.tarnwellmusic.com.";
    ExpectOneMessage(Check(HttpGetOutcome::Body, ""), MessageKind::Error, text);
    ExpectOneMessage(Check(HttpGetOutcome::Failed, ""), MessageKind::Error, text);
    // A transport that failed part-way counts as no answer, whatever it had read.
    ExpectOneMessage(Check(HttpGetOutcome::Failed, "1102"), MessageKind::Error, text);
}

TEST(VersionCheck, HtmlPagesAndHugeAnswersAreInvalidCalls) {
    std::string text = "Invalid call to www.tarnwellmusic.com.";
    ExpectOneMessage(Check(HttpGetOutcome::Body, "<html><body>404 Not Found 2000</body></html>"),
                     MessageKind::Error, text);
    ExpectOneMessage(Check(HttpGetOutcome::Body, "9999 <"), MessageKind::Error, text);
    ExpectOneMessage(Check(HttpGetOutcome::TooLarge, std::string(65536, '1')), MessageKind::Error,
                     text);
}

TEST(VersionCheck, NewerVersionsAskWithTheExactQuestion) {
    ScriptedUi ui = Check(HttpGetOutcome::Body, "1102", MessageAnswer::No);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Question);
    EXPECT_EQ(ui.messages[0].caption, "New Version of Vorna Detected");
    EXPECT_EQ(ui.messages[0].text,
              "A new version of Vorna is available.\n\n\tYour version: \t1.1.1\n\tNew version: "
              "\t1.1.2\n\nDo you want to go to http://www.tarnwellmusic.com to get the new "
              "version?");
    EXPECT_TRUE(ui.opened.empty()); // No opens nothing
}

TEST(VersionCheck, VersionTextsAreBuiltFromTheAnswersCharacters) {
    EXPECT_EQ(update::NewVersionText("1102"), "1.1.2");
    EXPECT_EQ(update::NewVersionText("1110"), "1.1.10");
    EXPECT_EQ(update::NewVersionText("2000"), "2.0.0");
    EXPECT_EQ(update::NewVersionText("1203"), "1.2.3");
    EXPECT_EQ(update::NewVersionText("1102\n"), "1.1.2\n"); // trailing characters stay
    EXPECT_EQ(update::NewVersionText("1"), "1..");          // never reads past the end
    ScriptedUi ui = Check(HttpGetOutcome::Body, "1110");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("\tNew version: \t1.1.10\n"), std::string::npos);
    ui = Check(HttpGetOutcome::Body, "2000abc");
    EXPECT_NE(ui.messages[0].text.find("\tNew version: \t2.0.0abc\n"), std::string::npos);
}

TEST(VersionCheck, YesOpensTheDownloadPageOnlyWhenOnline) {
    ScriptedUi ui = Check(HttpGetOutcome::Body, "2000", MessageAnswer::Yes);
    EXPECT_EQ(ui.opened, std::vector<std::string>{"http://www.tarnwellmusic.com/music/vst.html"});
    ui = Check(HttpGetOutcome::Body, "2000", MessageAnswer::Yes, false);
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_EQ(ui.messages.size(), 1u); // and nothing else is shown
}

TEST(VersionCheck, ATransportThatThrowsEndsAsAContactError) {
    class Throwing : public update::VersionTransport {
        HttpGetOutcome Get(const platform::HttpGetRequest&, std::string&) override {
            throw std::bad_alloc();
        }
    } transport;
    ScriptedUi ui;
    update::CheckForUpdate(ui, transport, kServer);
    ExpectOneMessage(ui, MessageKind::Error,
                     "An error occurred while contacting www.tarnwellmusic.com.");
}

// The real transport against a server of the test's own.
namespace {

update::VersionServer Local(int port) {
    update::VersionServer server;
    server.host = "127.0.0.1";
    server.port = port;
    server.timeoutSeconds = 2;
    return server;
}

ScriptedUi CheckLocal(const update::VersionServer& server) {
    ScriptedUi ui;
    ui.answers.push_back(MessageAnswer::No);
    update::PlatformTransport transport;
    update::CheckForUpdate(ui, transport, server);
    return ui;
}

std::string Response(const std::string& status, const std::string& body) {
    return "HTTP/1.0 " + status +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

TEST(VersionCheckOverHttp, AnswersFromALocalServer) {
    platform::LoopbackHttpServer server;
    ASSERT_TRUE(server.Start(Response("200 OK", "1102")));
    ScriptedUi ui = CheckLocal(Local(server.Port()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Question);
    EXPECT_NE(ui.messages[0].text.find("\t1.1.2\n"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("http://127.0.0.1:" + std::to_string(server.Port())),
              std::string::npos);
    std::string request = server.LastRequest();
    EXPECT_EQ(request.rfind("GET /music/version/?file=vorn HTTP/1.", 0), 0u) << request;
    EXPECT_NE(request.find("User-Agent: Vorna\r\n"), std::string::npos) << request;

    ASSERT_TRUE(server.Start(Response("200 OK", "1101")));
    ui = CheckLocal(Local(server.Port()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Your version is up to date.");

    ASSERT_TRUE(server.Start(Response("404 Not Found", "<html>404</html>")));
    ui = CheckLocal(Local(server.Port()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Invalid call to 127.0.0.1.");

    ASSERT_TRUE(server.Start(Response("200 OK", "")));
    ui = CheckLocal(Local(server.Port()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "An error occurred while contacting 127.0.0.1.");
}

TEST(VersionCheckOverHttp, ARefusedConnectionIsAContactError) {
    ScriptedUi ui = CheckLocal(Local(platform::LoopbackHttpServer::UnusedPort()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "An error occurred while contacting 127.0.0.1.");
}

TEST(VersionCheckOverHttp, ASilentServerEndsWithTheTimeLimit) {
    platform::LoopbackHttpServer server;
    ASSERT_TRUE(server.Start("", platform::LoopbackHttpServer::Mode::Silent));
    ScriptedUi ui = CheckLocal(Local(server.Port()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "An error occurred while contacting 127.0.0.1.");
}

TEST(VersionCheckOverHttp, AnEndlessAnswerIsNotReadToItsEnd) {
    platform::LoopbackHttpServer server;
    std::string huge(300000, '7');
    ASSERT_TRUE(server.Start("HTTP/1.0 200 OK\r\nConnection: close\r\n\r\n" + huge));
    ScriptedUi ui = CheckLocal(Local(server.Port()));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Invalid call to 127.0.0.1.");
}
