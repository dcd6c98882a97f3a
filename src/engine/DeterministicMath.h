#pragma once
// Sine, cosine and exponential built only from +, -, * and / in a fixed order. The C libraries of
// different systems may round their own sin, cos and exp differently in the last bit; these give
// the same bits on every build, which keeps filter coefficients (and so the audio) identical.
// Accuracy: within about one unit in the last place for arguments of moderate size.

namespace engine {
namespace detmath {

double Sin(double x);
double Cos(double x);
double Exp(double x);

} // namespace detmath
} // namespace engine
