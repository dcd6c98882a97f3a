#pragma once
// The parameter ports' defaults as the bundle's description states them: the values of the
// factory start-up program. Generated with the description (tools/lv2ttl), so the two agree.

namespace lv2 {

extern const int kPortDefaultCount;
extern const float kPortDefaults[];

} // namespace lv2
