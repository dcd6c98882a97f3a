#pragma once
// The host side of the benchmark's plug-in instances. A DAW's callback is reached from its audio
// thread and its GUI thread at once, so this one keeps no state: it answers the questions a
// plug-in asks with constants and ignores everything else.

#include "vst2/Vst2Abi.h"

namespace realtime {

constexpr double kSampleRate = 44100.0;

vst2::IntPtr VORNA_VSTCALL BenchHostCallback(vst2::AEffect* effect, vst2::Int32 opcode,
                                             vst2::Int32 index, vst2::IntPtr value, void* data,
                                             float opt);

} // namespace realtime
