// A SysEx voice-bank dump sent to the MIDI input is decoded in the host's worker and lands in the
// bank exactly as it does in the VST2 build: afterwards both formats save the same bank chunk.

#include "Lv2Render.h"
#include "Lv2TestSetup.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

#include <random>

namespace lv2_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 48 voices of deterministic random data with printable names, nibble-coded with their block
// checksums: a dump the module could send (6363 bytes).
Bytes BankDump(unsigned seed) {
    std::mt19937 random(seed);
    Bytes dump = {0xF0, 0x43, 0x75, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40};
    for (int i = 0; i < 65; ++i) dump.push_back(0); // the header block and its checksum
    for (int voice = 0; voice < 48; ++voice) {
        dump.push_back(0x01);
        dump.push_back(0x00);
        unsigned sum = 0;
        for (int i = 0; i < 64; ++i) {
            std::uint8_t byte = static_cast<std::uint8_t>(random());
            if (i < 7) byte = static_cast<std::uint8_t>('A' + random() % 26);
            for (std::uint8_t nibble :
                 {static_cast<std::uint8_t>(byte & 0x0F), static_cast<std::uint8_t>(byte >> 4)}) {
                dump.push_back(nibble);
                sum += nibble;
            }
        }
        dump.push_back(static_cast<std::uint8_t>((0u - sum) & 0x7F));
    }
    dump.push_back(0xF7);
    return dump;
}

Bytes Vst2BankChunk(hostkit::PluginHost& host) {
    void* data = nullptr;
    vst2::IntPtr size = host.Dispatch(vst2::effGetChunk, 0, 0, &data);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return size > 0 && bytes ? Bytes(bytes, bytes + size) : Bytes();
}

Bytes Lv2BankChunk(Lv2TestHost& host) {
    for (const StateProperty& property : host.SaveProperties())
        if (property.key == lv2::kStateBankUri) return property.value;
    return Bytes();
}

TEST(Lv2SysEx, BankDumpLandsAsInVst2) {
    const Bytes dump = BankDump(11);
    ASSERT_EQ(dump.size(), 6363u);
    constexpr int kBlock = 256;
    std::vector<float> left(kBlock), right(kBlock);

    hostkit::PluginHost vst2;
    ASSERT_TRUE(vst2.Load(Vst2Binary())) << vst2.Error();
    vst2.Open(44100.0, kBlock);
    Bytes vst2Before = Vst2BankChunk(vst2);
    Bytes message = dump;
    vst2::VstMidiSysexEvent event{};
    event.type = vst2::kVstSysExType;
    event.byteSize = sizeof event;
    event.dumpBytes = static_cast<vst2::Int32>(message.size());
    event.sysexDump = reinterpret_cast<char*>(message.data());
    vst2::VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst2::VstEvent*>(&event);
    vst2.Dispatch(vst2::effProcessEvents, 0, 0, &list);
    float* outputs[2] = {left.data(), right.data()};
    vst2.Effect()->processReplacing(vst2.Effect(), outputs, outputs, kBlock);
    Bytes vst2After = Vst2BankChunk(vst2);
    ASSERT_FALSE(vst2After.empty());
    ASSERT_NE(vst2After, vst2Before) << "the VST2 build ignored the dump";

    Lv2Bundle& bundle = SharedBundle();
    ASSERT_TRUE(bundle.Ok()) << bundle.Error();
    Lv2TestHost lv2(bundle, HostSetup());
    ASSERT_TRUE(lv2.Ok()) << lv2.Error();
    EXPECT_EQ(Lv2BankChunk(lv2), vst2Before) << "a fresh instance saves another bank";
    lv2.SendMidi(0, dump);
    lv2.Run(kBlock, left.data(), right.data());
    lv2.Run(kBlock, left.data(), right.data());
    EXPECT_GT(lv2.Worker().ScheduledCount(), 0) << "the dump was not handed to the worker";
    EXPECT_EQ(Lv2BankChunk(lv2), vst2After);
}

} // namespace
} // namespace lv2_test
