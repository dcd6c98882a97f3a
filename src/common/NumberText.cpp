#include "common/NumberText.h"
#include "common/Utf8Text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace common {

std::string FormatFixed(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 17) decimals = 17;
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

std::string FormatInt(long long value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

static bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

static bool StartsWithNoCase(const char* text, const char* word) {
    for (; *word; ++text, ++word) {
        char c = *text;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != *word) return false;
    }
    return true;
}

double ParseDouble(const char* text, std::size_t* consumed) {
    if (consumed) *consumed = 0;
    if (!text) return 0.0;
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    double value = 0.0;
    const char* end = nullptr;
    if (StartsWithNoCase(p, "inf")) {
        value = std::numeric_limits<double>::infinity();
        end = p + (StartsWithNoCase(p, "infinity") ? 8 : 3);
    } else if (StartsWithNoCase(p, "nan")) {
        value = std::numeric_limits<double>::quiet_NaN();
        end = p + 3;
    } else {
        auto result = std::from_chars(p, p + std::strlen(p), value, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range) {
            // Like strtod: overflow gives infinity, underflow zero.
            bool tiny = false;
            for (const char* q = p; q < result.ptr; ++q) {
                if ((*q == 'e' || *q == 'E') && q + 1 < result.ptr && q[1] == '-') tiny = true;
            }
            value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
            end = result.ptr;
        } else if (result.ec != std::errc()) {
            return 0.0;
        } else {
            end = result.ptr;
        }
    }
    if (consumed) *consumed = static_cast<std::size_t>(end - text);
    return negative ? -value : value;
}

void CopyText(char* destination, std::size_t capacity, const char* text) {
    if (!destination || capacity == 0) return;
    std::size_t length = text ? std::strlen(text) : 0;
    if (length >= capacity) length = Utf8FittingLength(text, length, capacity - 1);
    if (length) std::memcpy(destination, text, length);
    destination[length] = '\0';
}

} // namespace common
