#include "platform/HttpGet.h"

#include <curl/curl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

namespace platform {

namespace {

struct Receiver {
    std::string* body;
    std::size_t limit;
    bool tooLarge;
};

// Appends what arrived; past the limit keeps what fits and stops the transfer.
std::size_t Receive(char* data, std::size_t size, std::size_t count, void* context) {
    Receiver& receiver = *static_cast<Receiver*>(context);
    std::size_t bytes = size * count;
    std::size_t room = receiver.limit - receiver.body->size();
    if (bytes > room) {
        receiver.body->append(data, room);
        receiver.tooLarge = true;
        return 0; // ends the transfer with a write error
    }
    receiver.body->append(data, bytes);
    return bytes;
}

bool CurlReady() {
    // Initialised once per process; thread-safe through the static's own initialisation.
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

} // namespace

HttpGetOutcome HttpGet(const HttpGetRequest& request, std::string& body) {
    body.clear();
    if (request.host.empty() || request.port <= 0 || request.port > 65535 || !CurlReady())
        return HttpGetOutcome::Failed;
    CURL* curl = curl_easy_init();
    if (!curl) return HttpGetOutcome::Failed;

    std::string url = "http://" + request.host + ":" + std::to_string(request.port);
    if (request.object.empty() || request.object[0] != '/') url += "/";
    url += request.object;
    long timeout = request.timeoutSeconds > 0 ? request.timeoutSeconds : 10;
    Receiver receiver{&body, request.maxBodyBytes, false};

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request.agent.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, ""); // direct access, whatever the environment says
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
#endif
    // Redirects are followed as the Windows transport does, a few at most.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    // No signals inside a host process; time limits for connecting and for the whole request.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 1024L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Receive);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);

    CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (receiver.tooLarge) return HttpGetOutcome::TooLarge;
    // A transfer that broke off (cut short, reset, timed out) keeps the body read until then.
    return result == CURLE_OK || !body.empty() ? HttpGetOutcome::Body : HttpGetOutcome::Failed;
}

bool InternetConnectionAvailable() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    bool found = false;
    for (ifaddrs* entry = list; entry && !found; entry = entry->ifa_next) {
        if (!entry->ifa_addr || (entry->ifa_flags & IFF_LOOPBACK) || !(entry->ifa_flags & IFF_UP))
            continue;
        int family = entry->ifa_addr->sa_family;
        found = family == AF_INET || family == AF_INET6;
    }
    ::freeifaddrs(list);
    return found;
}

} // namespace platform
