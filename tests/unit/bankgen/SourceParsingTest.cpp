// The source language of the factory sounds: words and quotes, recipe lines and their values,
// recipes made from other recipes, bank layouts; every malformed line gives a message naming its
// file and line.

#include "BankgenTestSupport.h"
#include "engine/InstrumentParams.h"

using namespace bankgen;
using namespace bankgen_test;
using namespace engine;

TEST(BankgenSource, SplitsWordsQuotesAndCommentsAndKeepsLineNumbers) {
    Problems problems;
    auto lines = Lines(
        "# a comment line\r\n\n  recipe A \"E Piano\"  # trailing\r\n\top1 level 3\n", problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 3);
    ASSERT_EQ(lines[0].words.size(), 3u);
    EXPECT_EQ(lines[0].words[2].text, "E Piano");
    EXPECT_TRUE(lines[0].words[2].quoted);
    EXPECT_FALSE(lines[0].words[1].quoted);
    EXPECT_EQ(lines[1].number, 4);
    EXPECT_EQ(lines[1].words.size(), 3u);
    EXPECT_EQ(Where(lines[1]), "test.txt:4");
}

TEST(BankgenSource, RefusesUnclosedQuotesAndBytesOutsidePrintableAscii) {
    Problems problems;
    Lines("recipe A\n\"Open name\nok line\nname \"\xC3\xA9t\xC3\xA9\"\n", problems);
    ASSERT_EQ(problems.messages.size(), 2u) << problems.Joined();
    EXPECT_NE(problems.messages[0].find("test.txt:2:"), std::string::npos);
    EXPECT_NE(problems.messages[0].find("closing"), std::string::npos);
    EXPECT_NE(problems.messages[1].find("test.txt:4:"), std::string::npos);
    EXPECT_NE(problems.messages[1].find("ASCII"), std::string::npos);
}

