#include "graphics/ImageCache.h"

#include "common/NumberText.h"
#include "graphics/PngCodec.h"
#include "platform/Mutex.h"
#include "platform/Resources.h"

#include <map>
#include <memory>

namespace graphics {

namespace {

struct Cache {
    platform::RecursiveMutex mutex;
    std::map<int, std::unique_ptr<Surface>> images; // null entry: tried and failed
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

} // namespace graphics
