#include "BankImages.h"

#include "host/ChunkVersion.h"
#include "host/FxbFile.h"
#include "programs/FactoryBanks.h"
#include "programs/ProgramNumbering.h"

namespace bankgen {

namespace {

constexpr std::int32_t kPluginId = 0x766F726E; // "vorn"

void AppendEntry(host::ChunkBuffer& chunk, int index, const std::string& name,
                 const Values& values) {
    chunk.AppendText(name);
    chunk.AppendByte(1);
    host::AppendProgramState(chunk, index, name, values);
}

} // namespace

int ImageVersion(int bankIndex) {
    return bankIndex == programs::kFactorySoundsIndex ? 10100 : 10101;
}

host::FileBytes BuildFactoryBankImage(const FactorySet& set, int bankIndex) {
    const ExpandedBank* bank = set.Find(bankIndex);
    if (bankIndex != programs::kEmptyBankIndex &&
        (!bank || static_cast<int>(bank->programs.size()) != programs::kProgramCount))
        return {};
    host::ChunkBuffer chunk;
    host::StartChunkWithVersion(chunk);
    const Values init = DefaultValues();
    for (int i = 0; i < programs::kProgramCount; ++i) {
        if (bankIndex == programs::kEmptyBankIndex)
            AppendEntry(chunk, i, "Init   ", init);
        else
            AppendEntry(chunk, i, bank->programs[static_cast<std::size_t>(i)].name,
                        bank->programs[static_cast<std::size_t>(i)].values);
    }
    host::BankIdentity identity;
    identity.pluginId = kPluginId;
    identity.pluginVersion = ImageVersion(bankIndex);
    identity.programCount = programs::kProgramCount;
    identity.currentProgram = 0;
    return host::BuildBankFile(identity, chunk);
}

} // namespace bankgen