TEST(BankgenRecipe, TurnsEveryKindOfSettingIntoParameterValues) {
    Problems problems;
    RecipeBook book = Book("recipe Full \"Full\"\n"
                           "  short Fu\n  family pad\n  pitch 0.5\n  onset 700\n  release 2500\n"
                           "  algorithm 5\n  feedback 3\n  mode mono\n  portamento 20\n"
                           "  bend 7\n  transpose -12\n  tune -0.25\n  pmd wheel\n"
                           "  lfo noise speed 90 pm 40 pms 6 am 30 ams 2 sync\n"
                           "  op1 ratio 0.5 level 9 vel 3 boost env 20 11 5 4 6 ks +exp 7\n"
                           "  op2 ratio 14 inh 1.57 detune -2 adjust 5 ksr 3 av 2 wave W7\n"
                           "  op3 ratio 3 detune 3 ar 12 d1 13 d2 14 sl 15 rr 9\n"
                           "  op4 off\n",
                           problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    const Recipe* r = book.Find("Full");
    ASSERT_NE(r, nullptr);
    const Values& v = r->values;
    EXPECT_EQ(r->name, "Full");
    EXPECT_EQ(r->shortName, "Fu");
    EXPECT_EQ(r->facts.family, "pad");
    EXPECT_DOUBLE_EQ(r->facts.pitch, 0.5);
    EXPECT_EQ(r->facts.onsetMs, 700);
    EXPECT_EQ(r->facts.releaseMs, 2500);
    EXPECT_EQ(Get(v, kAlgorithm), 4); // shown as "5"
    EXPECT_EQ(Get(v, kFeedback), 3);
    EXPECT_EQ(Get(v, kMode), 1);
    EXPECT_EQ(Get(v, kPortamento), 20);
    EXPECT_EQ(Get(v, kPitchBendRange), 7);
    EXPECT_EQ(Get(v, kTranspose), -12);
    EXPECT_DOUBLE_EQ(v[kMasterTune], -0.25);
    EXPECT_EQ(Get(v, kPmdController), 2);
    EXPECT_EQ(Get(v, kLfoWaveform), 3);
    EXPECT_EQ(Get(v, kLfoSpeed), 90);
    EXPECT_EQ(Get(v, kLfoPmDepth), 40);
    EXPECT_EQ(Get(v, kLfoPmSensitivity), 6);
    EXPECT_EQ(Get(v, kLfoAmDepth), 30);
    EXPECT_EQ(Get(v, kLfoAmSensitivity), 2);
    EXPECT_EQ(Get(v, kLfoSync), 1);
    EXPECT_EQ(GetOp(v, 0, kOpFrequency), 0); // ratio 0.5
    EXPECT_EQ(GetOp(v, 0, kOpLevel), 9);
    EXPECT_EQ(GetOp(v, 0, kOpVelocity), 3);
    EXPECT_EQ(GetOp(v, 0, kOpBoost), 1);
    EXPECT_EQ(GetOp(v, 0, kOpAttack), 20);
    EXPECT_EQ(GetOp(v, 0, kOpDecay1), 11);
    EXPECT_EQ(GetOp(v, 0, kOpDecay2), 5);
    EXPECT_EQ(GetOp(v, 0, kOpSustain), 4);
    EXPECT_EQ(GetOp(v, 0, kOpRelease), 6);
    EXPECT_EQ(GetOp(v, 0, kOpKeyScalingType), 3);
    EXPECT_EQ(GetOp(v, 0, kOpKeyScalingDepth), 7);
    EXPECT_EQ(GetOp(v, 1, kOpFrequency), 14);
    EXPECT_EQ(GetOp(v, 1, kOpInharmonic), 2);
    EXPECT_EQ(GetOp(v, 1, kOpDetune), 6); // -2: the engine's row 6
    EXPECT_EQ(GetOp(v, 1, kOpLevelAdjust), 5);
    EXPECT_EQ(GetOp(v, 1, kOpKeyScalingRate), 3);
    EXPECT_EQ(GetOp(v, 1, kOpAttackVelocity), 2);
    EXPECT_EQ(Get(v, kOp1Wave + 1), 6);
    EXPECT_EQ(GetOp(v, 2, kOpDetune), 3);
    EXPECT_EQ(GetOp(v, 2, kOpAttack), 12);
    EXPECT_EQ(GetOp(v, 2, kOpSustain), 15);
    EXPECT_EQ(GetOp(v, 2, kOpRelease), 9);
    EXPECT_EQ(GetOp(v, 3, kOpEnable), 0);
    EXPECT_EQ(GetOp(v, 3, kOpLevel), 127);
    // What the recipe does not say stays at Init, except the play mode Init has (mono).
    EXPECT_EQ(GetOp(v, 2, kOpLevel), 0);
    EXPECT_EQ(Get(v, kOutputLeft), 1);
}

TEST(BankgenRecipe, AStandAloneRecipeStartsPolyphonic) {
    Problems problems;
    RecipeBook book = Book(SimpleRecipe(), problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    EXPECT_EQ(Get(book.Find("Simple")->values, kMode), 0);
}

TEST(BankgenRecipe, EveryMalformedLineIsRefusedWithItsFileAndLine) {
    const struct {
        const char* line;
        const char* says;
    } cases[] = {
        {"  algorithm 9", "algorithm takes a whole number 1..8"},
        {"  feedback x", "not \"x\""},
        {"  op1 level 128", "level takes a whole number 0..127"},
        {"  op2 ratio 16", "ratio"},
        {"  op2 ratio 1.5", "ratio"},
        {"  op3 env 31 10 5", "env sustain needs a value"},
        {"  op3 sl 16", "sl takes a whole number 0..15"},
        {"  op4 wave W9", "wave takes one of W1"},
        {"  op4 ks sideways 3", "ks takes one of -lin"},
        {"  op1 glow 3", "op1 has no setting \"glow\""},
        {"  op5 level 3", "no setting is called \"op5\""},
        {"  lfo wobble", "lfo takes one of saw"},
        {"  lfo triangle speed 300", "lfo speed takes a whole number 0..255"},
        {"  mode duo", "mode takes one of poly, mono"},
        {"  pitch 0", "pitch takes a number"},
        {"  pitch -", nullptr},
        {"  onset 2001", "onset takes a whole number 1..2000"},
        {"  release 0", "release takes a whole number 1..10000"},
        {"  family Piano", "family takes one lower-case word"},
        {"  short ABCDE", "short takes a text of 1 to 4"},
        {"  bend 2 3", "unexpected \"3\""},
        {"  tune 1.5", "tune takes a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Problems problems;
        Book(SimpleRecipe() + c.line + "\n", problems);
        if (!c.says) {
            EXPECT_FALSE(problems.Any()) << problems.Joined();
            continue;
        }
        ASSERT_EQ(problems.messages.size(), 1u) << problems.Joined();
        EXPECT_NE(problems.messages[0].find("test.txt:11: "), std::string::npos)
            << problems.messages[0];
        EXPECT_NE(problems.messages[0].find(c.says), std::string::npos) << problems.messages[0];
    }
}

TEST(BankgenRecipe, ARecipeOfItsOwnMustDescribeEveryOperatorAndItsFacts) {
    Problems problems;
    Book("recipe Half\n  family test\n  pitch 1\n  release 100\n  op1 level 0\n  op2 level 9\n"
         "recipe NoFacts\n  op1 off\n  op2 off\n  op3 off\n  op4 off\n",
         problems);
    EXPECT_TRUE(Mentions(problems, "test.txt:1: recipe Half does not describe op3"));
    EXPECT_TRUE(Mentions(problems, "recipe Half does not describe op4"));
    EXPECT_TRUE(
        Mentions(problems, "test.txt:7: recipe NoFacts needs its family, pitch and release"));
}

TEST(BankgenRecipe, ARecipeFromAnotherChangesOnlyWhatItNames) {
    Problems problems;
    RecipeBook book = Book(
        "recipe Child \"Kid\" from Simple\n  op2 level 8\n  pitch 2\n" + SimpleRecipe(), problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    const Recipe* parent = book.Find("Simple");
    const Recipe* child = book.Find("Child");
    ASSERT_TRUE(parent && child);
    EXPECT_EQ(child->name, "Kid");
    EXPECT_EQ(child->shortName, "Sim");
    EXPECT_DOUBLE_EQ(child->facts.pitch, 2.0);
    EXPECT_EQ(child->facts.releaseMs, parent->facts.releaseMs);
    for (int i = 0; i < kParamCount; ++i) {
        if (i == OpParam(1, kOpLevel)) continue;
        EXPECT_EQ(child->values[static_cast<std::size_t>(i)],
                  parent->values[static_cast<std::size_t>(i)])
            << i;
    }
    EXPECT_EQ(GetOp(child->values, 1, kOpLevel), 8);
    EXPECT_EQ(GetOp(parent->values, 1, kOpLevel), 20);
}

TEST(BankgenRecipe, UnknownBasesCyclesAndTwinsAreRefused) {
    Problems problems;
    RecipeBook book = Book("recipe A from Nowhere\n  op1 level 1\n"
                           "recipe B from C\nrecipe C from B\n" +
                               SimpleRecipe() + SimpleRecipe(),
                           problems);
    EXPECT_TRUE(Mentions(problems, "test.txt:1: recipe A starts from unknown recipe Nowhere"));
    EXPECT_TRUE(Mentions(problems, "starts from itself"));
    EXPECT_TRUE(Mentions(problems, "recipe Simple is defined twice (first at test.txt:5)"));
    EXPECT_EQ(book.Find("A"), nullptr);
    EXPECT_EQ(book.Find("B"), nullptr);
    EXPECT_NE(book.Find("Simple"), nullptr);
}

TEST(BankgenLayout, ReadsProgramsSeriesAndTheirOptions) {
    Problems problems;
    std::string text = "bank init\ntheme \"General\"\nseed 12\njitter 2\nvoicebank 1 \"One\"\n"
                       "\"E.Piano\" EPiano bright:2 vibrato ~0\n"
                       "series EPiano base dark long:3 bright+vibrato=EP_BrVb velo~3\n";
    for (int i = 0; i < 42; ++i) text += NumberedName(i) + " EPiano\n";
    for (int vb = 2; vb <= 7; ++vb) {
        text += "voicebank " + std::to_string(vb) + "\n";
        for (int i = 0; i < 48; ++i) text += NumberedName(i) + " EPiano\n";
    }
    BankLayout layout;
    ReadBankLayout(Lines(text, problems), "init", layout, problems);
    ASSERT_FALSE(problems.Any()) << problems.Joined();
    EXPECT_EQ(layout.theme, "General");
    EXPECT_EQ(layout.seed, 12u);
    EXPECT_EQ(layout.jitter, 2);
    ASSERT_EQ(layout.voiceBanks.size(), 7u);
    EXPECT_EQ(layout.voiceBanks[0].title, "One");
    const auto& e = layout.voiceBanks[0].entries;
    ASSERT_EQ(e.size(), 48u);
    EXPECT_EQ(e[0].name, "E.Piano");
    EXPECT_FALSE(e[0].generatedName);
    ASSERT_EQ(e[0].variations.size(), 2u);
    EXPECT_EQ(e[0].variations[0].name, "bright");
    EXPECT_EQ(e[0].variations[0].strength, 2);
    EXPECT_EQ(e[0].jitter, 0);
    EXPECT_TRUE(e[1].generatedName);
    EXPECT_TRUE(e[1].variations.empty()); // base
    EXPECT_EQ(e[3].variations[0].strength, 3);
    EXPECT_EQ(e[4].name, "EP BrVb"); // "_" is a blank
    EXPECT_EQ(e[4].variations.size(), 2u);
    EXPECT_EQ(e[5].jitter, 3);
    EXPECT_EQ(e[5].line.number, 7);
}

TEST(BankgenLayout, RefusesLayoutsThatDoNotFillSevenBanksOf48) {
    Problems problems;
    std::string text = "bank tollund\nvoicebank 1\n\"One\" EPiano\nvoicebank 3\n";
    BankLayout layout;
    ReadBankLayout(Lines(text, problems), "tollund", layout, problems);
    EXPECT_TRUE(Mentions(problems, "test.txt:2: voice bank 1 holds 1 programs; it must hold 48"));
    EXPECT_TRUE(Mentions(problems, "test.txt:4: expected: voicebank 2"));
    EXPECT_TRUE(Mentions(problems, "has 1 voice banks; it must have 7"));
}

TEST(BankgenLayout, EveryMalformedLayoutLineIsRefusedWithItsLine) {
    const struct {
        const char* line;
        const char* says;
    } cases[] = {
        {"\"LongerThan7\" EPiano", "must have 1 to 7 characters"},
        {"\"Named\"", "needs a recipe after its name"},
        {"\"Named\" EPiano bright:4", "\"bright:4\" is not a variation"},
        {"\"Named\" EPiano ~9", "jitter \"~9\" must be ~0 to ~8"},
        {"series EPiano", "series needs a recipe and at least one item"},
        {"series EPiano bright+dark", "combines variations: give it a name"},
        {"series EPiano dark=TooLongName", "must have 1 to 7 characters"},
        {"seed -1", "seed takes a whole number"},
        {"jitter 9", "jitter takes a whole number 0..8"},
        {"theme plain", "theme takes a \"text\""},
        {"colour red", "\"colour\" is not a bank line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Problems problems;
        BankLayout layout;
        ReadBankLayout(Lines(std::string("bank init\nvoicebank 1\n") + c.line + "\n", problems),
                       "init", layout, problems);
        EXPECT_TRUE(Mentions(problems, "test.txt:3: ")) << problems.Joined();
        EXPECT_TRUE(Mentions(problems, c.says)) << problems.Joined();
    }
    Problems problems;
    BankLayout layout;
    ReadBankLayout(Lines("bank collection2\n\"Early\" EPiano\n", problems), "collection3", layout,
                   problems);
    EXPECT_TRUE(Mentions(problems, "test.txt:1: this file must say \"bank collection3\""));
    EXPECT_TRUE(Mentions(problems, "test.txt:2: a program line comes before the first voicebank"));
}
