#include "graphics/ImageCache.h"

#include "common/NumberText.h"
#include "graphics/ImageScaling.h"
#include "graphics/PngCodec.h"
#include "graphics/Scale.h"
#include "platform/Mutex.h"
#include "platform/Resources.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

namespace graphics {

namespace {

struct Cache {
    platform::RecursiveMutex mutex;
    std::map<int, std::unique_ptr<Surface>> images; // null entry: tried and failed
    std::map<std::tuple<int, int, int>, std::unique_ptr<Surface>> scaled; // id, scale, frames
    std::set<int> noTwiceSize; // ids whose twice-size picture is missing or unusable
};

Cache& TheCache() {
    // Images are handed out until the library is unloaded (or the process ends). A static
    // object rather than a leaked one, so that unloading the plug-in frees its pictures.
    static Cache cache;
    return cache;
}

// The decoded twice-size picture of an id (resource key "<id>@2x"), or an empty surface when it
// is missing, undecodable or not exactly twice the size of the image (remembered, so such a
// resource is decoded once). Called with the cache's mutex held.
Surface TwiceSize(Cache& cache, int id) {
    Surface twice;
    const auto image = cache.images.find(id);
    if (image == cache.images.end() || !image->second || cache.noTwiceSize.count(id)) return twice;
    platform::Resource resource;
    const std::string key = common::FormatInt(id) + "@2x";
    if (!platform::FindResource("PNG", key.c_str(), resource) ||
        !DecodePng(resource.data, resource.size, twice) || !IsTwiceSizeOf(twice, *image->second)) {
        cache.noTwiceSize.insert(id);
        twice = Surface();
    }
    return twice;
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
    // The twice-size picture is decoded for each scale made from it and not kept beside the
    // results (at 200 % it is the result): a window shows one scale at a time.
    auto scaled = std::make_unique<Surface>(
        ImageForScale(*image, TwiceSize(cache, id), frames, scalePercent));
    const Surface* result = scaled.get();
    cache.scaled[key] = std::move(scaled);
    return result;
}

} // namespace graphics
