#pragma once
// The eight-byte header at the start of every chunk this plug-in makes: a marker and the
// framework version, both little-endian.

#include "host/ChunkBuffer.h"

#include <cstdint>

namespace host {

constexpr std::int32_t kChunkMarker = 0x70666674;
constexpr std::int32_t kFrameworkVersion = 0x00010000;

// Clears the buffer and appends marker and version.
void StartChunkWithVersion(ChunkBuffer& buffer);

// If the marker stands at position, reads the version after it, moves position past both words
// and returns the version. Otherwise position is unchanged and the result is 0; a marker without
// its version word sets position to -1.
std::int32_t ReadChunkVersion(const ChunkBuffer& buffer, int& position);

} // namespace host
