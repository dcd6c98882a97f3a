#include "Lv2UridMap.h"

namespace lv2host {

UridMap::UridMap() {
    map_.handle = this;
    map_.map = [](LV2_URID_Map_Handle handle, const char* uri) {
        return static_cast<UridMap*>(handle)->Map(uri);
    };
    unmap_.handle = this;
    unmap_.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID id) {
        return static_cast<UridMap*>(handle)->Unmap(id);
    };
}

LV2_URID UridMap::Map(const char* uri) {
    if (!uri) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = ids_.find(uri);
    if (found != ids_.end()) return found->second;
    uris_.emplace_back(uri);
    const auto id = static_cast<LV2_URID>(uris_.size());
    ids_.emplace(uris_.back(), id);
    return id;
}

const char* UridMap::Unmap(LV2_URID id) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (id == 0 || id > uris_.size()) return nullptr;
    return uris_[id - 1].c_str();
}

} // namespace lv2host
