// The host harness: loads the built plug-in binary (the .so natively, the DLLs under Wine) through
// its exported entry, exactly as a DAW does, and checks what the effect record and the dispatcher
// answer. Run with --plugin=<path to the binary>.

#include "Manifest.h"
#include "PluginHost.h"
#include "ProgramChecks.h"
#include "SoundAnalysis.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string pluginPath;

class Harness : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Load(pluginPath)) << host.Error(); }
    vst2::AEffect* effect() { return host.Effect(); }

    hostkit::PluginHost host;
};

struct Buffers {
    explicit Buffers(int frames, float fill)
        : in(static_cast<std::size_t>(frames), 0.25f), left(static_cast<std::size_t>(frames), fill),
          right(static_cast<std::size_t>(frames), fill),
          leftD(static_cast<std::size_t>(frames), fill),
          rightD(static_cast<std::size_t>(frames), fill),
          inD(static_cast<std::size_t>(frames), 0.25) {}
    float** Inputs() { return inputs; }
    float** Outputs() { return outputs; }
    std::vector<float> in, left, right;
    std::vector<double> leftD, rightD, inD;
    float* inputs[1] = {in.data()};
    float* outputs[2] = {left.data(), right.data()};
    double* inputsD[1] = {inD.data()};
    double* outputsD[2] = {leftD.data(), rightD.data()};
};

} // namespace

TEST_F(Harness, EffectRecordDescribesTheInstrument) {
    vst2::AEffect* e = effect();
    EXPECT_EQ(e->magic, vst2::FourCC('V', 's', 't', 'P'));
    EXPECT_EQ(e->uniqueID, vst2::FourCC('v', 'o', 'r', 'n'));
    EXPECT_EQ(e->version, 10101);
    EXPECT_EQ(e->numParams, 91);
    EXPECT_EQ(e->numPrograms, 336);
    EXPECT_EQ(e->numInputs, 1);
    EXPECT_EQ(e->numOutputs, 2);
    // Has editor, can replace, program chunks, is a synth, double replacing.
    EXPECT_EQ(e->flags, 0x1139);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_NE(e->process, nullptr);
}

