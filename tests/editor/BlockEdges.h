#pragma once
// Tells a picture drawn at twice the size from one blown up from the 100 % picture. The picture is
// cut into aligned 2 x 2 blocks. A blown-up picture consists of uniform blocks only (four equal
// pixels), every edge running between two of them; a picture drawn at the size has its edges fall
// inside blocks as often as between them, and anti-aliased edges and text make blocks uneven.

#include "graphics/Surface.h"

#include <cstdint>
#include <vector>

namespace editor_test {

// Whether two pixels differ by more than a gradient's step or a rounding does: some channel by
// more than 32 of 255. Smooth shading is no edge; a line, a border or a glyph's stem is.
inline bool Contrasts(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF),
                  cb = static_cast<int>((b >> shift) & 0xFF);
        if (ca - cb > 32 || cb - ca > 32) return true;
    }
    return false;
}

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
            uniform[i] = !Contrasts(picture.Pixel(2 * bx + 1, 2 * by), p) &&
                         !Contrasts(picture.Pixel(2 * bx, 2 * by + 1), p) &&
                         !Contrasts(picture.Pixel(2 * bx + 1, 2 * by + 1), p);
        }
    BlockEdgeCount count;
    // Each edge between two blocks is counted once: with the neighbour to the right and below.
    const int dx[2] = {1, 0}, dy[2] = {0, 1};
    for (int by = 0; by < rows; ++by)
        for (int bx = 0; bx < columns; ++bx) {
            const std::size_t i = static_cast<std::size_t>(by) * columns + bx;
            if (!uniform[i]) {
                ++count.uneven;
                continue;
            }
            for (int k = 0; k < 2; ++k) {
                const int nx = bx + dx[k], ny = by + dy[k];
                if (nx >= columns || ny >= rows) continue;
                const std::size_t n = static_cast<std::size_t>(ny) * columns + nx;
                if (uniform[n] && Contrasts(colour[n], colour[i])) ++count.uniformEdges;
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
