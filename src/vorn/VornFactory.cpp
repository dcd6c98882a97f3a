// The product's answer to the adapters' factory: Vorna is the core every format adapter makes. It
// is compiled into the binaries that hold an adapter (the plug-in, and the entry the tools and
// tests link), next to the adapter's entry function.

#include "host/PluginFactory.h"
#include "vorn/Vorn.h"

std::unique_ptr<host::PluginBase> host::CreatePlugin(const host::PluginSetup& setup) {
    return std::make_unique<vorn::Vorn>(setup);
}
