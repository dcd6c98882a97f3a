// Note-on, note-off, sustain pedal and voice allocation: poly mode takes the first free voice or
// steals the oldest note; mono mode plays voice 0 and falls back to the highest key still held.

#include <cmath>

#include "engine/TuningSource.h"
#include "engine/VoiceEngine.h"

namespace engine {

namespace {

constexpr int kNoteCodes[12] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14};

// Raises notes below 15 and lowers notes above 110 by whole octaves into the chip's key range.
int FoldIntoRange(int n) {
    if (n < 15) n += 12 * ((14 - n) / 12 + 1);
    if (n > 110) n -= 12 * ((n - 111) / 12 + 1);
    return n;
}

int KeyCodeOf(int n) {
    return 16 * ((n - 15) / 12) + kNoteCodes[(n - 15) % 12];
}

} // namespace

void VoiceEngine::NoteOn(int note, int velocity) {
    note &= 127;
    velocity &= 127;
    if (velocity == 0) {
        NoteOff(note);
        return;
    }
    if (tuning != nullptr && tuning->IsConnected() && tuning->ShouldFilterNote(note & 127)) return;
    heldNotes.Set(note, velocity);
    if (lfoSync) lfo.Sync();
    const bool glide = !(mono && heldNotes.Count() <= 1);
    const int v = mono ? 0 : ChooseVoice();
    VoiceNoteOn(v, note, velocity, ++noteCounter, glide);
}

int VoiceEngine::ChooseVoice() const {
    for (int v = 0; v < kVoiceCount; ++v)
        if (!bank.voice[v].active) return v;
    // All busy: the oldest note-on. Ages are compared by their distance from the counter, which
    // stays right when the 32-bit counter wraps around.
    int oldest = 0;
    uint32_t oldestDistance = 0;
    for (int v = 0; v < kVoiceCount; ++v) {
        const uint32_t distance = noteCounter - bank.voice[v].age;
        if (distance > oldestDistance) {
            oldestDistance = distance;
            oldest = v;
        }
    }
    return oldest;
}

void VoiceEngine::VoiceNoteOn(int v, int note, int velocity, uint32_t age, bool glide) {
    CatchUpSettings(v);
    VoiceControl& vc = bank.voice[v];
    vc.note = note;
    vc.velocity = velocity;
    vc.age = age;

    const int n = FoldIntoRange(note + transpose);
    if (tuning != nullptr && tuning->IsConnected())
        vc.targetPitch = tuning->TunedPitch(n);
    else
        vc.targetPitch = n * 128;

    if (glide && portamentoTime > 0) {
        const double ms = portamentoTime * 1000.0;
        vc.glideTicks = static_cast<int>(std::floor(ms));
        if (vc.glideTicks > 0) {
            vc.pitchSlope = (vc.targetPitch - vc.pitch) / ms;
        } else {
            vc.pitch = vc.targetPitch;
            vc.pitchSlope = 0;
        }
    } else {
        vc.glideTicks = 0;
        vc.pitch = vc.targetPitch;
        vc.pitchSlope = 0;
    }

    // A gated voice (legato, or a stolen held note) only changes pitch.
    if (!vc.gate) {
        vc.silencing = false;
        const int keyCode = KeyCodeOf(n);
        for (int op = 0; op < 4; ++op) OperatorKeyOn(v, op, keyCode, n, velocity);
    }
    if (!vc.active) activeDirty = true;
    vc.active = vc.gate = true;
    VoiceControlUpdate(v, 0.0);
}

void VoiceEngine::ReleaseVoice(int v) {
    for (int op = 0; op < 4; ++op) EnvelopeKeyOff(bank.Env(op, v));
}

void VoiceEngine::NoteOff(int note) {
    note &= 127;
    heldNotes.Remove(note);
    if (mono && bank.voice[0].active && heldNotes.Count() > 0) {
        const int highest = heldNotes.Highest();
        if (highest != bank.voice[0].note)
            VoiceNoteOn(0, highest, heldNotes.Velocity(highest), ++noteCounter, true);
        return;
    }
    for (int v = 0; v < kVoiceCount; ++v) {
        VoiceControl& vc = bank.voice[v];
        if (vc.note != note) continue;
        vc.gate = false;
        if (!vc.sustained) ReleaseVoice(v);
    }
}

void VoiceEngine::SustainPedal(bool down) {
    sustainPedal = down;
    for (int v = 0; v < kVoiceCount; ++v) {
        VoiceControl& vc = bank.voice[v];
        vc.sustained = down;
        if (!vc.gate && !down) ReleaseVoice(v);
    }
}

void VoiceEngine::AllSoundOff() {
    AllNotesOff();
    for (int v = 0; v < kVoiceCount; ++v) {
        bank.voice[v].silencing = true;
        for (int op = 0; op < 4; ++op) EnvelopeSilence(bank.Env(op, v));
    }
}

void VoiceEngine::AllNotesOff() {
    heldNotes.Clear();
    sustainPedal = false;
    for (int v = 0; v < kVoiceCount; ++v) {
        VoiceControl& vc = bank.voice[v];
        vc.sustained = false;
        vc.gate = false;
        ReleaseVoice(v);
    }
}

} // namespace engine
