// `vorna list`, `convert`, `audition` and `render --syx/--fxb` as a user runs them: the built tool
// on files on disk. What the tool writes is loaded into a plug-in instance made in this process
// and exported again through the plug-in's own commands, so a conversion is judged by what the
// plug-in makes of it, not by the tool's own account.

#include "ToolRunner.h"
#include "WavFile.h"
#include "unit/programs/SysExTestSupport.h"
#include "vst2/Vst2Adapter.h"

#include "PluginHost.h"
#include "engine/InstrumentParams.h"
#include "programs/VoiceConversion.h"
#include "vorn/Vorn.h"
#include "vst2/VstEntry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace tooltest;
using programs::VoiceRecord;

namespace {

namespace fs = std::filesystem;

// A plug-in instance in this process, as a host makes one.
class Instance {
public:
    Instance() { EXPECT_TRUE(host.UseEntry(&VSTPluginMain)) << host.Error(); }
    vorn::Vorn& Plugin() { return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(host.Effect())); }
    hostkit::PluginHost host;
};

std::vector<VoiceRecord> RecordsOf(const std::vector<unsigned char>& bytes) {
    std::vector<VoiceRecord> records;
    EXPECT_TRUE(programs::ParseVoiceBlocks(programs::Bytes(bytes.begin(), bytes.end()), records));
    return records;
}

// What a conversion keeps of a record: the name and the value of every parameter the record
// holds, as the plug-in holds it (clamped into the parameter's range). The outputs are not part
// of it: an imported voice always has both on.
void ExpectSameVoice(const VoiceRecord& original, const VoiceRecord& back) {
    EXPECT_EQ(programs::VoiceName(back), programs::VoiceName(original));
    const programs::ParamValues a = programs::VoiceToParamValues(original);
    const programs::ParamValues b = programs::VoiceToParamValues(back);
    const auto& table = engine::InstrumentParamDefinitions();
    for (int i = 6; i < engine::kParamCount; ++i) {
        const auto& definition = table[static_cast<std::size_t>(i)];
        const double kept =
            std::clamp(a[static_cast<std::size_t>(i)], definition.min, definition.max);
        EXPECT_EQ(b[static_cast<std::size_t>(i)], kept) << definition.name;
    }
}

// Every file under folder, as paths relative to it.
std::set<std::string> FilesUnder(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_directory()) files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

