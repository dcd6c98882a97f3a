#pragma once
// Reads a bank file (the FXB layout with an opaque bank chunk) into its 336 preset entries without
// any of the plug-in's own code, so that the acceptance checks do not depend on the reader they
// check. Also reads a bank chunk as a host receives it from effGetChunk.

#include <cstdint>
#include <string>
#include <vector>

namespace banktest {

using Bytes = std::vector<std::uint8_t>;

constexpr int kProgramCount = 336;
constexpr int kStateSize = 157;
// Bytes 23..156 of a program state hold the 91 parameter values: what makes a sound a sound.
constexpr int kStateValuesBegin = 23;
// Where the bank chunk starts in a bank file.
constexpr std::size_t kBankChunkOffset = 160;

struct BankEntry {
    std::string name;
    bool initialised = false;
    Bytes state; // kStateSize bytes when initialised
};

struct BankImage {
    Bytes chunk; // the opaque bank chunk, as effSetChunk takes it
    std::vector<BankEntry> entries;
};

// The preset entries of a bank chunk (framework header, then 336 entries). False with a reason
// when the chunk is cut short or malformed.
bool ParseBankChunk(const Bytes& chunk, std::vector<BankEntry>& entries, std::string& error);

// A whole bank file: header checks, then its chunk. False with a reason.
bool ParseBankFile(const Bytes& file, BankImage& bank, std::string& error);
bool ReadBankFile(const std::string& path, BankImage& bank, std::string& error);

// The parameter values of a state (bytes 23..156), empty for a state that is too short.
Bytes StateValues(const Bytes& state);

// Double number index (0..5: parameters 0 to 5) of a state, little-endian.
double StateDouble(const Bytes& state, int index);

} // namespace banktest
