// The named variations and the seeded jitter: each variation edits what it says and keeps every
// value inside its parameter's range, the facts follow (pitch, onset, release), and the jitter
// is the same for the same seed, different for others, and leaves what defines a sound alone.

#include "BankgenTestSupport.h"
#include "Sequence.h"
#include "Variations.h"
#include "engine/InstrumentParams.h"

using namespace bankgen;
using namespace bankgen_test;
using namespace engine;

namespace {

// Two carriers (algorithm 5), both modulators sounding, an LFO that is not heard.
const char* kPairs = "recipe Pairs \"Pairs\"\n  short Prs\n  family test\n  pitch 1\n"
                     "  release 1000\n  algorithm 5\n  feedback 2\n"
                     "  op1 ratio 1 level 2 vel 1 env 31 10 5 3 7\n"
                     "  op2 ratio 1 level 14 vel 3 env 31 13 6 6 7\n"
                     "  op3 ratio 2 level 6 vel 1 env 31 11 6 4 7\n"
                     "  op4 ratio 3 level 20 vel 2 env 31 15 8 10 7\n";

Program ProgramOf(const RecipeBook& book, const std::string& id) {
    const Recipe* r = book.Find(id);
    EXPECT_NE(r, nullptr) << id;
    Program p;
    p.values = r->values;
    p.facts = r->facts;
    p.name = "Test   ";
    return p;
}

RecipeBook TestBook() {
    Problems problems;
    RecipeBook book = Book(std::string(kPairs) + SimpleRecipe(), problems);
    EXPECT_FALSE(problems.Any()) << problems.Joined();
    return book;
}

bool InRange(const Values& v) {
    const auto& table = InstrumentParamDefinitions();
    for (int i = 0; i < kParamCount; ++i) {
        double x = v[static_cast<std::size_t>(i)];
        if (x < table[static_cast<std::size_t>(i)].min ||
            x > table[static_cast<std::size_t>(i)].max)
            return false;
    }
    return true;
}

} // namespace

TEST(BankgenVariations, EveryVariationAtEveryStrengthStaysInRange) {
    RecipeBook book = TestBook();
    for (const char* id : {"Pairs", "Simple"})
        for (const VariationInfo& info : Variations())
            for (int s = 1; s <= kMaxStrength; ++s) {
                SCOPED_TRACE(std::string(id) + " " + info.name + ":" + std::to_string(s));
                Program p = ProgramOf(book, id);
                // Applied three times over, so edits that push further still clamp.
                for (int k = 0; k < 3; ++k) ASSERT_TRUE(ApplyVariation(info.name, s, p));
                EXPECT_TRUE(InRange(p.values));
                EXPECT_LE(p.facts.releaseMs, 10000);
                EXPECT_LE(p.facts.onsetMs, 2000);
                EXPECT_LE(std::string(info.tag).size(), 3u);
            }
    Program p = ProgramOf(book, "Pairs");
    EXPECT_FALSE(ApplyVariation("sparkle", 1, p));
    EXPECT_EQ(FindVariation("sparkle"), nullptr);
    EXPECT_NE(FindVariation("bright"), nullptr);
}

TEST(BankgenVariations, BrightAndDarkMoveOnlyTheModulators) {
    RecipeBook book = TestBook();
    Program base = ProgramOf(book, "Pairs");
    Program bright = base, dark = base;
    ApplyVariation("bright", 2, bright);
    ApplyVariation("dark", 1, dark);
    EXPECT_EQ(GetOp(bright.values, 1, kOpLevel), 14 - 6);
    EXPECT_EQ(GetOp(bright.values, 3, kOpLevel), 20 - 6);
    EXPECT_EQ(GetOp(dark.values, 1, kOpLevel), 14 + 4);
    EXPECT_EQ(Get(bright.values, kFeedback), 3);
    EXPECT_EQ(Get(dark.values, kFeedback), 1);
    for (int op : {0, 2}) { // the carriers of algorithm 5
        EXPECT_EQ(GetOp(bright.values, op, kOpLevel), GetOp(base.values, op, kOpLevel));
        EXPECT_EQ(GetOp(dark.values, op, kOpLevel), GetOp(base.values, op, kOpLevel));
    }
}

