#pragma once
// The program clipboard: one program state and the program it was copied from. Empty until the
// first copy; it lives as long as the plug-in instance.

#include "host/ChunkBuffer.h"

namespace programs {

struct ProgramClipboard {
    host::ChunkBuffer state;
    int sourceIndex = -1;

    bool Empty() const { return state.Empty(); }
};

} // namespace programs