TEST_F(Harness, IdentityOpcodes) {
    EXPECT_EQ(host.DispatchText(vst2::effGetEffectName), "Vorna");
    EXPECT_EQ(host.DispatchText(vst2::effGetVendorString), "Tarnwell Music");
    EXPECT_EQ(host.DispatchText(vst2::effGetProductString), "");
    EXPECT_EQ(host.Dispatch(vst2::effGetVendorVersion), 10101);
    EXPECT_EQ(host.Dispatch(vst2::effGetVstVersion), 2400);
    EXPECT_EQ(host.Dispatch(vst2::effIdentify), 0x4E764566);
    EXPECT_EQ(host.Dispatch(vst2::effGetPlugCategory), 2);
    EXPECT_EQ(host.Dispatch(vst2::effGetTailSize), 0);
    EXPECT_EQ(host.Dispatch(vst2::effCanBeAutomated, 90), 1);
    for (vst2::Int32 opcode :
         {vst2::effGetEffectName, vst2::effGetVendorString, vst2::effGetProductString})
        EXPECT_EQ(host.Dispatch(opcode, 0, 0, nullptr), 0);
    // Opcodes without a meaning here answer 0.
    for (vst2::Int32 opcode : {9, 16, 20, 28, 32, 44, 56, 59, 67, 70, 1000, -3})
        EXPECT_EQ(host.Dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    EXPECT_EQ(host.Dispatch(vst2::effProcessVarIo), 0);
}

TEST_F(Harness, CanDoAnswers) {
    auto canDo = [&](const char* text) {
        return host.Dispatch(vst2::effCanDo, 0, 0, const_cast<char*>(text));
    };
    for (const char* text : {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent",
                             "receiveVstEvents", "receiveVstMidiEvent"})
        EXPECT_EQ(canDo(text), 1) << text;
    EXPECT_EQ(static_cast<std::uint32_t>(canDo("hasCockosExtensions")), 0xBEEF0000u);
    EXPECT_EQ(static_cast<std::uint32_t>(canDo("hasCockosViewAsConfig")), 0xBEEF0000u);
    EXPECT_EQ(canDo("bypass"), 0);
    EXPECT_EQ(canDo("ReceiveVstTimeInfo"), 0);
    EXPECT_EQ(host.Dispatch(vst2::effCanDo, 0, 0, nullptr), 0);
}

TEST_F(Harness, ParameterNamesDisplaysAndLabels) {
    EXPECT_EQ(host.ParamName(0), "Master Volume");
    EXPECT_EQ(host.ParamName(23), "OP1: Enable");
    EXPECT_EQ(host.ParamName(90), "OP4: Release");
    // The start-up program decides the values: set the ones looked at.
    host.SetParameter(0, 0.5f);
    host.SetParameter(1, 0.5f);
    host.SetParameter(6, 0.0f);
    host.SetParameter(11, 1.0f);
    host.SetParameter(27, 1.0f / 15.0f);
    host.Dispatch(vst2::effString2Parameter, 17, 0, const_cast<char*>("200"));
    EXPECT_EQ(host.ParamDisplay(0), "0.0");
    EXPECT_EQ(host.ParamDisplay(1), "0.00");
    EXPECT_EQ(host.ParamDisplay(6), "1");
    EXPECT_EQ(host.ParamDisplay(11), "Mono");
    EXPECT_EQ(host.ParamDisplay(17), "200");
    EXPECT_EQ(host.ParamDisplay(27), "1"); // OP1: Frequency
    EXPECT_EQ(host.ParamLabel(11), "");
    // Out of range: nothing written.
    EXPECT_EQ(host.ParamName(91), "");
    EXPECT_EQ(host.ParamName(-1), "");
    EXPECT_EQ(host.Dispatch(vst2::effGetParamName, 0, 0, nullptr), 0);

    host.SetParameter(0, 0.0f);
    EXPECT_EQ(host.ParamDisplay(0), "-oo");
    host.SetParameter(0, 1.0f);
    EXPECT_EQ(host.ParamDisplay(0), "6.0");
    host.SetParameter(27, 0.0f);
    EXPECT_EQ(host.ParamDisplay(27), "0.5");
    host.SetParameter(17, 0.5f); // Int 0..255: 127.5 rounds up
    EXPECT_EQ(host.ParamDisplay(17), "128");
    EXPECT_FLOAT_EQ(host.GetParameter(17), 128.0f / 255.0f);
    EXPECT_EQ(host.GetParameter(91), 0.0f);
    EXPECT_EQ(host.GetParameter(-7), 0.0f);
    host.SetParameter(91, 0.5f); // ignored
    host.SetParameter(-1, 0.5f);
}

TEST_F(Harness, VendorSpecificDisplayAndSteppedQueries) {
    char text[64] = "untouched";
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 7, 11, text, 0.0f), 0xBEEF);
    EXPECT_STREQ(text, "Poly");
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 7, 0, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "0.0");
    std::strcpy(text, "untouched");
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 7, 91, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 7, 0, nullptr, 0.5f), 0);
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 8, 6), 0xBEEF);  // Enum
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 8, 17), 0xBEEF); // Int
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 8, 0), 0);       // Double
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 8, 91), 0);
    EXPECT_EQ(host.Dispatch(vst2::effVendorSpecific, 3, 0, text), 0);
}

