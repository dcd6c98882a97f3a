#pragma once
// The product: the four-operator FM instrument. It ties the parameter table, the engine, the
// programs and the editor to the plug-in base.

#include "synth/Synth.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vorn {

class Vorn : public synth::Synth {
public:
    static constexpr const char* kIoConfiguration = "1-0 0-2";

    explicit Vorn(vst2::HostCallback hostCallback);
    ~Vorn() override;

    void RenderBlock(double** inputs, double** outputs, int frames) override;
    void HandleMidiMessage(const host::MidiMessage& message) override;
    void HandleSysEx(const host::SysExMessage& message) override;

    // What reached the MIDI handlers, for tests: a ring of the latest short messages and a copy of
    // the latest SysEx message.
    static constexpr int kMidiLogSize = 64;
    int MidiMessagesReceived() const { return midiReceived_; }
    const host::MidiMessage& MidiMessageAt(int index) const {
        return midiLog_[static_cast<std::size_t>(index % kMidiLogSize)];
    }
    int SysExMessagesReceived() const { return sysExReceived_; }
    const std::vector<std::uint8_t>& LastSysEx() const { return lastSysEx_; }

private:
    void CreateParameters();

    std::array<host::MidiMessage, kMidiLogSize> midiLog_{};
    int midiReceived_ = 0;
    int sysExReceived_ = 0;
    std::vector<std::uint8_t> lastSysEx_;
};

} // namespace vorn
