// Bank files: SaveBankFile and LoadBankFile byte for byte, the parameter-list form made by hand,
// the body locator, all-or-nothing loads, and saves that fail part-way without harm.

#include "host/FxbFile.h"
#include "StateTestSupport.h"
#include "engine/InstrumentParams.h"
#include "host/ProgramState.h"
#include "platform/FileSizeLimit.h"
#include "unit/FailingWrite.h"

#include <algorithm>
#include <cstring>

using namespace statetest;

namespace {

void AppendFloat(Bytes& file, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    host::AppendBigEndian(file, bits);
}

// A parameter-list bank of count programs, program i with Transpose at i / 10 of its range and
// the name "Hand i", made without Vorna's writer.
Bytes HandMadeParamBank(std::uint32_t count, std::uint32_t current, std::uint32_t records) {
    Bytes file;
    host::AppendBigEndian(file, host::FourChar('C', 'c', 'n', 'K'));
    host::AppendBigEndian(file, 0);
    host::AppendBigEndian(file, host::FourChar('F', 'x', 'B', 'k'));
    host::AppendBigEndian(file, 2);
    host::AppendBigEndian(file, host::FourChar('v', 'o', 'r', 'n'));
    host::AppendBigEndian(file, 1);
    host::AppendBigEndian(file, count);
    host::AppendBigEndian(file, current);
    file.insert(file.end(), 124, 0);
    for (std::uint32_t i = 0; i < records; ++i) {
        host::AppendBigEndian(file, host::FourChar('C', 'c', 'n', 'K'));
        host::AppendBigEndian(file, 48 + 4 * 91);
        host::AppendBigEndian(file, host::FourChar('F', 'x', 'C', 'k'));
        host::AppendBigEndian(file, 1);
        host::AppendBigEndian(file, host::FourChar('v', 'o', 'r', 'n'));
        host::AppendBigEndian(file, 1);
        host::AppendBigEndian(file, 91);
        std::string name = "Hand " + std::to_string(i);
        name.resize(28, '\0');
        file.insert(file.end(), name.begin(), name.end());
        for (int p = 0; p < 91; ++p)
            AppendFloat(file, p == engine::kTranspose ? static_cast<float>(i) / 10.0f : 0.0f);
    }
    return file;
}

} // namespace

TEST(FxbFile, SavedBankLoadsByteForByte) {
    TempFolder folder;
    VornInstance source;
    StoreAllPatternPrograms(source.Plugin());
    ASSERT_TRUE(source.Plugin().SaveBankFile(folder.File("a.fxb")));
    Bytes saved = ReadBytes(folder.File("a.fxb"));
    std::uint32_t chunkSize = 0;
    ASSERT_TRUE(host::ReadBigEndian(saved, 156, chunkSize));
    EXPECT_EQ(chunkSize + 160, saved.size());
    std::uint32_t byteSize = 0;
    host::ReadBigEndian(saved, 4, byteSize);
    EXPECT_EQ(byteSize, saved.size());

    VornInstance target;
    target.Plugin().RecallPreset(0);
    ASSERT_TRUE(target.Plugin().LoadBankFile(folder.File("a.fxb")));
    EXPECT_EQ(Programs(target.Plugin()), Programs(source.Plugin()));
    ASSERT_TRUE(target.Plugin().SaveBankFile(folder.File("b.fxb")));
    EXPECT_EQ(ReadBytes(folder.File("b.fxb")), saved);
}

TEST(FxbFile, OpaqueBankKeepsTheCurrentIndexAndParameterBankRecallsTheFilesCurrent) {
    VornInstance source;
    StoreAllPatternPrograms(source.Plugin());
    source.Plugin().RecallPreset(9);
    Bytes bank = source.Plugin().BankFileImage();

    VornInstance target;
    vorn::Vorn& plugin = target.Plugin();
    plugin.RecallPreset(30);
    ASSERT_TRUE(plugin.LoadBankData(bank));
    EXPECT_EQ(plugin.CurrentPresetIndex(), 30);
    EXPECT_EQ(plugin.PresetName(30), source.Plugin().PresetName(30));

    ASSERT_TRUE(plugin.LoadBankData(HandMadeParamBank(3, 2, 3)));
    EXPECT_EQ(plugin.CurrentPresetIndex(), 2);
    EXPECT_EQ(plugin.PresetName(0), "Hand 0");
    EXPECT_EQ(plugin.PresetName(2), "Hand 2");
    // Transpose -128..127 at 0.2 of the range: -128 + 51 = -77.
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), -77);
    plugin.RecallPreset(1);
    EXPECT_EQ(plugin.GetParam(engine::kTranspose).Value(), std::floor(-128 + 25.5 + 0.5));
    // Programs past the file's count keep their sounds.
    EXPECT_EQ(plugin.PresetName(3), source.Plugin().PresetName(3));
}

