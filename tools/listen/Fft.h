#pragma once
// An in-place radix-2 fast Fourier transform of complex samples, enough for drawing spectrograms.

#include <complex>
#include <vector>

namespace listen {

// Transforms data (its size a power of two) in place: X[k] = sum x[n] e^(-2 pi i k n / N).
// False, with data unchanged, when the size is not a power of two.
bool Fft(std::vector<std::complex<double>>& data);

} // namespace listen
