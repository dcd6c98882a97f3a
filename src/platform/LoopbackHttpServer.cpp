#include "platform/LoopbackHttpServer.h"

#include "platform/LoopbackSockets.h"

namespace platform {

LoopbackHttpServer::~LoopbackHttpServer() {
    Stop();
}

bool LoopbackHttpServer::Start(const std::string& response, Mode mode) {
    Stop();
    response_ = response;
    mode_ = mode;
    loopback::Socket listener = loopback::Listen(port_);
    if (listener == loopback::kNoSocket) return false;
    listener_ = listener;
    stop_ = false;
    thread_ = std::thread(&LoopbackHttpServer::Serve, this);
    return true;
}

void LoopbackHttpServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    loopback::Close(listener_);
    listener_ = loopback::kNoSocket;
}

std::string LoopbackHttpServer::LastRequest() {
    std::lock_guard<std::mutex> lock(requestMutex_);
    return lastRequest_;
}

void LoopbackHttpServer::Serve() {
    while (!stop_) {
        if (!loopback::Readable(listener_)) continue;
        loopback::Socket client = loopback::Accept(listener_);
        if (client == loopback::kNoSocket) continue;
        std::string request;
        char buffer[1024];
        while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
            if (!loopback::Readable(client)) continue;
            long long got = loopback::Receive(client, buffer, sizeof buffer);
            if (got <= 0) break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        {
            std::lock_guard<std::mutex> lock(requestMutex_);
            lastRequest_ = request;
        }
        std::size_t sent = 0;
        while (sent < response_.size()) {
            long long done =
                loopback::Send(client, response_.data() + sent, response_.size() - sent);
            if (done <= 0) break;
            sent += static_cast<std::size_t>(done);
        }
        if (mode_ == Mode::Silent) {
            // Holds the connection until the test ends or the client gives up.
            while (!stop_)
                if (loopback::Readable(client) &&
                    loopback::Receive(client, buffer, sizeof buffer) <= 0)
                    break;
        }
        loopback::Close(client);
    }
}

int LoopbackHttpServer::UnusedPort() {
    int port = 0;
    loopback::Socket socket = loopback::Listen(port);
    if (socket == loopback::kNoSocket) return 1;
    loopback::Close(socket); // nothing listens there any more
    return port;
}

} // namespace platform
