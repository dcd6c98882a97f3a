#pragma once
// What the UI takes from the host's feature list: the parent window to embed in (required), the
// plug-in instance (instance access), and the host's resize and touch functions (optional).

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

namespace lv2::ui {

struct HostFeatures {
    void* parent = nullptr;   // ui:parent, the X11 window id
    void* instance = nullptr; // instance-access, the plug-in's LV2_Handle
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
};

HostFeatures ReadHostFeatures(const LV2_Feature* const* features);

} // namespace lv2::ui
