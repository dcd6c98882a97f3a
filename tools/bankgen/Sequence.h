#pragma once
// A small integer random sequence of its own: a linear congruential generator whose results are
// the same with every compiler and standard library (a library generator's distributions are
// not), so the factory banks come out byte for byte the same on every machine and every run.

#include <cstdint>

namespace bankgen {

class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
    // A whole number in first..last (first <= last).
    int Between(int first, int last) {
        state_ = state_ * 1664525u + 1013904223u;
        auto span = static_cast<std::uint32_t>(last - first + 1);
        return first + static_cast<int>((state_ >> 8) % span);
    }

private:
    std::uint32_t state_;
};

// Mixes a few numbers into one seed (the bank's seed, a program number, an attempt number), so
// neighbouring programs draw unrelated sequences.
constexpr std::uint32_t MixSeed(std::uint32_t a, std::uint32_t b, std::uint32_t c = 0) {
    std::uint32_t h = 2166136261u;
    for (std::uint32_t v : {a, b, c}) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFFu;
            h *= 16777619u;
        }
    }
    return h;
}

} // namespace bankgen
