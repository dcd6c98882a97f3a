#pragma once
// PNG decoding and encoding with libpng, from and to memory. Decoding accepts every colour type
// and bit depth and yields premultiplied ARGB32; anything truncated, malformed or larger than the
// limits is refused.

#include "graphics/Surface.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace graphics {

// Images larger than this are refused (the editor's largest is 968 x 2600).
constexpr int kMaxPngSide = 8192;
constexpr long long kMaxPngPixels = 16LL * 1024 * 1024;

// False (and an empty image) for data that is not a complete, valid PNG within the limits.
bool DecodePng(const unsigned char* data, std::size_t size, Surface& image);
// 8-bit RGBA PNG of the surface, colours unpremultiplied. False when the surface is empty.
bool EncodePng(const Surface& image, std::vector<std::uint8_t>& png);
// Writes the surface as a PNG file; false when it cannot be encoded or written completely.
bool SavePng(const Surface& image, const std::string& path);

} // namespace graphics