std::vector<unsigned char> Bytes(const programs::Bytes& bytes) {
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

class Librarian : public ::testing::Test {
protected:
    ToolRun Vorna(const std::vector<std::string>& arguments) {
        return RunTool(folder, VORNA_TOOL, arguments);
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    std::string RealDump(const std::string& name) const {
        return sysextest::RealDumpFolder() + "/" + name;
    }
    // A bank dump of 48 recognisable voices, written as name.
    std::vector<VoiceRecord> WritePatternBank(const std::string& name, int seed = 1) {
        std::vector<VoiceRecord> records;
        for (int i = 0; i < programs::kBankVoiceCount; ++i)
            records.push_back(sysextest::PatternRecord(seed + i));
        WriteBytes(folder / name, Bytes(sysextest::BankDump(records, 0)));
        return records;
    }
    // A bank dump of 48 voices that all sound: the initialised program's values with the
    // algorithm, feedback and OP1's frequency varied from voice to voice.
    void WriteSoundingBank(const std::string& name) {
        std::vector<VoiceRecord> records;
        for (int i = 0; i < programs::kBankVoiceCount; ++i) {
            programs::ParamValues values = sysextest::DefaultValues();
            values[engine::kAlgorithm] = i % 8;
            values[engine::kFeedback] = (i / 8) % 8;
            values[static_cast<std::size_t>(engine::OperatorParamIndex(1, 4))] = 1 + i % 5;
            records.push_back(programs::ProgramValuesToVoice(values, "Tone " + std::to_string(i)));
        }
        WriteBytes(folder / name, Bytes(sysextest::BankDump(records, 0)));
    }
    // No file is left in the folder but the ones named (the tool's own output logs aside).
    void ExpectOnlyFiles(const std::set<std::string>& expected) {
        std::set<std::string> files = FilesUnder(folder.Path());
        for (const char* log : {"tool-out.txt", "tool-err.txt", "tool-exit.txt"}) files.erase(log);
        EXPECT_EQ(files, expected);
    }

    WorkFolder folder{"vorna-librarian"};
};

TEST_F(Librarian, ListsTheRealDumpsWithTheirExactVoiceNames) {
    SKIP_WITHOUT_REAL_DUMPS();
    // The first and last voice of each dump, in the order of RealDumpNames().
    const std::vector<std::pair<std::string, std::string>> firstAndLast = {
        {"Piano 1", "EpianoN"}, {"Nylon 1", "Crash 6"}, {"SYNTHCY", "INITVOI"}};
    ToolRun text = Vorna({"list", sysextest::RealDumpFolder()});
    ToolRun json = Vorna({"list", "--json", sysextest::RealDumpFolder()});
    ASSERT_EQ(text.exitCode, 0) << text.out << text.err;
    ASSERT_EQ(json.exitCode, 0) << json.err;
    for (std::size_t dump = 0; dump < firstAndLast.size(); ++dump) {
        const std::string& name = sysextest::RealDumpNames()[dump];
        SCOPED_TRACE(name);
        std::vector<VoiceRecord> records = RecordsOf(Bytes(sysextest::ReadRealDump(name)));
        ASSERT_EQ(records.size(), 48u);
        EXPECT_EQ(programs::VoiceName(records.front()), firstAndLast[dump].first);
        EXPECT_EQ(programs::VoiceName(records.back()), firstAndLast[dump].second);
        EXPECT_NE(text.out.find(name + ": 1 message\n  message 1 at byte 0 (6363 bytes): voice "
                                       "bank 1, 48 voices\n"),
                  std::string::npos);
        const programs::ParamValues first = programs::VoiceToParamValues(records.front());
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::string voice = programs::VoiceName(records[i]);
            EXPECT_NE(json.out.find("\"name\": \"" + voice + "\""), std::string::npos) << voice;
        }
        // The first voice's line in full: number, name, algorithm as shown (1-8), feedback.
        const std::string line =
            "     1  " + programs::VoiceName(records.front()) +
            std::string(11 - programs::VoiceName(records.front()).size(), ' ') + "algorithm " +
            std::to_string(static_cast<int>(first[engine::kAlgorithm]) + 1) + "  feedback " +
            std::to_string(static_cast<int>(first[engine::kFeedback]));
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    EXPECT_EQ(json.out.rfind("{\"files\": [", 0), 0u);
    EXPECT_NE(json.out.find("\"kind\": \"voice bank 1\""), std::string::npos);
}

TEST_F(Librarian, RealDumpsBecomeBanksThatThePluginExportsWithTheSameVoices) {
    SKIP_WITHOUT_REAL_DUMPS();
    for (const std::string& name : sysextest::RealDumpNames()) {
        SCOPED_TRACE(name);
        const std::string bank = Path(name + ".fxb");
        ToolRun run = Vorna({"convert", RealDump(name), bank, "--bank", "3"});
        ASSERT_EQ(run.exitCode, 0) << run.err;

        // Loaded into an instance, voice bank 3 holds the dump and is exported by the plug-in's
        // own "Save as Voice Bank 1 SysEx File".
        Instance instance;
        vorn::Vorn& plugin = instance.Plugin();
        ASSERT_TRUE(plugin.LoadBankFile(bank));
        EXPECT_EQ(plugin.PresetName(96),
                  programs::VoiceName(RecordsOf(Bytes(sysextest::ReadRealDump(name))).front()));
        EXPECT_EQ(plugin.PresetName(0).substr(0, 4), "Init");
        ASSERT_TRUE(plugin.RecallPreset(96));
        const std::string exported = name + "-exported.syx", viaTool = name + "-tool.syx";
        ASSERT_TRUE(plugin.SaveBankSysExFile(Path(exported), 0));

        const std::vector<VoiceRecord> original = RecordsOf(Bytes(sysextest::ReadRealDump(name)));
        const std::vector<VoiceRecord> back = RecordsOf(ReadBytes(folder / exported));
        ASSERT_EQ(back.size(), original.size());
        for (std::size_t i = 0; i < original.size(); ++i) {
            SCOPED_TRACE("voice " + std::to_string(i + 1));
            ExpectSameVoice(original[i], back[i]);
        }

        // The tool's way back gives the plug-in's export byte for byte.
        run = Vorna({"convert", bank, Path(viaTool), "--bank", "3"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadBytes(folder / viaTool), ReadBytes(folder / exported));
    }
}

TEST_F(Librarian, ProgramFilesGoToSingleVoicesAndBackThroughThePlugin) {
    const std::vector<VoiceRecord> records = WritePatternBank("bank.syx");
    // One voice of the bank as a program file, loaded and exported by the plug-in.
    ToolRun run = Vorna({"convert", Path("bank.syx"), Path("five.fxp"), "--voice", "5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Instance instance;
    vorn::Vorn& plugin = instance.Plugin();
    ASSERT_TRUE(plugin.LoadProgramFile(Path("five.fxp")));
    ASSERT_TRUE(plugin.SaveVoiceSysExFile(Path("exported.syx")));
    std::vector<VoiceRecord> back = RecordsOf(ReadBytes(folder / "exported.syx"));
    ASSERT_EQ(back.size(), 1u);
    ExpectSameVoice(records[4], back[0]);

    // The single-voice dump the plug-in wrote becomes a program file and a dump again.
    run = Vorna({"convert", Path("exported.syx"), Path("again.fxp")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = Vorna({"convert", Path("again.fxp"), Path("again.syx")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(folder / "again.syx"), ReadBytes(folder / "exported.syx"));

    // A whole bank as a folder of program files, one per voice, named by number and voice.
    run = Vorna({"convert", Path("bank.syx"), Path("programs")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(FilesUnder(folder / "programs").size(), 48u);
    const std::string twelfth = "12 " + programs::VoiceName(records[11]) + ".fxp";
    ASSERT_TRUE(fs::exists(folder / "programs" / twelfth)) << twelfth;
    ASSERT_TRUE(plugin.LoadProgramFile((folder / "programs" / twelfth).string()));
    ASSERT_TRUE(plugin.SaveVoiceSysExFile(Path("twelfth.syx")));
    back = RecordsOf(ReadBytes(folder / "twelfth.syx"));
    ASSERT_EQ(back.size(), 1u);
    ExpectSameVoice(records[11], back[0]);
}

TEST_F(Librarian, BankFilesBecomeOneDumpPerVoiceBankWithoutABankNumber) {
    const std::vector<VoiceRecord> records = WritePatternBank("bank.syx", 7);
    ASSERT_EQ(Vorna({"convert", Path("bank.syx"), Path("bank.fxb"), "--bank", "2"}).exitCode, 0);
    ToolRun run = Vorna({"convert", Path("bank.fxb"), Path("out.syx")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (int bank = 1; bank <= 7; ++bank) {
        SCOPED_TRACE(bank);
        const std::vector<VoiceRecord> voices =
            RecordsOf(ReadBytes(folder / ("out-bank" + std::to_string(bank) + ".syx")));
        ASSERT_EQ(voices.size(), 48u);
        if (bank == 2) {
            for (std::size_t i = 0; i < voices.size(); ++i) ExpectSameVoice(records[i], voices[i]);
        } else {
            EXPECT_EQ(programs::VoiceName(voices[0]).substr(0, 4), "Init");
        }
    }
    EXPECT_FALSE(fs::exists(folder / "out.syx"));
}

TEST_F(Librarian, DamagedOrStrangeFilesAreRefusedClearlyAndNothingIsWritten) {
    const programs::Bytes good =
        sysextest::BankDump(std::vector<VoiceRecord>(48, sysextest::PatternRecord(3)), 0);
    programs::Bytes cut(good.begin(), good.begin() + 3000);
    programs::Bytes badChecksum = good;
    badChecksum[200] ^= 0x01;
    programs::Bytes junk = {0x12, 0x34, 0x00};
    junk.insert(junk.end(), good.begin(), good.end());
    const programs::Bytes configuration = {0xF0, 0x43, 0x75, 0x00, 0x00, 0x03, 0x00, 0x01, 0xF7};
    WriteBytes(folder / "empty.syx", {});
    WriteBytes(folder / "cut.syx", Bytes(cut));
    WriteBytes(folder / "checksum.syx", Bytes(badChecksum));
    WriteBytes(folder / "junk.syx", Bytes(junk));
    WriteBytes(folder / "config.syx", Bytes(configuration));
    WriteBytes(folder / "text.syx", {'h', 'e', 'l', 'l', 'o'});
    WriteBytes(folder / "cut.fxb", {'C', 'c', 'n', 'K', 0, 0});
    // 100 MB that take no room: a sparse file.
    { std::ofstream(folder / "huge.syx"); }
    fs::resize_file(folder / "huge.syx", 100u << 20);

    const std::map<std::string, std::string> reasons = {
        {"empty.syx", "is empty (0 bytes)"},
        {"huge.syx", "is 100 MB"},
        {"cut.syx", "is cut off: it ends after 3000 of 6363 bytes without F7"},
        {"checksum.syx", "checksum is wrong"},
        {"junk.syx", "starts with 3 bytes that are not part of a message"},
        {"config.syx", "configuration"},
        {"text.syx", "holds no SysEx message"},
        {"cut.fxb", "is cut off"},
        {"missing.syx", "does not exist"}};
    std::set<std::string> present;
    for (const auto& entry : reasons)
        if (fs::exists(folder / entry.first)) present.insert(entry.first);
    for (const auto& [name, reason] : reasons) {
        SCOPED_TRACE(name);
        const std::string out = name.find(".fxb") != std::string::npos ? "out.syx" : "out.fxb";
        ToolRun run = Vorna({"convert", Path(name), Path(out)});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(Path(name)), std::string::npos) << run.err;
        ExpectOnlyFiles(present);
    }
    // list names every bad file on a line of its own and still lists the good one.
    WriteBytes(folder / "good.syx", Bytes(good));
    ToolRun list = Vorna({"list", folder.Path().string()});
    EXPECT_EQ(list.exitCode, 1);
    for (const auto& [name, reason] : reasons) {
        if (name == "missing.syx" || name == "junk.syx") continue;
        EXPECT_NE(list.out.find(Path(name) + ": error: "), std::string::npos) << name;
    }
    EXPECT_NE(list.out.find(Path("junk.syx") + ": 1 message\n  message 1 at byte 3"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("the plug-in does not load it"), std::string::npos);
    EXPECT_NE(list.out.find(Path("good.syx") + ": 1 message"), std::string::npos);
}

TEST_F(Librarian, SeveralMessagesAreAllListedAndOnlyTheFirstIsConverted) {
    std::vector<VoiceRecord> first = {sysextest::PatternRecord(1)};
    programs::Bytes file = sysextest::SingleVoiceDump(first[0]);
    const programs::Bytes second =
        sysextest::BankDump(std::vector<VoiceRecord>(48, sysextest::PatternRecord(2)), 1);
    file.insert(file.end(), second.begin(), second.end());
    WriteBytes(folder / "two.syx", Bytes(file));
    ToolRun list = Vorna({"list", Path("two.syx")});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find("message 1 at byte 0 (139 bytes): single voice, 1 voice"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("message 2 at byte 139 (6363 bytes): voice bank 2, 48 voices"),
              std::string::npos);
    EXPECT_NE(list.out.find("holds 2 messages; the plug-in loads only the first"),
              std::string::npos);
    ASSERT_EQ(Vorna({"convert", Path("two.syx"), Path("two.fxp")}).exitCode, 0);
    ASSERT_EQ(Vorna({"convert", Path("two.fxp"), Path("back.syx")}).exitCode, 0);
    const std::vector<VoiceRecord> back = RecordsOf(ReadBytes(folder / "back.syx"));
    ASSERT_EQ(back.size(), 1u);
    ExpectSameVoice(first[0], back[0]);
}

TEST_F(Librarian, VoiceNamesOutsideAsciiAreShownExactlyAndMadeSafeForFileNames) {
    // The module's own characters: bytes above 0x7E, and a slash.
    VoiceRecord record = sysextest::PatternRecord(5);
    const std::uint8_t name[7] = {'B', 0xE4, 's', '/', 0x7F, 'x', 0xFE};
    std::copy(name, name + 7, record.begin());
    WriteBytes(folder / "odd.syx", Bytes(sysextest::SingleVoiceDump(record)));
    ToolRun text = Vorna({"list", Path("odd.syx")});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("B\\xE4s/\\x7Fx\\xFE"), std::string::npos) << text.out;
    ToolRun json = Vorna({"list", "--json", Path("odd.syx")});
    EXPECT_NE(json.out.find("\"name\": \"B\\u00E4s/\\u007Fx\\u00FE\""), std::string::npos)
        << json.out;
    ASSERT_EQ(Vorna({"convert", Path("odd.syx"), Path("odd")}).exitCode, 0);
    EXPECT_EQ(FilesUnder(folder / "odd"), (std::set<std::string>{"01 B_s__x_.fxp"}));
    // The name comes back unchanged through the plug-in.
    Instance instance;
    ASSERT_TRUE(instance.Plugin().LoadProgramFile((folder / "odd" / "01 B_s__x_.fxp").string()));
    ASSERT_TRUE(instance.Plugin().SaveVoiceSysExFile(Path("back.syx")));
    const std::vector<VoiceRecord> back = RecordsOf(ReadBytes(folder / "back.syx"));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(programs::VoiceName(back[0]), programs::VoiceName(record));
}

TEST_F(Librarian, ExistingFilesAreReplacedOnlyWithForce) {
    WritePatternBank("bank.syx");
    const std::vector<unsigned char> mine = {'m', 'i', 'n', 'e'};
    WriteBytes(folder / "bank.fxb", mine);
    ToolRun refused = Vorna({"convert", Path("bank.syx"), Path("bank.fxb")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("exists already; use --force"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadBytes(folder / "bank.fxb"), mine);
    ToolRun forced = Vorna({"convert", "--force", Path("bank.syx"), Path("bank.fxb")});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(ReadBytes(folder / "bank.fxb").size(), 160u + 8u + 336u * 169u);

    // A folder of program files: one existing file stops the whole conversion before any write.
    fs::create_directory(folder / "programs");
    WriteBytes(folder / "programs" / "30 Voice E.fxp", mine);
    ToolRun folderRun = Vorna({"convert", Path("bank.syx"), Path("programs")});
    EXPECT_EQ(folderRun.exitCode, 1);
    EXPECT_EQ(FilesUnder(folder / "programs").size(), 1u) << folderRun.err;
}

TEST_F(Librarian, UnwritableOutputsFailWithoutLeavingFiles) {
    WritePatternBank("bank.syx");
    WriteBytes(folder / "plain-file", {'x'});
    for (const std::string& out : {Path("no-such-folder/bank.fxb"), Path("plain-file/bank.fxb"),
                                   Path("plain-file/programs")}) {
        SCOPED_TRACE(out);
        ToolRun run = Vorna({"convert", Path("bank.syx"), out});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(run.err.empty());
        ExpectOnlyFiles({"bank.syx", "plain-file"});
    }
    // A folder without write permission. The permission does not bind root: run as root, the
    // tool runs as the same unprivileged user that the plug-in's own file-access switch takes.
    fs::create_directory(folder / "locked");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                           fs::perms::group_read | fs::perms::group_exec |
                                           fs::perms::others_read | fs::perms::others_exec);
    const fs::perms readable = fs::perms::group_read | fs::perms::others_read;
    fs::permissions(folder.Path(), readable | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
    fs::permissions(folder / "bank.syx", readable, fs::perm_options::add);
    std::vector<std::string> launcher;
    if (geteuid() == 0) launcher = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    ToolRun locked = RunTool(folder, VORNA_TOOL,
                             {"convert", Path("bank.syx"), Path("locked/bank.fxb")}, launcher);
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_NE(locked.err.find("cannot write"), std::string::npos) << locked.err;
    EXPECT_TRUE(fs::is_empty(folder / "locked"));
    fs::permissions(folder / "locked", fs::perms::owner_all);
}

TEST_F(Librarian, AnArchiveConvertsItsGoodFilesAndNamesTheBadOnes) {
    const fs::path archive = folder / "Bänke mit Leerzeichen";
    fs::create_directory(archive);
    const programs::Bytes good =
        sysextest::BankDump(std::vector<VoiceRecord>(48, sysextest::PatternRecord(4)), 0);
    WriteBytes(archive / "Ström 1.syx", Bytes(good));
    WriteBytes(archive / "second.SYX", Bytes(good));
    WriteBytes(archive / "broken.syx", Bytes(programs::Bytes(good.begin(), good.end() - 10)));
    WriteBytes(archive / "notes.txt", {'n'});
    const std::string out = Path("Ausgabe ü");
    ToolRun run = Vorna({"convert", archive.string(), "--out-dir", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(
        run.out.find("[1/3] " + (archive / "Ström 1.syx").string() + " -> " + out + "/Ström 1.fxb"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("skipped: " + (archive / "broken.syx").string() + ": "),
              std::string::npos);
    EXPECT_NE(run.out.find("Converted 2 of 3 files; skipped 1:"), std::string::npos);
    EXPECT_EQ(FilesUnder(out), (std::set<std::string>{"Ström 1.fxb", "second.fxb"}));

    // Again: now every output exists, so every file is skipped with that reason.
    ToolRun again = Vorna({"convert", archive.string(), "--out-dir", out, "--to", "fxb"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.out.find("Converted 0 of 3 files; skipped 3:"), std::string::npos) << again.out;

    // The bank files go back to dumps in one call, named after them.
    ToolRun back = Vorna({"convert", out, "--out-dir", Path("dumps"), "--bank", "1"});
    EXPECT_EQ(back.exitCode, 0) << back.out;
    EXPECT_EQ(ReadBytes(folder / "dumps" / "second.syx"),
              ReadBytes(folder / "dumps" / "Ström 1.syx"));
    EXPECT_EQ(RecordsOf(ReadBytes(folder / "dumps" / "second.syx")).size(), 48u);
}

TEST_F(Librarian, RenderPlaysAVoiceOfADumpOrAProgramOfABank) {
    WriteSoundingBank("bank.syx");
    ASSERT_EQ(Vorna({"convert", Path("bank.syx"), Path("bank.fxb")}).exitCode, 0);
    std::map<std::string, WavContent> renders;
    for (const std::vector<std::string>& source :
         {std::vector<std::string>{"--syx", Path("bank.syx"), "--voice", "3"},
          {"--syx", Path("bank.syx"), "--voice", "4"},
          {"--fxb", Path("bank.fxb"), "--program", "2"}}) {
        const std::string out = source[3] + ".wav";
        std::vector<std::string> arguments = {"render", "--out", out, "--tail", "0.2"};
        arguments.insert(arguments.end(), source.begin(), source.end());
        ToolRun run = Vorna(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::string error;
        ASSERT_TRUE(ParseWav(ReadBytes(folder / out), renders[source[3]], error)) << error;
        EXPECT_GT(PeakOf(renders[source[3]]), 0.01) << out;
    }
    // Voice 3 of the dump is program 2 of the bank made from it; voice 4 is another sound.
    EXPECT_EQ(renders["3"].left, renders["2"].left);
    EXPECT_NE(renders["3"].left, renders["4"].left);

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--syx", Path("bank.syx")},
          {"--syx", Path("bank.syx"), "--voice", "49"},
          {"--fxb", Path("bank.fxb"), "--program", "336"},
          {"--voice", "2"}}) {
        std::vector<std::string> arguments = {"render", "--out", "wrong.wav"};
        arguments.insert(arguments.end(), wrong.begin(), wrong.end());
        ToolRun run = Vorna(arguments);
        EXPECT_NE(run.exitCode, 0) << wrong.back();
        EXPECT_FALSE(run.err.empty());
        EXPECT_FALSE(fs::exists(folder / "wrong.wav"));
    }
}

TEST_F(Librarian, AuditionWritesAShortSoundingWavOfEveryVoiceAndAPage) {
    SKIP_WITHOUT_REAL_DUMPS();
    ToolRun run = Vorna({"audition", sysextest::RealDumpFolder(), "--out-dir", Path("page")});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string html = ReadText(folder / "page" / "index.html");
    std::set<double> peaks;
    int shouldSound = 0;
    for (const std::string& name : sysextest::RealDumpNames()) {
        const std::vector<VoiceRecord> records = RecordsOf(Bytes(sysextest::ReadRealDump(name)));
        ASSERT_EQ(records.size(), 48u);
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::string wav =
                name + "-" + (i < 9 ? "0" : "") + std::to_string(i + 1) + ".wav";
            SCOPED_TRACE(wav);
            EXPECT_NE(html.find("src=\"" + wav + "\""), std::string::npos);
            WavContent content;
            std::string error;
            ASSERT_TRUE(ParseWav(ReadBytes(folder / "page" / wav), content, error)) << error;
            EXPECT_EQ(content.Frames(), 44100u);
            // A voice should sound when an enabled operator is loud (attenuation 40 of 127 or
            // less) and starts quickly (attack rate 8 of 31 or more).
            const programs::ParamValues v = programs::VoiceToParamValues(records[i]);
            bool loud = false;
            for (int op = 1; op <= 4; ++op) {
                loud |= v[static_cast<std::size_t>(engine::OperatorParamIndex(op, 0))] != 0 &&
                        v[static_cast<std::size_t>(engine::OperatorParamIndex(op, 1))] <= 40 &&
                        v[static_cast<std::size_t>(engine::OperatorParamIndex(op, 11))] >= 8;
            }
            if (!loud) continue;
            ++shouldSound;
            EXPECT_GT(PeakOf(content), 0.003) << "silent";
            peaks.insert(PeakOf(content));
        }
    }
    // The checks above are not empty, and the voices sound like themselves, not all alike.
    EXPECT_GE(shouldSound, 130);
    EXPECT_GE(peaks.size(), 40u);
    EXPECT_EQ(FilesUnder(folder / "page").size(), 145u);
    // Without --force an existing page is kept.
    ToolRun again = Vorna({"audition", sysextest::RealDumpFolder(), "--out-dir", Path("page")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("use --force"), std::string::npos);
}

TEST_F(Librarian, HelpDescribesEveryCommandAndOption) {
    ToolRun overview = Vorna({"--help"});
    EXPECT_EQ(overview.exitCode, 0);
    const std::map<std::string, std::vector<std::string>> options = {
        {"list", {"--json"}},
        {"convert", {"--out-dir", "--to", "--bank", "--voice", "--force"}},
        {"audition", {"--out-dir", "--seconds", "--note", "--force"}},
        {"render",
         {"--out", "--rate", "--block", "--program", "--syx", "--voice", "--fxb", "--set", "--tail",
          "--float"}},
        {"info", {}},
        {"screenshot", {}}};
    for (const auto& [command, list] : options) {
        SCOPED_TRACE(command);
        EXPECT_NE(overview.out.find("  " + command + " "), std::string::npos);
        ToolRun help = Vorna({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.rfind("usage: vorna " + command, 0), 0u) << help.out;
        for (const std::string& option : list)
            EXPECT_NE(help.out.find(option), std::string::npos) << option;
        EXPECT_EQ(Vorna({"help", command}).out, help.out);
    }
    ToolRun unknown = Vorna({"convert", "--sideways"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown or incomplete option --sideways"), std::string::npos);
}

TEST_F(Librarian, InstallPutsExactlyThePluginsAndTheToolUnderThePrefix) {
    const fs::path prefix = folder / "prefix with space";
    const std::string command = Quoted(VORNA_CMAKE) + " --install " + Quoted(VORNA_BUILD_DIR) +
                                " --prefix " + Quoted(prefix.string()) + " >" +
                                Quoted(Path("install.txt")) + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadText(folder / "install.txt");
    const std::string plugin = std::string(VORNA_INSTALL_LIBDIR) + "/vst/" + VORNA_PLUGIN_FILE;
    const std::string tool = std::string(VORNA_INSTALL_BINDIR) + "/vorna";
    const std::string bundle = std::string(VORNA_INSTALL_LIBDIR) + "/lv2/Vorn.lv2/";
    EXPECT_EQ(FilesUnder(prefix),
              (std::set<std::string>{plugin, tool, bundle + "manifest.ttl", bundle + "Vorn.ttl",
                                     bundle + "presets.ttl", bundle + "Vorn_dsp.so",
                                     bundle + "Vorn_ui.so"}));
    EXPECT_GT(fs::file_size(prefix / plugin), fs::file_size(VORNA_PLUGIN_BINARY) / 2);

    // The installed tool needs nothing of the build: it lists a file on its own.
    WriteBytes(folder / "one.syx", Bytes(sysextest::SingleVoiceDump(sysextest::PatternRecord(9))));
    ToolRun run = RunTool(folder, (prefix / tool).string(), {"list", Path("one.syx")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(programs::VoiceName(sysextest::PatternRecord(9))), std::string::npos)
        << run.out;
}

} // namespace
