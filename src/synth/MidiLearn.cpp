#include "synth/MidiLearn.h"

namespace synth {

void StartLearn(LearnState& state, bool unlearn, bool on) {
    state.controller = -1;
    state.parameter = -1;
    state.unlearn = unlearn;
    state.active = on;
}

bool CompleteLearn(LearnState& state, ControllerMap& map) {
    if (!state.active) return false;
    bool haveController = state.controller >= 0 && state.controller < kControllerCount;
    bool haveParameter = state.parameter != -1;
    if (!state.unlearn) {
        if (!haveController || !haveParameter) return false; // the other half may follow
        for (int& entry : map)
            if (entry == state.parameter) entry = -1;
        map[static_cast<std::size_t>(state.controller)] = state.parameter;
        state.active = false;
        return true;
    }
    if (haveController) {
        map[static_cast<std::size_t>(state.controller)] = -1;
    } else if (haveParameter) {
        for (int& entry : map)
            if (entry == state.parameter) entry = -1;
    } else {
        return false;
    }
    state.active = false;
    state.unlearn = false;
    return true;
}

} // namespace synth
