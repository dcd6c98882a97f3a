// Expanding layouts into banks: generated names, refused lines, the guarantee that no two
// programs share their values (and the loud failure when that cannot be met), committed levels,
// manifests, and the committed sources themselves.

#include "BankImages.h"
#include "BankgenTestSupport.h"
#include "FactorySet.h"
#include "Levels.h"
#include "Manifest.h"
#include "engine/InstrumentParams.h"
#include "platform/Files.h"

#include <algorithm>
#include <set>

using namespace bankgen;
using namespace bankgen_test;
using namespace engine;

namespace {

// Reads the layout of stem from text (recipe blocks in it go to book).
BankLayout Layout(const std::string& stem, const std::string& text, RecipeBook& book,
                  Problems& problems) {
    std::vector<SourceLine> rest;
    book.Add(Lines(text, problems, stem + ".txt"), rest, problems);
    BankLayout layout;
    ReadBankLayout(rest, stem, layout, problems);
    return layout;
}

std::vector<ExpandedBank> Expand(const std::string& recipes,
                                 const std::vector<std::pair<std::string, std::string>>& banks,
                                 Problems& problems) {
    RecipeBook book;
    std::vector<SourceLine> rest;
    book.Add(Lines(recipes, problems, "recipes.txt"), rest, problems);
    std::vector<BankLayout> layouts;
    for (const auto& b : banks) layouts.push_back(Layout(b.first, b.second, book, problems));
    book.Resolve(problems);
    std::vector<ExpandedBank> result;
    if (!problems.Any()) ExpandBanks(book, layouts, result, problems);
    return result;
}

const char* kLonely = "recipe Lonely\n  short Lone\n  family test\n  pitch 1\n  release 500\n"
                      "  algorithm 1\n  op1 ratio 1 level 0 env 31 0 0 0 9\n"
                      "  op2 off\n  op3 off\n  op4 off\n";

} // namespace

