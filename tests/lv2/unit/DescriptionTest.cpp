// The bundle's description as the generator writes it from a real instance: one port per
// parameter with a unique symbol, defaults within range, scale points for every choice, and
// literals and numbers that a TTL reader takes back exactly.

#include "PortTable.h"
#include "TtlWriter.h"

#include "host/PluginFactory.h"
#include "lv2/Lv2Identity.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

TEST(Lv2Description, LiteralsSymbolsAndNumbersReadBackExactly) {
    EXPECT_EQ(lv2ttl::Literal("Bell \"B\" \\ 1"), "\"Bell \\\"B\\\" \\\\ 1\"");
    EXPECT_EQ(lv2ttl::Literal(std::string("a\nb\x01", 4)), "\"a\\u000Ab\\u0001\"");
    EXPECT_EQ(lv2ttl::PortSymbol("OP1: Keyb. Scaling Type"), "op1_keyb_scaling_type");
    EXPECT_EQ(lv2ttl::PortSymbol("  LFO AM Depth "), "lfo_am_depth");
    EXPECT_EQ(lv2ttl::PortSymbol("1.41"), "p_1_41");
    EXPECT_EQ(lv2ttl::PortSymbol("::"), "p_");
    EXPECT_EQ(lv2ttl::Number(12.0, true), "12");
    EXPECT_EQ(lv2ttl::Number(-3.4, true), "-3");
    EXPECT_EQ(lv2ttl::Number(2.0, false), "2.0");
    for (float value : {1.13f, -0.01f, 0.1f, 1e-7f, 255.0f, 3.4028235e38f}) {
        std::string text = lv2ttl::Number(value, false);
        EXPECT_NE(text.find_first_of(".e"), std::string::npos) << text;
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
    }
}

TEST(Lv2Description, PortsAndPresetsFollowTheInstrument) {
    std::unique_ptr<host::PluginBase> plugin = host::CreatePlugin(host::PluginSetup{});
    ASSERT_TRUE(plugin);
    plugin->FillEmptyPresets();
    std::string error;
    std::vector<lv2ttl::ControlPort> ports = lv2ttl::ReadControlPorts(*plugin, error);
    ASSERT_EQ(ports.size(), static_cast<std::size_t>(plugin->ParamCount())) << error;
    std::set<std::string> symbols;
    int enumerations = 0;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const lv2ttl::ControlPort& port = ports[i];
        const host::Param& param = plugin->GetParam(static_cast<int>(i));
        EXPECT_TRUE(symbols.insert(port.symbol).second) << port.symbol;
        EXPECT_EQ(port.name, param.Name());
        EXPECT_LE(port.minimum, port.defaultValue) << port.name;
        EXPECT_LE(port.defaultValue, port.maximum) << port.name;
        if (port.enumeration) {
            ++enumerations;
            EXPECT_TRUE(port.integer);
            EXPECT_EQ(port.scalePoints.size(),
                      static_cast<std::size_t>(port.maximum - port.minimum + 1))
                << port.name;
        }
    }
    EXPECT_GT(enumerations, 20);
    EXPECT_EQ(ports[0].unit, "coef");

    std::vector<lv2ttl::ProgramPreset> programs = lv2ttl::ReadPrograms(*plugin);
    ASSERT_EQ(programs.size(), 336u);
    EXPECT_EQ(programs[5].name, plugin->PresetName(5));
    // The defaults are the start-up program's values, and reading the programs left it current.
    for (std::size_t i = 0; i < ports.size(); ++i)
        EXPECT_EQ(ports[i].defaultValue, programs[0].values[i]) << ports[i].name;
    EXPECT_EQ(plugin->CurrentPresetIndex(), 0);

    lv2ttl::BundleText text = lv2ttl::WriteBundle(ports, programs, "Vorna", "Maker", 10101);
    EXPECT_NE(text.manifest.find(std::string("<") + lv2::kPluginUri + ">"), std::string::npos);
    EXPECT_NE(text.manifest.find("#preset-335>"), std::string::npos);
    EXPECT_EQ(text.manifest.find("#preset-336>"), std::string::npos);
    EXPECT_NE(text.plugin.find("lv2:index 94 ;"), std::string::npos);
    EXPECT_EQ(text.plugin.find("lv2:index 95 ;"), std::string::npos);
    EXPECT_NE(text.plugin.find("lv2:minorVersion 202 ;"), std::string::npos);
}

} // namespace
