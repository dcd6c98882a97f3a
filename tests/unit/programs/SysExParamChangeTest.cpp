// The parameter-change messages an edit sends and what a received one sets.

#include "SysExTestSupport.h"

#include "programs/ParamChangeSysEx.h"

using namespace programs;
using namespace engine;

namespace {

int Op(int op, int m) {
    return OperatorParamIndex(op, m);
}

ParamChangeMessage Bytes9(std::initializer_list<int> bytes) {
    ParamChangeMessage message{};
    std::size_t i = 0;
    for (int b : bytes) message[i++] = static_cast<std::uint8_t>(b);
    return message;
}

} // namespace

TEST(SysExParamChangeSend, AttackWithKeyScalingRateSendsTheWholeByte) {
    ParamValues v = sysextest::DefaultValues();
    v[static_cast<std::size_t>(Op(1, kOpAttack))] = 20;
    v[static_cast<std::size_t>(Op(1, kOpKeyScalingRate))] = 2;
    auto messages = BuildParamChangeMessages(Op(1, kOpAttack), v);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], Bytes9({0xF0, 0x43, 0x75, 0x00, 0x18, 0x6C, 0x04, 0x09, 0xF7}));
}

TEST(SysExParamChangeSend, DetuneGroupSendsTwoMessagesWithoutBitZero) {
    ParamValues v = sysextest::DefaultValues();
    v[static_cast<std::size_t>(Op(2, kOpDetune))] = 5;
    v[static_cast<std::size_t>(Op(2, kOpFrequency))] = 3;
    v[static_cast<std::size_t>(Op(2, kOpVelocity))] = 7;
    v[static_cast<std::size_t>(Op(2, kOpKeyScalingType))] = 1;
    for (int m : {kOpDetune, kOpFrequency, kOpVelocity, kOpKeyScalingType}) {
        auto messages = BuildParamChangeMessages(Op(2, m), v);
        ASSERT_EQ(messages.size(), 2u) << m;
        EXPECT_EQ(messages[0][5], 0x61);
        EXPECT_EQ(messages[1][5], 0x63);
        // first: KST bit 0 x 128 + Velocity x 16 = 0xF0; bit 0 clear unlike a voice dump
        EXPECT_EQ(messages[0][6], 0x00);
        EXPECT_EQ(messages[0][7], 0x0F);
        // second: KST bit 1 (0) x 128 + Detune x 16 + Frequency = 0x53
        EXPECT_EQ(messages[1][6], 0x03);
        EXPECT_EQ(messages[1][7], 0x05);
    }
}

TEST(SysExParamChangeSend, ParametersOutsideTheRecordSendNothing) {
    ParamValues v = sysextest::DefaultValues();
    for (int index : {0, 1, 2, 3, 4, 5, -1, kParamCount})
        EXPECT_TRUE(BuildParamChangeMessages(index, v).empty()) << index;
}

TEST(SysExParamChangeSend, GlobalBytesFollowTheTable) {
    ParamValues v = sysextest::DefaultValues();
    v[kTranspose] = -12;
    v[kPmdController] = 4;
    v[kPitchBendRange] = 12;
    v[kLfoWaveform] = 3;
    v[Op(3, kOpEnable)] = 0;
    auto one = [&v](int index) {
        auto messages = BuildParamChangeMessages(index, v);
        EXPECT_EQ(messages.size(), 1u) << index;
        return messages.empty() ? 0
                                : (messages[0][5] << 8) | messages[0][6] | (messages[0][7] << 4);
    };
    EXPECT_EQ(one(kTranspose), 0x4FF4);
    EXPECT_EQ(one(kPmdController), 0x7B4C); // Foot: 4 x 16 + 12
    EXPECT_EQ(one(kLfoWaveform), 0x4E60);
    EXPECT_EQ(one(kLfoSpeed), 0x48C8);
    EXPECT_EQ(one(Op(1, kOpEnable)), 0x4B68); // OP1, OP2 and OP4 on
    EXPECT_EQ(one(kAlgorithm), 0x4CC0);       // both outputs on
    EXPECT_EQ(one(kMode), 0x7A80);            // Mono, no portamento
    EXPECT_EQ(one(Op(4, kOpLevel)), 0x5000);
    EXPECT_EQ(one(Op(4, kOpRelease)), 0x570F);
    EXPECT_EQ(one(Op(4, kOpBoost)), 0x5580); // Boost 0 sets the bit
}

