#include "BankImages.h"

#include "BankRecipes.h"
#include "host/ChunkVersion.h"
#include "host/FxbFile.h"
#include "programs/FactoryBanks.h"
#include "programs/ProgramNumbering.h"

namespace bankgen {

namespace {

constexpr std::int32_t kPluginId = 0x766F726E; // "vorn"

void AppendEntry(host::ChunkBuffer& chunk, int index, const Program& program) {
    chunk.AppendText(program.name);
    chunk.AppendByte(1);
    host::AppendProgramState(chunk, index, program.name, program.values);
}

} // namespace

int ImageVersion(int bankIndex) {
    return bankIndex == programs::kFactorySoundsIndex ? 10100 : 10101;
}

host::FileBytes BuildFactoryBankImage(int bankIndex) {
    host::ChunkBuffer chunk;
    host::StartChunkWithVersion(chunk);
    Sequence sequence(static_cast<std::uint32_t>(1000 + bankIndex));
    int numbers[kFamilyCount] = {};
    for (int i = 0; i < programs::kProgramCount; ++i) {
        Program program;
        if (bankIndex == programs::kEmptyBankIndex) {
            program.name = "Init   ";
            program.values = DefaultValues();
        } else {
            // Each voice bank of 48 mixes the families; which one comes next is varied too.
            int family = (i + sequence.Between(0, kFamilyCount - 1)) % kFamilyCount;
            program = MakeFamilyProgram(family, ++numbers[family] % 100, sequence);
        }
        AppendEntry(chunk, i, program);
    }
    host::BankIdentity identity;
    identity.pluginId = kPluginId;
    identity.pluginVersion = ImageVersion(bankIndex);
    identity.programCount = programs::kProgramCount;
    identity.currentProgram = 0;
    return host::BuildBankFile(identity, chunk);
}

} // namespace bankgen
