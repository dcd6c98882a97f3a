#pragma once
// The host's urid:map and urid:unmap features: one table per world, shared by every instance, as
// a host shares it, so that states saved by one instance restore into another.

#include <lv2/urid/urid.h>

#include <deque>
#include <string>
#include <unordered_map>

namespace lv2_test {

class UridMap {
public:
    UridMap();
    UridMap(const UridMap&) = delete;
    UridMap& operator=(const UridMap&) = delete;

    LV2_URID Map(const char* uri);
    // Null for an id never handed out.
    const char* Unmap(LV2_URID urid) const;

    LV2_URID_Map* MapFeature() { return &map_; }
    LV2_URID_Unmap* UnmapFeature() { return &unmap_; }

private:
    static LV2_URID MapCallback(LV2_URID_Map_Handle handle, const char* uri);
    static const char* UnmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid);

    // A deque keeps every string where it is, so the pointers that Unmap gives out stay valid.
    std::deque<std::string> uris_;
    std::unordered_map<std::string, LV2_URID> ids_;
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
};

} // namespace lv2_test
