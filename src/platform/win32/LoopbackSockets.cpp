#include "platform/LoopbackSockets.h"

#include <winsock2.h>

namespace platform {
namespace loopback {

namespace {

bool SocketsReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

SOCKET Native(Socket socket) {
    return static_cast<SOCKET>(socket);
}

} // namespace

Socket Listen(int& port) {
    if (!SocketsReady()) return kNoSocket;
    SOCKET fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd == INVALID_SOCKET) return kNoSocket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(fd);
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return static_cast<Socket>(fd);
}

bool Readable(Socket socket) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(Native(socket), &set);
    timeval wait{0, 50000};
    return ::select(0, &set, nullptr, nullptr, &wait) > 0;
}

Socket Accept(Socket listener) {
    SOCKET client = ::accept(Native(listener), nullptr, nullptr);
    return client == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(client);
}

long long Receive(Socket socket, char* buffer, std::size_t size) {
    return ::recv(Native(socket), buffer, static_cast<int>(size), 0);
}

long long Send(Socket socket, const char* data, std::size_t size) {
    return ::send(Native(socket), data, static_cast<int>(size), 0);
}

void Close(Socket socket) {
    if (socket != kNoSocket) ::closesocket(Native(socket));
}

} // namespace loopback
} // namespace platform
