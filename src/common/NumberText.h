#pragma once
// Locale-independent number formatting and parsing. The plug-in lives inside a host process
// whose locale it must neither change nor depend on, so "." is always the decimal point.

#include <cstddef>
#include <string>

namespace common {

// "%.*f": value with the given number of decimals (0..17).
std::string FormatFixed(double value, int decimals);

// "%d" of an integer.
std::string FormatInt(long long value);

// What C's text-to-double conversion does, in the "C" locale: leading white space, an optional
// sign, the longest decimal number that follows; 0 when no number starts the text. "inf" and
// "nan" are recognised too, so callers can refuse them. Sets *consumed to the count of characters
// used (0 when nothing was read) when it is not null.
double ParseDouble(const char* text, std::size_t* consumed = nullptr);

// Copies text into a buffer of capacity bytes, cut to fit (never inside a UTF-8 character) and
// always terminated.
void CopyText(char* destination, std::size_t capacity, const char* text);

} // namespace common
