#include "UridMap.h"

namespace lv2_test {

UridMap::UridMap() {
    map_.handle = this;
    map_.map = &MapCallback;
    unmap_.handle = this;
    unmap_.unmap = &UnmapCallback;
}

LV2_URID UridMap::Map(const char* uri) {
    if (!uri) return 0;
    auto found = ids_.find(uri);
    if (found != ids_.end()) return found->second;
    uris_.emplace_back(uri);
    LV2_URID id = static_cast<LV2_URID>(uris_.size()); // 0 means "no id"
    ids_.emplace(uris_.back(), id);
    return id;
}

const char* UridMap::Unmap(LV2_URID urid) const {
    if (urid == 0 || urid > uris_.size()) return nullptr;
    return uris_[urid - 1].c_str();
}

LV2_URID UridMap::MapCallback(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<UridMap*>(handle)->Map(uri);
}

const char* UridMap::UnmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    return static_cast<const UridMap*>(handle)->Unmap(urid);
}

} // namespace lv2_test
