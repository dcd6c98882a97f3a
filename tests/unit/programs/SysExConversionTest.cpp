// Voice records to parameter values and program states and back: every field in both
// directions, the import rules, and the round trip of every voice in the real banks.

#include "SysExTestSupport.h"

#include "programs/VoiceConversion.h"

#include <algorithm>
#include <cstring>

using namespace programs;
using namespace engine;

namespace {

int Op(int op, int m) {
    return OperatorParamIndex(op, m);
}

// The bits of each record byte that some parameter reads. Outputs (byte 12, bits 6 and 7) and bit
// 0 of each operator's second byte are left out: import forces the outputs on and export always
// sets that bit.
std::array<std::uint8_t, 64> UsedBits() {
    std::array<std::uint8_t, 64> mask{};
    mask[8] = 0xFF;
    mask[9] = 0xFF;
    mask[10] = 0xFF;
    mask[11] = 0x78;
    mask[12] = 0x3F;
    mask[13] = 0x73;
    mask[14] = 0x60;
    mask[15] = 0xFF;
    for (int o = 16; o < 48; o += 8) {
        const std::uint8_t op[8] = {0x7F, 0xF0, 0xFF, 0xFF, 0xDF, 0xFF, 0xDF, 0xFF};
        for (int k = 0; k < 8; ++k) mask[static_cast<std::size_t>(o + k)] = op[k];
    }
    mask[58] = 0xFF;
    mask[59] = 0x3F;
    return mask;
}

// What applying a program does to imported values: each is clamped to its parameter's range.
ParamValues Clamped(ParamValues values) {
    const auto& table = InstrumentParamDefinitions();
    for (int i = 0; i < kParamCount; ++i) {
        const ParamDefinition& d = table[static_cast<std::size_t>(i)];
        double& v = values[static_cast<std::size_t>(i)];
        v = std::min(std::max(v, d.min), d.max);
    }
    return values;
}

void ExpectRoundTrip(const VoiceRecord& record) {
    VoiceRecord exported =
        ProgramValuesToVoice(Clamped(VoiceToParamValues(record)), VoiceName(record));
    const auto mask = UsedBits();
    for (int i = 0; i < 64; ++i) {
        std::uint8_t m = mask[static_cast<std::size_t>(i)];
        // Pitch Bend Range 13 to 15 does not fit its parameter's range (0 to 12).
        if (i == 59 && (record[59] & 0x0F) > 12) m &= 0xF0;
        EXPECT_EQ(exported[static_cast<std::size_t>(i)] & m,
                  record[static_cast<std::size_t>(i)] & m)
            << "byte " << i;
    }
    // The name up to its first zero byte.
    for (int i = 0; i < 7 && record[static_cast<std::size_t>(i)]; ++i)
        EXPECT_EQ(exported[static_cast<std::size_t>(i)], record[static_cast<std::size_t>(i)]);
}

} // namespace

