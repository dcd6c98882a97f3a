#include "engine/RenderLoop.h"

#include "engine/ChipPhase.h"
#include "engine/Interpolation.h"
#include "engine/VoiceEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace engine {

namespace {
constexpr double kChipSampleScale = 1.0 / 8192.0; // 2^-13: chip sum to output level
constexpr double kOutputCutoff = 16.0;            // DC blocker on the host-rate output
constexpr int kAllSoundOff = 120;                 // controllers that act in order with notes
constexpr int kAllNotesOff = 123;
} // namespace

RenderLoop::RenderLoop(VoiceEngine& voices, MidiEventQueue& midiEvents, TickClock& clock)
    : voices_(voices), midiEvents_(midiEvents), clock_(clock) {}

bool RenderLoop::Reset(double hostRate) {
    state_.pitchBend = 0.0;
    state_.modWheel = 0.0;
    state_.aftertouch = 0.0;
    state_.breath = 0.0;
    state_.foot = 0.0;
    if (hostRate == state_.storedSampleRate) return false;

    AllNotesOff();
    state_.storedSampleRate = hostRate;
    // Bounded, so that no rate a caller passes can give a tick that does not fit an int.
    clock_.tickInterval = static_cast<int>(std::lround(std::clamp(hostRate / 1000.0, 1.0, 1.0e6)));
    state_.chipFilter.ClearHistory();
    state_.chipFilter.Design(ChipFilter::kChipCutoff);
    for (double& x : state_.history) x = 0.0;
    state_.chipPhase = 0.0;
    state_.chipRatio = kChipRate / hostRate;
    state_.chipJumps.Prepare(state_.chipRatio);
    state_.outputFilter.SetSampleRate(hostRate);
    state_.outputFilter.SetCutoff(kOutputCutoff);
    voices_.Reset();
    return true;
}

void RenderLoop::AllNotesOff() {
    state_.voiceEvents.Clear();
    carriedEvents_ = 0;
    voices_.AllNotesOff();
}

void RenderLoop::SetMono(bool mono) {
    state_.mono = mono;
    voices_.SetMono(mono);
}

void RenderLoop::ControlTick(int voiceCount) {
    const int interval = clock_.tickInterval;
    // 0. A voice event waits for the index within a chunk that equals its offset. When the
    // pieces rendered are shorter than a tick (a block size below the tick, or a host that sends
    // offsets beyond its block), that index may never come, and the event would hold back every
    // later note and panic for good. One that has already missed a whole further tick is
    // applied now, in order, before this tick's events.
    for (; carriedEvents_ > 0 && !state_.voiceEvents.Empty(); --carriedEvents_)
        ApplyVoiceEvent(state_.voiceEvents.Front());
    carriedEvents_ = state_.voiceEvents.Size();
    // 1. Messages due within this tick. A controller may change LFO settings.
    if (!midiEvents_.Empty() && midiEvents_.FrontOffset() < interval) CatchUpSilence();
    while (!midiEvents_.Empty() && midiEvents_.FrontOffset() < interval) {
        MidiEvent event = midiEvents_.Front();
        midiEvents_.PopFront();
        switch (event.status >> 4) {
        case 0x9:
            if (event.data2 == 0) event.status = 0x80;
            state_.voiceEvents.Push(event);
            break;
        case 0x8:
            state_.voiceEvents.Push(event);
            break;
        case 0xB:
            switch (event.data1) {
            case 64:
            case kAllSoundOff:
            case kAllNotesOff:
                state_.voiceEvents.Push(event);
                break;
            case 1:
                state_.modWheel = event.data2 / 127.0;
                break;
            case 2:
                state_.breath = event.data2 / 127.0;
                break;
            case 4:
                state_.foot = event.data2 / 127.0;
                break;
            default:
                if (controllerHandler_)
                    controllerHandler_(controllerContext_, event.data1, event.data2);
                break;
            }
            break;
        case 0xD:
            state_.aftertouch = event.data1 / 127.0;
            break;
        case 0xE:
            state_.pitchBend = (event.data1 + 128 * event.data2 - 8192) / 8192.0;
            break;
        default:
            break;
        }
    }
    midiEvents_.ReduceOffsets(interval);

    // 2. The PMD controller overrides the LFO PM depth while it moves.
    if (const double* source = state_.PmdValue()) {
        double v = state_.pmdSmoother.ProcessAtRest(*source);
        int t = static_cast<int>(std::lround(v * 127.0));
        if (t != state_.lastPmdValue) {
            CatchUpSilence();
            state_.lastPmdValue = t;
            voices_.SetLfoPmDepth(std::clamp(t, 0, 127));
        }
    }

    // 3. Pitch offset: master tune plus the smoothed bend (not stepped while the range is 0).
    double pitchOffset = state_.tuneOffset;
    if (state_.bendRange != 0.0)
        pitchOffset += state_.bendSmoother.ProcessAtRest(state_.pitchBend) * state_.bendRange;

    // 4. Control-rate update of the computed voices.
    voices_.ControlUpdate(voiceCount, pitchOffset);
}

