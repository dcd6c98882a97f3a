// How the instrument drives its engine: parameter changes into derived engine values, the reset
// for a new rate or block size, MIDI into the render loop's queue, and the rendering of a block.

#include "engine/InstrumentParams.h"
#include "vorn/Vorn.h"

#include <algorithm>
#include <cstdint>

namespace vorn {

void Vorn::ClearHeldNotes() {
    voices_.ClearHeldNotes();
}

void Vorn::ResetProcessing() {
    platform::ScopedLock lock(Mutex());
    platform::ScopedLock render(RenderMutex());
    Synth::ResetProcessing();
    render_.Reset(SampleRate());
}

void Vorn::AllNotesOff() {
    platform::ScopedLock render(RenderMutex());
    render_.AllNotesOff();
}

void Vorn::ParamNoticed(int index) {
    Synth::ParamNoticed(index); // MIDI learn takes the index first when armed
    if (!IsValidParam(index) || index < engine::kGlobalParamCount) return;
    // A switched-off operator's controls look washed out: redrawn at the next idle call.
    if ((index - engine::kGlobalParamCount) % engine::kOperatorParamCount == engine::kOpEnable)
        browser_.needsRedraw = true;
}

void Vorn::ApplyParamToEngine(int index, double value) {
    if (!IsValidParam(index)) return;
    platform::ScopedLock render(RenderMutex());
    const host::Param& param = GetParam(index);
    double span = param.Max() - param.Min();
    bool on = span > 0.0 && (value - param.Min()) / span >= 0.5;
    if (index < engine::kGlobalParamCount) {
        ApplyGlobalParam(index, value, on);
        return;
    }
    int op = (index - engine::kGlobalParamCount) / engine::kOperatorParamCount;
    int m = (index - engine::kGlobalParamCount) % engine::kOperatorParamCount;
    voices_.SetVoiceParam(engine::kGlobalParamCount + m, op, value);
}

void Vorn::ApplyGlobalParam(int index, double value, bool on) {
    engine::RenderState& state = render_.State();
    switch (index) {
    case engine::kMasterVolume:
        state.volume = value * 0.5;
        break;
    case engine::kMasterTune:
        state.tuneOffset = value * 128.0;
        break;
    case engine::kPitchBendRange:
        state.bendRange = value * 128.0;
        break;
    case engine::kMode:
        render_.SetMono(on);
        break;
    case engine::kPmdController:
        render_.SetPmdSource(
            static_cast<engine::PmdSource>(std::clamp(static_cast<int>(value), 0, 4)));
        break;
    case engine::kOutputLeft:
        state.outputLeft = on;
        break;
    case engine::kOutputRight:
        state.outputRight = on;
        break;
    case engine::kLfoEnable:
        state.lfoEnabled = on;
        break;
    case engine::kLfoWaveform:
        voices_.SetLfoWaveform(static_cast<int>(value));
        break;
    case engine::kLfoSpeed:
        voices_.SetLfoSpeed(value);
        break;
    case engine::kLfoSync:
        voices_.SetLfoSync(on);
        break;
    case engine::kLfoAmDepth:
        voices_.SetLfoAmDepth(std::min(static_cast<int>(value), 127));
        break;
    case engine::kLfoAmSensitivity:
        voices_.SetLfoAmSensitivity(std::min(static_cast<int>(value), 3));
        break;
    case engine::kLfoPmDepth:
        voices_.SetLfoPmDepth(std::clamp(static_cast<int>(value), 0, 127));
        break;
    case engine::kLfoPmSensitivity:
        voices_.SetLfoPmSensitivity(std::clamp(static_cast<int>(value), 0, 7));
        break;
    default:
        break;
    }
    // Waves, algorithm, transpose, portamento and feedback live in the voices; Mode, the outputs
    // and the bend range pass the voice setter too, which ignores them.
    if (index >= engine::kOp1Wave && index <= engine::kOutputRight)
        voices_.SetVoiceParam(index, -1, value);
}

void Vorn::RenderBlock(double** inputs, double** outputs, int frames) {
    RenderOutputs(inputs, outputs, frames, false);
}

bool Vorn::RenderBlockUnlessSilent(double** inputs, double** outputs, int frames) {
    return RenderOutputs(inputs, outputs, frames, true);
}

bool Vorn::RenderOutputs(double**, double** outputs, int frames, bool mayLeaveSilenceOut) {
    platform::ScopedLock render(RenderMutex());
    if (frames < 1 || !outputs) return false;
    return render_.RenderBlock(OutputCount() > 0 ? outputs[0] : nullptr,
                               OutputCount() > 1 ? outputs[1] : nullptr, frames,
                               mayLeaveSilenceOut);
}

void Vorn::QueueMidi(host::MidiMessage message, bool adjustOffset) {
    engine::MidiEvent event;
    std::int64_t offset = message.offset;
    int interval = tickClock_.tickInterval;
    // Past the first tick, a message takes effect at the tick nearest to its time rather than at
    // the tick before it.
    if (adjustOffset && offset > interval) offset += interval / 2;
    event.offset =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(offset, INT32_MIN, INT32_MAX));
    event.status = message.status;
    // Data bytes are 7 bits; a host that sends more gets them masked.
    event.data1 = static_cast<std::uint8_t>(message.data1 & 0x7F);
    event.data2 = static_cast<std::uint8_t>(message.data2 & 0x7F);
    midiEvents_.Add(event);
}

void Vorn::HandleMidiNow(const host::MidiMessage& message, bool controlHeld) {
    platform::ScopedLock render(RenderMutex());
    int controller = message.data1 & 0x7F;
    switch (message.status >> 4) {
    case 0x8:
        QueueMidi(message, false);
        break;
    case 0x9: {
        host::MidiMessage note = message;
        if ((note.data2 & 0x7F) == 0) note.status = 0x80; // the channel is dropped
        QueueMidi(note, false);
        break;
    }
    case 0xB:
        if (controller >= 120) {
            // All Sound Off and All Notes Off come in the same list as the last notes (hosts
            // send them at transport stop): queued at their own offset, unadjusted like notes,
            // so that they release what came before them and not what comes after.
            if (controller == 120 || controller == 123) QueueMidi(message, false);
        } else if (LearnActive() && controlHeld) {
            LearnController(controller);
        } else {
            QueueMidi(message, controller != 64);
        }
        break;
    case 0xC:
        if (!Settings().ignoreProgramChange && controlHeld) RecallPreset(message.data1 & 0x7F);
        break;
    case 0xD:
    case 0xE:
        QueueMidi(message, true);
        break;
    default:
        break; // polyphonic pressure, system messages and stray data bytes
    }
}

void Vorn::MappedController(void* context, int controller, int value) {
    static_cast<Vorn*>(context)->ApplyMappedController(controller, value);
}

} // namespace vorn
