#include "graphics/Bitmap.h"

#include "graphics/ImageCache.h"

#include <cmath>
#include <string>

namespace graphics {

Bitmap LoadBitmap(int id, int frames) {
    Bitmap bitmap;
    bitmap.id = id;
    bitmap.image = CachedImage(id);
    bitmap.frames = frames < 1 ? 1 : frames;
    return bitmap;
}

Bitmap LoadBitmap(int id, const char* path, int frames) {
    std::string name = path ? path : "";
    std::size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (extension != "png") {
        Bitmap none;
        none.id = id;
        none.frames = frames < 1 ? 1 : frames;
        return none;
    }
    return LoadBitmap(id, frames);
}

int FrameForValue(int frames, double value) {
    if (frames <= 1 || !(value > 0.0)) return 1;
    double frame = std::floor((frames - 1) * value + 0.5) + 1.0;
    if (frame > frames) return frames;
    return static_cast<int>(frame);
}

} // namespace graphics