void RenderLoop::ApplyVoiceEvents(int index) {
    VoiceEventQueue& queue = state_.voiceEvents;
    while (!queue.Empty() && queue.FrontOffset() == index) {
        ApplyVoiceEvent(queue.Front());
        if (carriedEvents_ > 0) --carriedEvents_;
    }
}

void RenderLoop::ApplyVoiceEvent(MidiEvent event) {
    CatchUpSilence(); // a note may restart the LFO
    silent_ = false;  // and start a voice
    state_.voiceEvents.PopFront();
    switch (event.status & 0xF0) {
    case 0xB0:
        // The panics act on the voices sounding now: events after them in this tick still play.
        if (event.data1 == 64)
            voices_.SustainPedal(event.data2 > 0);
        else if (event.data1 == kAllSoundOff)
            voices_.AllSoundOff();
        else
            voices_.AllNotesOff();
        break;
    case 0x80:
        voices_.NoteOff(event.data1);
        break;
    case 0x90:
        voices_.NoteOn(event.data1, event.data2);
        break;
    default:
        break;
    }
}

double RenderLoop::HostSample() {
    RenderState& s = state_;
    silent_ = false;
    while (s.chipPhase >= 1.0) {
        s.chipPhase -= 1.0;
        int sum = voices_.ChipSample(voiceCount_, s.lfoEnabled);
        double y = s.chipFilter.Process(sum * kChipSampleScale);
        s.history[0] = s.history[1];
        s.history[1] = s.history[2];
        s.history[2] = s.history[3];
        s.history[3] = y;
    }
    double t = s.chipPhase;
    s.chipPhase += s.chipRatio;
    double out = CatmullRom(s.history[0], s.history[1], s.history[2], s.history[3], t);
    return s.outputFilter.ProcessSample(out) * s.volume;
}

bool RenderLoop::RenderBlock(double* left, double* right, int frames, bool mayLeaveSilenceOut) {
    if (frames < 1) return false;
    voiceCount_ = state_.mono ? 1 : VoiceEngine::kVoiceCount;
    silent_ = false; // the voices may have been changed between blocks
    // A tick of at least one sample, so that the loop always advances.
    const int interval = std::max(clock_.tickInterval, 1);
    int remaining = frames;
    int position = 0;
    // The frames from the block's start that are +0 and have not been written; -1 once anything
    // has been written (or when the caller wants every sample written).
    int leftOut = mayLeaveSilenceOut ? 0 : -1;
    while (remaining >= 1) {
        int chunk;
        if (clock_.samplesToNextTick <= 0) {
            ControlTick(voiceCount_);
            if (remaining >= interval) {
                chunk = interval; // the next tick is due right after this chunk
            } else {
                clock_.samplesToNextTick = interval - remaining;
                chunk = remaining;
            }
        } else if (clock_.samplesToNextTick < remaining) {
            chunk = clock_.samplesToNextTick;
            clock_.samplesToNextTick = 0;
        } else {
            chunk = remaining;
            clock_.samplesToNextTick -= remaining;
        }
        remaining -= chunk;
        for (int i = 0; i < chunk;) {
            ApplyVoiceEvents(i);
            if (silenceSkip_ && Silent()) {
                // Up to the next voice event of this chunk nothing can start a voice.
                const int end = NextVoiceEvent(i, chunk);
                if (leftOut == position && SilenceIsPositiveZero()) {
                    RenderSilence(nullptr, nullptr, position, end - i);
                    leftOut = end - i + position;
                } else {
                    WriteLeftOutZeros(left, right, leftOut);
                    RenderSilence(left, right, position, end - i);
                }
                position += end - i;
                i = end;
                continue;
            }
            WriteLeftOutZeros(left, right, leftOut);
            CatchUpSilence();
            // A sounding voice stops only at a control tick, so while one sounds the render
            // cannot fall silent before the next voice event of this chunk: those samples need
            // no check. Without a sounding voice the filters may reach zero at any sample.
            const int end =
                voices_.SoundingCount(voiceCount_) != 0 ? NextVoiceEvent(i, chunk) : i + 1;
            for (; i < end; ++i, ++position) {
                const double out = HostSample();
                if (left) left[position] = state_.outputLeft ? out : 0.0;
                if (right) right[position] = state_.outputRight ? out : 0.0;
            }
        }
    }
    CatchUpSilence(); // the host may change settings between blocks
    return leftOut == frames;
}

