#include "synth/ControllerMap.h"

#include "engine/InstrumentParams.h"

namespace synth {

bool IsFixedController(int controller) {
    return controller == 1 || controller == 2 || controller == 4 || controller == 64;
}

bool IsInvertedOperatorParam(int index) {
    if (index < engine::kGlobalParamCount || index >= engine::kParamCount) return false;
    int offset = (index - engine::kGlobalParamCount) % engine::kOperatorParamCount;
    switch (offset) {
    case 1:  // Level
    case 8:  // Level Adjust
    case 11: // Attack
    case 13: // Decay 1
    case 14: // Decay 2
    case 15: // Sustain
    case 16: // Release
        return true;
    default:
        return false;
    }
}

int MappedParameter(const ControllerMap& map, int controller) {
    if (controller < 0 || controller >= kControllerCount || IsFixedController(controller))
        return -1;
    int parameter = map[static_cast<std::size_t>(controller)];
    return parameter >= 0 && parameter < engine::kParamCount ? parameter : -1;
}

double ControllerNormalized(int index, int value) {
    double x = value / 127.0;
    return IsInvertedOperatorParam(index) ? 1.0 - x : x;
}

} // namespace synth