TEST_F(Harness, StringToParameter) {
    auto set = [&](int index, const char* text) {
        return host.Dispatch(vst2::effString2Parameter, index, 0, const_cast<char*>(text));
    };
    EXPECT_EQ(set(11, "Poly"), 1);
    EXPECT_EQ(host.ParamDisplay(11), "Poly");
    EXPECT_EQ(set(11, "poly"), 0); // texts match exactly
    EXPECT_EQ(set(11, "Stereo"), 0);
    EXPECT_EQ(host.ParamDisplay(11), "Poly");
    EXPECT_EQ(set(7, "-12"), 1);
    EXPECT_EQ(host.ParamDisplay(7), "-12");
    EXPECT_EQ(set(7, "500"), 1); // clamped, not refused
    EXPECT_EQ(host.ParamDisplay(7), "127");
    EXPECT_EQ(set(1, "0.257"), 1); // no step rounding
    EXPECT_EQ(host.ParamDisplay(1), "0.26");
    EXPECT_EQ(set(1, "nan"), 0);
    EXPECT_EQ(set(1, "inf"), 0);
    EXPECT_EQ(host.ParamDisplay(1), "0.26");
    EXPECT_EQ(set(91, "1"), 0);
    EXPECT_EQ(host.Dispatch(vst2::effString2Parameter, 1, 0, nullptr), 1);
}