int RenderLoop::NextVoiceEvent(int index, int chunk) const {
    const VoiceEventQueue& queue = state_.voiceEvents;
    if (!queue.Empty() && queue.FrontOffset() > index && queue.FrontOffset() < chunk)
        return queue.FrontOffset();
    return chunk;
}

bool RenderLoop::SilenceIsPositiveZero() const {
    // A resting output is 0 times the volume (or a switched-off output's 0): +0 unless the
    // volume is negative or not a number.
    const double out = 0.0 * state_.volume;
    return out == 0.0 && !std::signbit(out);
}

void RenderLoop::WriteLeftOutZeros(double* left, double* right, int& leftOut) {
    if (leftOut <= 0) {
        leftOut = -1;
        return;
    }
    if (left) std::fill(left, left + leftOut, 0.0);
    if (right) std::fill(right, right + leftOut, 0.0);
    leftOut = -1;
}

bool RenderLoop::Silent() {
    if (silent_) return true;
    const RenderState& s = state_;
    if (voices_.SoundingCount(voiceCount_) != 0) return false;
    for (double x : s.history)
        if (x != 0.0) return false;
    if (!s.chipFilter.HoldsZeros()) return false;
    const HighPass& f = s.outputFilter;
    silent_ = f.x1 == 0.0 && f.x2 == 0.0 && f.y1 == 0.0 && f.y2 == 0.0;
    return silent_;
}

void RenderLoop::CatchUpSilence() {
    if (pendingSilence_ == 0) return;
    RenderState& s = state_;
    // The chip steps the host samples would take, with the same arithmetic on the phase. Each
    // would step the LFO, sum no voice (0), pass 0 through the chip filter (which returns and
    // stores exact zeros when its history is zero) and shift that 0 into the history; so the
    // history and the filter stay as they are and only the LFO has to follow.
    voices_.AdvanceSilent(s.chipJumps.Advance(s.chipPhase, s.chipRatio, pendingSilence_));
    pendingSilence_ = 0;
}

void RenderLoop::RenderSilence(double* left, double* right, int position, int frames) {
    RenderState& s = state_;
    skippedFrames_ += frames;
    // Nothing reads the chip phase or the LFO until a sample is computed or something may change
    // them, so their advance waits and runs over as long a stretch as it can.
    pendingSilence_ += frames;
    // The interpolation of a zero history is 0 and the high-pass with a zero state turns it into
    // 0 and keeps its state at zero; one call gives the value every sample would give.
    const double out = s.outputFilter.ProcessAtRest(0.0) * s.volume;
    const double l = s.outputLeft ? out : 0.0;
    const double r = s.outputRight ? out : 0.0;
    if (left) std::fill(left + position, left + position + frames, l);
    if (right) std::fill(right + position, right + position + frames, r);
}

} // namespace engine
