#include "RenderSession.h"

#include <algorithm>
#include <cmath>

namespace vorna_tool {

namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool ApplyOverride(hostkit::PluginHost& host, const ParamOverride& change, std::string& error) {
    vst2::AEffect* effect = host.Effect();
    for (int i = 0; i < effect->numParams; ++i) {
        if (host.ParamName(i) != change.name) continue;
        std::vector<char> text(change.value.begin(), change.value.end());
        text.push_back('\0');
        if (host.Dispatch(vst2::effString2Parameter, i, 0, text.data()) != 1) {
            error = "parameter \"" + change.name + "\" does not take the value \"" + change.value +
                    "\"";
            return false;
        }
        return true;
    }
    error = "no parameter is named \"" + change.name + "\"";
    return false;
}

void DeliverSysEx(hostkit::PluginHost& host, const std::vector<std::uint8_t>& message) {
    std::vector<char> bytes(message.begin(), message.end());
    vst2::VstMidiSysexEvent event{};
    event.type = vst2::kVstSysExType;
    event.byteSize = sizeof event;
    event.dumpBytes = static_cast<vst2::Int32>(bytes.size());
    event.sysexDump = bytes.data();
    vst2::VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst2::VstEvent*>(&event);
    host.Dispatch(vst2::effProcessEvents, 0, 0, &list);
}

} // namespace

bool ParseParamOverride(const std::string& text, ParamOverride& result) {
    std::size_t equals = text.rfind('=');
    if (equals == std::string::npos) return false;
    result.name = Trim(text.substr(0, equals));
    result.value = Trim(text.substr(equals + 1));
    return !result.name.empty() && !result.value.empty();
}

RenderResult Render(hostkit::PluginHost& host, const RenderRequest& request) {
    RenderResult result;
    vst2::AEffect* effect = host.Effect();
    if (!effect) {
        result.error = "no plug-in instance";
        return result;
    }
    std::vector<int> blocks;
    for (int size : request.blockSizes)
        if (size > 0) blocks.push_back(size);
    if (blocks.empty()) blocks.push_back(512);
    int largest = *std::max_element(blocks.begin(), blocks.end());

    host.Open(request.sampleRate, largest);
    if (!request.bankChunk.empty()) {
        std::vector<std::uint8_t> chunk = request.bankChunk;
        if (host.Dispatch(vst2::effSetChunk, 0, static_cast<vst2::IntPtr>(chunk.size()),
                          chunk.data()) != 1) {
            result.error = "the plug-in refused the bank";
            return result;
        }
    }
    if (request.program >= 0) {
        if (request.program >= effect->numPrograms) {
            result.error = "program " + std::to_string(request.program) + " does not exist (0.." +
                           std::to_string(effect->numPrograms - 1) + ")";
            return result;
        }
        host.Dispatch(vst2::effSetProgram, 0, request.program);
    }
    for (const std::vector<std::uint8_t>& message : request.sysEx) DeliverSysEx(host, message);
    for (const auto& param : request.normalizedParams) {
        if (param.first < 0 || param.first >= effect->numParams) {
            result.error = "parameter " + std::to_string(param.first) + " does not exist";
            return result;
        }
        effect->setParameter(effect, param.first, param.second);
    }
    for (const ParamOverride& change : request.overrides)
        if (!ApplyOverride(host, change, result.error)) return result;

    std::int64_t frames = std::max<std::int64_t>(request.frames, 0);
    result.left.assign(static_cast<std::size_t>(frames), 0.0f);
    result.right.assign(static_cast<std::size_t>(frames), 0.0f);
    std::vector<float> input(static_cast<std::size_t>(largest), 0.0f);
    std::vector<vst2::VstMidiEvent> due;
    std::size_t next = 0;
    std::size_t blockIndex = 0;
    for (std::int64_t start = 0; start < frames;) {
        int size = static_cast<int>(std::min<std::int64_t>(blocks[blockIndex], frames - start));
        blockIndex = (blockIndex + 1) % blocks.size();
        due.clear();
        while (next < request.events.size() && request.events[next].sample < start + size) {
            const ScheduledMidi& m = request.events[next++];
            vst2::VstMidiEvent event{};
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames =
                static_cast<vst2::Int32>(std::max<std::int64_t>(m.sample - start, 0));
            event.midiData[0] = static_cast<char>(m.status);
            event.midiData[1] = static_cast<char>(m.data1);
            event.midiData[2] = static_cast<char>(m.data2);
            due.push_back(event);
        }
        if (!due.empty()) host.SendEvents(due);
        float* inputs[1] = {input.data()};
        float* outputs[2] = {result.left.data() + start, result.right.data() + start};
        effect->processReplacing(effect, inputs, outputs, size);
        start += size;
    }
    return result;
}

Levels MeasureLevels(const RenderResult& result) {
    Levels levels;
    double sum = 0.0;
    std::size_t count = 0;
    for (const std::vector<float>* channel : {&result.left, &result.right}) {
        for (float v : *channel) {
            double d = v;
            levels.peak = std::max(levels.peak, std::fabs(d));
            sum += d * d;
        }
        count += channel->size();
    }
    levels.rms = count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
    return levels;
}

} // namespace vorna_tool