TEST(BankgenVariations, OctavesLongReleasesAndSlowAttacksUpdateTheFacts) {
    RecipeBook book = TestBook();
    Program up = ProgramOf(book, "Pairs"), down = up, slow = up, longer = up;
    ApplyVariation("octup", 2, up);
    EXPECT_EQ(Get(up.values, kTranspose), 24);
    EXPECT_DOUBLE_EQ(up.facts.pitch, 4.0);
    ApplyVariation("octdown", 1, down);
    EXPECT_DOUBLE_EQ(down.facts.pitch, 0.5);
    ApplyVariation("slow", 3, slow);
    EXPECT_EQ(slow.facts.onsetMs, 2000);
    EXPECT_LE(GetOp(slow.values, 0, kOpAttack), 7);
    ApplyVariation("long", 1, longer);
    EXPECT_EQ(longer.facts.releaseMs, 4000);
    EXPECT_EQ(GetOp(longer.values, 0, kOpRelease), 5);
    ApplyVariation("long", 2, longer);
    EXPECT_EQ(longer.facts.releaseMs, 10000); // the most a program may take
    Program metal = ProgramOf(book, "Pairs");
    ApplyVariation("metal", 1, metal);
    EXPECT_DOUBLE_EQ(metal.facts.pitch, 0.0);
    EXPECT_EQ(GetOp(metal.values, 1, kOpInharmonic), 1);
}

TEST(BankgenVariations, HollowOnlyWhereEveryCarrierSitsOnTheFundamental) {
    RecipeBook book = TestBook();
    Program simple = ProgramOf(book, "Simple"), pairs = ProgramOf(book, "Pairs");
    ApplyVariation("hollow", 1, simple);
    EXPECT_EQ(GetOp(simple.values, 1, kOpFrequency), 2);
    Program before = pairs;
    ApplyVariation("hollow", 1, pairs); // OP3 is a carrier on the second harmonic
    EXPECT_EQ(pairs.values, before.values);
}

TEST(BankgenJitter, IsTheSameForTheSameSeedAndDiffersForOthers) {
    RecipeBook book = TestBook();
    Program base = ProgramOf(book, "Pairs");
    Program a = base, b = base;
    Sequence s1(MixSeed(5, 17, 0)), s2(MixSeed(5, 17, 0));
    ApplyJitter(a, 3, s1);
    ApplyJitter(b, 3, s2);
    EXPECT_EQ(a.values, b.values);
    int differing = 0;
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        Program c = base;
        Sequence s(MixSeed(5, seed, 1));
        ApplyJitter(c, 2, s);
        differing += c.values != a.values ? 1 : 0;
    }
    EXPECT_GE(differing, 18);
    Program none = base;
    Sequence s3(1);
    ApplyJitter(none, 0, s3);
    EXPECT_EQ(none.values, base.values);
}

TEST(BankgenJitter, LeavesWhatDefinesTheSoundAlone) {
    RecipeBook book = TestBook();
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        Program p = ProgramOf(book, "Pairs");
        const Values before = p.values;
        Sequence sequence(seed);
        ApplyJitter(p, 4, sequence);
        ASSERT_TRUE(InRange(p.values));
        for (int index : {kAlgorithm, kFeedback, kMode, kTranspose, kPortamento})
            EXPECT_EQ(Get(p.values, index), Get(before, index));
        for (int op = 0; op < kOperatorCount; ++op) {
            for (int m : {kOpFrequency, kOpInharmonic, kOpBoost, kOpAttack, kOpRelease, kOpDecay2,
                          kOpSustain})
                EXPECT_EQ(GetOp(p.values, op, m), GetOp(before, op, m)) << op << " " << m;
            int moved = GetOp(p.values, op, kOpLevel) - GetOp(before, op, kOpLevel);
            EXPECT_LE(std::abs(moved), 4);
        }
        EXPECT_DOUBLE_EQ(p.facts.pitch, 1.0);
    }
}

TEST(BankgenSequence, GivesTheSameNumbersEverywhere) {
    // Pinned: a change of the generator would silently change every factory bank.
    Sequence s(1000);
    for (int expected : {76, 51, 49, 69, 34, 73}) EXPECT_EQ(s.Between(0, 99), expected);
    Sequence u(7);
    for (int i = 0; i < 1000; ++i) {
        int v = u.Between(-3, 3);
        ASSERT_GE(v, -3);
        ASSERT_LE(v, 3);
    }
    EXPECT_NE(MixSeed(1, 2, 3), MixSeed(1, 3, 2));
}
