// Reading the bank manifests and bank images: the well-formed form is read completely, and every
// malformed line is refused with its line number rather than half-read.

#include "Manifest.h"
#include "BankImage.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace banktest;

namespace {

std::string Line(int program, const std::string& pitch = "1", const std::string& tail = "") {
    return std::to_string(program) + "\tE.Piano\t" + pitch + "\t50\t800\tsame\tepiano" + tail;
}

std::string Manifest(int replaced = -1, const std::string& replacement = "") {
    std::string text = "#program\tname\tpitch\tonset_ms\trelease_ms\thardware\tfamily\n";
    for (int p = 0; p < kProgramCount; ++p) text += (p == replaced ? replacement : Line(p)) + "\n";
    return text;
}

void AppendLittleEndian(Bytes& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

TEST(BankManifest, ReadsEveryColumn) {
    std::string text = Manifest(7, "7\tBell  2\t-\t1500\t9000\twaves\tbell");
    std::vector<ManifestLine> lines;
    std::string error;
    ASSERT_TRUE(ParseManifest(text, lines, error)) << error;
    ASSERT_EQ(lines.size(), 336u);
    EXPECT_EQ(lines[0].name, "E.Piano");
    EXPECT_TRUE(lines[0].pitched);
    EXPECT_EQ(lines[0].pitch, 1.0);
    EXPECT_EQ(lines[0].onsetMs, 50.0);
    EXPECT_EQ(lines[0].releaseMs, 800.0);
    EXPECT_FALSE(lines[0].needsWaves);
    EXPECT_EQ(lines[7].name, "Bell  2");
    EXPECT_FALSE(lines[7].pitched);
    EXPECT_EQ(lines[7].onsetMs, 1500.0);
    EXPECT_TRUE(lines[7].needsWaves);
    EXPECT_EQ(lines[7].family, "bell");
    EXPECT_EQ(lines[335].program, 335);
    ASSERT_TRUE(ParseManifest(Manifest(3, Line(3, "0.5")), lines, error)) << error;
    EXPECT_EQ(lines[3].pitch, 0.5);
}

TEST(BankManifest, RefusesMalformedLinesWithTheirNumber) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {Manifest().substr(1), "line 1"},
        {Manifest(335, "").substr(0, Manifest(335, "").size() - 1) + "x\n", "line 337"},
        {Manifest(4, Line(5)), "line 6 should be program 4"},
        {Manifest(4, "4\tShort\t1\t50\t800\tsame\tpiano"), "line 6 name"},
        {Manifest(9, Line(9, "abc")), "line 11 pitch"},
        {Manifest(9, Line(9, "-2")), "line 11 pitch"},
        {Manifest(9, "9\tE.Piano\t1\t2500\t800\tsame\tpad"), "line 11 onset_ms"},
        {Manifest(9, "9\tE.Piano\t1\t50\t12000\tsame\tpad"), "line 11 release_ms"},
        {Manifest(9, "9\tE.Piano\t1\t50\t800\tother\tpad"), "line 11 hardware"},
        {Manifest(9, "9\tE.Piano\t1\t50\t800\tsame\tPad"), "line 11 family"},
        {Manifest(9, Line(9, "1", "\textra")), "line 11 has 8 columns"},
        {Manifest(200, Line(200) + "\r"), "carriage returns"},
    };
    for (const Case& c : cases) {
        std::vector<ManifestLine> lines;
        std::string error;
        EXPECT_FALSE(ParseManifest(c.text, lines, error)) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_TRUE(lines.empty());
    }
    std::string text = Manifest();
    std::vector<ManifestLine> lines;
    std::string error;
    EXPECT_FALSE(ParseManifest(text + Line(336) + "\n", lines, error));
    EXPECT_NE(error.find("337 program lines"), std::string::npos) << error;
}

TEST(BankImageReader, ReadsEntriesAndRefusesCutChunks) {
    Bytes chunk = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    for (int p = 0; p < kProgramCount; ++p) {
        AppendLittleEndian(chunk, 7);
        for (char c : std::string("Prog ") + static_cast<char>('A' + p % 26) + "x")
            chunk.push_back(static_cast<std::uint8_t>(c));
        chunk.push_back(1);
        Bytes state(kStateSize, static_cast<std::uint8_t>(p));
        double volume = 0.25 * (p % 5);
        std::memcpy(state.data() + 23, &volume, 8);
        chunk.insert(chunk.end(), state.begin(), state.end());
    }
    std::vector<BankEntry> entries;
    std::string error;
    ASSERT_TRUE(ParseBankChunk(chunk, entries, error)) << error;
    ASSERT_EQ(entries.size(), 336u);
    EXPECT_EQ(entries[27].name, "Prog Bx");
    EXPECT_EQ(StateValues(entries[27].state).size(), 134u);
    EXPECT_EQ(StateDouble(entries[9].state, 0), 1.0);
    EXPECT_EQ(StateDouble(entries[9].state, 6), 0.0);

    Bytes cut(chunk.begin(), chunk.end() - 10);
    EXPECT_FALSE(ParseBankChunk(cut, entries, error));
    EXPECT_NE(error.find("program 335"), std::string::npos) << error;
    Bytes longer = chunk;
    longer.push_back(0);
    EXPECT_FALSE(ParseBankChunk(longer, entries, error));

    // A bank file wraps the chunk in a big-endian header.
    Bytes file = {'C', 'c', 'n', 'K', 0,   0,   0, 0, 'F',  'B',  'C', 'h', 0,    0,
                  0,   2,   'v', 'o', 'r', 'n', 0, 0, 0x27, 0x75, 0,   0,   0x01, 0x50};
    file.resize(156, 0);
    std::uint32_t size = static_cast<std::uint32_t>(chunk.size());
    for (int i = 3; i >= 0; --i) file.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    file.insert(file.end(), chunk.begin(), chunk.end());
    BankImage bank;
    ASSERT_TRUE(ParseBankFile(file, bank, error)) << error;
    EXPECT_EQ(bank.chunk, chunk);
    file[18] = 'x';
    EXPECT_FALSE(ParseBankFile(file, bank, error));
    EXPECT_FALSE(ReadBankFile("/nonexistent/bank.fxb", bank, error));
}
