#include "lv2/ui/Lv2UiFeatures.h"

#include <lv2/instance-access/instance-access.h>

#include <cstring>

namespace lv2::ui {

HostFeatures ReadHostFeatures(const LV2_Feature* const* features) {
    HostFeatures found;
    if (!features) return found;
    for (const LV2_Feature* const* f = features; *f; ++f) {
        const LV2_Feature& feature = **f;
        if (!feature.URI) continue;
        if (std::strcmp(feature.URI, LV2_UI__parent) == 0)
            found.parent = feature.data;
        else if (std::strcmp(feature.URI, LV2_INSTANCE_ACCESS_URI) == 0)
            found.instance = feature.data;
        else if (std::strcmp(feature.URI, LV2_UI__resize) == 0)
            found.resize = static_cast<const LV2UI_Resize*>(feature.data);
        else if (std::strcmp(feature.URI, LV2_UI__touch) == 0)
            found.touch = static_cast<const LV2UI_Touch*>(feature.data);
    }
    // A function table without its function is none at all.
    if (found.resize && !found.resize->ui_resize) found.resize = nullptr;
    if (found.touch && !found.touch->touch) found.touch = nullptr;
    return found;
}

} // namespace lv2::ui
