#pragma once
// Tells a picture drawn at twice the size from one blown up from the 100 % picture. The picture is
// cut into aligned 2 x 2 blocks. A blown-up picture consists of uniform blocks only (four equal
// pixels), every edge running between two of them; a picture drawn at the size has its edges fall
// inside blocks as often as between them, and anti-aliased edges and text make blocks uneven.

#include "graphics/Surface.h"

#include <cstdint>
#include <vector>

namespace editor_test {

struct BlockEdgeCount {
    // Uniform blocks beside a uniform block of another colour: an edge that runs exactly along
    // the block grid, as every edge of a blown-up picture does. (A uniform block beside an uneven
    // one is not counted: there the edge lies inside the uneven block.)
    long uniformEdges = 0;
    long uneven = 0; // blocks whose four pixels are not all equal
};

inline BlockEdgeCount CountBlockEdges(const graphics::Surface& picture) {
    const int columns = picture.Width() / 2, rows = picture.Height() / 2;
    // The colour of each uniform block; uneven blocks are marked apart.
    std::vector<std::uint32_t> colour(static_cast<std::size_t>(columns) * rows);
    std::vector<bool> uniform(colour.size());
    for (int by = 0; by < rows; ++by)
        for (int bx = 0; bx < columns; ++bx) {
            const std::uint32_t p = picture.Pixel(2 * bx, 2 * by);
            const std::size_t i = static_cast<std::size_t>(by) * columns + bx;
            colour[i] = p;
            uniform[i] = picture.Pixel(2 * bx + 1, 2 * by) == p &&
                         picture.Pixel(2 * bx, 2 * by + 1) == p &&
                         picture.Pixel(2 * bx + 1, 2 * by + 1) == p;
        }
    BlockEdgeCount count;
    const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
    for (int by = 0; by < rows; ++by)
        for (int bx = 0; bx < columns; ++bx) {
            const std::size_t i = static_cast<std::size_t>(by) * columns + bx;
            if (!uniform[i]) {
                ++count.uneven;
                continue;
            }
            for (int k = 0; k < 4; ++k) {
                const int nx = bx + dx[k], ny = by + dy[k];
                if (nx < 0 || ny < 0 || nx >= columns || ny >= rows) continue;
                const std::size_t n = static_cast<std::size_t>(ny) * columns + nx;
                if (uniform[n] && colour[n] != colour[i]) {
                    ++count.uniformEdges;
                    break;
                }
            }
        }
    return count;
}

// Most blocks that carry an edge are uneven.
inline bool DrawnAtTheSize(const BlockEdgeCount& count) {
    return count.uneven > count.uniformEdges;
}

// The picture with every pixel doubled in both directions: the 100 % picture blown up.
inline graphics::Surface PixelDoubled(const graphics::Surface& picture) {
    graphics::Surface doubled(2 * picture.Width(), 2 * picture.Height());
    for (int y = 0; y < doubled.Height(); ++y)
        for (int x = 0; x < doubled.Width(); ++x)
            doubled.SetPixel(x, y, picture.Pixel(x / 2, y / 2));
    return doubled;
}

} // namespace editor_test
