// The store of events the audio thread put aside: order kept across kinds, SysEx bytes owned by
// the store, offsets kept only within the call they belong to, memory kept for the next time.

#include "synth/DeferredEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Drained {
    synth::DeferredEvent::Kind kind;
    host::MidiMessage message;
    std::vector<std::uint8_t> bytes;
};

std::vector<Drained> DrainAll(synth::DeferredEvents& store, std::uint64_t call) {
    std::vector<Drained> out;
    store.Drain(call, [&](synth::DeferredEvent::Kind kind, const host::MidiMessage& message,
                          const host::SysExMessage& sysEx) {
        Drained entry{kind, message, {}};
        if (kind == synth::DeferredEvent::Kind::SysEx)
            entry.bytes.assign(sysEx.bytes, sysEx.bytes + sysEx.size);
        out.push_back(entry);
    });
    return out;
}

} // namespace

TEST(DeferredEvents, HandsOnEveryKindInArrivalOrderWithItsOwnCopyOfTheBytes) {
    synth::DeferredEvents store;
    EXPECT_TRUE(store.Empty());
    std::vector<std::uint8_t> hostBytes = {0xF0, 0x43, 0x75, 0x00, 0xF7};
    store.AddMidi({12, 0xC0, 5, 0}, 7);
    store.AddSysEx({20, static_cast<int>(hostBytes.size()), hostBytes.data()}, 7);
    store.AddController(74, 99, 7);
    store.AddMidi({30, 0x90, 60, 100}, 7);
    // The host's buffer is gone after its call.
    std::fill(hostBytes.begin(), hostBytes.end(), 0);
    EXPECT_EQ(store.Size(), 4u);

    std::vector<Drained> out = DrainAll(store, 7);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].kind, synth::DeferredEvent::Kind::Midi);
    EXPECT_EQ(out[0].message.status, 0xC0);
    EXPECT_EQ(out[0].message.offset, 12);
    EXPECT_EQ(out[1].kind, synth::DeferredEvent::Kind::SysEx);
    EXPECT_EQ(out[1].bytes, (std::vector<std::uint8_t>{0xF0, 0x43, 0x75, 0x00, 0xF7}));
    EXPECT_EQ(out[2].kind, synth::DeferredEvent::Kind::Controller);
    EXPECT_EQ(out[2].message.data1, 74);
    EXPECT_EQ(out[2].message.data2, 99);
    EXPECT_EQ(out[3].message.data1, 60);
    EXPECT_EQ(out[3].message.offset, 30);
    EXPECT_TRUE(store.Empty());
    EXPECT_TRUE(DrainAll(store, 7).empty());
}

TEST(DeferredEvents, EventsFromAnEarlierCallTakeEffectAtTheStartOfTheBlock) {
    synth::DeferredEvents store;
    store.AddMidi({40, 0x90, 60, 100}, 3);
    store.AddMidi({50, 0x80, 60, 0}, 4);
    std::vector<Drained> out = DrainAll(store, 4);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].message.offset, 0);  // came before call 3: its block is gone
    EXPECT_EQ(out[1].message.offset, 50); // came before this call: its offset still holds
}

TEST(DeferredEvents, AnEmptyOrMissingSysExIsKeptAsAnEmptyMessage) {
    synth::DeferredEvents store;
    store.AddSysEx({0, 10, nullptr}, 1);
    store.AddSysEx({0, -3, nullptr}, 1);
    std::vector<Drained> out = DrainAll(store, 1);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(out[0].bytes.empty());
    EXPECT_TRUE(out[1].bytes.empty());
}
