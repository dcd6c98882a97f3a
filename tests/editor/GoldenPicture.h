#pragma once
// A rendered picture against its committed golden PNG in tests/editor/golden/, rewritten instead
// under VORNA_UPDATE_GOLDENS=1. A picture of one colour (nothing drawn) is refused either way, so
// an empty render can neither pass nor become a golden.

#include "GoldenUpdate.h"
#include "graphics/PngCodec.h"
#include "graphics/Surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace editor_test {

// The number of different pixel values, counted up to `enough`.
inline int DistinctColours(const graphics::Surface& picture, int enough) {
    std::set<std::uint32_t> seen;
    for (std::uint32_t pixel : picture.Pixels()) {
        seen.insert(pixel);
        if (static_cast<int>(seen.size()) >= enough) break;
    }
    return static_cast<int>(seen.size());
}

inline void ExpectMatchesGoldenPicture(const graphics::Surface& picture, const std::string& name) {
    ASSERT_FALSE(picture.Empty()) << name;
    ASSERT_GE(DistinctColours(picture, 64), 64) << name << ": the picture is (nearly) blank";
    const std::string path = std::string(VORNA_EDITOR_GOLDEN_DIR) + "/" + name;
    if (GoldenUpdateRequested()) {
        ASSERT_TRUE(graphics::SavePng(picture, path));
        return;
    }
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << "missing golden picture " << path;
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    graphics::Surface golden;
    ASSERT_TRUE(graphics::DecodePng(bytes.data(), bytes.size(), golden)) << path;
    ASSERT_EQ(golden.Width(), picture.Width()) << name;
    ASSERT_EQ(golden.Height(), picture.Height()) << name;
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (golden.Pixel(x, y) != picture.Pixel(x, y) && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
    if (differing) graphics::SavePng(picture, "actual-" + name);
    EXPECT_EQ(differing, 0) << name << ": " << differing << " pixels differ, the first at ("
                            << firstX << ", " << firstY << "); this build's picture is in actual-"
                            << name;
}

} // namespace editor_test
