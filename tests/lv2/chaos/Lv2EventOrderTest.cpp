// Events keep the host's order across runs: SysEx when a bank dump goes to the worker (a voice
// dump sent after the bank in the same run is applied after it, one sent before it is
// overwritten by it; with the worker after run() and on a thread of its own), and notes that a
// run of no frames brought, which a panic in the next run must end.

#include "ChaosSysEx.h"
#include "Lv2Host.h"
#include "lv2/Lv2Identity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr std::size_t kBankStart = 74;  // first voice block of a bank dump
constexpr std::size_t kBankBlock = 131; // two count bytes, 128 nibbles, checksum

// A single-voice dump whose voice carries the given seven-letter name.
chaos::Bytes NamedVoiceDump(const char* name) {
    chaos::Bytes out = {0xF0, 0x43, 0x75, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00};
    unsigned sum = 0;
    for (int i = 0; i < 64; ++i) {
        const auto byte = static_cast<std::uint8_t>(i < 7 ? name[i] : (i * 37) & 0x7F);
        out.push_back(byte & 0x0F);
        out.push_back(byte >> 4);
        sum += (byte & 0x0Fu) + (byte >> 4);
    }
    out.push_back(static_cast<std::uint8_t>((0u - sum) & 0x7F));
    out.push_back(0xF7);
    return out;
}

std::string BankVoiceName(const chaos::Bytes& bank, std::size_t voice) {
    std::string name;
    const std::size_t nibbles = kBankStart + voice * kBankBlock + 2;
    for (std::size_t i = 0; i < 7; ++i)
        name += static_cast<char>(bank[nibbles + 2 * i] | (bank[nibbles + 2 * i + 1] << 4));
    return name;
}

class Lv2WorkerOrder : public ::testing::TestWithParam<lv2host::WorkerMode> {
protected:
    // The two dumps in one run, in the given order; the saved bank afterwards.
    std::vector<std::uint8_t> SendInOneRun(const chaos::Bytes& first, const chaos::Bytes& second) {
        lv2host::Lv2Host host;
        EXPECT_TRUE(host.LoadBundle(VORNA_LV2_BUNDLE)) << host.Error();
        lv2host::InstanceSetup setup;
        setup.workerMode = GetParam();
        EXPECT_TRUE(host.Instantiate(setup));
        host.ConnectAll();
        host.Activate();
        host.Run(64);
        host.AddMidi(0, first);
        host.AddMidi(1, second);
        host.Run(64);
        EXPECT_TRUE(host.WorkerOf()->WaitUntilIdle(std::chrono::seconds(10)));
        EXPECT_GT(host.WorkerOf()->Worked(), 0) << "the bank dump did not go to the worker";
        host.Run(64);
        host.Run(64);
        lv2host::StateProperties state;
        EXPECT_EQ(host.SaveState(state), LV2_STATE_SUCCESS);
        return state[host.Urid(lv2::kStateBankUri)].bytes;
    }
    static bool Holds(const std::vector<std::uint8_t>& bank, const std::string& name) {
        return std::search(bank.begin(), bank.end(), name.begin(), name.end()) != bank.end();
    }

    std::mt19937_64 rng{11};
};

TEST_P(Lv2WorkerOrder, VoiceDumpAfterBankDumpIsAppliedAfterIt) {
    const chaos::Bytes bank = chaos::RandomBankDump(rng);
    const auto after = SendInOneRun(bank, NamedVoiceDump("Single!"));
    EXPECT_TRUE(Holds(after, "Single!")) << "the voice dump sent after the bank was overwritten";
    EXPECT_TRUE(Holds(after, BankVoiceName(bank, 1))) << "the bank did not arrive";

    const auto before = SendInOneRun(NamedVoiceDump("Single!"), bank);
    EXPECT_FALSE(Holds(before, "Single!")) << "the bank sent after the voice did not replace it";
    EXPECT_TRUE(Holds(before, BankVoiceName(bank, 0)));
}

INSTANTIATE_TEST_SUITE_P(WorkerModes, Lv2WorkerOrder,
                         ::testing::Values(lv2host::WorkerMode::AfterRun,
                                           lv2host::WorkerMode::Thread),
                         [](const auto& info) {
                             return info.param == lv2host::WorkerMode::AfterRun ? "AfterRun"
                                                                                : "Thread";
                         });

// The loudest sample of both outputs over a number of 64-frame runs.
float Peak(lv2host::Lv2Host& host, int runs) {
    float peak = 0.0f;
    for (int r = 0; r < runs; ++r) {
        host.Run(64);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 64; ++i) peak = std::max(peak, std::fabs(host.Audio(c)[i]));
    }
    return peak;
}

// Notes in a run of no frames, then the next run with or without a panic: the sound a second
// later.
float SoundAfterEmptyRun(bool panic) {
    lv2host::Lv2Host host;
    EXPECT_TRUE(host.LoadBundle(VORNA_LV2_BUNDLE)) << host.Error();
    lv2host::InstanceSetup setup;
    setup.maxBlockLength = 64;
    EXPECT_TRUE(host.Instantiate(setup));
    host.ConnectAll();
    host.Activate();
    // The fastest release on every operator, so that a released note is gone within a second.
    for (std::size_t op = 0; op < 4; ++op)
        host.Control(23 + 17 * op + 16) = host.ControlPorts()[23 + 17 * op + 16].maximum;
    host.Run(64);
    for (std::uint8_t note : {60, 64, 67}) host.AddMidi(10, {0x90, note, 110});
    host.Run(0);
    if (panic) {
        host.AddMidi(0, {0xB0, 64, 0});
        host.AddMidi(0, {0xB0, 123, 0});
    }
    Peak(host, 690); // a second
    return Peak(host, 100);
}

TEST(Lv2EventOrder, PanicEndsTheNotesThatARunOfNoFramesBrought) {
    ASSERT_GT(SoundAfterEmptyRun(false), 1e-3f) << "the notes sent in a run of no frames are lost";
    EXPECT_LT(SoundAfterEmptyRun(true), 1e-4f)
        << "the notes of a run of no frames were queued after the next run's panic";
}

} // namespace
