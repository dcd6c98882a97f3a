// Golden renders: fixed scenarios played through the built plug-in binary, loaded as a host loads
// it, their output hashed and compared with the committed hashes in expected_hashes.txt. The
// Windows builds run the same scenarios under Wine and must produce the same hashes.
//
// Regenerate deliberately, after a reviewed change of the sound:
//   VORNA_REGENERATE_GOLDEN=1 ctest -R golden
// writes expected_hashes.txt anew from the Linux build.

#include "GoldenScenarios.h"
#include "GoldenSwitch.h"
#include "PluginHost.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

std::string pluginPath;
std::string expectedPath = VORNA_GOLDEN_EXPECTED;
std::map<std::string, std::string> expected;
std::map<std::string, std::string> rendered;

// Set once from VORNA_REGENERATE_GOLDEN before the tests run.
bool regenerating = false;

bool Regenerating() {
    return regenerating;
}

void ReadExpected() {
    std::ifstream file(expectedPath);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, hash;
        if (fields >> name >> hash) expected[name] = hash;
    }
}

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

class GoldenRender : public ::testing::TestWithParam<GoldenScenario> {};

TEST_P(GoldenRender, MatchesTheCommittedHash) {
    const GoldenScenario& scenario = GetParam();
    hostkit::PluginHost host;
    ASSERT_TRUE(host.Load(pluginPath)) << host.Error();
    vorna_tool::RenderResult result = vorna_tool::Render(host, scenario.request);
    ASSERT_TRUE(result.error.empty()) << result.error;
    ASSERT_EQ(static_cast<std::int64_t>(result.left.size()), scenario.request.frames);

    double peak = 0.0;
    for (const std::vector<float>* channel : {&result.left, &result.right})
        for (float v : *channel) {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, static_cast<double>(std::fabs(v)));
        }
    if (scenario.expectSound) {
        EXPECT_GT(peak, 0.001) << "a scenario that plays notes came out silent";
    } else {
        EXPECT_EQ(peak, 0.0);
    }
    EXPECT_LT(peak, 4.0);

    std::string hash = Hex(HashRender(result));
    rendered[scenario.name] = hash;
    if (Regenerating()) return;
    auto it = expected.find(scenario.name);
    ASSERT_NE(it, expected.end()) << "no committed hash for " << scenario.name << " (got " << hash
                                  << "); regenerate with VORNA_REGENERATE_GOLDEN=1";
    EXPECT_EQ(hash, it->second) << scenario.name;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenRender, ::testing::ValuesIn(GoldenScenarios()),
                         [](const ::testing::TestParamInfo<GoldenScenario>& info) {
                             return info.param.name;
                         });

TEST(GoldenScenarioList, NamesAreUniqueAndEveryCommittedHashHasAScenario) {
    std::map<std::string, int> names;
    for (const GoldenScenario& scenario : GoldenScenarios()) ++names[scenario.name];
    for (const auto& entry : names) EXPECT_EQ(entry.second, 1) << entry.first;
    if (Regenerating()) return;
    for (const auto& entry : expected) EXPECT_EQ(names.count(entry.first), 1u) << entry.first;
}

class RegenerateOnExit : public ::testing::Environment {
public:
    void TearDown() override {
        if (!Regenerating()) return;
        std::string temporary = expectedPath + ".part";
        {
            std::ofstream file(temporary, std::ios::trunc);
            file << "# Golden render hashes: scenario name, FNV-1a 64 of the float output.\n"
                    "# Regenerated only on purpose (VORNA_REGENERATE_GOLDEN=1); see "
                    "GoldenTest.cpp.\n";
            for (const auto& entry : rendered) file << entry.first << ' ' << entry.second << '\n';
            if (!file) {
                std::fprintf(stderr, "cannot write %s\n", temporary.c_str());
                return;
            }
        }
        std::remove(expectedPath.c_str());
        if (std::rename(temporary.c_str(), expectedPath.c_str()) != 0)
            std::fprintf(stderr, "cannot replace %s\n", expectedPath.c_str());
        else
            std::printf("wrote %zu hashes to %s\n", rendered.size(), expectedPath.c_str());
    }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const char* prefix = "--plugin=";
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
            pluginPath = argv[i] + std::strlen(prefix);
    }
    if (pluginPath.empty()) {
        std::fprintf(stderr, "usage: vorna_golden_tests --plugin=<plugin binary>\n");
        return 2;
    }
    std::string problem;
    const golden_test::GoldenSwitch golden =
        golden_test::ReadGoldenSwitch("VORNA_REGENERATE_GOLDEN", problem);
    if (golden == golden_test::GoldenSwitch::Misused) {
        std::fprintf(stderr, "vorna_golden_tests: %s\n", problem.c_str());
        return 2;
    }
    regenerating = golden == golden_test::GoldenSwitch::Rewrite;
    ReadExpected();
    ::testing::AddGlobalTestEnvironment(new RegenerateOnExit);
    return RUN_ALL_TESTS();
}
