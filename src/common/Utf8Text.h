#pragma once
// Names are UTF-8 text kept in fields of fixed byte sizes (host buffers, file headers, program
// states). Cutting such a text by bytes alone can split a character and leave a broken byte
// sequence behind, so every cut goes through here and stops before the character that no longer
// fits. Bytes that are not valid UTF-8 (names read from older files or from the module) count as
// characters of one byte each, so such texts are cut exactly as before.

#include <cstddef>
#include <cstdint>
#include <string>

namespace common {

// The bytes the valid UTF-8 character at position takes (1 to 4), or 0 when the bytes there do
// not form one (a lone byte of another encoding, an overlong form, a surrogate, a cut sequence).
std::size_t Utf8CharLength(const char* text, std::size_t size, std::size_t position);

// The code point of the valid UTF-8 character at position; 0 when there is none.
std::uint32_t Utf8CodePoint(const char* text, std::size_t size, std::size_t position);

// The length of the longest start of text of at most maxBytes bytes that ends between two
// characters. A text longer than maxBytes that ends in a character cut short (it was limited by
// bytes before it came here) loses that piece too.
std::size_t Utf8FittingLength(const char* text, std::size_t size, std::size_t maxBytes);
std::size_t Utf8FittingLength(const std::string& text, std::size_t maxBytes);

// text cut to at most maxBytes bytes, never inside a character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

} // namespace common
