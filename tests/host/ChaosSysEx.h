#pragma once
// Module SysEx for the chaos hosts (VST2 and LV2): random voice and bank dumps, ways of damaging
// and splitting them, and an independent model of what the plug-in must take from a host's
// SysEx events.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace chaos {

using Bytes = std::vector<std::uint8_t>;

// The plug-in's SysEx receive rules, rebuilt independently: which joined message a host's events
// complete, and whether the plug-in must take it.
class SysExOracle {
public:
    enum class Verdict { None, Refused, VoiceData, ParamChange };
    // Feeds one SysEx event; the verdict on the message it completes, or None.
    Verdict Feed(const Bytes& event);

private:
    Bytes joined_;
};

// Dumps of the module's formats, built here from random voices, and ways of damaging them.
Bytes RandomVoiceDump(std::mt19937_64& rng);
Bytes RandomBankDump(std::mt19937_64& rng);
Bytes Mutate(Bytes message, std::mt19937_64& rng, std::string& how);
// Splits a message into one to eight events at random points.
std::vector<Bytes> Split(const Bytes& message, std::mt19937_64& rng);

std::string Hex(const Bytes& bytes, std::size_t limit = 24);
// Where two chunks part, for failure messages.
std::string Difference(const Bytes& a, const Bytes& b);

} // namespace chaos
