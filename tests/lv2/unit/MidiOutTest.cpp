// The LV2 MIDI output: messages written during a run land in the port's sequence in frame order;
// messages from other threads wait in the queue and go first in the next run; nothing overflows
// the port or the queue.

#include "lv2/Lv2MidiOut.h"

#include <gtest/gtest.h>

#include <lv2/atom/util.h>

#include <cstring>
#include <vector>

namespace {

constexpr LV2_URID kSequence = 7;
constexpr LV2_URID kMidi = 9;

struct Event {
    std::int64_t frame;
    std::vector<std::uint8_t> bytes;
};

// A port buffer as a host hands it over: the capacity in the atom's size.
class PortBuffer {
public:
    explicit PortBuffer(std::uint32_t capacity) : storage_(capacity / 8 + 8) {
        Port()->atom.size = capacity;
    }
    LV2_Atom_Sequence* Port() { return reinterpret_cast<LV2_Atom_Sequence*>(storage_.data()); }
    std::vector<Event> Events() {
        std::vector<Event> events;
        EXPECT_EQ(Port()->atom.type, kSequence);
        LV2_ATOM_SEQUENCE_FOREACH(Port(), event) {
            EXPECT_EQ(event->body.type, kMidi);
            const auto* data = static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
            events.push_back({event->time.frames, {data, data + event->body.size}});
        }
        return events;
    }

private:
    std::vector<std::uint64_t> storage_;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

TEST(Lv2MidiOut, WritesInFrameOrderAndQueuedMessagesGoFirst) {
    lv2::MidiOut out;
    std::vector<std::uint8_t> sysEx = Bytes({0xF0, 0x43, 0x75, 0x00, 0x10, 0x21, 0x05, 0xF7});
    ASSERT_TRUE(out.Queue(sysEx.data(), static_cast<std::uint32_t>(sysEx.size())));

    PortBuffer port(1024);
    out.BeginRun(port.Port(), kSequence, kMidi);
    std::vector<std::uint8_t> note = Bytes({0x90, 60, 100});
    EXPECT_TRUE(out.Write(12, note.data(), 3));
    // A message dated before the last one written moves up to it: a sequence never goes back.
    std::vector<std::uint8_t> off = Bytes({0x80, 60, 0});
    EXPECT_TRUE(out.Write(4, off.data(), 3));
    out.EndRun();

    std::vector<Event> events = port.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].frame, 0);
    EXPECT_EQ(events[0].bytes, sysEx);
    EXPECT_EQ(events[1].frame, 12);
    EXPECT_EQ(events[1].bytes, note);
    EXPECT_EQ(events[2].frame, 12);
    EXPECT_EQ(events[2].bytes, off);

    // The queue was emptied: the next run starts clean.
    PortBuffer next(1024);
    out.BeginRun(next.Port(), kSequence, kMidi);
    out.EndRun();
    EXPECT_TRUE(next.Events().empty());
}

TEST(Lv2MidiOut, NeitherPortNorQueueOverflows) {
    lv2::MidiOut out;
    std::vector<std::uint8_t> note = Bytes({0x90, 60, 100});
    // 64 bytes of sequence: the body header leaves room for two 3-byte events (24 bytes each).
    PortBuffer port(64);
    out.BeginRun(port.Port(), kSequence, kMidi);
    EXPECT_TRUE(out.Write(0, note.data(), 3));
    EXPECT_TRUE(out.Write(1, note.data(), 3));
    EXPECT_FALSE(out.Write(2, note.data(), 3));
    EXPECT_FALSE(out.Write(3, nullptr, 3));
    out.EndRun();
    EXPECT_EQ(port.Events().size(), 2u);
    EXPECT_LE(port.Port()->atom.size, 64u);

    // Outside a run nothing is written; the queue refuses what does not fit.
    EXPECT_FALSE(out.Write(0, note.data(), 3));
    std::vector<std::uint8_t> big(lv2::MidiOut::kQueueCapacity / 2, 0x11);
    EXPECT_TRUE(out.Queue(big.data(), static_cast<std::uint32_t>(big.size())));
    EXPECT_FALSE(out.Queue(big.data(), static_cast<std::uint32_t>(big.size())));
    EXPECT_TRUE(out.Queue(note.data(), 3));

    // A message larger than the whole port is dropped; what follows it still goes out, and what
    // finds no room waits for the next run.
    PortBuffer small(256);
    out.BeginRun(small.Port(), kSequence, kMidi);
    out.EndRun();
    std::vector<Event> events = small.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].bytes, note);

    // Without a port, what waits is dropped: nothing would ever take it.
    EXPECT_TRUE(out.Queue(note.data(), 3));
    out.BeginRun(nullptr, kSequence, kMidi);
    out.EndRun();
    PortBuffer after(256);
    out.BeginRun(after.Port(), kSequence, kMidi);
    out.EndRun();
    EXPECT_TRUE(after.Events().empty());
}

} // namespace
