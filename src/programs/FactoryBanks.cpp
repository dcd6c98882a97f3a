#include "programs/FactoryBanks.h"

#include "host/ChunkVersion.h"
#include "host/FxbFile.h"

namespace programs {

const std::array<FactoryBank, kFactoryBankCount>& FactoryBanks() {
    static const std::array<FactoryBank, kFactoryBankCount> banks = {{
        {"Factory Sounds", "init.fxb", "FACTORY"},
        {"Empty/Init", "empty.fxb", "EMPTY"},
        {"Tollund's Selected Sounds", "tollund.fxb", "TOLLUND"},
        {"Collection #1 Sounds", "collection1.fxb", "COLLECTION1"},
        {"Collection #2 Sounds", "collection2.fxb", "COLLECTION2"},
        {"Collection #3 Sounds", "collection3.fxb", "COLLECTION3"},
        {"Collection #4 Sounds", "collection4.fxb", "COLLECTION4"},
        {"Collection #5 Sounds", "collection5.fxb", "COLLECTION5"},
        {"Collection #6 Sounds", "collection6.fxb", "COLLECTION6"},
        {"Collection #7 Sounds", "collection7.fxb", "COLLECTION7"},
        {"Collection #8 Sounds", "collection8.fxb", "COLLECTION8"},
        {"Collection #9 Sounds", "collection9.fxb", "COLLECTION9"},
    }};
    return banks;
}

bool FindFactoryImage(int index, platform::Resource& resource) {
    if (index < 1 || index >= kFactoryBankCount) index = kFactorySoundsIndex;
    return platform::FindResource(kFactoryBankResourceType,
                                  FactoryBanks()[static_cast<std::size_t>(index)].key, resource);
}

int FactoryImageEntriesStart(const host::ChunkBuffer& image) {
    int position = static_cast<int>(host::kBankChunkOffset);
    if (image.Size() < position) return -1;
    host::ReadChunkVersion(image, position);
    return position;
}

} // namespace programs
