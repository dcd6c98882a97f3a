#pragma once
// Where microtuned pitches come from. The note handling asks it for every note-on; without a
// connected source every note n plays at pitch n × 128 (1/128 semitone units).

namespace engine {

class TuningSource {
public:
    virtual ~TuningSource() = default;

    // True while a tuning master is connected.
    virtual bool IsConnected() = 0;
    // True when the master asks to drop this note (0..127) entirely.
    virtual bool ShouldFilterNote(int note) = 0;
    // The tuned pitch of note n (which may lie outside 0..127 after transpose and folding),
    // in 1/128 semitone.
    virtual int TunedPitch(int note) = 0;
};

} // namespace engine
