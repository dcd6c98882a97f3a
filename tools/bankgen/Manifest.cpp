#include "Manifest.h"

#include "common/NumberText.h"

namespace bankgen {

std::string PitchText(double pitch) {
    if (pitch <= 0.0) return "-";
    std::string text = common::FormatFixed(pitch, 4);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string FormatManifest(const ExpandedBank& bank) {
    std::string text = "#program\tname\tpitch\tonset_ms\trelease_ms\thardware\tfamily\n";
    for (std::size_t i = 0; i < bank.programs.size(); ++i) {
        const Program& p = bank.programs[i];
        text += common::FormatInt(static_cast<long long>(i)) + "\t" + p.name + "\t" +
                PitchText(p.facts.pitch) + "\t" + common::FormatInt(p.facts.onsetMs) + "\t" +
                common::FormatInt(p.facts.releaseMs) + "\t" +
                (OnlyFirstWave(p.values) ? "same" : "waves") + "\t" + p.facts.family + "\n";
    }
    return text;
}

} // namespace bankgen
