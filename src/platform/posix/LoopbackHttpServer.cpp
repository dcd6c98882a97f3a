#include "platform/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

int ListenOnLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits up to 50 ms for fd to become readable.
bool Readable(int fd) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval wait{0, 50000};
    return ::select(fd + 1, &set, nullptr, nullptr, &wait) > 0;
}

} // namespace

LoopbackHttpServer::~LoopbackHttpServer() {
    Stop();
}

bool LoopbackHttpServer::Start(const std::string& response, Mode mode) {
    Stop();
    response_ = response;
    mode_ = mode;
    int fd = ListenOnLoopback(port_);
    if (fd < 0) return false;
    listener_ = fd;
    stop_ = false;
    thread_ = std::thread(&LoopbackHttpServer::Serve, this);
    return true;
}

void LoopbackHttpServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(static_cast<int>(listener_));
    listener_ = -1;
}

std::string LoopbackHttpServer::LastRequest() {
    std::lock_guard<std::mutex> lock(requestMutex_);
    return lastRequest_;
}

void LoopbackHttpServer::Serve() {
    int listener = static_cast<int>(listener_);
    while (!stop_) {
        if (!Readable(listener)) continue;
        int client = ::accept(listener, nullptr, nullptr);
        if (client < 0) continue;
        std::string request;
        char buffer[1024];
        while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
            if (!Readable(client)) continue;
            ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        {
            std::lock_guard<std::mutex> lock(requestMutex_);
            lastRequest_ = request;
        }
        if (mode_ == Mode::Silent) {
            // Holds the connection until the test ends or the client gives up.
            while (!stop_)
                if (Readable(client) && ::recv(client, buffer, sizeof buffer, 0) <= 0) break;
        } else {
            std::size_t sent = 0;
            while (sent < response_.size()) {
                ssize_t done =
                    ::send(client, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
                if (done <= 0) break;
                sent += static_cast<std::size_t>(done);
            }
        }
        ::close(client);
    }
}

int LoopbackHttpServer::UnusedPort() {
    int port = 0;
    int fd = ListenOnLoopback(port);
    if (fd < 0) return 1;
    ::close(fd); // nothing listens there any more
    return port;
}

} // namespace platform
