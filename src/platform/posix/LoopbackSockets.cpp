#include "platform/LoopbackSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace loopback {

Socket Listen(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return kNoSocket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return fd;
}

bool Readable(Socket socket) {
    int fd = static_cast<int>(socket);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval wait{0, 50000};
    return ::select(fd + 1, &set, nullptr, nullptr, &wait) > 0;
}

Socket Accept(Socket listener) {
    int client = ::accept(static_cast<int>(listener), nullptr, nullptr);
    return client < 0 ? kNoSocket : client;
}

long long Receive(Socket socket, char* buffer, std::size_t size) {
    return ::recv(static_cast<int>(socket), buffer, size, 0);
}

long long Send(Socket socket, const char* data, std::size_t size) {
    return ::send(static_cast<int>(socket), data, size, MSG_NOSIGNAL);
}

void Close(Socket socket) {
    if (socket != kNoSocket) ::close(static_cast<int>(socket));
}

} // namespace loopback
} // namespace platform
