#pragma once
// Decoding the embedded editor images for the tests, through the drawing library's PNG decoder.

#include "editor/ImageTable.h"
#include "graphics/PngCodec.h"
#include "graphics/Surface.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace editor_test {

// The embedded image of an id, decoded; fails the test when it is missing or not a valid PNG.
inline graphics::Surface DecodedImage(int id) {
    graphics::Surface image;
    const editor::ImageInfo* info = editor::FindImage(id);
    platform::Resource resource;
    if (!info || !platform::FindResource("PNG", info->key, resource)) {
        ADD_FAILURE() << "image " << id << " is not embedded";
        return image;
    }
    EXPECT_TRUE(graphics::DecodePng(resource.data, resource.size, image)) << "image " << id;
    return image;
}

inline int Alpha(std::uint32_t pixel) {
    return static_cast<int>(pixel >> 24);
}

// Luminance of a premultiplied pixel over black, 0..255.
inline int Luminance(std::uint32_t pixel) {
    const int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
    return (r * 299 + g * 587 + b * 114) / 1000;
}

} // namespace editor_test
