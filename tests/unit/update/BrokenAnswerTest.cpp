// Regression: when the server sent part of its answer and the connection then failed, the Linux
// transport threw away what it had read and reported a contact error, while the Windows one kept
// the bytes and judged them. Both keep what was read now; these run against each OS's own
// transport (the Windows one in the Windows builds).

#include "ScriptedUi.h"
#include "platform/LoopbackHttpServer.h"
#include "update/VersionCheck.h"

#include <gtest/gtest.h>

using platform::HttpGetOutcome;
using platform::LoopbackHttpServer;

namespace {

// A head that promises more body than the server will send.
std::string CutShort(const std::string& sent, std::size_t promised) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(promised) + "\r\n\r\n" + sent;
}

platform::HttpGetRequest Request(int port) {
    platform::HttpGetRequest request;
    request.host = "127.0.0.1";
    request.port = port;
    request.object = update::kVersionObject;
    request.agent = update::kAgentName;
    request.timeoutSeconds = 2;
    return request;
}

// The whole check through the OS transport; the only message shown.
ShownMessage CheckAgainst(const LoopbackHttpServer& server) {
    update::VersionServer where;
    where.host = "127.0.0.1";
    where.port = server.Port();
    where.timeoutSeconds = 2;
    ScriptedUi ui;
    ui.answers.push_back(platform::MessageAnswer::No);
    update::PlatformTransport transport;
    update::CheckForUpdate(ui, transport, where);
    EXPECT_EQ(ui.messages.size(), 1u);
    return ui.messages.empty() ? ShownMessage{} : ui.messages[0];
}

} // namespace

TEST(BrokenVersionAnswer, BytesBeforeAClosedConnectionAreKeptAndJudged) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Start(CutShort("1102", 40)));
    std::string body;
    EXPECT_EQ(platform::HttpGet(Request(server.Port()), body), HttpGetOutcome::Body);
    EXPECT_EQ(body, "1102");

    ShownMessage shown = CheckAgainst(server);
    EXPECT_EQ(shown.kind, platform::MessageKind::Question);
    EXPECT_NE(shown.text.find("\tNew version: \t1.1.2\n"), std::string::npos) << shown.text;

    // A broken-off page is still a page, and a broken-off old number still up to date.
    ASSERT_TRUE(server.Start(CutShort("<html><bo", 200)));
    EXPECT_EQ(CheckAgainst(server).text, "Invalid call to 127.0.0.1.");
    ASSERT_TRUE(server.Start(CutShort("1099", 10)));
    EXPECT_EQ(CheckAgainst(server).text, "Your version is up to date.");
}

TEST(BrokenVersionAnswer, BytesBeforeAServerFallsSilentAreKeptAndJudged) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Start(CutShort("2000", 40), LoopbackHttpServer::Mode::Silent));
    std::string body;
    EXPECT_EQ(platform::HttpGet(Request(server.Port()), body), HttpGetOutcome::Body);
    EXPECT_EQ(body, "2000");
    ShownMessage shown = CheckAgainst(server);
    EXPECT_EQ(shown.kind, platform::MessageKind::Question);
    EXPECT_NE(shown.text.find("\tNew version: \t2.0.0\n"), std::string::npos) << shown.text;
}

TEST(BrokenVersionAnswer, ABrokenAnswerWithoutBodyBytesIsAContactError) {
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Start(CutShort("", 40)));
    std::string body = "stale";
    platform::HttpGet(Request(server.Port()), body); // an empty body or a failure: the same verdict
    EXPECT_EQ(body, "");
    EXPECT_EQ(CheckAgainst(server).text, "An error occurred while contacting 127.0.0.1.");
}
