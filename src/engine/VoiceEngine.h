#pragma once
// The FM tone generator of one instance: 64 voices of four operators at the chip rate of
// 62 500 Hz, the shared LFO, the held-note list and the note allocation (poly with stealing of the
// oldest note, or mono with fallback to the highest held key). The render loop calls it with plain
// values; it knows nothing of hosts, MIDI queues or sample rates.

#include <cstdint>

#include "engine/EngineTables.h"
#include "engine/Filter.h"
#include "engine/HeldNotes.h"
#include "engine/Lfo.h"
#include "engine/VoiceBank.h"

namespace engine {

class TuningSource;

constexpr double kChipRate = 62500.0;

// Which implementation computes the chip samples. The reference kernel follows the voice
// description literally, one voice after another; the others run groups of voices side by side
// with SSE2 or AVX2 and must give the same bits (a unit test compares them). Fast is the widest
// one the processor runs.
enum class ChipKernel { Reference, Fast, Sse2, Avx2 };

struct GroupInput;

class VoiceEngine {
public:
    static constexpr int kVoiceCount = 64;

    VoiceEngine();

    // Every voice reset for the chip rate (after a host-rate change): pitch back to note 60,
    // voices inactive; the operator filters are redesigned only on their first reset.
    void Reset();

    // A parameter value for all 64 voices: index 2..10 for the globals (op = -1; 8 and 11..14 are
    // ignored), 23 + m for operator parameter m with op 0..3. Values outside the range are clamped.
    void SetVoiceParam(int index, int op, double value);

    void SetLfoWaveform(int waveform);
    void SetLfoSpeed(double speed);
    void SetLfoSync(bool sync);
    void SetLfoAmDepth(int depth);
    void SetLfoAmSensitivity(int sensitivity);
    void SetLfoPmDepth(int depth);
    void SetLfoPmSensitivity(int sensitivity);

    // One chip step: the LFO steps, then voices 0..voiceCount-1 are summed with the LFO outputs
    // (or with none when lfoEnabled is false).
    int ChipSample(int voiceCount, bool lfoEnabled);
    // Control-rate update of voices 0..voiceCount-1: glide, pitch to phase increments, and the
    // check that makes a voice inactive once its carrier envelopes are off.
    void ControlUpdate(int voiceCount, double pitchOffset);
    // The number of sounding voices among 0..voiceCount-1. While it is 0, ChipSample only steps
    // the LFO and returns 0, so AdvanceSilent may stand in for it.
    int SoundingCount(int voiceCount);
    // Exactly what `chipSamples` calls of ChipSample do while no voice sounds.
    void AdvanceSilent(uint32_t chipSamples) { lfo.Advance(chipSamples); }

    void SetMono(bool mono) { this->mono = mono; }
    bool Mono() const { return mono; }

    // Notes and velocities are taken as 7-bit MIDI data; velocity 0 releases the note.
    void NoteOn(int note, int velocity);
    void NoteOff(int note);
    void SustainPedal(bool down); // updates all 64 voices
    bool SustainPedalDown() const { return sustainPedal; }
    // Releases every voice and empties the held-note list.
    void AllNotesOff();
    // All Notes Off, and every voice fades to silence within a few milliseconds.
    void AllSoundOff();
    void ClearHeldNotes() { heldNotes.Clear(); }
    // Null: every note n plays at pitch n * 128 and nothing is filtered.
    void SetTuningSource(TuningSource* source) { tuning = source; }

    int HeldNoteCount() const { return heldNotes.Count(); }
    bool VoiceActive(int v) const;

