#pragma once
// The scenarios of the golden renders: each one a sample rate, block sizes, a starting sound and
// MIDI at fixed sample positions. Their output is hashed and compared with committed hashes.

#include "RenderSession.h"

#include <string>
#include <vector>

struct GoldenScenario {
    std::string name;
    vorna_tool::RenderRequest request;
    bool expectSound = true;
};

std::vector<GoldenScenario> GoldenScenarios();

// FNV-1a (64 bits) over the bits of every output sample, left and right interleaved.
std::uint64_t HashRender(const vorna_tool::RenderResult& result);
