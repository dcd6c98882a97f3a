#pragma once
// The few socket calls the test HTTP server needs, over the operating system's own sockets.
// Handles are plain integers (-1 = none) so the server's logic needs no OS header. Test programs
// only, like the server itself.

#include <cstddef>

namespace platform {
namespace loopback {

using Socket = long long;
constexpr Socket kNoSocket = -1;

// A listening socket on an unused port of 127.0.0.1, its port in port; kNoSocket on failure.
Socket Listen(int& port);
// Waits up to 50 ms for the socket to become readable (or, when listening, to have a client).
bool Readable(Socket socket);
Socket Accept(Socket listener);
// Bytes received, 0 at the end of the stream, below 0 on an error.
long long Receive(Socket socket, char* buffer, std::size_t size);
// Bytes sent, below 0 on an error; never raises a signal on a closed connection.
long long Send(Socket socket, const char* data, std::size_t size);
void Close(Socket socket);

} // namespace loopback
} // namespace platform
