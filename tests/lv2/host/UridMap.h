#pragma once
// The test host uses the host kit's URID map: one table per world, shared by every instance, as a
// host shares it, so that states saved by one instance restore into another.

#include "Lv2UridMap.h"

namespace lv2_test {

using UridMap = lv2host::UridMap;

} // namespace lv2_test
