#pragma once
// Converts a frequency from a tuning master into the engine's pitch units (1/128 semitone) the
// way the instrument's note-frequency curve defines it: a table of semitone frequencies with
// linear interpolation in Hz between them, inverted by bisection.

namespace engine {

// The frequency in Hz of pitch p (1/128 semitone, MIDI note × 128).
double PitchFrequency(int p);

// The pitch whose frequency is nearest f, found by bisection from 8640; stays within 4..17276.
int PitchOfFrequency(double f);

} // namespace engine
