// The LV2 host kit's own parts where a fault would hide one of the plug-in's: the worker's ring
// across its wrap-around, atom sequences read back with their sizes checked, the URID map from
// several threads, and the control ports read from the built bundle's description.

#include "Lv2AtomBuffer.h"
#include "Lv2ByteRing.h"
#include "Lv2PortRanges.h"
#include "Lv2UridMap.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

std::vector<std::uint8_t> Pattern(std::size_t size, int seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed * 31 + i);
    return bytes;
}

TEST(Lv2HostKit, RingKeepsMessagesWholeAcrossItsEndAndRefusesWhatDoesNotFit) {
    lv2host::ByteRing ring(100);
    std::vector<std::uint8_t> out;
    for (int round = 0; round < 200; ++round) {
        // Sizes that do not divide the capacity, so that messages and their sizes wrap.
        const auto first = Pattern(static_cast<std::size_t>(round % 37), round);
        const auto second = Pattern(static_cast<std::size_t>(round % 23 + 1), round + 1);
        ASSERT_TRUE(ring.Write(first.data(), static_cast<std::uint32_t>(first.size())));
        ASSERT_TRUE(ring.Write(second.data(), static_cast<std::uint32_t>(second.size())));
        ASSERT_TRUE(ring.Read(out));
        EXPECT_EQ(out, first) << "round " << round;
        ASSERT_TRUE(ring.Read(out));
        EXPECT_EQ(out, second) << "round " << round;
        EXPECT_TRUE(ring.Empty());
    }
    const auto big = Pattern(97, 1); // with its 4-byte size one more than the ring holds
    EXPECT_FALSE(ring.Write(big.data(), 97));
    EXPECT_TRUE(ring.Empty());
    EXPECT_TRUE(ring.Write(big.data(), 96));
    EXPECT_FALSE(ring.Write(big.data(), 0));
}

TEST(Lv2HostKit, SequenceReadsBackWhatWasAppendedAndRefusesSizesBeyondItsBuffer) {
    lv2host::UridMap map;
    const LV2_URID sequence = map.Map(LV2_ATOM__Sequence);
    lv2host::AtomBuffer buffer(256);
    buffer.Clear(sequence);
    const std::vector<std::uint8_t> note = {0x90, 60, 100};
    const auto dump = Pattern(41, 3);
    ASSERT_TRUE(buffer.Append(5, 7, note.data(), 3));
    ASSERT_TRUE(buffer.Append(-2, 8, dump.data(), 41)); // frames as given, out of order
    ASSERT_TRUE(buffer.Append(9, 7, nullptr, 0));
    EXPECT_FALSE(buffer.Append(0, 7, Pattern(200, 1).data(), 200));
    std::vector<lv2host::AtomEvent> events;
    std::string problem;
    ASSERT_TRUE(buffer.Read(sequence, events, problem)) << problem;
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].frames, 5);
    EXPECT_EQ(events[0].bytes, note);
    EXPECT_EQ(events[1].frames, -2);
    EXPECT_EQ(events[1].type, 8u);
    EXPECT_EQ(events[1].bytes, dump);
    EXPECT_TRUE(events[2].bytes.empty());

    // A plug-in that claims more than the buffer holds, or leaves another type.
    buffer.Sequence()->atom.size = 1000;
    EXPECT_FALSE(buffer.Read(sequence, events, problem));
    buffer.Clear(sequence);
    ASSERT_TRUE(buffer.Append(0, 7, note.data(), 3));
    auto* event = reinterpret_cast<LV2_Atom_Event*>(buffer.Sequence() + 1);
    event->body.size = 5000;
    EXPECT_FALSE(buffer.Read(sequence, events, problem));
    buffer.Sequence()->atom.type = sequence + 1;
    EXPECT_FALSE(buffer.Read(sequence, events, problem));
}

TEST(Lv2HostKit, UridMapGivesOneIdPerUriFromAnyThread) {
    lv2host::UridMap map;
    std::vector<std::vector<LV2_URID>> ids(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < ids.size(); ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i)
                ids[t].push_back(map.Map(("urn:test#" + std::to_string(i)).c_str()));
        });
    for (auto& thread : threads) thread.join();
    for (std::size_t t = 1; t < ids.size(); ++t) EXPECT_EQ(ids[t], ids[0]);
    for (int i = 0; i < 500; ++i) {
        ASSERT_NE(ids[0][static_cast<std::size_t>(i)], 0u);
        EXPECT_STREQ(map.Unmap(ids[0][static_cast<std::size_t>(i)]),
                     ("urn:test#" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(map.Map(nullptr), 0u);
    EXPECT_EQ(map.Unmap(0), nullptr);
    EXPECT_EQ(map.Unmap(501), nullptr);
}

TEST(Lv2HostKit, ControlPortsOfTheBuiltDescriptionFollowTheAudioPorts) {
    std::string error;
    const auto ports = lv2host::ReadControlPortRanges(VORNA_LV2_BUNDLE "/Vorn.ttl", error);
    ASSERT_EQ(ports.size(), 91u) << error;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].index, 4 + i);
        EXPECT_LT(ports[i].minimum, ports[i].maximum) << "port " << ports[i].index;
        EXPECT_GE(ports[i].defaultValue, ports[i].minimum) << "port " << ports[i].index;
        EXPECT_LE(ports[i].defaultValue, ports[i].maximum) << "port " << ports[i].index;
    }
    EXPECT_TRUE(lv2host::ReadControlPortRanges(VORNA_LV2_BUNDLE "/missing.ttl", error).empty());
}

} // namespace
