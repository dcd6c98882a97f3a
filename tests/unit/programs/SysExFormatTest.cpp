// Recognising module messages, nibble coding, checksums and reading voice blocks out of dumps,
// against built messages and the real voice-bank dumps users exchange.

#include "SysExTestSupport.h"

using namespace programs;
using sysextest::BankDump;
using sysextest::PatternRecord;
using sysextest::SingleVoiceDump;

namespace {

SysExKind Classify(std::vector<std::uint8_t> bytes) {
    return ClassifySysEx(bytes);
}

std::vector<VoiceRecord> FortyEightRecords() {
    std::vector<VoiceRecord> records;
    for (int i = 0; i < kBankVoiceCount; ++i) records.push_back(PatternRecord(i));
    return records;
}

} // namespace

TEST(SysExClassify, KindsByHeaderInTheirTestingOrder) {
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x07, 0x00, 0xF7}),
              SysExKind::ParamChange);
    // Any instrument and any system channel; bytes 5 and 6 of a parameter change are not examined.
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x0F, 0x1F, 0x03, 0x01}), SysExKind::ParamChange);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x08, 0x00, 0x00}), SysExKind::SingleVoice);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x05, 0x0F, 0x00, 0x00}), SysExKind::SingleVoice);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x08, 0x00, 0x01}), SysExKind::Unknown);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x00, 0x00, 0x00}), SysExKind::VoiceBank1);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x00, 0x00, 0x01}), SysExKind::VoiceBank2);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x00, 0x00, 0x7F}), SysExKind::VoiceBank1);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x00, 0x03, 0x00}), SysExKind::Configuration);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x00, 0x04, 0x00}), SysExKind::Unknown);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x20, 0x00, 0x00}), SysExKind::Unknown);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x07, 0x00, 0x00}), SysExKind::Unknown);
}

TEST(SysExClassify, ShortOrForeignMessagesAreNotRecognised) {
    EXPECT_EQ(Classify({0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C}), SysExKind::Unknown);
    EXPECT_EQ(Classify({}), SysExKind::Unknown);
    EXPECT_EQ(Classify({0xF0, 0x44, 0x75, 0x00, 0x18, 0x4C, 0x07}), SysExKind::Unknown);
    EXPECT_EQ(Classify({0xF0, 0x43, 0x76, 0x00, 0x00, 0x00, 0x00}), SysExKind::Unknown);
    EXPECT_EQ(Classify({0xF1, 0x43, 0x75, 0x00, 0x00, 0x00, 0x00}), SysExKind::Unknown);
    EXPECT_EQ(ClassifySysEx(nullptr, 100), SysExKind::Unknown);
}

