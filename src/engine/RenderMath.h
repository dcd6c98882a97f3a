#pragma once
// exp, sin and cos rounded correctly to double, computed with nothing but IEEE additions,
// multiplications and divisions in double-double arithmetic. The C libraries of the supported
// systems may differ from each other in the last bit of these functions; filter coefficients
// designed with them would then differ between builds, and so would the audio. These routines give
// the same bits everywhere. They are meant for design-time values of moderate size
// (|x| up to a few hundred for exp's argument range that stays finite, |x| <= 1e6 for sin and
// cos), not for the audio path.

namespace engine {

double ExactExp(double x);
double ExactSin(double x);
double ExactCos(double x);

} // namespace engine
