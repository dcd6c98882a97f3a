#include "engine/InstrumentParams.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(InstrumentParams, TableHasTheOperatorBlocksInIndexOrder) {
    const auto& table = InstrumentParamDefinitions();
    ASSERT_EQ(table.size(), 91u);
    EXPECT_EQ(table[0].name, "Master Volume");
    EXPECT_EQ(table[5].name, "OP4: Wave");
    EXPECT_EQ(table[22].name, "LFO PM Sensitivity");
    EXPECT_EQ(table[OperatorParamIndex(1, kOpEnable)].name, "OP1: Enable");
    EXPECT_EQ(OperatorParamIndex(1, kOpRelease), 39);
    EXPECT_EQ(table[40].name, "OP2: Enable");
    EXPECT_EQ(table[57].name, "OP3: Enable");
    EXPECT_EQ(table[74].name, "OP4: Enable");
    EXPECT_EQ(table[90].name, "OP4: Release");
    EXPECT_EQ(table[90].defaultValue, 15);
    EXPECT_EQ(table[OperatorParamIndex(3, kOpKeyScalingType)].texts.at(2), "- Expon.");
}

TEST(InstrumentParams, KindsRangesAndDefaults) {
    const auto& table = InstrumentParamDefinitions();
    EXPECT_EQ(table[kTranspose].type, ParamType::Int);
    EXPECT_EQ(table[kTranspose].min, -128);
    EXPECT_EQ(table[kTranspose].max, 127);
    EXPECT_EQ(table[kMode].type, ParamType::Enum);
    EXPECT_EQ(table[kMode].defaultValue, 1);
    EXPECT_EQ(table[kLfoSpeed].defaultValue, 200);
    EXPECT_EQ(table[kLfoWaveform].texts.at(3), "Noise");
    EXPECT_EQ(table[kPmdController].texts.size(), 5u);
    EXPECT_EQ(table[kMasterTune].type, ParamType::Double);
    EXPECT_EQ(table[kMasterTune].min, -1.0);
    EXPECT_EQ(table[OperatorParamIndex(2, kOpAttack)].defaultValue, 31);
    EXPECT_EQ(table[OperatorParamIndex(2, kOpFrequency)].defaultValue, 1);
}

TEST(InstrumentParams, DisplayFunctions) {
    EXPECT_EQ(MasterVolumeDisplay(0.0), "-oo");
    EXPECT_EQ(MasterVolumeDisplay(-1.0), "-oo");
    EXPECT_EQ(MasterVolumeDisplay(1.0), "0.0");
    EXPECT_EQ(MasterVolumeDisplay(2.0), "6.0");
    EXPECT_EQ(MasterVolumeDisplay(0.5), "-6.0");
    EXPECT_EQ(FrequencyDisplay(0.0), "0.5");
    EXPECT_EQ(FrequencyDisplay(0.49), "0.5");
    EXPECT_EQ(FrequencyDisplay(1.0), "1");
    EXPECT_EQ(FrequencyDisplay(15.0), "15");
}
