// The acceptance checks of one factory bank, run against the built plug-in binary (the .so, or a
// DLL under Wine) through its VST2 interface:
//   vorna_bank_sounds --plugin=<binary> --bank=<stem> [--banks=<folder of the .fxb files>]
//       [--manifests=<folder>] [--every=<n>] [--strikes=<n>] [--programs=<a,b,...>]
//       [--report=<file.tsv>]
// The bank files are read where they lie in the source tree, their manifests from its manifest/
// folder, unless the options name other folders.
// Every program of the bank is played and held to its manifest line and to the level rules; the
// names, the stored values and their uniqueness across all eleven sound banks are checked too.
// Each chord is struck at the eight strike times of ProgramChecks.h and its highest peak counts.
// Sanitizer builds play a fixed subset by default to stay within the time budget: every 16th
// program and the first of each voice bank, or under the thread checker the first of each voice
// bank only, and strike each chord once, at a strike time that moves on from program to program.
// The test command passes --every=16 --strikes=1 for the DLLs under Wine and --every=1
// --strikes=8 for a full run.

#include "BankImage.h"
#include "Manifest.h"
#include "ProgramChecks.h"
#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>

using namespace banktest;

namespace {

// The sound banks by file stem; "empty.fxb" holds only the default program and has no manifest.
const char* const kSoundBanks[] = {"init",        "tollund",     "collection1", "collection2",
                                   "collection3", "collection4", "collection5", "collection6",
                                   "collection7", "collection8", "collection9"};

#if defined(__SANITIZE_THREAD__)
// The thread checker slows these single-threaded renders some twenty-five times: the first
// program of each voice bank only.
constexpr int kDefaultEvery = 48;
constexpr int kDefaultStrikes = 1;
#elif defined(VORNA_SANITIZED)
constexpr int kDefaultEvery = 16;
constexpr int kDefaultStrikes = 1;
#else
constexpr int kDefaultEvery = 1;
constexpr int kDefaultStrikes = kStrikeCount;
#endif

struct Options {
    std::string plugin;
    std::string banks;
    std::string manifests;
    std::string bank;
    std::string report;
    int every = kDefaultEvery;
    int strikes = kDefaultStrikes; // per chord and program
    std::vector<int> programs;     // chosen by hand; overrides every
} options;

std::string Path(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + name;
    return folder + "/" + name;
}

std::string Label(const ManifestLine& line) {
    return options.bank + " #" + std::to_string(line.program) + " \"" + line.name + "\"";
}

// Everything the checks share, read and played once per run.
struct BankRun {
    std::string error; // the bank, its manifest or the plug-in could not be read
    BankImage bank;
    std::vector<ManifestLine> manifest;
    std::vector<int> selected;
    // Made once and never destroyed: the library stays loaded until the process ends, as in a
    // host. Unloading is the host harness's subject; here what the library keeps for the life of
    // the process would only show up as memory lost at exit.
    hostkit::PluginHost* host = nullptr;

