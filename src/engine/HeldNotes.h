#pragma once
// The held-note list: note number -> velocity for every key that is down, ordered by note. A
// fixed array, so that note handling never allocates on the audio thread.

namespace engine {

class HeldNotes {
public:
    static constexpr int kNoteCount = 128;

    void Set(int note, int velocity) {
        if (note < 0 || note >= kNoteCount) return;
        if (velocities[note] == 0) ++count;
        velocities[note] = velocity > 0 ? velocity : 1;
    }
    void Remove(int note) {
        if (note < 0 || note >= kNoteCount || velocities[note] == 0) return;
        velocities[note] = 0;
        --count;
    }
    void Clear() {
        for (int& v : velocities) v = 0;
        count = 0;
    }
    int Count() const { return count; }
    bool Contains(int note) const {
        return note >= 0 && note < kNoteCount && velocities[note] != 0;
    }
    int Velocity(int note) const { return Contains(note) ? velocities[note] : 0; }
    // The largest held note number, or -1 when none is held.
    int Highest() const {
        for (int n = kNoteCount - 1; n >= 0; --n)
            if (velocities[n] != 0) return n;
        return -1;
    }

private:
    int velocities[kNoteCount] = {}; // 0: not held
    int count = 0;
};

} // namespace engine
