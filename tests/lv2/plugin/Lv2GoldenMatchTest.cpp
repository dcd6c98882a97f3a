// The golden scenarios played through both formats at two block sizes must give the same float
// samples, bit for bit: the LV2 adapter adds nothing to the sound and loses nothing of it, whether
// the host runs short blocks or long ones. Each comparison is listed at the end of the run.

#include "GoldenScenarios.h"
#include "Lv2Render.h"
#include "Lv2TestSetup.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

namespace lv2_test {
namespace {

struct MatchCase {
    GoldenScenario scenario;
    int blockSize = 0;
};

std::string CaseName(const MatchCase& match) {
    return match.scenario.name + "_" + std::to_string(match.blockSize);
}

// Names a failing case in GoogleTest's output instead of dumping its bytes.
void PrintTo(const MatchCase& match, std::ostream* out) {
    *out << CaseName(match);
}

#ifndef VORNA_LV2_MATCH_EVERY
#define VORNA_LV2_MATCH_EVERY 1
#endif

std::vector<MatchCase> MatchCases() {
    std::vector<MatchCase> cases;
    std::vector<GoldenScenario> scenarios = GoldenScenarios();
    for (std::size_t s = 0; s < scenarios.size(); s += VORNA_LV2_MATCH_EVERY)
        for (int blockSize : {64, 1024}) {
            const GoldenScenario& scenario = scenarios[s];
            MatchCase match{scenario, blockSize};
            match.scenario.request.blockSizes = {blockSize};
            cases.push_back(std::move(match));
        }
    return cases;
}

// scenario name -> block size -> outcome, printed when the program ends.
std::map<std::string, std::map<int, std::string>>& Outcomes() {
    static std::map<std::string, std::map<int, std::string>> outcomes;
    return outcomes;
}

class Lv2MatchesVst2 : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Lv2MatchesVst2, SampleForSample) {
    const MatchCase& match = GetParam();
    const vorna_tool::RenderRequest& request = match.scenario.request;
    std::string& outcome = Outcomes()[match.scenario.name][match.blockSize];
    outcome = "not rendered";

    hostkit::PluginHost vst2Host;
    ASSERT_TRUE(vst2Host.Load(Vst2Binary())) << vst2Host.Error();
    vorna_tool::RenderResult vst2 = vorna_tool::Render(vst2Host, request);
    ASSERT_TRUE(vst2.error.empty()) << vst2.error;

    Lv2Bundle& bundle = SharedBundle();
    ASSERT_TRUE(bundle.Ok()) << bundle.Error();
    vorna_tool::RenderResult lv2 = RenderRequestOnLv2(bundle, request);
    ASSERT_TRUE(lv2.error.empty()) << lv2.error;

    if (match.scenario.expectSound) {
        ASSERT_GT(Peak(vst2), 0.001) << "the VST2 render is silent";
        ASSERT_GT(Peak(lv2), 0.001) << "the LV2 render is silent";
    }
    RenderDifference difference = CompareRenders(vst2, lv2);
    outcome = Describe(difference);
    EXPECT_TRUE(difference.firstFrame < 0 && !difference.lengthsDiffer) << outcome;
}

INSTANTIATE_TEST_SUITE_P(GoldenScenarios, Lv2MatchesVst2, ::testing::ValuesIn(MatchCases()),
                         [](const ::testing::TestParamInfo<MatchCase>& info) {
                             return CaseName(info.param);
                         });

class PrintOutcomes : public ::testing::Environment {
public:
    void TearDown() override {
        if (Outcomes().empty()) return;
        std::printf("\nLV2 against VST2, scenario x block size:\n");
        for (const auto& scenario : Outcomes())
            for (const auto& size : scenario.second)
                std::printf("  %-26s %5d  %s\n", scenario.first.c_str(), size.first,
                            size.second.c_str());
    }
};

const auto* const kPrintOutcomes = ::testing::AddGlobalTestEnvironment(new PrintOutcomes);

} // namespace
} // namespace lv2_test