    bool measured = false;
    std::map<int, ProgramFigures> figures;
    double seconds = 0.0;
};

BankRun& LoadedBank() {
    static BankRun run;
    static bool ready = false;
    if (ready) return run;
    ready = true;
    if (!ReadBankFile(Path(options.banks, options.bank + ".fxb"), run.bank, run.error)) return run;
    if (!ReadManifest(Path(options.manifests, options.bank + ".tsv"), run.manifest, run.error))
        return run;
    run.host = new hostkit::PluginHost();
    if (!run.host->Load(options.plugin)) {
        run.error = run.host->Error();
        return run;
    }
    if (!options.programs.empty()) {
        for (int p : options.programs)
            if (p >= 0 && p < kProgramCount) run.selected.push_back(p);
    } else {
        // A subset still starts every voice bank, and differs from bank to bank.
        int offset = 0;
        for (std::size_t i = 0; i < sizeof kSoundBanks / sizeof *kSoundBanks; ++i)
            if (options.bank == kSoundBanks[i] && options.every < 48) offset = static_cast<int>(i);
        for (int p = 0; p < kProgramCount; ++p)
            if (options.every <= 1 || p % 48 == 0 || p % options.every == offset % options.every)
                run.selected.push_back(p);
    }
    return run;
}

void WriteReport(const BankRun& run) {
    if (options.report.empty()) return;
    std::FILE* file = std::fopen(options.report.c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "#program\tname\tloudness_dbfs\tchord_peak\tdc_percent\tonset_ms\t"
                       "fade_ms\tpitch_ratio\tmanifest_pitch\tfaults\n");
    for (const auto& [program, f] : run.figures) {
        const ManifestLine& line = run.manifest[static_cast<std::size_t>(program)];
        std::string faults = f.error;
        for (const std::string& fault :
             {LoudnessFault(f), ClippingFault(f), DcFault(f), OnsetFault(f, line),
              ReleaseFault(f, line), line.pitched ? PitchFault(f.pitch, line.pitch) : ""})
            if (!fault.empty()) faults += (faults.empty() ? "" : "; ") + fault;
        std::string pitch =
            f.pitch.found ? common::FormatFixed(f.pitch.frequency / kNote60Hz, 3) : "-";
        std::fprintf(file, "%d\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", program, line.name.c_str(),
                     common::FormatFixed(ToDecibels(f.loudnessRms), 1).c_str(),
                     common::FormatFixed(f.chordPeak, 3).c_str(),
                     common::FormatFixed(100.0 * f.dcRatio, 2).c_str(),
                     common::FormatFixed(f.onsetMs, 1).c_str(),
                     common::FormatFixed(f.fadeMs, 1).c_str(), pitch.c_str(),
                     line.pitched ? common::FormatFixed(line.pitch, 3).c_str() : "-",
                     faults.c_str());
    }
    std::fclose(file);
}

// The run with every selected program played and measured.
BankRun& Measured() {
    BankRun& run = LoadedBank();
    if (!run.error.empty() || run.measured) return run;
    run.measured = true;
    ProgramPlayer player(*run.host, run.bank.chunk);
    auto start = std::chrono::steady_clock::now();
    int played = 0;
    for (int p : run.selected)
        run.figures[p] = MeasureProgram(player, run.manifest[static_cast<std::size_t>(p)],
                                        StrikesOf(played++, options.strikes));
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "[ bank    ] %s: %zu programs played, %d strikes of each chord, in %s s (%s s each)\n",
        options.bank.c_str(), run.selected.size(), options.strikes,
        common::FormatFixed(run.seconds, 1).c_str(),
        common::FormatFixed(run.seconds / std::max<std::size_t>(1, run.selected.size()), 3)
            .c_str());
    WriteReport(run);
    return run;
}

#define REQUIRE_RUN(run) ASSERT_TRUE((run).error.empty()) << options.bank << ": " << (run).error

// Applies one verdict to every played program.
template <typename Verdict> void CheckEveryProgram(Verdict verdict) {
    BankRun& run = Measured();
    REQUIRE_RUN(run);
    int failed = 0;
    for (const auto& [program, figures] : run.figures) {
        const ManifestLine& line = run.manifest[static_cast<std::size_t>(program)];
        if (!figures.error.empty()) {
            ADD_FAILURE() << Label(line) << ": " << figures.error;
            ++failed;
            continue;
        }
        std::string fault = verdict(figures, line);
        if (fault.empty()) continue;
        ADD_FAILURE() << Label(line) << ": " << fault;
        ++failed;
    }
    if (failed)
        std::printf("[ bank    ] %s: %d of %zu programs fail\n", options.bank.c_str(), failed,
                    run.figures.size());
}

} // namespace

TEST(BankSounds, ManifestMatchesTheBank) {
    BankRun& run = LoadedBank();
    REQUIRE_RUN(run);
    for (const ManifestLine& line : run.manifest) {
        const BankEntry& entry = run.bank.entries[static_cast<std::size_t>(line.program)];
        ASSERT_TRUE(entry.initialised) << Label(line) << " holds no program";
        EXPECT_EQ(entry.name, line.name) << Label(line) << ": the bank names it otherwise";
    }
    // The "hardware" column is not held to the bank here: the generator derives it from the very
    // operator values such a check would read, so agreement would prove nothing.
}

TEST(BankSounds, HostShowsTheManifestNames) {
    BankRun& run = LoadedBank();
    REQUIRE_RUN(run);
    std::string error;
    ProgramPlayer player(*run.host, run.bank.chunk);
    ASSERT_TRUE(player.Start(0, error)) << error;
    for (const ManifestLine& line : run.manifest) {
        char text[64] = {};
        EXPECT_EQ(run.host->Dispatch(vst2::effGetProgramNameIndexed, line.program, 0, text), 1)
            << Label(line);
        EXPECT_EQ(std::string(text), line.name) << Label(line);
    }
}

