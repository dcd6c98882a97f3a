#pragma once
// Glide time in seconds for a Portamento value 0..127: a piecewise-linear curve over the square
// of the normalised value, from 0 (no glide) to 5.3 s.

namespace engine {

double PortamentoSeconds(double value);

} // namespace engine
