#include "Fft.h"

#include <cmath>
#include <utility>

namespace listen {

bool Fft(std::vector<std::complex<double>>& data) {
    const std::size_t n = data.size();
    if (n == 0 || (n & (n - 1)) != 0) return false;
    // Reorder into bit-reversed index order, so the butterflies can work in place.
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    const double pi = 3.14159265358979323846;
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * pi / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> twiddle(1.0, 0.0);
            for (std::size_t k = 0; k < length / 2; ++k) {
                std::complex<double> even = data[start + k];
                std::complex<double> odd = data[start + k + length / 2] * twiddle;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
    return true;
}

} // namespace listen
