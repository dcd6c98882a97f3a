#include "ProgramPlayer.h"

#include <algorithm>

namespace banktest {

std::vector<NoteEvent> HeldNotes(const std::vector<int>& notes, int velocity, std::int64_t offFrame,
                                 std::int64_t onFrame) {
    std::vector<NoteEvent> events;
    for (int note : notes)
        events.push_back(
            {onFrame, 0x90, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)});
    for (int note : notes) events.push_back({offFrame, 0x80, static_cast<std::uint8_t>(note), 64});
    return events;
}

bool ProgramPlayer::Start(int program, std::string& error) {
    // What the previous instance made the host record is of no use any more.
    host_.calls.clear();
    host_.receivedEvents.clear();
    if (!host_.CreateInstance()) {
        error = "the plug-in made no new instance";
        return false;
    }
    host_.Open(kRenderRate, kRenderBlock);
    if (host_.Dispatch(vst2::effSetChunk, 0, static_cast<vst2::IntPtr>(chunk_.size()),
                       chunk_.data()) != 1) {
        error = "effSetChunk refused the bank chunk";
        return false;
    }
    host_.Dispatch(vst2::effSetProgram, 0, program);
    if (host_.Dispatch(vst2::effGetProgram) != program) {
        error = "effSetProgram did not select program " + std::to_string(program);
        return false;
    }
    return true;
}

bool ProgramPlayer::SetParameterText(int index, const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return host_.Dispatch(vst2::effString2Parameter, index, 0, copy.data()) == 1;
}

StereoRender ProgramPlayer::Render(const std::vector<NoteEvent>& events, std::int64_t frames) {
    StereoRender render;
    render.sampleRate = kRenderRate;
    frames = std::max<std::int64_t>(frames, 0);
    render.left.assign(static_cast<std::size_t>(frames), 0.0f);
    render.right.assign(static_cast<std::size_t>(frames), 0.0f);
    vst2::AEffect* effect = host_.Effect();
    if (!effect) return render;
    std::vector<NoteEvent> sorted = events;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const NoteEvent& a, const NoteEvent& b) { return a.frame < b.frame; });
    std::vector<float> input(kRenderBlock, 0.0f);
    std::vector<vst2::VstMidiEvent> due;
    std::size_t next = 0;
    for (std::int64_t start = 0; start < frames; start += kRenderBlock) {
        int size = static_cast<int>(std::min<std::int64_t>(kRenderBlock, frames - start));
        due.clear();
        while (next < sorted.size() && sorted[next].frame < start + size) {
            const NoteEvent& note = sorted[next++];
            vst2::VstMidiEvent event{};
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames =
                static_cast<vst2::Int32>(std::max<std::int64_t>(note.frame - start, 0));
            event.midiData[0] = static_cast<char>(note.status);
            event.midiData[1] = static_cast<char>(note.data1);
            event.midiData[2] = static_cast<char>(note.data2);
            due.push_back(event);
        }
        if (!due.empty()) host_.SendEvents(due);
        float* inputs[1] = {input.data()};
        float* outputs[2] = {render.left.data() + start, render.right.data() + start};
        effect->processReplacing(effect, inputs, outputs, size);
        // The host records every call back (the plug-in asks for MIDI each block): keep it small.
        host_.calls.clear();
    }
    return render;
}

} // namespace banktest