TEST(BankSounds, StoredValuesSurviveLoadingThroughTheHost) {
    BankRun& run = LoadedBank();
    REQUIRE_RUN(run);
    std::string error;
    ProgramPlayer player(*run.host, run.bank.chunk);
    ASSERT_TRUE(player.Start(0, error)) << error;
    for (const ManifestLine& line : run.manifest) {
        run.host->Dispatch(vst2::effSetProgram, 0, line.program);
        void* data = nullptr;
        vst2::IntPtr size = run.host->Dispatch(vst2::effGetChunk, 1, 0, &data);
        // Program chunk: framework header (8 bytes), the state, the name.
        ASSERT_GE(size, 8 + kStateSize) << Label(line);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        Bytes state(bytes + 8, bytes + 8 + kStateSize);
        EXPECT_TRUE(StateValues(state) ==
                    StateValues(run.bank.entries[static_cast<std::size_t>(line.program)].state))
            << Label(line) << ": the values the plug-in holds differ from the stored ones "
            << "(out of range, or not a whole number where one is needed)";
    }
}

TEST(BankSounds, NoProgramRepeatsAnotherOfAnyBank) {
    BankRun& run = LoadedBank();
    REQUIRE_RUN(run);
    std::map<Bytes, std::vector<std::string>> owners;
    for (const char* stem : kSoundBanks) {
        BankImage other;
        std::string error;
        ASSERT_TRUE(ReadBankFile(Path(options.banks, std::string(stem) + ".fxb"), other, error))
            << error;
        for (int p = 0; p < kProgramCount; ++p) {
            const BankEntry& entry = other.entries[static_cast<std::size_t>(p)];
            owners[StateValues(entry.state)].push_back(
                std::string(stem) + " #" + std::to_string(p) + " \"" + entry.name + "\"");
        }
    }
    for (const ManifestLine& line : run.manifest) {
        const auto& same =
            owners[StateValues(run.bank.entries[static_cast<std::size_t>(line.program)].state)];
        if (same.size() < 2) continue;
        std::string list;
        for (const std::string& owner : same)
            if (owner != Label(line)) list += (list.empty() ? "" : ", ") + owner;
        ADD_FAILURE() << Label(line) << " has the same values as " << list;
    }
}

