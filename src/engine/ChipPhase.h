#pragma once
// The chip-rate phase of the render loop, advanced over many host samples at once. Per host
// sample the loop does: while (phase >= 1) { phase -= 1; one chip step; } phase += ratio. This
// gives the same phase, to the bit, and the number of chip steps taken.

#include <cstdint>

namespace engine {

// Advances phase over frames host samples; returns the number of chip steps.
uint32_t AdvanceChipPhase(double& phase, double ratio, int frames);

} // namespace engine
