#pragma once
// An image from the cache with the number of frames stacked in it.

#include "graphics/Surface.h"

namespace graphics {

struct Bitmap {
    int id = 0;
    const Surface* image = nullptr; // null: missing or undecodable, draws nothing
    int frames = 1;

    int FrameWidth() const { return image ? image->Width() : 0; }
    int FrameHeight() const { return image && frames > 0 ? image->Height() / frames : 0; }
};

// The cached image of a resource id with its frame count (at least 1).
Bitmap LoadBitmap(int id, int frames);
// The same, for an image named by its path as well: the path only tells the format, and an
// extension other than ".png" (in any letter case) gives a bitmap without image.
Bitmap LoadBitmap(int id, const char* path, int frames);

// The frame that shows a value 0..1: floor((frames - 1) * value + 0.5) + 1, limited to 1..frames.
int FrameForValue(int frames, double value);

} // namespace graphics
