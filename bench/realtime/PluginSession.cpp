#include "PluginSession.h"

#include "BenchHost.h"
#include "vorn/Vorn.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"

#include <algorithm>
#include <cmath>

namespace realtime {

namespace {

constexpr int kHeldNotes = 16;
constexpr int kLowestNote = 48;
// Blocks rendered after the note-ons before the peak is read, so that the attacks have begun.
constexpr int kBlocksBeforeSoundCheck = 16;

// A VstEvents record with room for every held note (the published record declares two).
struct NoteEvents {
    vst2::Int32 numEvents = 0;
    vst2::IntPtr reserved = 0;
    vst2::VstEvent* events[kHeldNotes] = {};
};

} // namespace

PluginSession::~PluginSession() {
    if (!effect_) return;
    Dispatch(vst2::effMainsChanged, 0, 0);
    Dispatch(vst2::effClose);
}

bool PluginSession::Open(int blockFrames, std::string& error) {
    effect_ = VSTPluginMain(&BenchHostCallback);
    if (!effect_ || effect_->magic != vst2::kEffectMagic || !effect_->processReplacing) {
        effect_ = nullptr;
        error = "the plug-in failed to load: VSTPluginMain gave no usable effect";
        return false;
    }
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    Dispatch(vst2::effSetBlockSize, 0, blockFrames);
    Dispatch(vst2::effMainsChanged, 0, 1);
    return HoldNotesAndCheckSound(blockFrames, error);
}

bool PluginSession::HoldNotesAndCheckSound(int blockFrames, std::string& error) {
    vst2::VstMidiEvent notes[kHeldNotes] = {};
    NoteEvents list;
    list.numEvents = kHeldNotes;
    for (int n = 0; n < kHeldNotes; ++n) {
        notes[n].type = vst2::kVstMidiType;
        notes[n].byteSize = sizeof notes[n];
        notes[n].midiData[0] = static_cast<char>(0x90);
        notes[n].midiData[1] = static_cast<char>(kLowestNote + n);
        notes[n].midiData[2] = 100;
        list.events[n] = reinterpret_cast<vst2::VstEvent*>(&notes[n]);
    }
    Dispatch(vst2::effProcessEvents, 0, 0, &list);

    const auto frames = static_cast<std::size_t>(blockFrames);
    std::vector<std::vector<float>> outputs(
        static_cast<std::size_t>(std::max(effect_->numOutputs, 1)), std::vector<float>(frames));
    std::vector<std::vector<float>> inputs(
        static_cast<std::size_t>(std::max(effect_->numInputs, 1)), std::vector<float>(frames));
    std::vector<float*> outputPointers, inputPointers;
    for (auto& channel : outputs) outputPointers.push_back(channel.data());
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    float peak = 0.0f;
    for (int block = 0; block < kBlocksBeforeSoundCheck; ++block) {
        effect_->processReplacing(effect_, inputPointers.data(), outputPointers.data(),
                                  blockFrames);
        for (const auto& channel : outputs)
            for (float sample : channel) peak = std::max(peak, std::abs(sample));
    }
    if (peak > 0.0f && std::isfinite(peak)) return true;
    error = "the 16 held notes make no sound (peak " + std::to_string(peak) + ")";
    return false;
}

vorn::Vorn& PluginSession::Plugin() const {
    return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(effect_));
}

vst2::IntPtr PluginSession::Dispatch(vst2::Int32 opcode, vst2::Int32 index, vst2::IntPtr value,
                                     void* data, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, data, opt);
}

std::vector<std::uint8_t> PluginSession::CopyChunk(int index) const {
    void* data = nullptr;
    const vst2::IntPtr size = Dispatch(vst2::effGetChunk, index, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

} // namespace realtime
