#pragma once
// PNG images from the embedded resources (type "PNG", key = the decimal id), decoded once per id
// and kept until the library is unloaded. A missing or undecodable image is remembered as such and
// draws nothing.

#include "graphics/Surface.h"

namespace graphics {

// The decoded image of a resource id, or null when there is none or it is not a valid PNG. The
// pointer stays valid until the library is unloaded.
const Surface* CachedImage(int id);

// The image of a resource id drawn for a scale (an offered percentage): at 100 % the image
// itself; otherwise `frames` stacked frames of round(frame width * scale / 100) x round(frame
// height * scale / 100) device pixels each, made from the image's twice-size version (key
// "<id>@2x", used only when it is exactly twice the image's size): at 200 % that picture, below
// it the picture scaled down frame by frame with an exact area average. Without a usable
// twice-size version the image itself is enlarged (bilinear). See ImageScaling.h. Null when the
// image is missing; a scale that is not offered gives the image itself. Kept like the image.
const Surface* CachedImage(int id, int scalePercent, int frames);

} // namespace graphics
