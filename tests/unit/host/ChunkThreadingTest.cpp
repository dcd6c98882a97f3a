// One thread renders while a second loads program chunks, switches programs and sets a parameter
// and a third reads bank chunks, as a host's audio, automation and saving threads may. Under
// ThreadSanitizer this must give no report; everywhere every program read back must be one of
// the two sounds written, never a mixture.

#include "StateTestSupport.h"
#include "host/ProgramState.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace statetest;

namespace {

// The state bytes that identify a sound: everything but the stamp (index and name) and the
// first double, which the automation thread keeps changing.
Bytes SoundOf(const std::uint8_t* state) {
    Bytes sound(state + 31, state + host::kStateSize);
    return sound;
}

} // namespace

TEST(ChunkThreading, RenderingChunkAndProgramTrafficNeverTearAProgram) {
    VornInstance vorn;
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.host.Open(48000, 256);
    vst2::AEffect* effect = vorn.Effect();

    // Two complete sounds, A and B, as program chunks.
    std::vector<Bytes> chunks;
    std::vector<Bytes> sounds;
    for (int variant = 0; variant < 2; ++variant) {
        for (int p = 0; p < plugin.ParamCount(); ++p)
            plugin.GetParam(p).SetClamped(PatternValue(plugin.GetParam(p), variant));
        void* data = nullptr;
        vst2::IntPtr size = effect->dispatcher(effect, vst2::effGetChunk, 1, 0, &data, 0);
        ASSERT_GT(size, 8 + host::kStateSize);
        chunks.emplace_back(static_cast<std::uint8_t*>(data),
                            static_cast<std::uint8_t*>(data) + size);
        sounds.push_back(SoundOf(chunks.back().data() + 8));
    }
    // Programs 0 and 1, the ones the traffic switches between, start with sound A.
    for (int program = 0; program < 2; ++program) {
        effect->dispatcher(effect, vst2::effSetProgram, 0, program, nullptr, 0);
        ASSERT_EQ(effect->dispatcher(effect, vst2::effSetChunk, 1,
                                     static_cast<vst2::IntPtr>(chunks[0].size()), chunks[0].data(),
                                     0),
                  1);
    }

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> in(256), left(256), right(256);
        float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        while (!stop.load()) effect->processReplacing(effect, inputs, outputs, 256);
    });
    std::thread automation([&] {
        int round = 0;
        while (!stop.load()) {
            Bytes& chunk = chunks[static_cast<std::size_t>(round % 2)];
            effect->dispatcher(effect, vst2::effSetChunk, 1,
                               static_cast<vst2::IntPtr>(chunk.size()), chunk.data(), 0);
            effect->setParameter(effect, 0, static_cast<float>((round % 7) / 7.0));
            effect->dispatcher(effect, vst2::effSetProgram, 0, round % 2, nullptr, 0);
            ++round;
        }
    });

    int reads = 0;
    int torn = 0;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
        void* data = nullptr;
        vst2::IntPtr size = effect->dispatcher(effect, vst2::effGetChunk, 0, 0, &data, 0);
        if (size <= 0) {
            ++torn;
            continue;
        }
        host::ChunkBuffer bank;
        bank.Assign(data, static_cast<std::size_t>(size));
        // Programs 0 and 1 are the first two entries after the framework header.
        int p = 8;
        for (int program = 0; program < 2 && p >= 0; ++program) {
            std::string name;
            p = bank.ReadText(name, p);
            std::uint8_t initialised = 0;
            p = bank.ReadByte(initialised, p);
            if (p < 0 || p + host::kStateSize > bank.Size()) break;
            Bytes sound = SoundOf(bank.Data() + p);
            if (sound != sounds[0] && sound != sounds[1]) ++torn;
            p += host::kStateSize;
        }
        if (p < 0) ++torn;
        ++reads;
    }
    stop = true;
    audio.join();
    automation.join();
    EXPECT_GT(reads, 10);
    EXPECT_EQ(torn, 0);
}
