#pragma once
// Resampling of frame-stacked images for the editor's scales, as pure functions on surfaces
// (premultiplied ARGB32). Every frame is scaled on its own from its own rows, so no frame bleeds
// into its neighbour. All arithmetic is integer with the rounding written down here, so every
// build (Linux x64, mingw x64 and x86) makes the same pixels.

#include "graphics/Surface.h"

namespace graphics {

// `count` frames of width x height pixels stacked from the top of an image (rows beyond the last
// frame are not part of any).
struct FrameGrid {
    int count = 0;
    int width = 0;
    int height = 0;
};

// The frames of an image holding `frames` (at least 1) stacked frames: its width, and its height
// divided by the count (rounded down).
FrameGrid FramesOf(const Surface& image, int frames);
// The frames of an image at 100 % drawn at a scale: each ScaleLength(width, percent) x
// ScaleLength(height, percent) device pixels.
FrameGrid ScaledFrames(const FrameGrid& unit, int percent);

// Exact area average (a box filter with fractional coverage): each frame of `from` is mapped
// onto a frame of width x height pixels, and every target pixel is the mean of the source pixels
// under it, each weighted by the area it covers. Along an axis of S source and D target pixels,
// target pixel d covers [d*S, (d+1)*S) and source pixel i covers [i*D, (i+1)*D) in units of
// 1/(S*D) of the frame; a weight is the overlap of the two in those units (the weights of a
// target pixel add up to S). Each channel is sum(wx * wy * channel) / (Sx * Sy), rounded half up,
// with no rounding in between: a constant frame stays constant, and a result stays valid
// premultiplied (no colour channel above its alpha). The result holds from.count frames of
// width x height, stacked; empty when a size is not positive.
Surface AreaAverageFrames(const Surface& source, const FrameGrid& from, int width, int height);

// Bilinear resampling, for enlarging: target pixel centre (d + 0.5) samples source position
// (d + 0.5) * S / D - 0.5, in 1/256 pixel steps (rounded half up) and limited to the frame's
// first and last pixel centres; the four neighbours are mixed with 8-bit weights and the sum of
// the products (weights 0..65536 in all) rounded half up: (sum + 32768) >> 16. Frames and sizes
// as for AreaAverageFrames.
Surface BilinearFrames(const Surface& source, const FrameGrid& from, int width, int height);

// Whether `twice` is exactly twice the size of `image` in both directions (and not empty).
bool IsTwiceSizeOf(const Surface& twice, const Surface& image);

// The picture of a 100 % image of `frames` stacked frames for an offered scale: at 100 the image
// itself (a copy); otherwise ScaledFrames of it, made from `twice`, its twice-size picture (each
// frame 2W x 2H, the frames stacked as in the image): at 200 % that picture as it is, below
// that scaled down with AreaAverageFrames. When `twice` is not exactly twice the image's size
// (an empty surface: missing or undecodable), the image itself is enlarged with BilinearFrames.
// `twice` is taken by value so that the 200 % picture is moved, not copied.
Surface ImageForScale(const Surface& image, Surface twice, int frames, int percent);

} // namespace graphics