TEST(SysExParamChangeReceive, EverySentMessageSetsItsParameterBack) {
    // For every parameter with a field: a distinctive value, sent, then received into defaults.
    const auto& table = InstrumentParamDefinitions();
    for (int index = 6; index < kParamCount; ++index) {
        if (index == kPmdController) continue; // "Foot" has no room: covered below
        const ParamDefinition& d = table[static_cast<std::size_t>(index)];
        ParamValues v = sysextest::DefaultValues();
        double value = d.max == d.defaultValue ? d.min : d.max;
        v[static_cast<std::size_t>(index)] = value;
        KeyScalingBits bits;
        ParamValues received = sysextest::DefaultValues();
        auto messages = BuildParamChangeMessages(index, v);
        ASSERT_FALSE(messages.empty()) << index;
        for (const auto& m : messages) {
            for (const FieldValue& f : DecodeParamChange(m[5], ParamChangeData(m[6], m[7]), bits))
                received[static_cast<std::size_t>(f.index)] = f.value;
        }
        EXPECT_EQ(received[static_cast<std::size_t>(index)], value) << d.name;
    }
}

TEST(SysExParamChangeReceive, KeyScalingTypeHalvesAreRemembered) {
    KeyScalingBits bits;
    auto kst = [](const std::vector<FieldValue>& fields, int index) {
        for (const FieldValue& f : fields)
            if (f.index == index) return f.value;
        return -1;
    };
    const int op3 = Op(3, kOpKeyScalingType);
    EXPECT_EQ(kst(DecodeParamChange(0x5B, 0x80, bits), op3), 2); // only bit 1 after start
    EXPECT_EQ(kst(DecodeParamChange(0x59, 0x80, bits), op3), 3);
    KeyScalingBits fresh;
    DecodeParamChange(0x51, 0x80, fresh);
    EXPECT_EQ(kst(DecodeParamChange(0x53, 0x80, fresh), Op(4, kOpKeyScalingType)), 3);
    // The remembered bits are shared by all operators.
    EXPECT_EQ(kst(DecodeParamChange(0x69, 0x00, fresh), Op(1, kOpKeyScalingType)), 2);
}

TEST(SysExParamChangeReceive, OutputsFollowTheirBitsAndTransposeIsSigned) {
    KeyScalingBits bits;
    auto fields = DecodeParamChange(0x4C, 0x07, bits);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].index, kOutputLeft);
    EXPECT_EQ(fields[0].value, 0);
    EXPECT_EQ(fields[1].index, kOutputRight);
    EXPECT_EQ(fields[1].value, 0);
    EXPECT_EQ(fields[2].value, 0); // Feedback
    EXPECT_EQ(fields[3].value, 7); // Algorithm
    auto transpose = DecodeParamChange(0x4F, ParamChangeData(0x04, 0x0F), bits);
    ASSERT_EQ(transpose.size(), 1u);
    EXPECT_EQ(transpose[0].value, -12);
    auto enables = DecodeParamChange(0x4B, 0x48, bits); // OP1 and OP4
    ASSERT_EQ(enables.size(), 4u);
    EXPECT_EQ(enables[0].index, Op(4, kOpEnable)); // listed OP4 first
    EXPECT_EQ(enables[0].value, 1);
    EXPECT_EQ(enables[3].index, Op(1, kOpEnable));
    EXPECT_EQ(enables[3].value, 1);
    EXPECT_EQ(enables[1].value + enables[2].value, 0);
}

TEST(SysExParamChangeReceive, NumbersWithoutFieldsAreIgnored) {
    KeyScalingBits bits;
    for (int pp : {0x00, 0x3F, 0x40, 0x46, 0x47, 0x70, 0x79, 0x7C, 0x7F, 0xFF})
        EXPECT_TRUE(DecodeParamChange(pp, 0xFF, bits).empty()) << pp;
    EXPECT_EQ(ParamChangeData(0xF4, 0xFF), 0xF4); // only the low halves count
}
