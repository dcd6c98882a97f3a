#include "engine/MidiEventQueue.h"
#include "engine/VoiceEventQueue.h"

#include <gtest/gtest.h>

using engine::MidiEvent;
using engine::MidiEventQueue;
using engine::VoiceEventQueue;

namespace {

MidiEvent Event(int offset, int status, int data1 = 0, int data2 = 0) {
    MidiEvent event;
    event.offset = offset;
    event.status = static_cast<std::uint8_t>(status);
    event.data1 = static_cast<std::uint8_t>(data1);
    event.data2 = static_cast<std::uint8_t>(data2);
    return event;
}

std::vector<int> Offsets(const MidiEventQueue& queue) {
    std::vector<int> offsets;
    for (int i = 0; i < queue.Size(); ++i) offsets.push_back(queue.At(i).offset);
    return offsets;
}

} // namespace

TEST(MidiEventQueue, PackedWordLayout) {
    std::uint64_t word = engine::PackMidiEvent(Event(-2, 0x91, 0x3C, 0x7F));
    EXPECT_EQ(word, 0x007F3C91FFFFFFFEull);
    MidiEvent back = engine::UnpackMidiEvent(word);
    EXPECT_EQ(back.offset, -2);
    EXPECT_EQ(back.status, 0x91);
    EXPECT_EQ(back.data1, 0x3C);
    EXPECT_EQ(back.data2, 0x7F);
}

TEST(MidiEventQueue, SortedInsertionKeepsArrivalOrderOfEqualOffsets) {
    MidiEventQueue queue;
    queue.Add(Event(10, 0x90, 1));
    queue.Add(Event(30, 0x90, 2));
    queue.Add(Event(20, 0x90, 3));
    queue.Add(Event(10, 0x90, 4)); // after the first 10
    queue.Add(Event(0, 0x90, 5));  // goes to the very front
    queue.Add(Event(30, 0x90, 6)); // appended
    EXPECT_EQ(Offsets(queue), (std::vector<int>{0, 10, 10, 20, 30, 30}));
    std::vector<int> order;
    for (int i = 0; i < queue.Size(); ++i) order.push_back(queue.At(i).data1);
    EXPECT_EQ(order, (std::vector<int>{5, 1, 4, 3, 2, 6}));
}

TEST(MidiEventQueue, NegativeOffsetsAreQueuedAsDueAtOnce) {
    // Left negative, such a message would never equal a sample index and would hold back every
    // note behind it.
    MidiEventQueue queue;
    queue.Add(Event(5, 0x90, 1));
    queue.Add(Event(-40, 0x90, 2));
    ASSERT_EQ(queue.Size(), 2);
    EXPECT_EQ(queue.Front().offset, 0);
    EXPECT_EQ(queue.Front().data1, 2);
}

TEST(MidiEventQueue, TakingAndReducingOffsets) {
    MidiEventQueue queue;
    queue.Add(Event(3, 0x90));
    queue.Add(Event(50, 0x80));
    queue.Add(Event(100, 0xE0));
    EXPECT_EQ(queue.FrontOffset(), 3);
    queue.PopFront();
    queue.ReduceOffsets(44);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{6, 56}));
    queue.PopFront();
    queue.PopFront();
    EXPECT_TRUE(queue.Empty());
    queue.PopFront(); // on an empty queue: nothing happens
    EXPECT_EQ(queue.Size(), 0);
}

