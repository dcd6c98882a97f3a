#include "platform/HttpGet.h"

#include <windows.h>
#include <wininet.h>

namespace platform {

namespace {

void Close(HINTERNET handle) {
    if (handle) InternetCloseHandle(handle);
}

// Every handle gets the limits: some WinINet implementations take them from the request handle
// rather than from the session it belongs to.
void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
    if (!handle) return;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &milliseconds, sizeof milliseconds);
    InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &milliseconds, sizeof milliseconds);
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &milliseconds, sizeof milliseconds);
}

} // namespace

HttpGetOutcome HttpGet(const HttpGetRequest& request, std::string& body) {
    body.clear();
    if (request.host.empty() || request.port <= 0 || request.port > 65535)
        return HttpGetOutcome::Failed;
    DWORD timeoutMs =
        static_cast<DWORD>(request.timeoutSeconds > 0 ? request.timeoutSeconds : 10) * 1000u;
    ULONGLONG deadline = GetTickCount64() + timeoutMs;

    HINTERNET internet =
        InternetOpenA(request.agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = nullptr;
    HINTERNET query = nullptr;
    bool ok = false;
    bool tooLarge = false;
    if (internet) {
        // Without these the defaults let a silent server hold the caller for minutes or more.
        SetTimeouts(internet, timeoutMs);
        connection = InternetConnectA(internet, request.host.c_str(),
                                      static_cast<INTERNET_PORT>(request.port), nullptr, nullptr,
                                      INTERNET_SERVICE_HTTP, 0, 0);
    }
    if (connection) {
        SetTimeouts(connection, timeoutMs);
        const char* accept[] = {"*/*", nullptr};
        query = HttpOpenRequestA(connection, "GET", request.object.c_str(), nullptr, nullptr,
                                 accept, 0, 0);
    }
    SetTimeouts(query, timeoutMs);
    if (query && HttpSendRequestA(query, nullptr, 0, nullptr, 0)) {
        ok = true;
        char buffer[1024];
        for (;;) {
            // A read waits until its whole buffer is filled, and one that fails takes the bytes
            // that had already arrived with it; asking first what has arrived, and reading just
            // that, keeps the start of an answer whose connection stalls or breaks off.
            DWORD available = 0;
            if (!InternetQueryDataAvailable(query, &available, 0, 0) || available == 0) break;
            DWORD got = 0;
            const DWORD wanted = available < sizeof buffer ? available : DWORD{sizeof buffer};
            if (!InternetReadFile(query, buffer, wanted, &got) || got == 0) break;
            std::size_t room = request.maxBodyBytes - body.size();
            if (got > room) {
                body.append(buffer, room);
                tooLarge = true;
                break;
            }
            body.append(buffer, got);
            // A server that trickles without end is left; what it sent until then is kept.
            if (GetTickCount64() > deadline) break;
        }
    }
    Close(query);
    Close(connection);
    Close(internet);
    if (tooLarge) return HttpGetOutcome::TooLarge;
    return ok ? HttpGetOutcome::Body : HttpGetOutcome::Failed;
}

bool InternetConnectionAvailable() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

} // namespace platform
