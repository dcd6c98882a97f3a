// Block sizes and sample rates a broken or hostile host may declare: the sane ones are taken, the
// rest are ignored and the previous value stays, and the instrument keeps playing.

#include "VornRenderTestSupport.h"

#include "host/PluginBase.h" // the largest block size taken is 16384, as the README states

#include <cmath>
#include <limits>

namespace {

std::size_t ScratchSize(vorn::Vorn& plugin) {
    return plugin.Output(0).scratch.size();
}

} // namespace

TEST(HostLimits, BlockSizesUpToTheLimitAreTakenAndLargerOnesIgnored) {
    VornInstance vorn;
    vorn.host.Open(44100, 512);
    vorn::Vorn& plugin = vorn.Plugin();
    vorn.host.Dispatch(vst2::effSetBlockSize, 0, 16384);
    EXPECT_EQ(plugin.BlockSize(), 16384);
    vorn.host.Dispatch(vst2::effSetBlockSize, 0, 333);
    std::vector<vst2::IntPtr> bad = {16385, vst2::IntPtr{1} << 20, 0x7FFFFFFF, 0,
                                     -1,    -0x7FFFFFFF - 1};
    // A 64-bit host's value must not wrap into a plausible 32-bit size.
    if (sizeof(vst2::IntPtr) == 8) {
        bad.push_back(static_cast<vst2::IntPtr>(0xFFFFFFFF00000010ull));
        bad.push_back(static_cast<vst2::IntPtr>(0x100000010ull));
    }
    for (vst2::IntPtr size : bad) {
        SCOPED_TRACE(size);
        vorn.host.Dispatch(vst2::effSetBlockSize, 0, size);
        EXPECT_EQ(plugin.BlockSize(), 333);
        EXPECT_EQ(ScratchSize(plugin), 333u);
    }
    EXPECT_LE(plugin.MidiEvents().Capacity(), 1024); // sized for 333 frames, not for the bad ones
}

TEST(HostLimits, RatesInsideTheRangeAreTakenAndAbsurdOnesIgnored) {
    VornInstance vorn;
    vorn.host.Open(44100, 512);
    vorn::Vorn& plugin = vorn.Plugin();
    for (float good : {1000.0f, 1536000.0f, 22050.0f}) {
        vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, good);
        EXPECT_EQ(plugin.SampleRate(), good);
    }
    EXPECT_EQ(plugin.Clock().tickInterval, 22);
    for (float bad : {1536001.0f * 1.01f, 1e10f, 1e30f, std::numeric_limits<float>::max(), 999.0f,
                      0.0f, -48000.0f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(plugin.SampleRate(), 22050.0);
        EXPECT_EQ(plugin.Clock().tickInterval, 22);
    }
}

TEST(HostLimits, AnAbsurdRateLeavesTheInstrumentPlaying) {
    RenderingVorn vorn(48000, 256);
    vorn.vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 1e10f);
    vorn.vorn.host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 3.4e38f);
    // Messages dated far beyond the call act within it, at any tick length.
    vorn.Midi(0x7FFFFF00, 0x90, 50, 100);
    vorn.Midi(0, 0x90, 60, 100);
    vorn.Midi(700, 0x90, 64, 100);
    std::vector<double> out;
    for (int b = 0; b < 8; ++b) {
        std::vector<double> block = vorn.Render(256);
        out.insert(out.end(), block.begin(), block.end());
    }
    for (double v : out) ASSERT_TRUE(std::isfinite(v));
    EXPECT_GT(Peak(out), 0.01);
    EXPECT_EQ(vorn.Plugin().Voices().HeldNoteCount(), 3);
    EXPECT_TRUE(vorn.Plugin().MidiEvents().Empty());
}
