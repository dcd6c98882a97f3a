#include "ListenPhrase.h"

#include <algorithm>
#include <cmath>

namespace listen {

namespace {

void Note(Phrase& phrase, double sampleRate, double start, double length, int note, int velocity) {
    auto frame = [sampleRate](double seconds) {
        return static_cast<std::int64_t>(std::llround(seconds * sampleRate));
    };
    phrase.events.push_back(
        {frame(start), 0x90, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)});
    phrase.events.push_back({frame(start + length), 0x80, static_cast<std::uint8_t>(note), 64});
}

} // namespace

Phrase ListeningPhrase(double sampleRate) {
    Phrase phrase;
    Note(phrase, sampleRate, 0.0, 1.0, 60, 100);
    const int arpeggio[] = {48, 55, 64, 72, 79};
    for (int i = 0; i < 5; ++i) Note(phrase, sampleRate, 1.5 + 0.25 * i, 0.22, arpeggio[i], 90);
    for (int note : {48, 60, 64, 67, 72}) Note(phrase, sampleRate, 3.0, 1.0, note, 100);
    std::stable_sort(phrase.events.begin(), phrase.events.end(),
                     [](const PhraseEvent& a, const PhraseEvent& b) { return a.frame < b.frame; });
    phrase.frames = static_cast<std::int64_t>(std::llround(5.5 * sampleRate));
    return phrase;
}

} // namespace listen
