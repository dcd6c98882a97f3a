#include "engine/TunedPitch.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace engine {

namespace {

constexpr int kTableSize = 136;

// Semitone frequencies above note 0, rounded to three decimals as the curve defines them (the
// four notes 124..127 carry two decimals, the top entry its own value), and the mirrored curve
// below note 0. Computed once; the rounding makes every build agree.
struct FrequencyTables {
    std::array<double, kTableSize> up{};
    std::array<double, kTableSize> down{};

    FrequencyTables() {
        for (int n = 0; n < kTableSize; ++n) {
            double exact = 440.0 * std::pow(2.0, (n - 69) / 12.0);
            up[static_cast<std::size_t>(n)] = std::round(exact * 1000.0) / 1000.0;
            down[static_cast<std::size_t>(n)] = 8.176 * std::pow(2.0, -n / 12.0);
        }
        up[0] = 8.176;
        up[124] = 10548.08;
        up[125] = 11175.3;
        up[126] = 11839.82;
        up[127] = 12543.85;
        up[135] = 19912.127;
        down[0] = 8.176;
        down[135] = 0.0033570162;
    }
};

const FrequencyTables& Tables() {
    static const FrequencyTables tables;
    return tables;
}

} // namespace

double PitchFrequency(int p) {
    if (p == 0) return 8.176;
    if (p > 17279) return 19912.127;
    if (p < -17279) return 0.0033570162;
    const FrequencyTables& tables = Tables();
    int magnitude = std::abs(p);
    std::size_t k = static_cast<std::size_t>(magnitude / 128);
    double r = (magnitude % 128) / 128.0;
    const auto& table = p > 0 ? tables.up : tables.down;
    return table[k] + (table[k + 1] - table[k]) * r;
}

int PitchOfFrequency(double f) {
    int pitch = 8640;
    int step = 8640;
    do {
        step /= 2;
        double v = PitchFrequency(pitch);
        if (f < v) {
            pitch -= step;
        } else if (f > v) {
            pitch += step;
        } else {
            break;
        }
    } while (step != 0);
    return pitch;
}

} // namespace engine
