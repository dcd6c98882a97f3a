#include "graphics/ImageCache.h"

#include "common/NumberText.h"
#include "graphics/PngCodec.h"
#include "graphics/Scale.h"
#include "platform/Mutex.h"
#include "platform/Resources.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace graphics {

namespace {

struct Cache {
    platform::RecursiveMutex mutex;
    std::map<int, std::unique_ptr<Surface>> images; // null entry: tried and failed
    std::map<std::tuple<int, int, int>, std::unique_ptr<Surface>> scaled; // id, scale, frames
};

Cache& TheCache() {
    // Images are handed out until the library is unloaded (or the process ends). A static
    // object rather than a leaked one, so that unloading the plug-in frees its pictures.
    static Cache cache;
    return cache;
}

} // namespace

const Surface* CachedImage(int id) {
    Cache& cache = TheCache();
    platform::ScopedLock lock(cache.mutex);
    auto found = cache.images.find(id);
    if (found != cache.images.end()) return found->second.get();
    std::unique_ptr<Surface> image;
    platform::Resource resource;
    if (platform::FindResource("PNG", common::FormatInt(id).c_str(), resource)) {
        image = std::make_unique<Surface>();
        if (!DecodePng(resource.data, resource.size, *image)) image.reset();
    }
    const Surface* result = image.get();
    cache.images[id] = std::move(image);
    return result;
}

const Surface* CachedImage(int id, int scalePercent, int frames) {
    const Surface* image = CachedImage(id);
    if (!image || scalePercent == 100 || !IsOfferedScale(scalePercent)) return image;
    frames = frames < 1 ? 1 : frames;
    Cache& cache = TheCache();
    platform::ScopedLock lock(cache.mutex);
    auto key = std::make_tuple(id, scalePercent, frames);
    auto found = cache.scaled.find(key);
    if (found != cache.scaled.end()) return found->second.get();
    // Stand-in until the twice-size pictures exist: nearest pixel of the 100 % image.
    const int frameWidth = image->Width(), frameHeight = image->Height() / frames;
    const int width = ScaleLength(frameWidth, scalePercent);
    const int height = ScaleLength(frameHeight, scalePercent);
    auto scaled = std::make_unique<Surface>(width, height * frames);
    for (int f = 0; f < frames && frameHeight > 0; ++f)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int sx = std::min(frameWidth - 1, x * 100 / scalePercent);
                int sy = std::min(frameHeight - 1, y * 100 / scalePercent);
                scaled->SetPixel(x, f * height + y, image->Pixel(sx, f * frameHeight + sy));
            }
    const Surface* result = scaled.get();
    cache.scaled[key] = std::move(scaled);
    return result;
}

} // namespace graphics
