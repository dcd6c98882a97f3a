// The microtuning client against a real library at the fixed path. Run plain, no master may be
// installed; run with --with-master (see run-with-master*.sh), the test master is installed and
// the tests drive it through its control functions.

#include "PluginHost.h"
#include "VornRenderTestSupport.h"
#include "platform/DynamicLibrary.h"
#include "platform/TuningLibrary.h"
#include "synth/MtsClient.h"
#include "vorn/Vorn.h"
#include "vst2/Vst2Adapter.h"
#include "vst2/VstEntry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

bool withMaster = false;

vorn::Vorn& PluginOf(hostkit::PluginHost& host) {
    return *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(host.Effect()));
}

// The test master's control functions, bound from the library the plug-in loaded.
struct MasterControls {
    platform::DynamicLibrary library;
    void (*setTable)(const double*) = nullptr;
    void (*setFiltered)(int, bool) = nullptr;
    void (*setConnected)(bool) = nullptr;
    int (*registrations)() = nullptr;

    bool Bind() {
        if (!library.Open(platform::TuningLibraryPath())) return false;
        setTable = library.Function<void (*)(const double*)>("TestMaster_SetTable");
        setFiltered = library.Function<void (*)(int, bool)>("TestMaster_SetFiltered");
        setConnected = library.Function<void (*)(bool)>("TestMaster_SetConnected");
        registrations = library.Function<int (*)()>("TestMaster_Registrations");
        return setTable && setFiltered && setConnected && registrations;
    }
};

void SetTable(MasterControls& master, double (*frequency)(int note)) {
    double table[128];
    for (int n = 0; n < 128; ++n) table[n] = frequency(n);
    master.setTable(table);
}

// Frequency of a rendered tone from its positive-going zero crossings after the first 0.2 s.
double MeasuredFrequency(RenderingVorn& vorn, double rate) {
    std::vector<double> out;
    for (int b = 0; b < 100; ++b) {
        std::vector<double> block = vorn.Render(441);
        out.insert(out.end(), block.begin(), block.end());
    }
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = static_cast<std::size_t>(rate * 0.2); i + 1 < out.size(); ++i) {
        if (out[i] < 0 && out[i + 1] >= 0) {
            double t = static_cast<double>(i) + out[i] / (out[i] - out[i + 1]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) / ((last - first) / rate);
}

} // namespace

TEST(TuningWithoutMaster, EveryNoteIsEqualTemperedAndNothingIsFiltered) {
    if (withMaster) GTEST_SKIP() << "runs without a master";
    hostkit::PluginHost host;
    ASSERT_TRUE(host.UseEntry(&VSTPluginMain));
    synth::MtsClient& client = PluginOf(host).TuningClient();
    EXPECT_FALSE(synth::MtsGlobal().libraryLoaded);
    EXPECT_FALSE(client.IsConnected());
    for (int note = 0; note < 128; ++note) {
        EXPECT_EQ(client.TunedPitch(note), note * 128);
        EXPECT_FALSE(client.ShouldFilterNote(note));
    }
    EXPECT_NEAR(client.TunedFrequency(69), 440.0, 1e-9);
}

TEST(TuningWithMaster, FollowsTheMastersTableFilterAndConnection) {
    if (!withMaster) GTEST_SKIP() << "needs the test master installed";
    hostkit::PluginHost host;
    ASSERT_TRUE(host.UseEntry(&VSTPluginMain));
    const synth::MtsBinding& binding = synth::MtsGlobal();
    ASSERT_TRUE(binding.libraryLoaded);
    EXPECT_NE(binding.registerClient, nullptr);
    EXPECT_NE(binding.deregisterClient, nullptr);
    EXPECT_NE(binding.shouldFilterNoteMultiChannel, nullptr);
    EXPECT_NE(binding.useMultiChannelTuning, nullptr);
    EXPECT_NE(binding.getScaleName, nullptr);
    ASSERT_NE(binding.tuningTable, nullptr);
    for (int c = 0; c < 16; ++c) EXPECT_NE(binding.channelTables[c], nullptr);

    MasterControls master;
    ASSERT_TRUE(master.Bind());
    synth::MtsClient& client = PluginOf(host).TuningClient();
    master.setConnected(true);
    ASSERT_TRUE(client.IsConnected());

    // Each instance registers once.
    int before = master.registrations();
    hostkit::PluginHost second;
    ASSERT_TRUE(second.UseEntry(&VSTPluginMain));
    EXPECT_EQ(master.registrations(), before + 1);

    SetTable(master, [](int n) { return 440.0 * std::pow(2.0, (n - 69) / 12.0); });
    EXPECT_NEAR(client.TunedPitch(69), 8832, 1);
    EXPECT_NEAR(client.TunedPitch(60), 7680, 1);

    // A quarter-tone scale around note 69: each key is half a semitone.
    SetTable(master, [](int n) { return 440.0 * std::pow(2.0, (n - 69) / 24.0); });
    EXPECT_NEAR(client.TunedPitch(71), 8832 + 128, 1);
    EXPECT_NEAR(client.TunedPitch(67), 8832 - 128, 1);

    SetTable(master, [](int) { return 30000.0; });
    EXPECT_EQ(client.TunedPitch(60), 17276);
    SetTable(master, [](int) { return 8.0; });
    EXPECT_EQ(client.TunedPitch(60), 4);

    master.setFiltered(61, true);
    EXPECT_TRUE(client.ShouldFilterNote(61));
    EXPECT_TRUE(client.ShouldFilterNote(61 + 128)); // the note is taken modulo 128
    EXPECT_FALSE(client.ShouldFilterNote(60));

    // A master that goes away puts the instrument back to equal temperament at the next note.
    master.setConnected(false);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(client.TunedPitch(69), 69 * 128);
    EXPECT_FALSE(client.ShouldFilterNote(61));
    master.setFiltered(61, false);
    master.setConnected(true);
}

TEST(TuningWithMaster, AQuarterToneTableIsHeardAndFilteredNotesAreSilent) {
    if (!withMaster) GTEST_SKIP() << "needs the test master installed";
    MasterControls master;
    ASSERT_TRUE(master.Bind());
    master.setConnected(true);
    SetTable(master, [](int n) { return 440.0 * std::pow(2.0, (n - 69) / 24.0); });

    // Note 71 two quarter tones above 69: a semitone up (466 Hz), not a whole tone (494 Hz).
    RenderingVorn tuned(44100, 441);
    tuned.SingleSine();
    tuned.Midi(0, 0x90, 71, 100);
    EXPECT_NEAR(MeasuredFrequency(tuned, 44100), 440.0 * std::pow(2.0, 1.0 / 12.0), 1.5);

    master.setFiltered(61, true);
    RenderingVorn filtered(44100, 441);
    filtered.SingleSine();
    filtered.Midi(0, 0x90, 61, 100);
    std::vector<double> out = filtered.Render(4410);
    EXPECT_EQ(Peak(out), 0.0);
    EXPECT_EQ(filtered.Plugin().Voices().HeldNoteCount(), 0);
    master.setFiltered(61, false);

    // Without the master the same note plays in equal temperament again.
    master.setConnected(false);
    RenderingVorn plain(44100, 441);
    plain.SingleSine();
    plain.Midi(0, 0x90, 71, 100);
    EXPECT_NEAR(MeasuredFrequency(plain, 44100), 440.0 * std::pow(2.0, 2.0 / 12.0), 1.5);
    master.setConnected(true);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--with-master") withMaster = true;
    }
    return RUN_ALL_TESTS();
}
