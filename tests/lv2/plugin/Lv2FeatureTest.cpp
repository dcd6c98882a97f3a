// What the bundle declares and what the plug-in asks of its host: the port layout and ranges as a
// host reads them, the one required feature refused with a message, the optional ones truly
// optional.

#include "Lv2Render.h"
#include "Lv2TestSetup.h"
#include "PluginHost.h"
#include "engine/InstrumentParams.h"

#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>

#include <cmath>

namespace lv2_test {
namespace {

class Lv2Features : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bundle.Ok()) << bundle.Error(); }
    Lv2Bundle& bundle = SharedBundle();
};

TEST_F(Lv2Features, PortsAreMidiInOutStereoOutAndTheParameters) {
    const std::vector<PortInfo>& ports = bundle.Ports();
    ASSERT_EQ(ports.size(), 4u + engine::kParamCount);
    EXPECT_TRUE(ports[lv2::kMidiInPort].isAtom && ports[lv2::kMidiInPort].isInput);
    EXPECT_TRUE(ports[lv2::kMidiOutPort].isAtom && !ports[lv2::kMidiOutPort].isInput);
    for (std::uint32_t port : {lv2::kLeftOutPort, lv2::kRightOutPort})
        EXPECT_TRUE(ports[port].isAudio && !ports[port].isInput) << port;
    for (std::uint32_t port : {lv2::kMidiInPort, lv2::kMidiOutPort}) {
        const LilvPort* lilvPort = lilv_plugin_get_port_by_index(bundle.Plugin(), port);
        EXPECT_TRUE(
            lilv_port_supports_event(bundle.Plugin(), lilvPort, bundle.Uri(LV2_MIDI__MidiEvent)))
            << port;
    }
}

// Each parameter port carries the parameter's name, range, kind and texts, and its default is the
// value the start-up program holds, so that a host showing the defaults shows the sound it hears.
TEST_F(Lv2Features, ParameterPortsDescribeTheParameters) {
    hostkit::PluginHost vst2;
    ASSERT_TRUE(vst2.Load(Vst2Binary())) << vst2.Error();
    const auto& table = engine::InstrumentParamDefinitions();
    for (int i = 0; i < engine::kParamCount; ++i) {
        const engine::ParamDefinition& definition = table[static_cast<std::size_t>(i)];
        const PortInfo& port = bundle.Ports()[lv2::kFirstParamPort + static_cast<std::uint32_t>(i)];
        SCOPED_TRACE(definition.name);
        EXPECT_TRUE(port.isControl && port.isInput);
        EXPECT_EQ(port.name, definition.name);
        EXPECT_EQ(port.minimum, static_cast<float>(definition.min));
        EXPECT_EQ(port.maximum, static_cast<float>(definition.max));
        bool stepped = definition.type != engine::ParamType::Double;
        EXPECT_EQ(port.isInteger, stepped);
        if (definition.type == engine::ParamType::Enum) {
            EXPECT_TRUE(port.isEnumeration);
            ASSERT_EQ(port.scalePoints.size(), definition.texts.size());
            for (std::size_t t = 0; t < definition.texts.size(); ++t) {
                EXPECT_EQ(port.scalePoints[t].label, definition.texts[t]);
                EXPECT_EQ(port.scalePoints[t].value, static_cast<float>(t));
            }
        }
        double startUp = definition.min + vst2.GetParameter(i) * (definition.max - definition.min);
        if (stepped) startUp = std::floor(startUp + 0.5);
        EXPECT_NEAR(port.defaultValue, startUp, 1e-4 * (definition.max - definition.min))
            << "the default is not the start-up program's value";
    }
}

TEST_F(Lv2Features, WithoutUridMapTheInstanceIsRefusedAndTheLogSaysWhy) {
    HostSetup setup;
    setup.offerUridMap = false;
    Lv2TestHost host(bundle, setup);
    EXPECT_FALSE(host.Ok());
    ASSERT_FALSE(host.Log().Messages().empty()) << "nothing was logged";
    bool named = false;
    for (const LogMessage& message : host.Log().Messages())
        named = named || message.text.find("map") != std::string::npos;
    EXPECT_TRUE(named) << host.Log().Text();
}

// A host that offers only urid:map gets the same sound as one that offers everything, and a
// host with every feature hears nothing from the log while all is well.
TEST_F(Lv2Features, OptionalFeaturesAreOptional) {
    HostSetup full;
    HostSetup bare;
    bare.offerOptions = false;
    bare.offerWorker = false;
    bare.offerLog = false;
    Lv2TestHost fullHost(bundle, full);
    Lv2TestHost bareHost(bundle, bare);
    ASSERT_TRUE(fullHost.Ok());
    ASSERT_TRUE(bareHost.Ok()) << "the plug-in needs more than urid:map";
    vorna_tool::RenderRequest phrase = Phrase(512, 16384);
    vorna_tool::RenderResult withAll = PlayRequest(fullHost, phrase);
    vorna_tool::RenderResult withMapOnly = PlayRequest(bareHost, phrase);
    ASSERT_TRUE(withAll.error.empty()) << withAll.error;
    ASSERT_GT(Peak(withAll), 0.001);
    RenderDifference difference = CompareRenders(withAll, withMapOnly);
    EXPECT_LT(difference.firstFrame, 0) << Describe(difference);
    EXPECT_TRUE(fullHost.Log().Messages().empty()) << fullHost.Log().Text();
    EXPECT_EQ(fullHost.MalformedMidiOutRuns(), 0);
}

// A rate or block length the host announces while the instance lives takes effect as it does in
// VST2 (the engine is reset to it): the instance then sounds exactly as one made at that rate.
// Values the plug-in cannot use are refused and change nothing.
TEST_F(Lv2Features, RateAndBlockLengthChangesThroughTheOptions) {
    HostSetup at48k;
    at48k.sampleRate = 48000.0;
    at48k.maxBlockLength = 256;
    Lv2TestHost made(bundle, at48k);
    Lv2TestHost changed(bundle);
    ASSERT_TRUE(made.Ok() && changed.Ok());
    ASSERT_EQ(changed.ChangeOptions(48000.0f, 256), 0u);
    vorna_tool::RenderRequest phrase = Phrase(256, 12000);
    phrase.sampleRate = 48000.0;
    vorna_tool::RenderResult reference = PlayRequest(made, phrase);
    vorna_tool::RenderResult afterChange = PlayRequest(changed, phrase);
    ASSERT_TRUE(reference.error.empty()) << reference.error;
    ASSERT_GT(Peak(reference), 0.001);
    RenderDifference difference = CompareRenders(reference, afterChange);
    EXPECT_LT(difference.firstFrame, 0) << Describe(difference);

    EXPECT_NE(changed.ChangeOptions(-1.0f, 256), 0u);
    EXPECT_NE(changed.ChangeOptions(48000.0f, 0), 0u);
    vorna_tool::RenderResult afterRefusals = PlayRequest(changed, phrase);
    ASSERT_GT(Peak(afterRefusals), 0.001) << "a refused value silenced the instance";
}

} // namespace
} // namespace lv2_test
