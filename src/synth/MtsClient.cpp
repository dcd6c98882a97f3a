#include "synth/MtsClient.h"

#include "engine/TunedPitch.h"
#include "platform/DynamicLibrary.h"
#include "platform/TuningLibrary.h"

#include <cmath>

namespace synth {

namespace {

struct MtsGlobalState {
    MtsBinding binding;
    platform::DynamicLibrary library; // freed when the plug-in library is unloaded

    MtsGlobalState() {
        for (int i = 0; i < 128; ++i)
            binding.defaultInverse[i] = 1.0 / (440.0 * std::pow(2.0, (i - 69) / 12.0));
        std::string path = platform::TuningLibraryPath();
        if (path.empty() || !library.Open(path)) return;
        binding.libraryLoaded = true;
        binding.registerClient = library.Function<MtsBinding::VoidFunction>("MTS_RegisterClient");
        binding.deregisterClient =
            library.Function<MtsBinding::VoidFunction>("MTS_DeregisterClient");
        binding.hasMaster = library.Function<MtsBinding::BoolFunction>("MTS_HasMaster");
        binding.shouldFilterNote =
            library.Function<MtsBinding::FilterFunction>("MTS_ShouldFilterNote");
        binding.shouldFilterNoteMultiChannel =
            library.Function<MtsBinding::FilterFunction>("MTS_ShouldFilterNoteMultiChannel");
        binding.getTuningTable = library.Function<MtsBinding::TableFunction>("MTS_GetTuningTable");
        binding.getMultiChannelTuningTable =
            library.Function<MtsBinding::ChannelTableFunction>("MTS_GetMultiChannelTuningTable");
        binding.useMultiChannelTuning =
            library.Function<MtsBinding::ChannelFlagFunction>("MTS_UseMultiChannelTuning");
        binding.getScaleName = library.Function<MtsBinding::NameFunction>("MTS_GetScaleName");
        if (binding.getTuningTable) binding.tuningTable = binding.getTuningTable();
        for (int c = 0; c < 16; ++c) {
            binding.channelTables[c] =
                binding.getMultiChannelTuningTable
                    ? binding.getMultiChannelTuningTable(static_cast<char>(c))
                    : nullptr;
        }
    }
};

} // namespace

const MtsBinding& MtsGlobal() {
    static MtsGlobalState state;
    return state.binding;
}

MtsClient::MtsClient() : binding_(MtsGlobal()) {
    for (int i = 0; i < 128; ++i) retuning_[i] = 440.0 * std::pow(2.0, (i - 69) / 12.0);
    if (binding_.registerClient) binding_.registerClient();
}

bool MtsClient::IsConnected() {
    return binding_.tuningTable && binding_.hasMaster && binding_.hasMaster();
}

bool MtsClient::ShouldFilterNote(int note) {
    multiChannelNoteFiltering_ = false;
    if (!frequencyRequested_) multiChannelTuning_ = false;
    if (!IsConnected()) return false;
    if (!binding_.shouldFilterNote) return false;
    return binding_.shouldFilterNote(static_cast<char>(note & 127), static_cast<char>(0xFF));
}

double MtsClient::TunedFrequency(int note) {
    multiChannelTuning_ = false;
    frequencyRequested_ = true;
    if (IsConnected()) return binding_.tuningTable[note & 127];
    return retuning_[note & 127];
}

int MtsClient::TunedPitch(int note) {
    if (!IsConnected()) return note * 128;
    return engine::PitchOfFrequency(TunedFrequency(note));
}

} // namespace synth
