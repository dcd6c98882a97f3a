#include "BenchHost.h"

#include <cstring>

namespace realtime {

namespace {

// A transport that stands still at bar 1, 120 BPM in 4/4. Only ever read by the plug-in.
const vst2::VstTimeInfo kTimeInfo = [] {
    vst2::VstTimeInfo info{};
    info.sampleRate = kSampleRate;
    info.tempo = 120.0;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    info.flags =
        vst2::kVstTempoValid | vst2::kVstTimeSigValid | vst2::kVstPpqPosValid | vst2::kVstBarsValid;
    return info;
}();

vst2::IntPtr CopyText(void* data, const char* text) {
    if (!data) return 0;
    std::memcpy(data, text, std::strlen(text) + 1); // the texts fit the 64 bytes hosts provide
    return 1;
}

} // namespace

vst2::IntPtr VORNA_VSTCALL BenchHostCallback(vst2::AEffect*, vst2::Int32 opcode, vst2::Int32,
                                             vst2::IntPtr, void* data, float) {
    switch (opcode) {
    case vst2::audioMasterVersion:
        return 2400;
    case vst2::audioMasterGetTime:
        return reinterpret_cast<vst2::IntPtr>(&kTimeInfo);
    case vst2::audioMasterGetVendorString:
        return CopyText(data, "Vorna Bench");
    case vst2::audioMasterGetProductString:
        return CopyText(data, "Vorna Realtime Bench");
    case vst2::audioMasterGetVendorVersion:
        return 10000;
    default:
        return 0;
    }
}

} // namespace realtime
