#pragma once
// The phrase every program plays on the listening page, five and a half seconds: middle C held for
// a second and let go (attack, sustain and release), a quick rising arpeggio from C3 to G5 (the
// range), then a five-note chord held for a second and its release.

#include <cstdint>
#include <vector>

namespace listen {

struct PhraseEvent {
    std::int64_t frame = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

struct Phrase {
    std::vector<PhraseEvent> events; // sorted by frame
    std::int64_t frames = 0;
};

Phrase ListeningPhrase(double sampleRate);

} // namespace listen
