#pragma once
// The leading decimal integer of a text, as the C library's text-to-integer conversion reads it,
// but without its undefined behaviour: numbers beyond the 32-bit range are held at its limits.

namespace common {

// Leading white space, an optional sign, then digits; 0 when no digit follows.
int ParseLeadingInt(const char* text);

} // namespace common
