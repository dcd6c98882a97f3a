#include "window/x11/X11ScaleSettings.h"

#include <cstring>

namespace platform::x11 {

namespace {

constexpr double kMinDpi = 24.0;  // a quarter of the standard 96
constexpr double kMaxDpi = 960.0; // ten times it
constexpr int kMaxGdkFactor = 8;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

const char* SkipBlanks(const char* at, const char* end) {
    while (at < end && IsBlank(*at)) ++at;
    return at;
}

// A plain decimal number ("192", "120.5") filling [begin, end) but for surrounding blanks;
// negative when the text is anything else. Parsed by hand: the C library's number parsing follows
// the host's locale, where the decimal point may be a comma.
double PlainNumber(const char* begin, const char* end) {
    const char* at = SkipBlanks(begin, end);
    while (end > at && IsBlank(end[-1])) --end;
    double value = 0.0;
    int digits = 0;
    for (; at < end && *at >= '0' && *at <= '9'; ++at) {
        // Far more digits than any real setting has: too large to mean anything.
        if (++digits > 6) return -1.0;
        value = value * 10.0 + (*at - '0');
    }
    if (digits == 0) return -1.0;
    if (at < end && *at == '.') {
        double weight = 0.1;
        int fraction = 0;
        for (++at; at < end && *at >= '0' && *at <= '9'; ++at, weight /= 10.0) {
            if (++fraction <= 6) value += (*at - '0') * weight;
        }
    }
    return at == end ? value : -1.0;
}

} // namespace

double ScaleFromXResources(const char* resources) {
    if (!resources) return 0.0;
    static const char kKey[] = "Xft.dpi";
    const std::size_t keyLength = sizeof kKey - 1;
    // Later lines override earlier ones in the resource database, so the last one counts.
    double dpi = -1.0;
    const char* line = resources;
    while (*line) {
        const char* end = std::strchr(line, '\n');
        if (!end) end = line + std::strlen(line);
        const char* at = SkipBlanks(line, end);
        if (static_cast<std::size_t>(end - at) > keyLength &&
            std::strncmp(at, kKey, keyLength) == 0) {
            const char* colon = SkipBlanks(at + keyLength, end);
            if (colon < end && *colon == ':') dpi = PlainNumber(colon + 1, end);
        }
        line = *end ? end + 1 : end;
    }
    if (dpi < kMinDpi || dpi > kMaxDpi) return 0.0;
    return dpi * 100.0 / 96.0;
}

int ScaleFromGdkScale(const char* value) {
    if (!value) return 0;
    const char* end = value + std::strlen(value);
    const char* at = SkipBlanks(value, end);
    while (end > at && IsBlank(end[-1])) --end;
    if (end - at != 1 || *at < '1' || *at > '0' + kMaxGdkFactor) return 0;
    return (*at - '0') * 100;
}

double DesktopScale(const char* resources, const char* gdkScale) {
    const double fromResources = ScaleFromXResources(resources);
    if (fromResources > 0.0) return fromResources;
    const int fromGdk = ScaleFromGdkScale(gdkScale);
    return fromGdk > 0 ? fromGdk : 100.0;
}

} // namespace platform::x11
