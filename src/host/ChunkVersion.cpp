#include "host/ChunkVersion.h"

namespace host {

void StartChunkWithVersion(ChunkBuffer& buffer) {
    buffer.Clear();
    buffer.AppendInt32(kChunkMarker);
    buffer.AppendInt32(kFrameworkVersion);
}

std::int32_t ReadChunkVersion(const ChunkBuffer& buffer, int& position) {
    std::int32_t marker = 0;
    int next = buffer.ReadInt32(marker, position);
    if (next < 0 || marker != kChunkMarker) return 0;
    std::int32_t version = 0;
    position = buffer.ReadInt32(version, next);
    return position < 0 ? 0 : version;
}

} // namespace host