TEST(SysExDumps, SingleVoiceDumpLayoutAndRoundTrip) {
    VoiceRecord record = PatternRecord(3);
    Bytes dump = SingleVoiceDump(record);
    ASSERT_EQ(dump.size(), static_cast<std::size_t>(kSingleVoiceDumpSize));
    EXPECT_EQ(Bytes(dump.begin(), dump.begin() + 9),
              (Bytes{0xF0, 0x43, 0x75, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(dump.back(), 0xF7);
    std::vector<VoiceRecord> records;
    ASSERT_TRUE(ParseVoiceBlocks(dump, records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], record);
}

TEST(SysExDumps, DamagedSingleVoiceDumpsAreRefused) {
    Bytes dump = SingleVoiceDump(PatternRecord(1));
    std::vector<VoiceRecord> records;
    Bytes wrongSum = dump;
    wrongSum[137] = static_cast<std::uint8_t>((wrongSum[137] + 1) & 0x7F);
    EXPECT_FALSE(ParseVoiceBlocks(wrongSum, records));
    EXPECT_TRUE(records.empty());
    Bytes noEnd(dump.begin(), dump.end() - 1);
    EXPECT_FALSE(ParseVoiceBlocks(noEnd, records));
    Bytes changedNibble = dump;
    changedNibble[40] ^= 0x01;
    EXPECT_FALSE(ParseVoiceBlocks(changedNibble, records));
    Bytes cut(dump.begin(), dump.begin() + 60);
    EXPECT_FALSE(ParseVoiceBlocks(cut, records));
    // A trailing byte after the F7 does not matter.
    Bytes trailing = dump;
    trailing.push_back(0x00);
    EXPECT_TRUE(ParseVoiceBlocks(trailing, records));
}

TEST(SysExDumps, BankDumpLayoutRoundTripAndBankByte) {
    std::vector<VoiceRecord> source = FortyEightRecords();
    for (int bank : {0, 1}) {
        Bytes dump = BankDump(source, bank);
        ASSERT_EQ(dump.size(), static_cast<std::size_t>(kBankDumpSize));
        EXPECT_EQ(Bytes(dump.begin(), dump.begin() + 9),
                  (Bytes{0xF0, 0x43, 0x75, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(bank), 0x00,
                         0x40}));
        for (int i = 9; i < 74; ++i) EXPECT_EQ(dump[static_cast<std::size_t>(i)], 0) << i;
        EXPECT_EQ(dump[74], 0x01);
        EXPECT_EQ(dump[75], 0x00);
        EXPECT_EQ(dump.back(), 0xF7);
        EXPECT_EQ(ClassifySysEx(dump), bank ? SysExKind::VoiceBank2 : SysExKind::VoiceBank1);
        std::vector<VoiceRecord> records;
        ASSERT_TRUE(ParseVoiceBlocks(dump, records));
        EXPECT_EQ(records, source);
    }
    EXPECT_TRUE(BuildBankDump({}, 0).empty());
}

TEST(SysExDumps, BankWithOneBadBlockOrNoEndIsRefusedWholeButHeaderIsNotExamined) {
    Bytes dump = BankDump(FortyEightRecords(), 0);
    std::vector<VoiceRecord> records;

    Bytes garbageHeader = dump;
    for (int i = 7; i < 74; ++i) garbageHeader[static_cast<std::size_t>(i)] = 0x55;
    EXPECT_TRUE(ParseVoiceBlocks(garbageHeader, records));
    EXPECT_EQ(records.size(), 48u);

    // The checksum of block 47 (the last) off by one: only 47 good blocks.
    Bytes lastBad = dump;
    lastBad[6361] = static_cast<std::uint8_t>((lastBad[6361] + 1) & 0x7F);
    EXPECT_FALSE(ParseVoiceBlocks(lastBad, records));
    EXPECT_TRUE(records.empty());

    Bytes firstBad = dump;
    firstBad[76] ^= 0x02;
    EXPECT_FALSE(ParseVoiceBlocks(firstBad, records));

    ASSERT_EQ(dump.size(), 6363u);
    Bytes noEnd = dump;
    noEnd[6362] = 0x00;
    EXPECT_FALSE(ParseVoiceBlocks(noEnd, records));
    Bytes cut(dump.begin(), dump.end() - 1);
    EXPECT_FALSE(ParseVoiceBlocks(cut, records));
    Bytes half(dump.begin(), dump.begin() + 3000);
    EXPECT_FALSE(ParseVoiceBlocks(half, records));

    // The two byte-count bytes before every block are not examined.
    Bytes counts = dump;
    counts[74] = 0x7F;
    counts[75] = 0x7F;
    EXPECT_TRUE(ParseVoiceBlocks(counts, records));
}

TEST(SysExRealDumps, EveryVoiceOfEveryRealBankParsesAndReencodesToTheSameBlocks) {
    SKIP_WITHOUT_REAL_DUMPS();
    for (const std::string& name : sysextest::RealDumpNames()) {
        SCOPED_TRACE(name);
        Bytes file = sysextest::ReadRealDump(name);
        ASSERT_EQ(file.size(), static_cast<std::size_t>(kBankDumpSize));
        EXPECT_EQ(ClassifySysEx(file), SysExKind::VoiceBank1);
        std::vector<VoiceRecord> records;
        ASSERT_TRUE(ParseVoiceBlocks(file, records));
        ASSERT_EQ(records.size(), 48u);
        // Our own encoding of the parsed records gives back the file's voice blocks byte for byte.
        Bytes rebuilt = BankDump(records, 0);
        EXPECT_TRUE(std::equal(file.begin() + 74, file.end(), rebuilt.begin() + 74));
    }
    // The plucked bank's header checksum is wrong while its voice blocks are right: it loads.
    Bytes plucked = sysextest::ReadRealDump("fb01_plucked.syx");
    EXPECT_NE(plucked[73], BlockChecksum(plucked.data() + 9, 64));
}

TEST(SysExRealDumps, AsHardwareAndLibrariansWriteThem) {
    SKIP_WITHOUT_REAL_DUMPS();
    Bytes file = sysextest::ReadRealDump("fb01_pianos.syx");
    std::vector<VoiceRecord> original;
    ASSERT_TRUE(ParseVoiceBlocks(file, original));
    std::vector<VoiceRecord> records;
    for (std::uint8_t channel : {0x00, 0x03, 0x0F}) {
        for (std::uint8_t bank : {0x00, 0x01}) {
            Bytes variant = file;
            variant[3] = channel;
            variant[6] = bank;
            ASSERT_TRUE(ParseVoiceBlocks(variant, records));
            EXPECT_EQ(records, original);
        }
    }
    // A single voice taken out of the bank, sent to instruments 1 to 8 on any system channel.
    for (std::uint8_t instrument = 0x08; instrument <= 0x0F; ++instrument) {
        Bytes voice = SingleVoiceDump(original[5]);
        voice[3] = static_cast<std::uint8_t>(instrument - 0x08);
        voice[4] = instrument;
        ASSERT_TRUE(ParseVoiceBlocks(voice, records)) << int(instrument);
        EXPECT_EQ(records[0], original[5]);
    }
}
