#pragma once
// The product supplies this: it constructs the one plug-in class the library exports.

#include "host/Vst2Abi.h"

namespace host {

class VstPlugin;

VstPlugin* CreatePlugin(vst2::HostCallback hostCallback);

} // namespace host
