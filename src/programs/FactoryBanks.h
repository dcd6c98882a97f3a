#pragma once
// The twelve factory banks embedded in the library: complete FXB bank images found by their key
// word. They are always read from the library, never from disk; the file name is carried only
// for the browser's list.

#include "host/ChunkBuffer.h"
#include "platform/Resources.h"

#include <array>

namespace programs {

struct FactoryBank {
    const char* displayName;
    const char* fileName;
    const char* key;
};

constexpr int kFactoryBankCount = 12;
constexpr int kFactorySoundsIndex = 0;
constexpr int kEmptyBankIndex = 1;
// The resource type under which the images are embedded.
constexpr const char* kFactoryBankResourceType = "PROGINIT";

const std::array<FactoryBank, kFactoryBankCount>& FactoryBanks();

// The image of factory bank index; an index outside 1 to 11 gives "FACTORY".
bool FindFactoryImage(int index, platform::Resource& resource);

// Where the preset entries of an embedded image start: past the FXB header and its chunk-size
// field, and past the framework header when there is one. Embedded images are not tested for
// magic or ID; -1 when the image is shorter than its header.
int FactoryImageEntriesStart(const host::ChunkBuffer& image);

} // namespace programs