TEST(MidiEventQueue, ClampingIntoACallAndClosingIt) {
    MidiEventQueue queue;
    queue.Add(Event(100, 0x90, 1));
    queue.Add(Event(2000, 0x90, 2));
    queue.Add(Event(INT32_MAX, 0x90, 3));
    queue.ClampOffsets(511);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{100, 511, 511}));
    EXPECT_EQ(queue.At(2).data1, 3); // order kept
    queue.PopFront();
    queue.ReduceOffsets(490);
    queue.CloseCall(); // messages of the next call never go before the two left at 21
    queue.Add(Event(0, 0xB0, 123));
    queue.Add(Event(30, 0x90, 4));
    EXPECT_EQ(Offsets(queue), (std::vector<int>{21, 21, 21, 30}));
    EXPECT_EQ(queue.At(2).data1, 123);
    queue.ReduceOffsets(10); // the floor goes down with the offsets
    queue.Add(Event(0, 0x80, 5));
    EXPECT_EQ(Offsets(queue), (std::vector<int>{11, 11, 11, 11, 20}));
    EXPECT_EQ(queue.At(3).data1, 5);
    queue.Clear();
    queue.Add(Event(0, 0x90, 6));
    EXPECT_EQ(queue.FrontOffset(), 0);
}

TEST(MidiEventQueue, FullQueueCompactsBeforeItGrows) {
    MidiEventQueue queue(4);
    for (int i = 0; i < 4; ++i) queue.Add(Event(i, 0x90, i));
    queue.PopFront();
    queue.PopFront();
    queue.Add(Event(9, 0x90, 9)); // room made by compaction
    EXPECT_EQ(queue.Capacity(), 4);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{2, 3, 9}));
    queue.Add(Event(1, 0x90));
    queue.Add(Event(7, 0x90)); // full with the front at 0: grows to the next multiple of 1024
    EXPECT_EQ(queue.Capacity(), 1024);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{1, 2, 3, 7, 9}));
}

TEST(MidiEventQueue, ThousandsOfEventsInOneBlockGrowInSteps) {
    MidiEventQueue queue;
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(queue.Add(Event((i * 7919) % 512, 0x90)));
    EXPECT_EQ(queue.Capacity(), 3072);
    std::vector<int> offsets = Offsets(queue);
    EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
}

TEST(MidiEventQueue, ResizeForBlockRoundsUpAndKeepsMessages) {
    MidiEventQueue queue;
    queue.ResizeForBlock(100);
    EXPECT_EQ(queue.Capacity(), 512);
    queue.ResizeForBlock(1025);
    EXPECT_EQ(queue.Capacity(), 1536);
    for (int i = 0; i < 700; ++i) queue.Add(Event(i, 0x90));
    for (int i = 0; i < 10; ++i) queue.PopFront();
    queue.ResizeForBlock(64); // never below what it holds
    EXPECT_EQ(queue.Capacity(), 690);
    EXPECT_EQ(queue.Size(), 690);
    EXPECT_EQ(queue.FrontOffset(), 10);
}

TEST(VoiceEventQueue, FirstInFirstOutAndGrowth) {
    VoiceEventQueue queue(2);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(queue.Push(Event(i, 0x90, i)));
    EXPECT_EQ(queue.Size(), 5);
    queue.PopFront();
    EXPECT_EQ(queue.Front().data1, 1);
    EXPECT_EQ(queue.FrontOffset(), 1);
    for (int i = 5; i < 9; ++i) queue.Push(Event(i, 0x80, i));
    std::vector<int> order;
    while (!queue.Empty()) {
        order.push_back(queue.Front().data1);
        queue.PopFront();
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    queue.Push(Event(0, 0xB0, 64, 127));
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
}

TEST(MidiEventQueue, ReducingOffsetsNeverWrapsRoundWhateverTheTick) {
    // A tick of any sign or length must not turn a far-future message into a due one or back.
    MidiEventQueue queue;
    queue.Add(Event(INT32_MAX - 5, 0x90));
    queue.Add(Event(INT32_MAX, 0x80));
    queue.ReduceOffsets(-2147483);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{INT32_MAX, INT32_MAX}));
    queue.ReduceOffsets(INT32_MAX);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{0, 0}));
    queue.ReduceOffsets(INT32_MAX);
    queue.ReduceOffsets(INT32_MAX);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{INT32_MIN, INT32_MIN}));
    queue.ReduceOffsets(INT32_MIN);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{0, 0}));
}
