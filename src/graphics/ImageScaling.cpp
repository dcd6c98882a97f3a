#include "graphics/ImageScaling.h"

#include "graphics/Scale.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace graphics {

namespace {

// One source pixel's share in a target pixel along an axis.
struct Tap {
    int index;
    std::uint32_t weight;
};

// The taps of every target pixel along an axis of `source` pixels mapped onto `target` pixels,
// in one list; target pixel d's taps are taps[first[d]] .. taps[first[d + 1] - 1].
struct AxisTaps {
    std::vector<Tap> taps;
    std::vector<std::size_t> first;
};

AxisTaps AreaTaps(int source, int target) {
    AxisTaps axis;
    axis.first.reserve(static_cast<std::size_t>(target) + 1);
    const long long s = source, t = target;
    for (long long d = 0; d < t; ++d) {
        axis.first.push_back(axis.taps.size());
        const long long start = d * s, end = (d + 1) * s; // in 1/t source pixels
        for (long long i = start / t; i <= (end - 1) / t; ++i) {
            const long long overlap = std::min(end, (i + 1) * t) - std::max(start, i * t);
            if (overlap > 0)
                axis.taps.push_back(Tap{static_cast<int>(i), static_cast<std::uint32_t>(overlap)});
        }
    }
    axis.first.push_back(axis.taps.size());
    return axis;
}

inline std::uint32_t ChannelOf(std::uint32_t pixel, int c) {
    return (pixel >> (8 * c)) & 0xFFu;
}

// The horizontal sums of one source row: for every target pixel and channel (B, G, R, A) the
// weighted sum of the row's pixels under it (weights add up to the frame width).
void HorizontalSums(const std::uint32_t* row, const AxisTaps& axis, int width,
                    std::vector<std::uint32_t>& sums) {
    for (int x = 0; x < width; ++x) {
        std::uint32_t s[4] = {0, 0, 0, 0};
        for (std::size_t k = axis.first[x]; k < axis.first[x + 1]; ++k) {
            const std::uint32_t pixel = row[axis.taps[k].index];
            const std::uint32_t w = axis.taps[k].weight;
            for (int c = 0; c < 4; ++c) s[c] += w * ChannelOf(pixel, c);
        }
        for (int c = 0; c < 4; ++c) sums[static_cast<std::size_t>(x) * 4 + c] = s[c];
    }
}

bool UsableGrid(const Surface& source, const FrameGrid& from) {
    return from.count >= 1 && from.width >= 1 && from.height >= 1 && from.width <= source.Width() &&
           static_cast<long long>(from.height) * from.count <= source.Height();
}

// Bilinear sample positions along an axis: source pixel i0, the next one i1 (the same at the
// frame's end) and the weight 0..255 of i1.
struct LinearTap {
    int i0, i1, fraction;
};

std::vector<LinearTap> LinearTaps(int source, int target) {
    std::vector<LinearTap> taps(static_cast<std::size_t>(target));
    const long long s = source, t = target;
    for (long long d = 0; d < t; ++d) {
        // round((d + 0.5) * s / t * 256) - 128, limited to the first and last pixel centre.
        long long position = ((2 * d + 1) * s * 256 + t) / (2 * t) - 128;
        position = std::max(0LL, std::min(position, (s - 1) * 256));
        LinearTap& tap = taps[static_cast<std::size_t>(d)];
        tap.i0 = static_cast<int>(position >> 8);
        tap.fraction = static_cast<int>(position & 255);
        tap.i1 = std::min(tap.i0 + 1, source - 1);
    }
    return taps;
}

} // namespace

FrameGrid FramesOf(const Surface& image, int frames) {
    FrameGrid grid;
    grid.count = std::max(1, frames);
    grid.width = image.Width();
    grid.height = image.Height() / grid.count;
    return grid;
}

FrameGrid ScaledFrames(const FrameGrid& unit, int percent) {
    FrameGrid grid = unit;
    grid.width = ScaleLength(unit.width, percent);
    grid.height = ScaleLength(unit.height, percent);
    return grid;
}

