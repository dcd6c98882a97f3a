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
    // Never destroyed: images are handed out for the life of the process.
    static Cache* cache = new Cache();
    return *cache;
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
