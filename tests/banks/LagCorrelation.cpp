#include "LagCorrelation.h"

#include <cmath>
#include <utility>

namespace banktest {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::size_t PowerOfTwoAtLeast(std::size_t n) {
    std::size_t size = 1;
    while (size < n) size <<= 1;
    return size;
}

} // namespace

void LagCorrelation::Plan(std::size_t size) {
    if (size == size_) return;
    size_ = size;
    int bits = 0;
    while ((std::size_t{1} << bits) < size) ++bits;
    reversed_.assign(size, 0);
    for (std::size_t i = 0; i < size; ++i) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (std::size_t{1} << b)) r |= std::size_t{1} << (bits - 1 - b);
        reversed_[i] = r;
    }
    // Each factor from its own angle rather than by repeated multiplication, whose rounding
    // would grow along the table.
    twiddles_.resize(size / 2);
    for (std::size_t k = 0; k < size / 2; ++k) {
        const double angle = -2.0 * kPi * static_cast<double>(k) / static_cast<double>(size);
        twiddles_[k] = {std::cos(angle), std::sin(angle)};
    }
}

void LagCorrelation::Transform(std::vector<std::complex<double>>& data, bool inverse) const {
    const std::size_t size = size_;
    for (std::size_t i = 0; i < size; ++i)
        if (i < reversed_[i]) std::swap(data[i], data[reversed_[i]]);
    for (std::size_t length = 2; length <= size; length <<= 1) {
        const std::size_t half = length / 2;
        const std::size_t step = size / length;
        for (std::size_t start = 0; start < size; start += length) {
            for (std::size_t j = 0; j < half; ++j) {
                std::complex<double> w = twiddles_[j * step];
                if (inverse) w = std::conj(w);
                const std::complex<double> odd = w * data[start + j + half];
                data[start + j + half] = data[start + j] - odd;
                data[start + j] += odd;
            }
        }
    }
}

void LagCorrelation::Compute(const float* x, int window, int maxLag, std::vector<double>& r) {
    r.assign(static_cast<std::size_t>(maxLag) + 1, 0.0);
    if (window <= 0 || maxLag < 0) return;
    const std::size_t span = static_cast<std::size_t>(window) + static_cast<std::size_t>(maxLag);
    // No lag up to maxLag carries a product of the window past the end of the transform, so the
    // circular correlation equals the plain one there.
    Plan(PowerOfTwoAtLeast(span));
    const std::size_t size = size_;
    // Both real sequences in one complex transform: the window (zero past its end) as the real
    // part, the whole span as the imaginary part.
    data_.assign(size, {0.0, 0.0});
    for (std::size_t i = 0; i < span; ++i) {
        const double v = x[i];
        data_[i] = {i < static_cast<std::size_t>(window) ? v : 0.0, v};
    }
    Transform(data_, false);
    // Split the two spectra by their conjugate symmetry, W = (Z[k] + Z*[-k]) / 2 and
    // S = (Z[k] - Z*[-k]) / 2i, and form conj(W) S, the spectrum of the correlation.
    product_.resize(size);
    for (std::size_t k = 0; k < size; ++k) {
        const std::complex<double> z = data_[k];
        const std::complex<double> mirror = std::conj(data_[(size - k) & (size - 1)]);
        const std::complex<double> w = 0.5 * (z + mirror);
        const std::complex<double> d = 0.5 * (z - mirror);
        const std::complex<double> s(d.imag(), -d.real()); // d / i
        product_[k] = std::conj(w) * s;
    }
    Transform(product_, true);
    const double scale = 1.0 / static_cast<double>(size);
    for (int lag = 0; lag <= maxLag; ++lag)
        r[static_cast<std::size_t>(lag)] = product_[static_cast<std::size_t>(lag)].real() * scale;
}

} // namespace banktest