TEST(SysExImport, EveryFieldOfTheRecordReachesItsParameter) {
    VoiceRecord r{};
    std::memcpy(r.data(), "Brass 1", 7);
    r[8] = 0xC8;                          // LFO Speed 200
    r[9] = 0x80 | 0x55;                   // LFO on, AM Depth 85
    r[10] = 0x80 | 0x22;                  // Sync on, PM Depth 34
    r[11] = 0x40 | 0x08;                  // OP1 and OP4 on
    r[12] = (5 << 3) | 6;                 // Feedback 5, Algorithm 6, output bits clear
    r[13] = (6 << 4) | 3;                 // PM Sensitivity 6, AM Sensitivity 3
    r[14] = 3 << 5;                       // LFO Waveform 3
    r[15] = 0xF4;                         // Transpose -12
    r[58] = 0x80 | 100;                   // Mono, Portamento 100
    r[59] = (2 << 4) | 7;                 // PMD Controller 2, Pitch Bend Range 7
    const int o = OperatorBlockOffset(2); // OP2's block
    r[o + 0] = 0x80 | 99;                 // Level 99 (bit 7 belongs to nobody)
    r[o + 1] = 0x80 | (5 << 4);           // KST bit 0, Velocity 5
    r[o + 2] = (9 << 4) | 4;              // Depth 9, Level Adjust 4
    r[o + 3] = 0x80 | (3 << 4) | 11;      // KST bit 1, Detune 3, Frequency 11
    r[o + 4] = (2 << 6) | 20;             // Rate 2, Attack 20
    r[o + 5] = (1 << 5) | 17;             // boosted (bit 7 clear), Attack Velocity 1, Decay 1 17
    r[o + 6] = (3 << 6) | 9;              // Inharmonic 3, Decay 2 9
    r[o + 7] = (12 << 4) | 6;             // Sustain 12, Release 6
    r[OperatorBlockOffset(1) + 5] = 0x80; // OP1 not boosted

    ParamValues v = VoiceToParamValues(r);
    EXPECT_EQ(VoiceName(r), "Brass 1");
    EXPECT_EQ(v[kLfoSpeed], 200);
    EXPECT_EQ(v[kLfoEnable], 1);
    EXPECT_EQ(v[kLfoAmDepth], 85);
    EXPECT_EQ(v[kLfoSync], 1);
    EXPECT_EQ(v[kLfoPmDepth], 34);
    EXPECT_EQ(v[Op(1, kOpEnable)], 1);
    EXPECT_EQ(v[Op(2, kOpEnable)], 0);
    EXPECT_EQ(v[Op(3, kOpEnable)], 0);
    EXPECT_EQ(v[Op(4, kOpEnable)], 1);
    EXPECT_EQ(v[kFeedback], 5);
    EXPECT_EQ(v[kAlgorithm], 6);
    EXPECT_EQ(v[kOutputLeft], 1);
    EXPECT_EQ(v[kOutputRight], 1);
    EXPECT_EQ(v[kLfoPmSensitivity], 6);
    EXPECT_EQ(v[kLfoAmSensitivity], 3);
    EXPECT_EQ(v[kLfoWaveform], 3);
    EXPECT_EQ(v[kTranspose], -12);
    EXPECT_EQ(v[kMode], 1);
    EXPECT_EQ(v[kPortamento], 100);
    EXPECT_EQ(v[kPmdController], 2);
    EXPECT_EQ(v[kPitchBendRange], 7);
    EXPECT_EQ(v[Op(2, kOpLevel)], 99);
    EXPECT_EQ(v[Op(2, kOpVelocity)], 5);
    EXPECT_EQ(v[Op(2, kOpKeyScalingType)], 3);
    EXPECT_EQ(v[Op(2, kOpKeyScalingDepth)], 9);
    EXPECT_EQ(v[Op(2, kOpLevelAdjust)], 4);
    EXPECT_EQ(v[Op(2, kOpDetune)], 3);
    EXPECT_EQ(v[Op(2, kOpFrequency)], 11);
    EXPECT_EQ(v[Op(2, kOpKeyScalingRate)], 2);
    EXPECT_EQ(v[Op(2, kOpAttack)], 20);
    EXPECT_EQ(v[Op(2, kOpBoost)], 1);
    EXPECT_EQ(v[Op(2, kOpAttackVelocity)], 1);
    EXPECT_EQ(v[Op(2, kOpDecay1)], 17);
    EXPECT_EQ(v[Op(2, kOpInharmonic)], 3);
    EXPECT_EQ(v[Op(2, kOpDecay2)], 9);
    EXPECT_EQ(v[Op(2, kOpSustain)], 12);
    EXPECT_EQ(v[Op(2, kOpRelease)], 6);
    EXPECT_EQ(v[Op(1, kOpBoost)], 0);
    // The other operators' Keyb. Scaling Type is not disturbed by OP2's bits.
    EXPECT_EQ(v[Op(1, kOpKeyScalingType)], 0);
    EXPECT_EQ(v[Op(3, kOpKeyScalingType)], 0);
    // Not in the record: the defaults.
    EXPECT_EQ(v[kMasterVolume], 1.0);
    EXPECT_EQ(v[kMasterTune], 0.0);

    ExpectRoundTrip(r);
}

TEST(SysExImport, ProgramStateIs157BytesWithTagNumberNameDefaultsAndBytes) {
    VoiceRecord r{};
    std::memcpy(r.data(), "Ab\xE9", 3); // a name byte above 0x7E stays as it is
    r[15] = 0xF4;
    r[59] = 0x0F; // Pitch Bend Range 15: kept as read
    host::ChunkBuffer state;
    state.AppendBytes("old", 3);
    WriteVoiceProgramState(200, r, state);
    ASSERT_EQ(state.Size(), 157);
    EXPECT_EQ(std::memcmp(state.Data(), "Vorna_1.1.0", 11), 0);
    std::int32_t number = 0;
    EXPECT_EQ(state.ReadInt32(number, 11), 15);
    EXPECT_EQ(number, 200);
    EXPECT_EQ(std::memcmp(state.Data() + 15, "Ab\xE9\0\0\0\0", 7), 0);
    EXPECT_EQ(state.Bytes()[22], 6);
    double volume = 0;
    state.ReadDouble(volume, 23);
    EXPECT_EQ(volume, 1.0);
    EXPECT_EQ(state.Bytes()[71], 85);
    EXPECT_EQ(state.Bytes()[72 + kTranspose - 6], 0xF4);
    EXPECT_EQ(state.Bytes()[72 + kPitchBendRange - 6], 15);
    EXPECT_EQ(state.Bytes()[72 + kOutputLeft - 6], 1);
    EXPECT_EQ(state.Bytes()[72 + Op(4, kOpBoost) - 6], 1); // bit 7 of o+5 clear: boosted
}

