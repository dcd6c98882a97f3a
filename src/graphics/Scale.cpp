#include "graphics/Scale.h"

#include <cmath>

namespace graphics {

bool IsOfferedScale(int percent) {
    for (int offered : kScalePercents)
        if (offered == percent) return true;
    return false;
}

int NearestScale(double percent) {
    if (std::isnan(percent) || percent <= kMinScalePercent) return kMinScalePercent;
    if (percent >= kMaxScalePercent) return kMaxScalePercent;
    int best = kMinScalePercent;
    for (int offered : kScalePercents)
        if (std::fabs(percent - offered) <= std::fabs(percent - best)) best = offered;
    return best;
}

} // namespace graphics
