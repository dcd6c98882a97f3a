#pragma once
// Vorna's own program descriptions for the factory banks: a few families of simple sounds (piano,
// bass, brass, bell, organ, pad, lead, pluck), each a recipe whose details vary with a seeded
// random sequence, so that every bank comes out the same on every machine and every run.

#include "host/ProgramState.h"

#include <cstdint>
#include <string>

namespace bankgen {

struct Program {
    std::string name; // exactly seven characters
    host::ProgramValues values;
};

// Every parameter at its default: the "Init" program.
host::ProgramValues DefaultValues();

// A small integer random sequence of its own (no library generator, whose output may differ
// between standard libraries).
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
    // A whole number in first..last.
    int Between(int first, int last);

private:
    std::uint32_t state_;
};

constexpr int kFamilyCount = 8;

// Program number (from 1) of family (0 to 7), varied by sequence.
Program MakeFamilyProgram(int family, int number, Sequence& sequence);

} // namespace bankgen
