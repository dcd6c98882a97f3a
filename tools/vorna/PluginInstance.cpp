#include "PluginInstance.h"

#include "host/VstEntry.h"
#include "vorn/Vorn.h"

namespace vorna_tool {

bool PluginInstance::Create(std::string& error) {
    if (!host_.UseEntry(&VSTPluginMain)) {
        error = "cannot create a plug-in instance: " + host_.Error();
        return false;
    }
    return true;
}

vorn::Vorn& PluginInstance::Plugin() {
    return *static_cast<vorn::Vorn*>(host::VstPlugin::FromEffect(host_.Effect()));
}

} // namespace vorna_tool