TEST_F(Harness, ProgramsAndTheirNames) {
    EXPECT_EQ(host.Dispatch(vst2::effGetProgram), 0);
    char name[] = "A name far longer than any program name field of a host";
    host.Dispatch(vst2::effSetProgramName, 0, 0, name);
    char text[64];
    std::memset(text, 'x', sizeof text);
    host.Dispatch(vst2::effGetProgramName, 0, 0, text);
    EXPECT_EQ(std::strlen(text), 23u); // cut to the host's 24-byte field
    EXPECT_EQ(text[30], 'x');

    EXPECT_EQ(host.Dispatch(vst2::effGetProgramNameIndexed, 5, 0, text), 1);
    EXPECT_GT(std::strlen(text), 0u);
    EXPECT_LT(std::strlen(text), 24u);
    std::strcpy(text, "junk");
    EXPECT_EQ(host.Dispatch(vst2::effGetProgramNameIndexed, 336, 0, text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(host.Dispatch(vst2::effGetProgramNameIndexed, -1, 0, text), 0);
    EXPECT_EQ(host.Dispatch(vst2::effGetProgramNameIndexed, 0, 0, nullptr), 0);

    host.SetParameter(10, 1.0f);
    host.Dispatch(vst2::effSetProgram, 0, 7);
    EXPECT_EQ(host.Dispatch(vst2::effGetProgram), 7);
    host.Dispatch(vst2::effSetProgram, 0, 100000); // refused
    host.Dispatch(vst2::effSetProgram, 0, -1);
    EXPECT_EQ(host.Dispatch(vst2::effGetProgram), 7);
    host.SetParameter(10, 0.0f);
    host.Dispatch(vst2::effSetProgram, 0, 0); // program 0 kept Feedback 7 when it was left
    EXPECT_EQ(host.ParamDisplay(10), "7");
}

TEST_F(Harness, PinsAndSpeakerArrangements) {
    vst2::VstPinProperties pin{};
    EXPECT_EQ(host.Dispatch(vst2::effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Vorna Left ");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_EQ(host.Dispatch(vst2::effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Vorna Right ");
    EXPECT_EQ(pin.flags, 1);
    EXPECT_EQ(host.Dispatch(vst2::effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(pin.flags, 1);
    EXPECT_EQ(host.Dispatch(vst2::effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(host.Dispatch(vst2::effGetInputProperties, 1, 0, &pin), 0);
    EXPECT_EQ(host.Dispatch(vst2::effGetInputProperties, 0, 0, nullptr), 0);

    vst2::VstSpeakerArrangement* in = nullptr;
    vst2::VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(
        host.Dispatch(vst2::effGetSpeakerArrangement, 0, reinterpret_cast<vst2::IntPtr>(&in), &out),
        1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->numChannels, 1);
    EXPECT_EQ(in->type, vst2::kSpeakerArrMono);
    EXPECT_EQ(out->numChannels, 2);
    EXPECT_EQ(out->type, vst2::kSpeakerArrStereo);
    EXPECT_EQ(host.Dispatch(vst2::effGetSpeakerArrangement), 1);

    vst2::VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    EXPECT_EQ(host.Dispatch(vst2::effSetSpeakerArrangement, 0, 0, &mono), 1);
    // The right output is now disconnected: a block takes only one output pointer.
    host.Open(44100, 64);
    Buffers buffers(64, 0.5f);
    float* outputs[1] = {buffers.left.data()};
    effect()->processReplacing(effect(), buffers.Inputs(), outputs, 64);
    EXPECT_EQ(buffers.left[10], 0.0f);
}

TEST_F(Harness, EditorOpcodesWithoutAParentWindow) {
    // The rectangle is there before any window is opened: hosts size their frame with it.
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(host.Dispatch(vst2::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->right, 968);
    EXPECT_EQ(rect->bottom, 640);
    // No parent window: nothing opens, and closing or idling an editor that never opened is
    // harmless.
    EXPECT_EQ(host.Dispatch(vst2::effEditOpen), 0);
    host.Dispatch(vst2::effEditClose);
    host.Dispatch(vst2::effEditClose);
    EXPECT_EQ(host.Dispatch(vst2::effEditIdle), 0);
    EXPECT_EQ(host.Dispatch(vst2::effIdle), 0);
    vst2::MidiKeyName key{};
    key.thisKeyNumber = 60;
    std::strcpy(key.keyName, "junk");
    EXPECT_EQ(host.Dispatch(vst2::effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
}

TEST_F(Harness, ProcessCallbacksReplaceAccumulateAndAskForMidi) {
    host.Open(44100, 256);
    host.calls.clear();
    Buffers buffers(256, 0.5f);
    effect()->processReplacing(effect(), buffers.Inputs(), buffers.Outputs(), 256);
    EXPECT_EQ(buffers.left[0], 0.0f);
    EXPECT_EQ(buffers.right[255], 0.0f);
    std::fill(buffers.left.begin(), buffers.left.end(), 0.5f);
    effect()->process(effect(), buffers.Inputs(), buffers.Outputs(), 256);
    EXPECT_EQ(buffers.left[100], 0.5f); // silence added to what was there
    effect()->processDoubleReplacing(effect(), buffers.inputsD, buffers.outputsD, 256);
    EXPECT_EQ(buffers.leftD[0], 0.0);
    EXPECT_EQ(buffers.rightD[255], 0.0);
    EXPECT_EQ(host.CountCalls(vst2::audioMasterWantMidi), 3);
}

TEST_F(Harness, OddProcessCallsAreSurvived) {
    Buffers buffers(4096, 0.5f);
    // Before effOpen and before any rate is set, as a plug-in scan does.
    effect()->processReplacing(effect(), buffers.Inputs(), buffers.Outputs(), 64);
    effect()->processReplacing(effect(), buffers.Inputs(), buffers.Outputs(), 0);
    effect()->processReplacing(effect(), buffers.Inputs(), buffers.Outputs(), -5);
    effect()->processReplacing(effect(), nullptr, nullptr, 64);
    host.Open(48000, 128);
    // More frames than the block size: rendered in pieces, every frame written.
    std::fill(buffers.left.begin(), buffers.left.end(), 0.5f);
    effect()->processReplacing(effect(), buffers.Inputs(), buffers.Outputs(), 4096);
    EXPECT_EQ(buffers.left[4095], 0.0f);
    effect()->processDoubleReplacing(effect(), buffers.inputsD, buffers.outputsD, 4096);
    EXPECT_EQ(buffers.rightD[4000], 0.0);
}

TEST_F(Harness, EventsAreAcceptedWithNullEntries) {
    host.Open(44100, 512);
    struct {
        vst2::Int32 numEvents;
        vst2::IntPtr reserved;
        vst2::VstEvent* events[2];
    } list{2, 0, {nullptr, nullptr}};
    EXPECT_EQ(host.Dispatch(vst2::effProcessEvents, 0, 0, &list), 1);
    EXPECT_EQ(host.Dispatch(vst2::effProcessEvents, 0, 0, nullptr), 0);
    host.SendMidi(10, 0x90, 60, 100);
    host.SendMidi(-20, 0xC0, 2, 0x84); // garbage in the unused byte, as some hosts send

    // Both messages took effect: program 2 plays note 60, finite, audible and at the pitch its
    // manifest line gives, over a second held.
    banktest::StereoRender render;
    Buffers buffers(512, 0.5f);
    for (int block = 0; block < 90; ++block) {
        effect()->processReplacing(effect(), buffers.Inputs(), buffers.Outputs(), 512);
        render.left.insert(render.left.end(), buffers.left.begin(), buffers.left.end());
        render.right.insert(render.right.end(), buffers.right.begin(), buffers.right.end());
    }
    EXPECT_EQ(host.Dispatch(vst2::effGetProgram), 2);
    for (std::size_t i = 0; i < render.Frames(); ++i)
        ASSERT_TRUE(std::isfinite(render.left[i]) && std::isfinite(render.right[i])) << i;
    ASSERT_GT(banktest::Peak(render, 0, render.Frames()), 0.01) << "the note is not heard";
    std::vector<banktest::ManifestLine> manifest;
    std::string error;
    ASSERT_TRUE(banktest::ReadManifest(VORNA_INIT_MANIFEST, manifest, error)) << error;
    const banktest::ManifestLine& line = manifest[2];
    ASSERT_TRUE(line.pitched) << "program 2 of the factory sounds is expected to be pitched";
    EXPECT_EQ(banktest::PitchFault(banktest::MeasurePitch(render, line.pitch), line.pitch), "")
        << "program 2 \"" << line.name << "\"";
}

TEST_F(Harness, BankChunkRoundTrip) {
    host.Open(44100, 512);
    host.SetParameter(10, 1.0f);
    void* data = nullptr;
    vst2::IntPtr size = host.Dispatch(vst2::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 8);
    ASSERT_NE(data, nullptr);
    std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
    host.SetParameter(10, 0.0f);
    EXPECT_EQ(host.ParamDisplay(10), "0");
    EXPECT_EQ(host.Dispatch(vst2::effSetChunk, 0, size, saved.data()), 1);
    EXPECT_EQ(host.ParamDisplay(10), "7");
    EXPECT_EQ(host.Dispatch(vst2::effGetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ(host.Dispatch(vst2::effSetChunk, 0, size, nullptr), 0);
    // A cut chunk is refused.
    EXPECT_EQ(host.Dispatch(vst2::effSetChunk, 0, 20, saved.data()), 0);
}

TEST_F(Harness, ProgramChunkCarriesTheName) {
    host.Open(44100, 512);
    char name[] = "Lead";
    host.Dispatch(vst2::effSetProgramName, 0, 0, name);
    host.SetParameter(6, 1.0f);
    void* data = nullptr;
    vst2::IntPtr size = host.Dispatch(vst2::effGetChunk, 1, 0, &data);
    ASSERT_GT(size, 8);
    std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
    host.Dispatch(vst2::effSetProgram, 0, 3);
    host.SetParameter(6, 0.0f);
    EXPECT_EQ(host.Dispatch(vst2::effSetChunk, 1, size, saved.data()), 1);
    EXPECT_EQ(host.ParamDisplay(6), "8");
    EXPECT_EQ(host.DispatchText(vst2::effGetProgramName), "Lead");
    EXPECT_EQ(host.Dispatch(vst2::effGetProgram), 3);
}

TEST_F(Harness, ASecondInstanceAndReloadStartClean) {
    host.Dispatch(vst2::effString2Parameter, 7, 0, const_cast<char*>("-77"));
    vst2::AEffect* first = effect();
    hostkit::PluginHost other;
    ASSERT_TRUE(other.Load(pluginPath)) << other.Error();
    EXPECT_NE(other.Effect(), first);
    EXPECT_NE(other.ParamDisplay(7), "-77");
    other.Unload();
    EXPECT_EQ(host.ParamDisplay(7), "-77");
}

TEST(HarnessExports, EntryIsExportedUnderBothNames) {
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.Open(pluginPath)) << library.Error();
    void* entry = library.Symbol("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(library.Symbol("main"), entry);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.rfind("--plugin=", 0) == 0) pluginPath = argument.substr(9);
    }
    if (pluginPath.empty()) {
        std::fprintf(stderr, "usage: vorna_host_tests --plugin=<plug-in binary>\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