TEST(FxbFile, BadBanksAreRefusedWithEveryProgramKept) {
    VornInstance source;
    StoreAllPatternPrograms(source.Plugin());
    Bytes good = source.Plugin().BankFileImage();

    VornInstance target;
    vorn::Vorn& plugin = target.Plugin();
    auto programs = Programs(plugin);
    std::vector<double> values = ParamValues(plugin);
    auto refused = [&](const Bytes& file, const char* what) {
        EXPECT_FALSE(plugin.LoadBankData(file)) << what;
        EXPECT_EQ(Programs(plugin), programs) << what;
        EXPECT_EQ(ParamValues(plugin), values) << what;
    };
    refused(Bytes(good.begin(), good.end() - 1), "last state cut short");
    refused(Bytes(good.begin(), good.begin() + good.size() / 3), "cut in the middle");
    refused(Bytes(good.begin(), good.begin() + 100), "header cut short");
    Bytes oversize = good;
    oversize[156] = 0x01; // chunk size 16 MB past the file's end
    refused(oversize, "chunk size larger than the file");
    Bytes foreign = good;
    foreign[16] = 'V';
    refused(foreign, "other plug-in");
    refused(HandMadeParamBank(5, 0, 4), "FxBk whose count runs past the end");
    refused(HandMadeParamBank(0x7FFFFFFF, 0, 1), "FxBk with an absurd count");
    Bytes badRecord = HandMadeParamBank(3, 0, 3);
    badRecord[156 + 420 + 8] = 'Q'; // second record's magic
    refused(badRecord, "FxBk with a broken record");
    refused(Bytes(), "empty");
}

TEST(FxbFile, BodyLocator) {
    VornInstance vorn;
    std::int32_t id = vorn.Plugin().UniqueId();
    Bytes bank = vorn.Plugin().BankFileImage();
    EXPECT_EQ(host::LocateBankBody(bank, id), 168);
    EXPECT_EQ(host::LocateBankBody(bank, id + 1), 0);
    Bytes noHeader = bank;
    noHeader.erase(noHeader.begin() + 160, noHeader.begin() + 168);
    EXPECT_EQ(host::LocateBankBody(noHeader, id), 160);
    EXPECT_EQ(host::LocateBankBody(Bytes(bank.begin(), bank.begin() + 164), id), -1);
    EXPECT_EQ(host::LocateBankBody(Bytes(bank.begin(), bank.begin() + 100), id), -1);
    EXPECT_EQ(host::LocateBankBody(Bytes(bank.begin(), bank.begin() + 10), id), 0);
    EXPECT_EQ(host::LocateBankBody(HandMadeParamBank(1, 0, 1), id), 156);

    host::ChunkBuffer body;
    ASSERT_TRUE(host::AppendBankFileBody(bank, id, body));
    EXPECT_EQ(body.Size(), static_cast<int>(bank.size()) - 168);
    EXPECT_EQ(vorn.Plugin().CheckPresetEntries(body, 0), body.Size());
    host::ChunkBuffer none;
    EXPECT_FALSE(host::AppendBankFileBody(Bytes(bank.begin(), bank.begin() + 100), id, none));
    EXPECT_TRUE(none.Empty());
}

TEST(FxbFile, SaveThatFailsPartWayKeepsTheOldFileAndReportsFailure) {
    TempFolder folder;
    VornInstance vorn;
    std::string path = folder.File("user.fxb");
    ASSERT_TRUE(vorn.Plugin().SaveBankFile(path));
    Bytes first = ReadBytes(path);
    // Saving over an existing file replaces it.
    vorn.Plugin().ModifyCurrentPreset("Second");
    ASSERT_TRUE(vorn.Plugin().SaveBankFile(path));
    Bytes original = ReadBytes(path);
    EXPECT_NE(original, first);
    // A folder that does not exist.
    EXPECT_FALSE(vorn.Plugin().SaveBankFile(folder.File("missing/user.fxb")));

    // A full disk: writes stop after 4 KB.
    vorn.Plugin().ModifyCurrentPreset("Changed");
    FailingWrite failing(path, 4096);
    ASSERT_TRUE(failing.Active()) << "no way to make a write fail on this OS";
    bool saved = vorn.Plugin().SaveBankFile(path);
    bool savedProgram = vorn.Plugin().SaveProgramFile(folder.File("user.fxb.fxp"));
    failing.End();
    EXPECT_FALSE(saved);
    EXPECT_TRUE(savedProgram); // small enough to fit
    EXPECT_EQ(ReadBytes(path), original);
    // No temporary file is left behind.
    auto names = folder.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"user.fxb", "user.fxb.fxp"}));
}

// Windows folders have no write permission that stops new files (their read-only attribute does
// not), so the case exists only where folders have one.
#ifndef _WIN32
TEST(FxbFile, SaveIntoAReadOnlyFolderFailsAndKeepsTheFile) {
    TempFolder folder;
    VornInstance vorn;
    std::string path = folder.File("user.fxb");
    ASSERT_TRUE(vorn.Plugin().SaveBankFile(path));
    Bytes original = ReadBytes(path);
    std::filesystem::permissions(folder.Path(),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    // Root may write into any folder: its accesses are checked as an unprivileged user's here.
    const bool unprivileged = platform::UseUnprivilegedFileAccess();
    bool probeWritten = std::ofstream(folder.File("probe")).good();
    vorn.Plugin().ModifyCurrentPreset("Changed");
    bool saved = vorn.Plugin().SaveBankFile(path);
    if (unprivileged) platform::RestoreFileAccess();
    ASSERT_FALSE(probeWritten) << "the folder without write permission still takes new files";
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"user.fxb"});
}
#endif
