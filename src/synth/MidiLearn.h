#pragma once
// MIDI learn: the user arms learn (or unlearn), then touches a control and moves a hardware
// controller in either order; the pair changes the controller map.

#include "common/Relaxed.h"
#include "synth/ControllerMap.h"

namespace synth {

struct LearnState {
    // Read by the audio thread as controllers arrive, without the instance's lock.
    common::Relaxed<bool> active{false};
    bool unlearn = false;
    int controller = -1; // controller received while armed, -1 none
    int parameter = -1;  // parameter (or editor button id) touched while armed, -1 none
};

// Arms (on) or disarms learn; forgets what was received before.
void StartLearn(LearnState& state, bool unlearn, bool on);

// Completes learn once it has what it needs. Learn: with both a controller and a parameter, the
// parameter is taken from every controller that had it and given to the learned controller.
// Unlearn: the learned controller loses its entry, else every controller of the learned
// parameter does. Returns true when this call switched learn off.
bool CompleteLearn(LearnState& state, ControllerMap& map);

} // namespace synth
