#pragma once
// One plug-in instance as a DAW sets it up for playing: made through the linked-in entry function,
// opened at 44 100 Hz with the benchmark's block size, switched on, and holding 16 notes that are
// checked to sound before anything is timed.

#include "vst2/Vst2Abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {
class Vorn;
}

namespace realtime {

class PluginSession {
public:
    PluginSession() = default;
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // False with the reason when the plug-in did not load or the held notes make no sound.
    bool Open(int blockFrames, std::string& error);

    vst2::AEffect* Effect() const { return effect_; }
    vorn::Vorn& Plugin() const;
    vst2::IntPtr Dispatch(vst2::Int32 opcode, vst2::Int32 index = 0, vst2::IntPtr value = 0,
                          void* data = nullptr, float opt = 0.0f) const;
    // A copy of the chunk effGetChunk gives: index 0 the bank, 1 the current program.
    std::vector<std::uint8_t> CopyChunk(int index) const;

private:
    bool HoldNotesAndCheckSound(int blockFrames, std::string& error);

    vst2::AEffect* effect_ = nullptr;
};

} // namespace realtime