TEST(BankgenExpansion, NamesSeriesItemsFromShortNameAndTag) {
    Problems problems;
    auto banks = Expand(
        SimpleRecipe() + kLonely,
        {{"init", FullLayout("init",
                             [](int i) {
                                 if (i == 0)
                                     return std::string("series Simple base bright bright:2");
                                 if (i == 1) return std::string("series Lonely vibrato");
                                 return i < 4 ? std::string() : NumberedName(i) + " Simple";
                             })}},
        problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    ASSERT_EQ(banks.size(), 1u);
    const auto& p = banks[0].programs;
    ASSERT_EQ(p.size(), 336u);
    EXPECT_EQ(p[0].name, "Simple ");
    EXPECT_EQ(p[1].name, "Sim Brt");
    EXPECT_EQ(p[2].name, "Sim Br2");
    EXPECT_EQ(p[3].name, "LoneVib"); // four-letter short name: no room for the blank
    EXPECT_EQ(p[4].name, "P004   ");
    EXPECT_EQ(p[0].where, "init.txt:4");
    EXPECT_EQ(p[0].recipe, "Simple");
    EXPECT_EQ(banks[0].displayName, "Factory Sounds");
}

TEST(BankgenExpansion, RefusesUnknownNamesCopiesAndVariationsThatChangeNothing) {
    Problems problems;
    Expand(SimpleRecipe() + kLonely,
           {{"init", FullLayout("init",
                                [](int i) {
                                    switch (i) {
                                    case 0:
                                        return std::string("\"A\" Missing");
                                    case 1:
                                        return std::string("\"B\" Simple sparkle");
                                    case 2:
                                        return std::string("\"C\" Lonely punch");
                                    case 3:
                                        return std::string("\"Same\" Simple");
                                    case 4:
                                        return std::string("\"Same\" Simple dark");
                                    case 5:
                                        return std::string("series Simple glitter");
                                    default:
                                        return NumberedName(i) + " Simple";
                                    }
                                })}},
           problems);
    EXPECT_TRUE(Mentions(problems, "init.txt:4: no recipe is called \"Missing\""));
    EXPECT_TRUE(Mentions(problems, "init.txt:5: no variation is called \"sparkle\""));
    EXPECT_TRUE(Mentions(problems, "init.txt:6: variation punch changes nothing in Lonely"));
    EXPECT_TRUE(
        Mentions(problems, "the name \"Same   \" is used twice in init (programs 3 and 4)"));
    EXPECT_TRUE(Mentions(problems, "init.txt:9: no variation is called \"glitter\""));
}

TEST(BankgenExpansion, NoTwoProgramsOfAllBanksShareTheirValues) {
    Problems problems;
    auto line = [](int i) { return NumberedName(i) + " Simple"; };
    auto banks = Expand(
        SimpleRecipe(),
        {{"init", FullLayout("init", line)}, {"tollund", FullLayout("tollund", line)}}, problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    std::set<std::string> keys;
    for (const ExpandedBank& bank : banks)
        for (const Program& p : bank.programs) {
            EXPECT_TRUE(keys.insert(VoiceKey(p.values)).second) << bank.stem << " " << p.name;
            // Jitter colours the sound; it does not change what the sound is.
            EXPECT_EQ(GetOp(p.values, 0, kOpFrequency), 1);
            EXPECT_EQ(Get(p.values, kAlgorithm), 0);
            EXPECT_DOUBLE_EQ(p.values[kMasterVolume], 1.0);
        }
    EXPECT_EQ(keys.size(), 672u);
    // The same sources give the same banks.
    Problems again;
    auto second = Expand(
        SimpleRecipe(),
        {{"init", FullLayout("init", line)}, {"tollund", FullLayout("tollund", line)}}, again);
    ASSERT_EQ(second.size(), 2u);
    for (std::size_t b = 0; b < 2; ++b)
        for (std::size_t i = 0; i < 336; ++i)
            ASSERT_EQ(second[b].programs[i].values, banks[b].programs[i].values);
}

TEST(BankgenExpansion, FailsLoudlyWhenAProgramCannotBeMadeUnique) {
    // One carrier and nothing else: the jitter can only move its fine detune, five values.
    Problems problems;
    Expand(kLonely,
           {{"init", FullLayout("init", [](int i) { return NumberedName(i) + " Lonely"; })}},
           problems);
    ASSERT_TRUE(problems.Any());
    EXPECT_TRUE(Mentions(problems, "cannot be made unlike the other programs in 64 tries"))
        << problems.Joined();
    EXPECT_TRUE(Mentions(problems, "(it equals init program")) << problems.Joined();
    EXPECT_TRUE(Mentions(problems, "init.txt:")) << problems.Joined();
}

TEST(BankgenLevels, RoundTripAndStaleLevelsAreFound) {
    Problems problems;
    auto banks =
        Expand(SimpleRecipe(),
               {{"init", FullLayout("init", [](int i) { return NumberedName(i) + " Simple"; })}},
               problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    ExpandedBank bank = banks[0];
    for (std::size_t i = 0; i < bank.programs.size(); ++i)
        Put(bank.programs[i].values, kMasterVolume, 0.5 + 0.01 * static_cast<double>(i % 100));
    std::string text = FormatLevels(bank.displayName, bank.programs);
    std::vector<LevelEntry> entries;
    ParseLevels("levels/init.txt", text, entries, problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();

    ExpandedBank fresh = banks[0];
    ApplyLevels(fresh, entries, problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    for (std::size_t i = 0; i < fresh.programs.size(); ++i)
        EXPECT_EQ(fresh.programs[i].values, bank.programs[i].values) << i;

    // A program left out of the file (it failed its checks) has no level either.
    std::vector<bool> include(bank.programs.size(), true);
    include[9] = false;
    std::vector<LevelEntry> partial;
    ParseLevels("levels/init.txt", FormatLevels(bank.displayName, bank.programs, include), partial,
                problems);
    EXPECT_FALSE(partial[9].present);
    EXPECT_TRUE(partial[10].present);

    // A program whose voice changed since its level was measured has no current level.
    ExpandedBank changed = banks[0];
    NudgeOp(changed.programs[7].values, 1, kOpLevel, 1);
    ApplyLevels(changed, entries, problems);
    ASSERT_EQ(problems.messages.size(), 1u);
    EXPECT_NE(problems.messages[0].find("1 programs have no current level (first: program 7"),
              std::string::npos)
        << problems.messages[0];
    EXPECT_DOUBLE_EQ(changed.programs[7].values[kMasterVolume], 1.0);
}

TEST(BankgenLevels, MalformedLinesAreRefusedWithTheirLine) {
    Problems problems;
    std::vector<LevelEntry> entries;
    ParseLevels("levels/x.txt",
                "# header\n0\t1.25\t0000abcd\tName\n1\t2.5\t0000abcd\tName\n2\t1\txyz\tName\n"
                "336\t1\t00000000\tName\n0\t1\t00000000\tName\nnot a line\n",
                entries, problems);
    ASSERT_EQ(problems.messages.size(), 5u) << problems.Joined();
    EXPECT_NE(problems.messages[0].find("levels/x.txt:3:"), std::string::npos);
    EXPECT_NE(problems.messages[1].find("levels/x.txt:4:"), std::string::npos);
    EXPECT_NE(problems.messages[2].find("levels/x.txt:5:"), std::string::npos);
    EXPECT_NE(problems.messages[3].find("program 0 has a second level"), std::string::npos);
    EXPECT_NE(problems.messages[4].find("levels/x.txt:7:"), std::string::npos);
    ASSERT_EQ(entries.size(), 336u);
    EXPECT_TRUE(entries[0].present);
    EXPECT_DOUBLE_EQ(entries[0].volume, 1.25);
    EXPECT_EQ(entries[0].fingerprint, 0xabcdu);
    EXPECT_FALSE(entries[1].present);
}

TEST(BankgenManifest, OneTabSeparatedLinePerProgram) {
    EXPECT_EQ(PitchText(1.0), "1");
    EXPECT_EQ(PitchText(0.5), "0.5");
    EXPECT_EQ(PitchText(0.25), "0.25");
    EXPECT_EQ(PitchText(2.0), "2");
    EXPECT_EQ(PitchText(0.0), "-");
    Problems problems;
    auto banks =
        Expand(SimpleRecipe(),
               {{"collection4",
                 FullLayout("collection4",
                            [](int i) {
                                if (i == 0)
                                    return std::string("series Simple waves:2 octdown slow");
                                return i < 3 ? std::string() : NumberedName(i) + " Simple";
                            })}},
               problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    std::string text = FormatManifest(banks[0]);
    const std::string header = "#program\tname\tpitch\tonset_ms\trelease_ms\thardware\tfamily\n";
    EXPECT_EQ(text.substr(0, header.size()), header);
    EXPECT_NE(text.find("\n0\tSim Wa2\t1\t50\t800\twaves\ttest\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n1\tSim Lo \t0.5\t50\t1200\tsame\ttest\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n2\tSim Slw\t1\t600\t800\tsame\ttest\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 337);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 337 * 6);
}

TEST(BankgenFactorySources, ExpandToElevenCurrentBanksOfDistinctPrograms) {
    FactorySet set;
    Problems problems;
    ASSERT_TRUE(LoadFactorySet(VORNA_BANKS_FOLDER, LevelUse::Require, set, problems))
        << problems.Joined();
    ASSERT_EQ(set.banks.size(), 11u);
    std::set<std::string> states;
    std::set<std::string> families;
    for (const ExpandedBank& bank : set.banks) {
        ASSERT_EQ(bank.programs.size(), 336u) << bank.stem;
        EXPECT_FALSE(bank.theme.empty()) << bank.stem;
        for (const Program& p : bank.programs) {
            ASSERT_EQ(p.name.size(), 7u);
            EXPECT_EQ(p.name.find('\t'), std::string::npos);
            EXPECT_GT(p.values[kMasterVolume], 0.0) << bank.stem << " " << p.name;
            EXPECT_LE(p.facts.onsetMs, 2000);
            EXPECT_LE(p.facts.releaseMs, 10000);
            families.insert(p.facts.family);
            // Bytes 23..156 of the stored state: every value, Master Volume included.
            host::ChunkBuffer state;
            host::AppendProgramState(state, 0, p.name, p.values);
            ASSERT_EQ(state.Size(), host::kStateSize);
            EXPECT_TRUE(states
                            .insert(std::string(reinterpret_cast<const char*>(state.Data()) + 23,
                                                host::kStateSize - 23))
                            .second)
                << bank.stem << " " << p.name << " repeats another program";
        }
        // The committed manifest is what the sources make.
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(platform::ReadWholeFile(
            std::string(VORNA_BANKS_FOLDER) + "/manifest/" + bank.stem + ".tsv", bytes));
        EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == FormatManifest(bank))
            << bank.stem << ".tsv is out of date: run vorna_bankgen resources/banks";
    }
    EXPECT_EQ(states.size(), 3696u);
    for (const char* f :
         {"piano", "epiano", "organ", "clav", "mallet", "bell", "pluck", "guitar", "bass", "brass",
          "wind", "strings", "pad", "lead", "choir", "drums", "perc", "fx", "texture"})
        EXPECT_TRUE(families.count(f)) << f;
    // Factory Sounds carries every family.
    std::set<std::string> factoryFamilies;
    for (const Program& p : set.Find(0)->programs) factoryFamilies.insert(p.facts.family);
    EXPECT_EQ(factoryFamilies, families);
}
