#pragma once
// The render loop: takes queued MIDI at control ticks of about one millisecond, applies notes
// sample-accurately, steps the voice engine at the chip rate of 62 500 Hz, filters the chip
// output, interpolates it to the host rate and writes both outputs.

#include "engine/MidiEventQueue.h"
#include "engine/RenderState.h"

namespace engine {

class VoiceEngine;

// Receives the controllers the loop does not handle itself (all but 1, 2, 4, 64, 120 and 123),
// for the controller map; it may change parameters.
using MappedControllerHandler = void (*)(void* context, int controller, int value);

class RenderLoop {
public:
    RenderLoop(VoiceEngine& voices, MidiEventQueue& midiEvents, TickClock& clock);

    void SetMappedControllerHandler(MappedControllerHandler handler, void* context) {
        controllerHandler_ = handler;
        controllerContext_ = context;
    }

    // The render part of a reset, after the instrument base reset its queue and clock: clears the
    // controllers; on a new host rate also releases every note and prepares the chip-rate
    // pipeline. Returns true when the rate was new.
    bool Reset(double hostRate);
    // frames < 1 writes nothing and changes nothing. A null output is not written. With
    // mayLeaveSilenceOut, a block whose every sample is +0 is left unwritten and true is returned:
    // the caller then supplies the zeros in the form it needs (a host's float buffer), instead of
    // having doubles written and converted. Otherwise every sample is written and false returned.
    bool RenderBlock(double* left, double* right, int frames, bool mayLeaveSilenceOut = false);
    // Releases every voice and drops the note events of the current tick.
    void AllNotesOff();

    // The derived values the instrument parameters set.
    void SetMono(bool mono);
    void SetPmdSource(PmdSource source) { state_.pmdSource = source; }

    // On (the default), stretches in which nothing sounds and every filter holds zeros are
    // rendered without computing the silent stages; the output is the same to the bit. Tests turn
    // it off to compare.
    void SetSilenceSkip(bool on) { silenceSkip_ = on; }
    // Host samples rendered as silence without computing them, since construction.
    long long SkippedFrames() const { return skippedFrames_; }

    RenderState& State() { return state_; }
    const RenderState& State() const { return state_; }

private:
    void ControlTick(int voiceCount);
    void ApplyVoiceEvents(int index);
    // Removes the front voice event, which is event, and applies it.
    void ApplyVoiceEvent(MidiEvent event);
    double HostSample();
    // No voice sounds and the chip filter, the interpolation history and the high-pass hold
    // exact zeros: the output is exact zeros until a voice starts.
    bool Silent();
    // The offset of the next voice event after index within the chunk, or chunk.
    int NextVoiceEvent(int index, int chunk) const;
    // frames host samples of silence from position on: the chip phase and the LFO advance as in
    // HostSample, the silent stages are not computed.
    void RenderSilence(double* left, double* right, int position, int frames);
    // The output of a silent stretch is +0 (not -0), so that it may stand for a zero-filled block.
    bool SilenceIsPositiveZero() const;
    // Writes the +0 samples left out at the block's start, and from then on nothing is left out.
    static void WriteLeftOutZeros(double* left, double* right, int& leftOut);
    // Advances the chip phase and the LFO over the silent host samples rendered since the last
    // call. Runs before anything that reads or changes them, and at the end of a block.
    void CatchUpSilence();

    VoiceEngine& voices_;
    MidiEventQueue& midiEvents_;
    TickClock& clock_;
    RenderState state_;
    MappedControllerHandler controllerHandler_ = nullptr;
    void* controllerContext_ = nullptr;
    int voiceCount_ = 64;   // fixed for the whole block
    int carriedEvents_ = 0; // voice events at the front left over from an earlier tick
    bool silenceSkip_ = true;
    long long skippedFrames_ = 0;
    int pendingSilence_ = 0; // silent host samples whose chip steps have not been taken yet
    // Silent() held, and nothing that could start a voice or move a filter has run since.
    bool silent_ = false;
};

} // namespace engine
