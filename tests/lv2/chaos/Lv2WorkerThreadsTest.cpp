// Bank dumps through the plug-in's worker while other threads use it, as real hosts do: a
// worker thread decoding beside the audio thread's runs and the GUI thread's saves, and a
// free-wheeling host whose work() runs inside schedule_work() on the audio thread while the GUI
// thread restores states. Neither may deadlock, and every dump must be taken. Run under
// ThreadSanitizer too, where these are the plug-in's LV2 threads.

#include "ChaosSysEx.h"
#include "Lv2Host.h"
#include "lv2/Lv2Identity.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Ends the program when neither thread has moved for a while: a deadlocked thread can be neither
// joined nor stopped.
class Watchdog {
public:
    Watchdog(const std::atomic<long>& a, const std::atomic<long>& b) : a_(a), b_(b) {
        thread_ = std::thread([this] {
            long lastA = -1, lastB = -1;
            auto moved = Clock::now();
            while (!done_) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (a_ != lastA || b_ != lastB) moved = Clock::now();
                lastA = a_;
                lastB = b_;
                if (Clock::now() - moved > std::chrono::seconds(20)) {
                    std::fprintf(stderr, "deadlock: no thread moved for 20 s (%ld, %ld)\n", lastA,
                                 lastB);
                    std::_Exit(1);
                }
            }
        });
    }
    ~Watchdog() {
        done_ = true;
        thread_.join();
    }

private:
    const std::atomic<long>& a_;
    const std::atomic<long>& b_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class Lv2WorkerThreads : public ::testing::Test {
protected:
    void Start(lv2host::WorkerMode mode) {
        ASSERT_TRUE(host.LoadBundle(VORNA_LV2_BUNDLE)) << host.Error();
        lv2host::InstanceSetup setup;
        setup.maxBlockLength = 64;
        setup.workerMode = mode;
        ASSERT_TRUE(host.Instantiate(setup));
        host.ConnectAll();
        host.Activate();
        host.Run(64);
        ASSERT_EQ(host.SaveState(before), LV2_STATE_SUCCESS);
    }
    const std::vector<std::uint8_t>& Bank() const {
        return before.at(const_cast<lv2host::Lv2Host&>(host).Urid(lv2::kStateBankUri)).bytes;
    }

    lv2host::Lv2Host host;
    lv2host::StateProperties before;
    std::mt19937_64 rng{7};
};

TEST_F(Lv2WorkerThreads, WorkerThreadDecodesDumpsBesideRunsAndSaves) {
    Start(lv2host::WorkerMode::Thread);
    std::vector<chaos::Bytes> dumps;
    for (int i = 0; i < 8; ++i) dumps.push_back(chaos::RandomBankDump(rng));
    std::atomic<long> runs{0}, saves{0};
    std::atomic<bool> stop{false};
    {
        Watchdog watchdog(runs, saves);
        std::thread audio([&] {
            for (int run = 0; run < 2000; ++run, ++runs) {
                if (run % 250 == 0)
                    host.AddMidi(run % 64, dumps[static_cast<std::size_t>(run / 250)]);
                host.AddMidi(0, {0x90, static_cast<std::uint8_t>(48 + run % 24), 90});
                host.Run(64);
            }
            stop = true;
        });
        while (!stop) {
            lv2host::StateProperties state;
            EXPECT_EQ(host.SaveState(state), LV2_STATE_SUCCESS);
            ++saves;
        }
        audio.join();
    }
    ASSERT_TRUE(host.WorkerOf()->WaitUntilIdle(std::chrono::seconds(20)));
    EXPECT_EQ(host.WorkerOf()->Scheduled(), 8);
    EXPECT_EQ(host.WorkerOf()->Worked(), 8);
    EXPECT_GT(saves, 0);
    lv2host::StateProperties after;
    ASSERT_EQ(host.SaveState(after), LV2_STATE_SUCCESS);
    EXPECT_NE(after.at(host.Urid(lv2::kStateBankUri)).bytes, Bank())
        << "the dumps decoded by the worker thread did not reach the programs";
}

TEST_F(Lv2WorkerThreads, FreeWheelingWorkerBesideRestoresNeverDeadlocks) {
    Start(lv2host::WorkerMode::DuringSchedule);
    const chaos::Bytes dump = chaos::RandomBankDump(rng);
    std::atomic<long> runs{0}, restores{0};
    std::atomic<bool> stop{false};
    std::vector<std::uint8_t> last;
    {
        Watchdog watchdog(runs, restores);
        std::thread audio([&] {
            // Enough runs that the GUI thread's restores meet the dumps in every order.
            for (int run = 0; run < 1500; ++run, ++runs) {
                host.AddMidi(0, dump);
                host.Run(64);
            }
            stop = true;
        });
        while (!stop) {
            EXPECT_EQ(host.RestoreState(before), LV2_STATE_SUCCESS);
            ++restores;
        }
        audio.join();
    }
    EXPECT_GT(restores, 0);
    // A dump put aside while a restore held the instance is taken by a later run: the last one
    // must end up in the programs.
    host.AddMidi(0, dump);
    host.Run(64);
    host.Run(64);
    lv2host::StateProperties after;
    ASSERT_EQ(host.SaveState(after), LV2_STATE_SUCCESS);
    EXPECT_NE(after.at(host.Urid(lv2::kStateBankUri)).bytes, Bank());
}

} // namespace