Surface AreaAverageFrames(const Surface& source, const FrameGrid& from, int width, int height) {
    Surface result;
    if (!UsableGrid(source, from) || width < 1 || height < 1) return result;
    result.Resize(width, height * from.count);
    const AxisTaps across = AreaTaps(from.width, width);
    const AxisTaps down = AreaTaps(from.height, height);
    const std::uint64_t area = static_cast<std::uint64_t>(from.width) * from.height;
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * 4);
    std::vector<std::uint64_t> total(static_cast<std::size_t>(width) * 4);
    for (int f = 0; f < from.count; ++f) {
        int summedRow = -1; // the source row `sums` holds (neighbouring target rows share one)
        for (int y = 0; y < height; ++y) {
            std::fill(total.begin(), total.end(), 0);
            for (std::size_t k = down.first[y]; k < down.first[y + 1]; ++k) {
                const int row = f * from.height + down.taps[k].index;
                if (row != summedRow) {
                    HorizontalSums(source.Row(row), across, width, sums);
                    summedRow = row;
                }
                const std::uint64_t w = down.taps[k].weight;
                for (std::size_t i = 0; i < total.size(); ++i) total[i] += w * sums[i];
            }
            std::uint32_t* out = result.Row(f * height + y);
            for (int x = 0; x < width; ++x) {
                std::uint32_t pixel = 0;
                for (int c = 0; c < 4; ++c) {
                    const std::uint64_t v =
                        (total[static_cast<std::size_t>(x) * 4 + c] + area / 2) / area;
                    pixel |= static_cast<std::uint32_t>(v) << (8 * c);
                }
                out[x] = pixel;
            }
        }
    }
    return result;
}

Surface BilinearFrames(const Surface& source, const FrameGrid& from, int width, int height) {
    Surface result;
    if (!UsableGrid(source, from) || width < 1 || height < 1) return result;
    result.Resize(width, height * from.count);
    const std::vector<LinearTap> across = LinearTaps(from.width, width);
    const std::vector<LinearTap> down = LinearTaps(from.height, height);
    for (int f = 0; f < from.count; ++f) {
        for (int y = 0; y < height; ++y) {
            const LinearTap& ty = down[static_cast<std::size_t>(y)];
            const std::uint32_t* upper = source.Row(f * from.height + ty.i0);
            const std::uint32_t* lower = source.Row(f * from.height + ty.i1);
            std::uint32_t* out = result.Row(f * height + y);
            for (int x = 0; x < width; ++x) {
                const LinearTap& tx = across[static_cast<std::size_t>(x)];
                std::uint32_t pixel = 0;
                for (int c = 0; c < 4; ++c) {
                    const int top =
                        static_cast<int>(ChannelOf(upper[tx.i0], c)) * (256 - tx.fraction) +
                        static_cast<int>(ChannelOf(upper[tx.i1], c)) * tx.fraction;
                    const int bottom =
                        static_cast<int>(ChannelOf(lower[tx.i0], c)) * (256 - tx.fraction) +
                        static_cast<int>(ChannelOf(lower[tx.i1], c)) * tx.fraction;
                    const int v = (top * (256 - ty.fraction) + bottom * ty.fraction + 32768) >> 16;
                    pixel |= static_cast<std::uint32_t>(v) << (8 * c);
                }
                out[x] = pixel;
            }
        }
    }
    return result;
}

bool IsTwiceSizeOf(const Surface& twice, const Surface& image) {
    return !image.Empty() && twice.Width() == 2 * image.Width() &&
           twice.Height() == 2 * image.Height();
}

Surface ImageForScale(const Surface& image, Surface twice, int frames, int percent) {
    if (percent == 100 || !IsOfferedScale(percent) || image.Empty()) return image;
    const FrameGrid unit = FramesOf(image, frames);
    const FrameGrid target = ScaledFrames(unit, percent);
    if (IsTwiceSizeOf(twice, image)) {
        const FrameGrid from{unit.count, unit.width * 2, unit.height * 2};
        // At 200 % the picture is the result when its frames fill it exactly.
        if (percent == 200 && twice.Height() == from.height * from.count) return twice;
        return AreaAverageFrames(twice, from, target.width, target.height);
    }
    return BilinearFrames(image, unit, target.width, target.height);
}

} // namespace graphics