// Whatever bank this run checks, a fresh instance holds init.fxb; the test command runs this
// once, in the run of that bank.
TEST(BankSounds, FreshInstanceHoldsTheFactorySounds) {
    BankRun& run = LoadedBank();
    REQUIRE_RUN(run);
    BankImage factory;
    std::string readError;
    ASSERT_TRUE(ReadBankFile(Path(options.banks, "init.fxb"), factory, readError)) << readError;
    ASSERT_NE(run.host->CreateInstance(), nullptr);
    void* data = nullptr;
    vst2::IntPtr size = run.host->Dispatch(vst2::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::vector<BankEntry> held;
    std::string error;
    ASSERT_TRUE(ParseBankChunk(Bytes(bytes, bytes + size), held, error)) << error;
    for (int p = 0; p < kProgramCount; ++p) {
        const BankEntry& stored = factory.entries[static_cast<std::size_t>(p)];
        EXPECT_EQ(held[static_cast<std::size_t>(p)].name, stored.name) << "program " << p;
        EXPECT_TRUE(StateValues(held[static_cast<std::size_t>(p)].state) ==
                    StateValues(stored.state))
            << "program " << p << " \"" << stored.name << "\" of a fresh instance differs from "
            << "init.fxb (is a start-up bank set in the test's configuration file?)";
    }
}

TEST(BankSounds, LoudnessIsNearTheTarget) {
    CheckEveryProgram(
        [](const ProgramFigures& f, const ManifestLine&) { return LoudnessFault(f); });
}

TEST(BankSounds, LoudChordDoesNotClip) {
    CheckEveryProgram(
        [](const ProgramFigures& f, const ManifestLine&) { return ClippingFault(f); });
}

TEST(BankSounds, NoDcOffset) {
    CheckEveryProgram([](const ProgramFigures& f, const ManifestLine&) { return DcFault(f); });
}

TEST(BankSounds, OnsetWithinTheManifest) {
    CheckEveryProgram(
        [](const ProgramFigures& f, const ManifestLine& line) { return OnsetFault(f, line); });
}

TEST(BankSounds, ReleaseEndsWithinTheManifest) {
    CheckEveryProgram(
        [](const ProgramFigures& f, const ManifestLine& line) { return ReleaseFault(f, line); });
}

TEST(BankSounds, PitchMatchesTheManifest) {
    CheckEveryProgram([](const ProgramFigures& f, const ManifestLine& line) {
        return line.pitched ? PitchFault(f.pitch, line.pitch) : std::string();
    });
}

// The pitch check must tell an octave apart: a pitched program that passes it, played an octave
// up and an octave down (Transpose +-12), must fail it and be found at twice and half the
// frequency. The program is searched for in the whole bank, not only among the programs this run
// plays, so the proof runs in every build; a bank with pitched programs of which none passes fails
// here.
TEST(BankSounds, PitchCheckCatchesAnOctaveShift) {
    BankRun& run = Measured();
    REQUIRE_RUN(run);
    // A bank of unpitched sounds alone (drums, effects) has nothing to shift: the proof is then
    // made on the factory sounds, so that it runs in every bank's run too.
    const BankImage* bank = &run.bank;
    const std::vector<ManifestLine>* manifest = &run.manifest;
    std::string bankName = options.bank;
    BankImage otherBank;
    std::vector<ManifestLine> otherManifest;
    bool anyPitched = false;
    for (const ManifestLine& line : run.manifest) anyPitched = anyPitched || line.pitched;
    if (!anyPitched) {
        std::string error;
        bankName = kSoundBanks[0];
        ASSERT_TRUE(ReadBankFile(Path(options.banks, bankName + ".fxb"), otherBank, error))
            << error;
        ASSERT_TRUE(ReadManifest(Path(options.manifests, bankName + ".tsv"), otherManifest, error))
            << error;
        bank = &otherBank;
        manifest = &otherManifest;
    }
    const ManifestLine* chosen = nullptr;
    if (anyPitched) {
        for (const auto& [program, figures] : run.figures) {
            const ManifestLine& line = run.manifest[static_cast<std::size_t>(program)];
            if (line.pitched && figures.error.empty() &&
                PitchFault(figures.pitch, line.pitch).empty()) {
                chosen = &line;
                break;
            }
        }
    }
    ProgramPlayer player(*run.host, bank->chunk);
    for (std::size_t p = 0; !chosen && p < manifest->size(); ++p) {
        const ManifestLine& line = (*manifest)[p];
        std::string error;
        if (!line.pitched || (anyPitched && run.figures.count(line.program)) ||
            !player.Start(line.program, error))
            continue;
        StereoRender note = player.Render(HeldNotes({60}, 100, 44100), 44100);
        if (PitchFault(MeasurePitch(note, line.pitch), line.pitch).empty()) chosen = &line;
    }
    ASSERT_NE(chosen, nullptr) << bankName << ": no pitched program passes the pitch check";
    const std::string label =
        bankName + " #" + std::to_string(chosen->program) + " \"" + chosen->name + "\"";
    for (int shift : {12, -12}) {
        std::string error;
        ASSERT_TRUE(player.Start(chosen->program, error)) << error;
        int transpose =
            static_cast<int>(common::ParseDouble(run.host->ParamDisplay(7).c_str())) + shift;
        ASSERT_TRUE(player.SetParameterText(7, std::to_string(transpose)));
        StereoRender note = player.Render(HeldNotes({60}, 100, 44100), 44100);
        PitchEstimate shifted = MeasurePitch(note, chosen->pitch);
        double factor = shift > 0 ? 2.0 : 0.5;
        EXPECT_FALSE(PitchFault(shifted, chosen->pitch).empty())
            << label << " transposed by " << shift << " passes the pitch check";
        EXPECT_EQ(PitchFault(shifted, chosen->pitch * factor), "")
            << label << " transposed by " << shift;
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto value = [&](const char* key, std::string& target) {
            std::size_t length = std::strlen(key);
            if (argument.compare(0, length, key) != 0) return false;
            target = argument.substr(length);
            return true;
        };
        std::string number;
        if (value("--plugin=", options.plugin) || value("--banks=", options.banks) ||
            value("--manifests=", options.manifests) || value("--bank=", options.bank) ||
            value("--report=", options.report))
            continue;
        if (value("--every=", number)) {
            options.every = std::max(1, static_cast<int>(common::ParseDouble(number.c_str())));
        } else if (value("--strikes=", number)) {
            options.strikes =
                std::clamp(static_cast<int>(common::ParseDouble(number.c_str())), 1, kStrikeCount);
        } else if (value("--programs=", number)) {
            for (std::size_t start = 0; start < number.size();) {
                std::size_t comma = number.find(',', start);
                if (comma == std::string::npos) comma = number.size();
                options.programs.push_back(static_cast<int>(
                    common::ParseDouble(number.substr(start, comma - start).c_str())));
                start = comma + 1;
            }
        } else {
            std::fprintf(stderr, "vorna_bank_sounds: unknown option %s\n", argument.c_str());
            return 2;
        }
    }
    if (options.banks.empty()) options.banks = VORNA_BANK_FOLDER;
    if (options.manifests.empty()) options.manifests = Path(options.banks, "manifest");
    if (options.plugin.empty() || options.bank.empty()) {
        std::fprintf(stderr, "usage: vorna_bank_sounds --plugin=<binary> --bank=<stem> "
                             "[--banks=<folder>] [--manifests=<folder>] [--every=<n>] "
                             "[--strikes=<n>] [--programs=<a,b,...>] [--report=<file>]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
