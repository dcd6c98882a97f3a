#pragma once
// PNG images from the embedded resources (type "PNG", key = the decimal id), decoded once per id
// and kept until the library is unloaded. A missing or undecodable image is remembered as such and
// draws nothing.

#include "graphics/Surface.h"

namespace graphics {

// The decoded image of a resource id, or null when there is none or it is not a valid PNG. The
// pointer stays valid until the library is unloaded.
const Surface* CachedImage(int id);

} // namespace graphics
