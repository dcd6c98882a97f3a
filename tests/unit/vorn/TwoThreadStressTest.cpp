// Every host entry point and the editor, hammered from two threads as a DAW's audio and GUI
// threads would: notes, mapped controllers, program changes and SysEx parameter changes with the
// audio, while the other thread changes programs, parameters, chunks, names, rate and block size
// and lets the editor draw. Under ThreadSanitizer this must give no report; everywhere it must
// end in a state the host can read back.

#include "TwoThreadHost.h"
#include "VornTestSupport.h"
#include "vst2/Vst2Adapter.h"

#include "editor/VornEditor.h"
#include "graphics/OffscreenWindow.h"
#include "programs/ParamChangeSysEx.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace two_threads;

#ifdef VORNA_SANITIZED
constexpr int kGuiRounds = 40;
#else
constexpr int kGuiRounds = 150;
#endif

} // namespace

TEST(TwoThreads, EveryEntryPointAndTheEditorStayConsistent) {
    vst2::AEffect* effect = VSTPluginMain(&QuietHost);
    ASSERT_NE(effect, nullptr);
    auto& plugin = *static_cast<vorn::Vorn*>(vst2::Adapter::CoreOf(effect));
    Dispatch(effect, vst2::effOpen);
    Dispatch(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, vst2::effSetBlockSize, 0, 128);
    Dispatch(effect, vst2::effMainsChanged, 0, 1);
    {
        platform::ScopedLock lock(plugin.Mutex());
        plugin.Settings().controllerMap[74] = 23 + 1; // OP1 level, so that the editor shows it
        plugin.Settings().midiThru = true;
    }
    editor::VornEditor& view = *plugin.EditorView();
    ASSERT_TRUE(view.OpenWindowWith(std::make_unique<graphics::OffscreenWindow>(view)));

    // A parameter change for the module, as it would send one back.
    programs::ParamValues values{};
    const std::vector<programs::ParamChangeMessage> changes =
        programs::BuildParamChangeMessages(23 + 1, values);
    ASSERT_FALSE(changes.empty());
    const programs::ParamChangeMessage change = changes.front();

    std::atomic<bool> stop{false};
    std::atomic<int> audioCalls{0};
    std::thread audio([&] {
        std::vector<float> in(512), left(512), right(512);
        float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        vst2::VstMidiSysexEvent sysEx{};
        sysEx.type = vst2::kVstSysExType;
        sysEx.byteSize = sizeof sysEx;
        sysEx.dumpBytes = static_cast<vst2::Int32>(change.size());
        sysEx.sysexDump = reinterpret_cast<char*>(const_cast<std::uint8_t*>(change.data()));
        for (int round = 0; !stop.load(); ++round) {
            std::vector<vst2::VstMidiEvent> midi = {
                Midi(0, 0x90, 48 + round % 24, 100), Midi(5, 0xB0, 74, round % 128),
                Midi(9, 0x80, 48 + (round + 12) % 24, 0), Midi(20, 0xE0, 0, round % 128)};
            if (round % 16 == 0) midi.push_back(Midi(30, 0xC0, round % 48, 0));
            EventList list;
            for (vst2::VstMidiEvent& event : midi) list.Add(&event);
            if (round % 8 == 0) list.Add(&sysEx);
            Dispatch(effect, vst2::effProcessEvents, 0, 0, &list);
            effect->processReplacing(effect, inputs, outputs, 64 + round % 64);
            if (round % 4 == 0) effect->setParameter(effect, round % 91, (round % 10) / 10.0f);
            effect->getParameter(effect, round % 91);
            ++audioCalls;
        }
    });

    char text[256];
    void* chunk = nullptr;
    for (int round = 0; round < kGuiRounds; ++round) {
        const int index = round % 91;
        effect->setParameter(effect, index, ((round * 7) % 10) / 10.0f);
        effect->getParameter(effect, index);
        Dispatch(effect, vst2::effGetParamDisplay, index, 0, text);
        Dispatch(effect, vst2::effSetProgram, 0, round % 336);
        Dispatch(effect, vst2::effGetProgramName, 0, 0, text);
        if (round % 3 == 0) view.OnTimer(); // the editor draws what changed
        if (round % 10 == 0) {
            vst2::IntPtr size = Dispatch(effect, vst2::effGetChunk, 1, 0, &chunk);
            std::vector<char> copy(static_cast<char*>(chunk), static_cast<char*>(chunk) + size);
            Dispatch(effect, vst2::effSetChunk, 1, size, copy.data());
        }
        if (round % 40 == 0) {
            vst2::IntPtr size = Dispatch(effect, vst2::effGetChunk, 0, 0, &chunk);
            std::vector<char> copy(static_cast<char*>(chunk), static_cast<char*>(chunk) + size);
            Dispatch(effect, vst2::effSetChunk, 0, size, copy.data());
        }
        if (round % 50 == 0) {
            Dispatch(effect, vst2::effMainsChanged, 0, 0);
            Dispatch(effect, vst2::effSetBlockSize, 0, round % 100 == 0 ? 256 : 128);
            Dispatch(effect, vst2::effSetSampleRate, 0, 0, nullptr,
                     round % 100 == 0 ? 48000.0f : 44100.0f);
            Dispatch(effect, vst2::effMainsChanged, 0, 1);
        }
        if (round % 25 == 0) {
            char name[] = "Stress";
            Dispatch(effect, vst2::effSetProgramName, 0, 0, name);
        }
        plugin.SetParamFromEditor(23 + 4, (round % 16) / 15.0); // a knob drag in the editor
        Dispatch(effect, vst2::effEditIdle);
    }
    stop = true;
    audio.join();
    EXPECT_GT(audioCalls.load(), 0);

    // Quiet again: what the host sets now, it reads back, and the editor shows it.
    Dispatch(effect, vst2::effSetProgram, 0, 12);
    effect->setParameter(effect, 0, 0.5f);
    EXPECT_EQ(Dispatch(effect, vst2::effGetProgram), 12);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.5f);
    view.CloseWindow();
    Dispatch(effect, vst2::effClose);
}
