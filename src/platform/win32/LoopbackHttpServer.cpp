#include "platform/LoopbackHttpServer.h"

#include <winsock2.h>

namespace platform {

namespace {

bool SocketsReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

SOCKET ListenOnLoopback(int& port) {
    if (!SocketsReady()) return INVALID_SOCKET;
    SOCKET fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd == INVALID_SOCKET) return INVALID_SOCKET;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(fd);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits up to 50 ms for fd to become readable.
bool Readable(SOCKET fd) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval wait{0, 50000};
    return ::select(0, &set, nullptr, nullptr, &wait) > 0;
}

} // namespace

LoopbackHttpServer::~LoopbackHttpServer() {
    Stop();
}

bool LoopbackHttpServer::Start(const std::string& response, Mode mode) {
    Stop();
    response_ = response;
    mode_ = mode;
    SOCKET fd = ListenOnLoopback(port_);
    if (fd == INVALID_SOCKET) return false;
    listener_ = static_cast<long long>(fd);
    stop_ = false;
    thread_ = std::thread(&LoopbackHttpServer::Serve, this);
    return true;
}

void LoopbackHttpServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::closesocket(static_cast<SOCKET>(listener_));
    listener_ = -1;
}

std::string LoopbackHttpServer::LastRequest() {
    std::lock_guard<std::mutex> lock(requestMutex_);
    return lastRequest_;
}

void LoopbackHttpServer::Serve() {
    SOCKET listener = static_cast<SOCKET>(listener_);
    while (!stop_) {
        if (!Readable(listener)) continue;
        SOCKET client = ::accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        std::string request;
        char buffer[1024];
        while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
            if (!Readable(client)) continue;
            int got = ::recv(client, buffer, sizeof buffer, 0);
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
                int done = ::send(client, response_.data() + sent,
                                  static_cast<int>(response_.size() - sent), 0);
                if (done <= 0) break;
                sent += static_cast<std::size_t>(done);
            }
        }
        ::closesocket(client);
    }
}

int LoopbackHttpServer::UnusedPort() {
    int port = 0;
    SOCKET fd = ListenOnLoopback(port);
    if (fd == INVALID_SOCKET) return 1;
    ::closesocket(fd); // nothing listens there any more
    return port;
}

} // namespace platform
