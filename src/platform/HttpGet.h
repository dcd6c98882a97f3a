#pragma once
// A blocking HTTP GET of one resource, for the online version check: WinINet on Windows, libcurl
// on Linux. Every network step has a time limit and the body has a size limit, so that a server
// that accepts and never answers, or answers without end, cannot hold the caller for good.

#include <string>

namespace platform {

struct HttpGetRequest {
    std::string host; // host name or address
    int port = 80;
    std::string object;      // the request target as sent, e.g. "music/version/?file=vorn"
    std::string agent;       // the User-Agent text
    int timeoutSeconds = 10; // for connecting, sending and each wait for data
    std::size_t maxBodyBytes = 64 * 1024;
};

enum class HttpGetOutcome {
    Body,     // body holds what was read (it may be empty)
    TooLarge, // the body went on past maxBodyBytes; body holds what was read up to the limit
    Failed,   // no connection, refused, not sent, or a time limit expired before any byte of the
              // body arrived; body is empty
};

// Sends "GET object" without extra headers, directly (no proxy), and reads the response body in
// pieces of at most 1024 bytes until a read fails or brings nothing. The bytes read before a
// failure are kept (outcome Body), so that the caller judges the same answer on every OS when a
// connection breaks off in the middle of the body.
HttpGetOutcome HttpGet(const HttpGetRequest& request, std::string& body);

// Whether the system reports a network connection (InternetGetConnectedState on Windows; on
// Linux, whether any network interface other than loopback is up).
bool InternetConnectionAvailable();

} // namespace platform
