#pragma once
// The host's URID map and unmap. A plug-in may map from any thread (its worker, the audio thread
// during instantiation, the UI), so every call takes one mutex. Mapped texts are kept in a deque,
// which never moves its elements, so an unmapped text stays valid as long as the map lives.

#include <lv2/urid/urid.h>

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace lv2host {

class UridMap {
public:
    UridMap();
    UridMap(const UridMap&) = delete;
    UridMap& operator=(const UridMap&) = delete;

    // 0 for a null text, as the LV2 rules ask; else the same id for the same text, from 1 up.
    LV2_URID Map(const char* uri);
    // Null for 0 and for ids never given.
    const char* Unmap(LV2_URID id);

    LV2_URID_Map* MapFeature() { return &map_; }
    LV2_URID_Unmap* UnmapFeature() { return &unmap_; }

private:
    std::mutex mutex_;
    std::unordered_map<std::string, LV2_URID> ids_;
    std::deque<std::string> uris_; // uris_[id - 1]
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
};

} // namespace lv2host
