#pragma once
// The client of an MTS-ESP microtuning master. The library is bound once per process, at the
// first instance's construction (under the creation mutex, never inside the OS's library-load
// notification); each instance registers once and then asks, at every note-on, whether a master
// is connected, whether it filters the note and what frequency it gives it.

#include "engine/TuningSource.h"

#include <string>

namespace synth {

// The process-wide binding: the nine library functions (null when the library or the name is
// missing) and the tables fetched once at load.
struct MtsBinding {
    using VoidFunction = void (*)();
    using BoolFunction = bool (*)();
    using FilterFunction = bool (*)(char note, char channel);
    using TableFunction = const double* (*)();
    using ChannelTableFunction = const double* (*)(char channel);
    using ChannelFlagFunction = bool (*)(char channel);
    using NameFunction = const char* (*)();

    VoidFunction registerClient = nullptr;
    VoidFunction deregisterClient = nullptr;
    BoolFunction hasMaster = nullptr;
    FilterFunction shouldFilterNote = nullptr;
    FilterFunction shouldFilterNoteMultiChannel = nullptr;
    TableFunction getTuningTable = nullptr;
    ChannelTableFunction getMultiChannelTuningTable = nullptr;
    ChannelFlagFunction useMultiChannelTuning = nullptr;
    NameFunction getScaleName = nullptr;

    double defaultInverse[128] = {};
    const double* tuningTable = nullptr;
    const double* channelTables[16] = {};
    bool libraryLoaded = false;
};

// Binds the library on the first call; later calls return the same binding without looking for
// the library again.
const MtsBinding& MtsGlobal();

class MtsClient : public engine::TuningSource {
public:
    MtsClient();

    bool IsConnected() override;
    bool ShouldFilterNote(int note) override;
    int TunedPitch(int note) override;
    double TunedFrequency(int note);
    const std::string& ScaleName() const { return scaleName_; }

private:
    const MtsBinding& binding_;
    double retuning_[128];
    std::string scaleName_ = "12-TET";
    bool multiChannelNoteFiltering_ = false;
    bool multiChannelTuning_ = false;
    bool frequencyRequested_ = false;
};

} // namespace synth
