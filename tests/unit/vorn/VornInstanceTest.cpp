// What a host cannot see from outside: the instrument's handlers receive what the adapter
// translated, and what the instrument sends comes out in the standard's event records.

#include "VornTestSupport.h"
#include "engine/InstrumentParams.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

vst2::VstMidiEvent Midi(int offset, int status, int data1, int data2) {
    vst2::VstMidiEvent event{};
    event.type = vst2::kVstMidiType;
    event.byteSize = 24; // a size some hosts really send; it is not checked
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

} // namespace

TEST(VornInstance, EventsFromTheHostAreQueuedAndPlayed) {
    VornInstance vorn;
    vorn.host.Open(44100, 512);
    vst2::VstMidiEvent note = Midi(17, 0x93, 60, 100);
    vst2::VstMidiEvent bend = Midi(-4, 0xE0, 0, 0x60);
    vst2::VstEvent other{};
    other.type = 3; // neither MIDI nor SysEx: skipped

    struct {
        vst2::Int32 numEvents;
        vst2::IntPtr reserved;
        vst2::VstEvent* events[4];
    } list{4, 0,
           {reinterpret_cast<vst2::VstEvent*>(&note), nullptr, &other,
            reinterpret_cast<vst2::VstEvent*>(&bend)}};
    EXPECT_EQ(vorn.host.Dispatch(vst2::effProcessEvents, 0, 0, &list), 1);

    vorn::Vorn& plugin = vorn.Plugin();
    ASSERT_EQ(plugin.MidiEvents().Size(), 2);
    EXPECT_EQ(plugin.MidiEvents().At(0).offset, 0); // the negative offset, queued as due at once
    EXPECT_EQ(plugin.MidiEvents().At(0).status, 0xE0);
    EXPECT_EQ(plugin.MidiEvents().At(1).offset, 17);
    EXPECT_EQ(plugin.MidiEvents().At(1).status, 0x93);

    std::vector<float> in(512), left(512, 1.0f), right(512, 1.0f);
    float* inputs[] = {in.data()};
    float* outputs[] = {left.data(), right.data()};
    vorn.Effect()->processReplacing(vorn.Effect(), inputs, outputs, 512);
    EXPECT_TRUE(plugin.MidiEvents().Empty());
    EXPECT_EQ(plugin.Render().State().pitchBend, 0.5);
    EXPECT_EQ(plugin.Voices().HeldNoteCount(), 1);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(left[i], 0.0f) << i; // silent before the note
    float peak = 0.0f;
    for (int i = 17; i < 512; ++i) peak = std::max(peak, std::fabs(left[i]));
    EXPECT_GT(peak, 0.0f);
    EXPECT_EQ(left, right);

    EXPECT_EQ(vorn.host.Dispatch(vst2::effProcessEvents, 0, 0, nullptr), 0);
}

TEST(VornInstance, SysExEventsReachTheSysExHandler) {
    VornInstance vorn;
    // A parameter change for the algorithm byte: Algorithm 8 (value 7), Feedback 0, outputs off.
    std::uint8_t dump[] = {0xF0, 0x43, 0x75, 0x00, 0x18, 0x4C, 0x07, 0x00, 0xF7};
    vst2::VstMidiSysexEvent sysex{};
    sysex.type = vst2::kVstSysExType;
    sysex.byteSize = sizeof sysex;
    sysex.deltaFrames = 3;
    sysex.dumpBytes = sizeof dump;
    sysex.sysexDump = reinterpret_cast<char*>(dump);
    struct {
        vst2::Int32 numEvents;
        vst2::IntPtr reserved;
        vst2::VstEvent* events[2];
    } list{2, 0, {nullptr, reinterpret_cast<vst2::VstEvent*>(&sysex)}};
    EXPECT_EQ(vorn.host.Dispatch(vst2::effProcessEvents, 0, 0, &list), 1);
    dump[6] = 0; // the host's bytes may change after the call
    vorn::Vorn& plugin = vorn.Plugin();
    EXPECT_EQ(plugin.GetParam(engine::kAlgorithm).Value(), 7);
    EXPECT_EQ(plugin.GetParam(engine::kOutputLeft).Value(), 0);
    EXPECT_EQ(plugin.GetParam(engine::kOutputRight).Value(), 0);
    EXPECT_FALSE(plugin.Render().State().outputLeft);
}

