#pragma once
// The switch that rewrites the committed editor pictures: VORNA_UPDATE_GOLDENS=1, read as every
// golden switch is (golden/GoldenSwitch.h).

#include "golden/GoldenSwitch.h"

#include <gtest/gtest.h>

#include <string>

namespace editor_test {

// True when the golden pictures are to be rewritten; a misused switch adds a failure and answers
// false, so the pictures are compared as usual.
inline bool GoldenUpdateRequested() {
    std::string problem;
    switch (golden_test::ReadGoldenSwitch("VORNA_UPDATE_GOLDENS", problem)) {
    case golden_test::GoldenSwitch::Rewrite:
        return true;
    case golden_test::GoldenSwitch::Misused:
        ADD_FAILURE() << problem;
        return false;
    case golden_test::GoldenSwitch::Compare:
        break;
    }
    return false;
}

} // namespace editor_test
