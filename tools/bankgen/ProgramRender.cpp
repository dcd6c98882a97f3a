#include "ProgramRender.h"

#include "PluginHost.h"
#include "host/ChunkVersion.h"
#include "vst2/VstEntry.h"

#include <algorithm>

namespace bankgen {

namespace {

struct Event {
    std::int64_t sample;
    std::uint8_t status, key, velocity;
};

} // namespace

bool RenderNotes(const Program& program, const std::vector<Note>& notes, std::int64_t frames,
                 Rendered& result) {
    result = {};
    hostkit::PluginHost host;
    if (!host.UseEntry(&VSTPluginMain)) return false;
    vst2::AEffect* effect = host.Effect();
    host.Open(kRenderRate, kRenderBlock);

    host::ChunkBuffer chunk;
    host::StartChunkWithVersion(chunk);
    host::AppendProgramState(chunk, 0, program.name, program.values);
    chunk.AppendText(program.name);
    if (host.Dispatch(vst2::effSetChunk, 1, chunk.Size(), chunk.Data()) != 1) return false;

    std::vector<Event> events;
    for (const Note& n : notes) {
        events.push_back(
            {n.on, 0x90, static_cast<std::uint8_t>(n.key), static_cast<std::uint8_t>(n.velocity)});
        events.push_back({n.off, 0x80, static_cast<std::uint8_t>(n.key), 0});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.sample < b.sample; });

    result.left.assign(static_cast<std::size_t>(frames), 0.0f);
    result.right.assign(static_cast<std::size_t>(frames), 0.0f);
    std::vector<float> input(kRenderBlock, 0.0f);
    std::size_t next = 0;
    for (std::int64_t start = 0; start < frames; start += kRenderBlock) {
        int size = static_cast<int>(std::min<std::int64_t>(kRenderBlock, frames - start));
        std::vector<vst2::VstMidiEvent> due;
        while (next < events.size() && events[next].sample < start + size) {
            vst2::VstMidiEvent e{};
            e.type = vst2::kVstMidiType;
            e.byteSize = sizeof e;
            e.deltaFrames =
                static_cast<vst2::Int32>(std::max<std::int64_t>(events[next].sample - start, 0));
            e.midiData[0] = static_cast<char>(events[next].status);
            e.midiData[1] = static_cast<char>(events[next].key);
            e.midiData[2] = static_cast<char>(events[next].velocity);
            due.push_back(e);
            ++next;
        }
        if (!due.empty()) host.SendEvents(due);
        float* inputs[1] = {input.data()};
        float* outputs[2] = {result.left.data() + start, result.right.data() + start};
        effect->processReplacing(effect, inputs, outputs, size);
    }
    host.CloseInstance();
    return true;
}

} // namespace bankgen
