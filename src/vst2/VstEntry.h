#pragma once
// The exported entry function. Tests that link the library statically call it directly.

#include "vst2/Vst2Abi.h"

extern "C" vst2::AEffect* VORNA_VSTCALL VSTPluginMain(vst2::HostCallback hostCallback);