TEST(VornInstance, MidiAndSysExOutUseTheStandardRecords) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    EXPECT_TRUE(plugin.SendMidiMessage(host::MidiMessage{5, 0xB1, 7, 99}));
    const std::uint8_t bytes[] = {0xF0, 0x43, 0xF7};
    EXPECT_TRUE(plugin.SendSysExMessage(host::SysExMessage{9, 3, bytes}));
    ASSERT_EQ(vorn.host.receivedEvents.size(), 2u);
    const hostkit::ReceivedEvent& midi = vorn.host.receivedEvents[0];
    EXPECT_EQ(midi.type, vst2::kVstMidiType);
    EXPECT_EQ(midi.byteSize, 32);
    EXPECT_EQ(midi.deltaFrames, 5);
    EXPECT_EQ(midi.bytes, (std::vector<std::uint8_t>{0xB1, 7, 99, 0}));
    const hostkit::ReceivedEvent& sysex = vorn.host.receivedEvents[1];
    EXPECT_EQ(sysex.type, vst2::kVstSysExType);
    EXPECT_EQ(sysex.byteSize, 48);
    EXPECT_EQ(sysex.deltaFrames, 9);
    EXPECT_EQ(sysex.bytes, (std::vector<std::uint8_t>{0xF0, 0x43, 0xF7}));

    vorn.host.processEventsAnswer = 0; // a host that refuses: reported as failure
    EXPECT_FALSE(plugin.SendMidiMessage(host::MidiMessage{0, 0x90, 60, 1}));
}

TEST(VornInstance, ImplausibleSampleRatesAndBlockSizesKeepThePreviousOnes) {
    VornInstance vorn;
    vorn.host.Open(48000, 256);
    vorn::Vorn& plugin = vorn.Plugin();
    for (float rate : {0.0f, -1.0f, 500.0f, NAN, INFINITY}) {
        vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(plugin.SampleRate(), 48000);
    }
    EXPECT_EQ(plugin.SamplesPerMillisecond(), 48);
    vorn.host.Dispatch(vst2::effSetBlockSize, 0, 0);
    vorn.host.Dispatch(vst2::effSetBlockSize, 0, -5);
    EXPECT_EQ(plugin.BlockSize(), 256);
}

TEST(VornInstance, ParameterValuesFromTheHostAreKeptInRange) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    vst2::AEffect* effect = vorn.Effect();
    effect->setParameter(effect, 17, 0.5f);
    double before = plugin.GetParam(17).Value();
    effect->setParameter(effect, 17, NAN);
    effect->setParameter(effect, 17, INFINITY);
    EXPECT_EQ(plugin.GetParam(17).Value(), before);
    effect->setParameter(effect, 17, 7.0f);
    EXPECT_EQ(plugin.GetParam(17).Value(), 255);
    effect->setParameter(effect, 17, -3.0f);
    EXPECT_EQ(plugin.GetParam(17).Value(), 0);

    char nan[] = "nan";
    char inf[] = "-inf";
    char huge[] = "1e300";
    EXPECT_EQ(vorn.host.Dispatch(vst2::effString2Parameter, 1, 0, nan), 0);
    EXPECT_EQ(vorn.host.Dispatch(vst2::effString2Parameter, 1, 0, inf), 0);
    EXPECT_EQ(plugin.GetParam(1).Value(), 0);
    EXPECT_EQ(vorn.host.Dispatch(vst2::effString2Parameter, 1, 0, huge), 1);
    EXPECT_EQ(plugin.GetParam(1).Value(), 1.0);
}

TEST(VornInstance, ProgramChunkNameAndQuirkHost) {
    hostkit::PluginHost quirk;
    quirk.vendorString = "Native Instruments";
    ASSERT_TRUE(quirk.UseEntry(&VSTPluginMain));
    void* chunk = nullptr;
    vst2::IntPtr programSize = quirk.Dispatch(vst2::effGetChunk, 0, 0, &chunk);

    VornInstance plain;
    void* bank = nullptr;
    vst2::IntPtr bankSize = plain.host.Dispatch(vst2::effGetChunk, 0, 0, &bank);
    ASSERT_GT(programSize, 0);
    EXPECT_GT(bankSize, programSize * 100); // a bank holds 336 programs

    hostkit::PluginHost lower;
    lower.vendorString = "JUCE VST host";
    ASSERT_TRUE(lower.UseEntry(&VSTPluginMain));
    EXPECT_EQ(lower.Dispatch(vst2::effGetChunk, 0, 0, &chunk), programSize);
}
