#pragma once
// A Vorna instance created through its entry function, as a host creates it, with a recording
// host around it and typed access to the C++ object for what a host cannot see.

#include "PluginHost.h"
#include "vorn/Vorn.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"

#include <gtest/gtest.h>

class VornInstance {
public:
    VornInstance() { EXPECT_TRUE(host.UseEntry(&VSTPluginMain)) << host.Error(); }
    vorn::Vorn& Plugin() { return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(host.Effect())); }
    vst2::AEffect* Effect() { return host.Effect(); }

    hostkit::PluginHost host;
};
