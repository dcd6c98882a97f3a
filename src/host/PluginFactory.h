#pragma once
// The product supplies this: it constructs the one plug-in core the library holds. A format
// adapter calls it with itself as the core's host.

#include "host/PluginBase.h"

#include <memory>

namespace host {

std::unique_ptr<PluginBase> CreatePlugin(const PluginSetup& setup);

} // namespace host