TEST(SysExExport, TransposeKeyScalingTypeThreeAndBoostBits) {
    ParamValues v = sysextest::DefaultValues();
    v[kTranspose] = -12;
    for (int op = 1; op <= 4; ++op) {
        v[static_cast<std::size_t>(Op(op, kOpKeyScalingType))] = 3;
        v[static_cast<std::size_t>(Op(op, kOpVelocity))] = 0;
        v[static_cast<std::size_t>(Op(op, kOpBoost))] = 1;
    }
    VoiceRecord r = ProgramValuesToVoice(v, "Init   ");
    EXPECT_EQ(r[15], 0xF4);
    VoiceBlock block = EncodeVoiceBlock(r);
    EXPECT_EQ(block.nibbles[30], 0x04);
    EXPECT_EQ(block.nibbles[31], 0x0F);
    for (int op = 1; op <= 4; ++op) {
        const int o = OperatorBlockOffset(op);
        EXPECT_EQ(r[static_cast<std::size_t>(o + 1)], 0x81) << op;
        EXPECT_EQ(r[static_cast<std::size_t>(o + 3)] & 0x80, 0x80) << op;
        EXPECT_EQ(r[static_cast<std::size_t>(o + 5)] & 0x80, 0) << op;
    }
    v[static_cast<std::size_t>(Op(3, kOpBoost))] = 0;
    EXPECT_EQ(ProgramValuesToVoice(v, "")[OperatorBlockOffset(3) + 5] & 0x80, 0x80);
}

TEST(SysExExport, UnusedBytesAreZeroAndNamesAreCutOrEnded) {
    ParamValues v = sysextest::DefaultValues();
    for (double& value : v) value = 255; // everything as large as it goes
    VoiceRecord r = ProgramValuesToVoice(v, "A much longer name");
    EXPECT_EQ(std::string(r.begin(), r.begin() + 7), "A much ");
    EXPECT_EQ(r[7], 0);
    for (int i = 48; i <= 57; ++i) EXPECT_EQ(r[static_cast<std::size_t>(i)], 0) << i;
    for (int i = 60; i <= 63; ++i) EXPECT_EQ(r[static_cast<std::size_t>(i)], 0) << i;
    VoiceRecord shortName = ProgramValuesToVoice(sysextest::DefaultValues(), "Bass");
    EXPECT_EQ(shortName[4], 0);
    EXPECT_EQ(VoiceName(shortName), "Bass");
}

TEST(SysExExport, FootControllerHasNoRoomInTwoBitsAndComesBackOff) {
    ParamValues v = sysextest::DefaultValues();
    v[kPmdController] = 4; // "Foot"
    v[kPitchBendRange] = 2;
    VoiceRecord r = ProgramValuesToVoice(v, "");
    EXPECT_EQ(r[59], 0x42); // 4 x 16 + 2: bit 6, outside the two controller bits
    EXPECT_EQ(VoiceToParamValues(r)[kPmdController], 0);
    v[kPmdController] = 3;
    EXPECT_EQ(VoiceToParamValues(ProgramValuesToVoice(v, ""))[kPmdController], 3);
}

TEST(SysExRoundTrip, EveryVoiceOfTheRealBanksExportsItsOwnBytes) {
    SKIP_WITHOUT_REAL_DUMPS();
    for (const std::string& name : sysextest::RealDumpNames()) {
        std::vector<VoiceRecord> records;
        ASSERT_TRUE(ParseVoiceBlocks(sysextest::ReadRealDump(name), records)) << name;
        for (std::size_t i = 0; i < records.size(); ++i) {
            SCOPED_TRACE(name + " voice " + std::to_string(i));
            ExpectRoundTrip(records[i]);
        }
    }
}

TEST(SysExRoundTrip, RecordsWithEveryBitSetKeepWhatTheirParametersHold) {
    for (int seed = 0; seed < 64; ++seed) {
        VoiceRecord r = sysextest::PatternRecord(seed);
        for (std::size_t i = 8; i < 64; ++i) r[i] = static_cast<std::uint8_t>(r[i] * 2 + seed);
        SCOPED_TRACE(seed);
        ExpectRoundTrip(r);
    }
}