    // Inspection and test hooks.
    // Chooses the kernel; false (and Fast chosen) when this build or processor cannot run it.
    bool SetChipKernel(ChipKernel kernel);
    // The kernel that runs: Reference, Sse2 or Avx2.
    ChipKernel ActiveChipKernel() const { return chipKernel; }
    static bool ChipKernelAvailable(ChipKernel kernel);
    const VoiceBank& Bank() const { return bank; }
    const OperatorSettings& Settings(int op) const { return ops[op & 3]; }
    const Lfo& GetLfo() const { return lfo; }
    const HeldNotes& Held() const { return heldNotes; }
    int Algorithm() const { return algorithm; }
    int FeedbackShift() const { return feedbackShift; }
    int Transpose() const { return transpose; }
    double PortamentoTime() const { return portamentoTime; }
    const LowPass& OperatorFilterDesign() const { return opFilter; }

private:
    void VoiceNoteOn(int v, int note, int velocity, uint32_t age, bool glide);
    void VoiceControlUpdate(int v, double pitchOffset);
    void OperatorKeyOn(int v, int op, int keyCode, int note, int velocity);
    void RecomputeTotalLevel(int v, int op);
    // Brings the levels and envelope rates of voice v up to the current settings, if they changed
    // since it last took them.
    void CatchUpSettings(int v);
    void ReleaseVoice(int v);
    int ChooseVoice() const;
    void SetGlobalParam(int index, double value);
    void SetOperatorParam(int m, int op, double value);
    int ChipSampleReference(int voiceCount, int pm, int am);
    int ChipSampleFast(int voiceCount, int pm, int am);
    template <bool kWithPm> int ChipVoiceNarrow(int v, int pm, int am);
    int VoiceChipSample(int v, int pm, int am);
    int OperatorOutput(int v, int op, uint32_t modulation, int pm, int am);
    void RebuildActiveList(int voiceCount);

    const EngineTables* tables = &Tables(); // built once per process; kept for the kernels
    VoiceBank bank;
    OperatorSettings ops[4];
    int algorithm = 0;
    int transpose = 0;
    int feedbackShift = 0;
    double portamentoTime = 0;

    // Shared output low-pass of every operator (they all run at the same rate and cutoff).
    LowPass opFilter{44100.0, 3500.0};
    alignas(32) double opFilterRows[16] = {}; // see GroupInput::filterRows
    void CopyFilterRows();

    Lfo lfo;
    bool lfoSync = false;
    HeldNotes heldNotes;
    uint32_t noteCounter = 0;
    bool mono = false;
    bool sustainPedal = false;
    TuningSource* tuning = nullptr;
    ChipKernel chipKernel = ChipKernel::Reference; // set by the constructor
    // The group kernel of the chosen instruction set (null for the reference kernel), and the
    // envelope step that runs before it.
    int (*groupKernel)(const GroupInput&, int, const bool*, bool, int, int) = nullptr;
    void (*groupEnvelopes)(const GroupInput&, int, const bool*) = nullptr;

    // The sounding voices below activeListLimit in ascending order, and for the fast kernels the
    // first slots of the groups of voices that hold one of them and which lanes sound; rebuilt
    // when a voice starts or stops (activeDirty) or the voice count changes.
    int activeList[kVoiceCount] = {};
    bool laneActive[kVoiceCount] = {};
    bool groupFull[kVoiceCount] = {};
    // Groups with at most kNarrowLanes sounding voices run them one by one; groupFirst is the
    // position of a group's first sounding voice in soundingList.
    static constexpr int kNarrowLanes = 3;
    bool groupNarrow[kVoiceCount] = {};
    int groupFirst[kVoiceCount] = {};
    int activeCount = 0;
    int soundingList[kVoiceCount] = {};
    int soundingCount = 0;
    int activeListLimit = -1;
    bool activeDirty = true;
    // Operator settings that change levels or envelope rates reach the sounding voices at once;
    // the others recompute them when they start, if settingsEpoch (counting those changes) moved
    // on since the settings they last took (settingsSeen).
    uint64_t settingsEpoch = 0;
    uint64_t settingsSeen[kVoiceCount] = {};
};

// Inline: the render loop calls it for every chip sample.
inline int VoiceEngine::ChipSample(int voiceCount, bool lfoEnabled) {
    if (voiceCount < 0) voiceCount = 0;
    if (voiceCount > kVoiceCount) voiceCount = kVoiceCount;
    lfo.Step();
    const int pm = lfoEnabled ? lfo.pmOut : 0;
    const int am = lfoEnabled ? lfo.amOut : 0;
    return groupKernel != nullptr ? ChipSampleFast(voiceCount, pm, am)
                                  : ChipSampleReference(voiceCount, pm, am);
}

// Inline: the render loop asks before every host sample.
inline int VoiceEngine::SoundingCount(int voiceCount) {
    if (voiceCount > kVoiceCount) voiceCount = kVoiceCount;
    if (voiceCount < 0) voiceCount = 0;
    if (activeDirty || activeListLimit != voiceCount) RebuildActiveList(voiceCount);
    return soundingCount;
}

} // namespace engine
