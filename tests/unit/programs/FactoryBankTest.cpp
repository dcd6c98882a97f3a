// The twelve embedded factory banks: each parses as a complete bank in the published layout,
// "EMPTY" holds 336 default programs named "Init", and every image is exactly what the generator
// makes from Vorna's program descriptions.

#include "BankImages.h"
#include "host/ChunkVersion.h"
#include "host/FxbFile.h"
#include "host/ProgramState.h"
#include "programs/FactoryBanks.h"
#include "unit/vorn/VornTestSupport.h"

#include <cstring>

namespace {

host::FileBytes Image(int index) {
    platform::Resource resource;
    EXPECT_TRUE(programs::FindFactoryImage(index, resource)) << index;
    return host::FileBytes(resource.data, resource.data + resource.size);
}

std::uint32_t At(const host::FileBytes& file, std::size_t offset) {
    std::uint32_t value = 0;
    EXPECT_TRUE(host::ReadBigEndian(file, offset, value));
    return value;
}

} // namespace

TEST(FactoryBanks, EveryImageIsACompleteBankOf336TaggedPrograms) {
    for (int index = 0; index < programs::kFactoryBankCount; ++index) {
        SCOPED_TRACE(programs::FactoryBanks()[static_cast<std::size_t>(index)].key);
        host::FileBytes file = Image(index);
        ASSERT_GT(file.size(), 168u);
        EXPECT_EQ(At(file, 0), host::FourChar('C', 'c', 'n', 'K'));
        EXPECT_EQ(At(file, 4), file.size());
        EXPECT_EQ(At(file, 8), host::FourChar('F', 'B', 'C', 'h'));
        EXPECT_EQ(At(file, 12), 2u);
        EXPECT_EQ(At(file, 16), host::FourChar('v', 'o', 'r', 'n'));
        EXPECT_EQ(At(file, 20), index == 0 ? 10100u : 10101u);
        EXPECT_EQ(At(file, 24), 336u);
        EXPECT_EQ(At(file, 28), 0u);
        for (std::size_t i = 32; i < 156; ++i) ASSERT_EQ(file[i], 0) << i;
        EXPECT_EQ(At(file, 156), file.size() - 160);

        host::ChunkBuffer chunk;
        chunk.Assign(file.data() + 160, file.size() - 160);
        int p = 0;
        EXPECT_EQ(host::ReadChunkVersion(chunk, p), host::kFrameworkVersion);
        for (int program = 0; program < 336; ++program) {
            std::string name;
            p = chunk.ReadText(name, p);
            std::uint8_t initialised = 0;
            p = chunk.ReadByte(initialised, p);
            ASSERT_GE(p, 0) << program;
            ASSERT_EQ(initialised, 1) << program;
            EXPECT_EQ(name.size(), 7u) << program;
            ASSERT_EQ(std::memcmp(chunk.Data() + p, "Vorna_1.1.0", 11), 0) << program;
            EXPECT_EQ(chunk.Data()[p + 22], 6) << program;
            EXPECT_EQ(chunk.Data()[p + 71], 85) << program;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk.Data()) + p + 15, 7), name);
            host::StoredState state;
            ASSERT_EQ(host::ParseProgramState(chunk, p, state), p + host::kStateSize);
            EXPECT_EQ(state.programIndex, program);
            p += host::kStateSize;
        }
        EXPECT_EQ(p, chunk.Size());
    }
}

TEST(FactoryBanks, EmptyBankHoldsTheDefaultProgramNamedInit) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    host::FileBytes empty = Image(programs::kEmptyBankIndex);
    ASSERT_TRUE(plugin.LoadBankData(empty));
    for (int program = 0; program < 336; program += 47) {
        EXPECT_EQ(plugin.PresetName(program), "Init   ");
        plugin.RecallPreset(program);
        for (int p = 0; p < plugin.ParamCount(); ++p)
            EXPECT_EQ(plugin.GetParam(p).Value(), plugin.GetParam(p).Default()) << p;
    }
}

TEST(FactoryBanks, ImagesAreWhatTheGeneratorMakesAndFoundByKey) {
    // The generator expands the committed sources and levels without rendering anything.
    bankgen::FactorySet set;
    bankgen::Problems problems;
    ASSERT_TRUE(
        bankgen::LoadFactorySet(VORNA_BANKS_FOLDER, bankgen::LevelUse::Require, set, problems))
        << problems.Joined();
    for (int index = 0; index < programs::kFactoryBankCount; ++index)
        EXPECT_TRUE(Image(index) == bankgen::BuildFactoryBankImage(set, index))
            << programs::FactoryBanks()[static_cast<std::size_t>(index)].fileName
            << " is out of date: run vorna_bankgen resources/banks";
    // An index outside 1 to 11 selects the factory sounds.
    EXPECT_EQ(Image(-1), Image(0));
    EXPECT_EQ(Image(12), Image(0));
    EXPECT_NE(Image(2), Image(0));
    platform::Resource resource;
    EXPECT_TRUE(platform::FindResource("PROGINIT", "COLLECTION9", resource));
    EXPECT_FALSE(platform::FindResource("PROGINIT", "COLLECTION10", resource));
}
