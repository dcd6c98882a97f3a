#pragma once
// The 91 parameter values of one program as the design tool edits them, with the facts about the
// engine that sound design needs: which operators an algorithm sends to the output, and setters
// that keep every value inside its parameter's range.

#include "host/ProgramState.h"

namespace bankgen {

using Values = host::ProgramValues;

// Every parameter at its default: the "Init" program.
Values DefaultValues();

// Index of parameter m (engine::OperatorParam) of operator op, 0 (OP1) to 3 (OP4).
int OpParam(int op, int m);

// Whether operator op (0 = OP1) is a carrier in algorithm (0..7, shown as "1".."8").
bool IsCarrier(int algorithm, int op);

// The value of parameter index as a whole number.
int Get(const Values& values, int index);
// Sets parameter index, clamped to its range (Master Volume and Master Tune keep two decimals,
// the other parameters are whole numbers).
void Put(Values& values, int index, double value);
// Adds delta to parameter index, clamped.
void Nudge(Values& values, int index, int delta);

// Shorthands for operator parameters.
inline int GetOp(const Values& v, int op, int m) {
    return Get(v, OpParam(op, m));
}
inline void PutOp(Values& v, int op, int m, double value) {
    Put(v, OpParam(op, m), value);
}
inline void NudgeOp(Values& v, int op, int m, int delta) {
    Nudge(v, OpParam(op, m), delta);
}

// Operator op sounds: it is enabled and not attenuated to silence.
bool OpSounds(const Values& values, int op);
// A carrier that sounds / a modulator that sounds.
bool SoundingCarrier(const Values& values, int op);
bool SoundingModulator(const Values& values, int op);

// Every operator uses wave W1 (the hardware module has no other waves).
bool OnlyFirstWave(const Values& values);

} // namespace bankgen
