#pragma once
// A tiny HTTP server on 127.0.0.1 for tests of the version check's transport: it answers every
// connection with fixed bytes and closes it, or sends them and then holds the connection silently
// (with no bytes: accepts and stays silent). It runs on a thread of its own, so it
// is compiled into test programs only, never into the plug-in.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

class LoopbackHttpServer {
public:
    enum class Mode { Answer, Silent };

    LoopbackHttpServer() = default;
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Listens on an unused port of 127.0.0.1; response is the whole raw HTTP response.
    bool Start(const std::string& response, Mode mode = Mode::Answer);
    void Stop();
    int Port() const { return port_; }
    // The head of the last request received.
    std::string LastRequest();

    // A port of 127.0.0.1 on which nothing listens (connections are refused).
    static int UnusedPort();

private:
    void Serve();

    std::string response_;
    Mode mode_ = Mode::Answer;
    long long listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex requestMutex_;
    std::string lastRequest_;
};

} // namespace platform
