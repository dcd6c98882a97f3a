#include "PluginInstance.h"
#include "vst2/Vst2Adapter.h"

#include "vorn/Vorn.h"
#include "vst2/VstEntry.h"

namespace vorna_tool {

bool PluginInstance::Create(std::string& error) {
    if (!host_.UseEntry(&VSTPluginMain)) {
        error = "cannot create a plug-in instance: " + host_.Error();
        return false;
    }
    return true;
}

vorn::Vorn& PluginInstance::Plugin() {
    return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(host_.Effect()));
}

} // namespace vorna_tool
