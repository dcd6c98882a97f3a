#include "Lv2Render.h"

#include "Lv2Presets.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace lv2_test {

using vorna_tool::RenderRequest;
using vorna_tool::RenderResult;

namespace {

std::vector<int> BlockSizes(const RenderRequest& request) {
    std::vector<int> blocks;
    for (int size : request.blockSizes)
        if (size > 0) blocks.push_back(size);
    if (blocks.empty()) blocks.push_back(512);
    return blocks;
}

const PortInfo* ParamPort(Lv2Bundle& bundle, int param) {
    std::uint32_t index = lv2::kFirstParamPort + static_cast<std::uint32_t>(param);
    const std::vector<PortInfo>& ports = bundle.Ports();
    if (param < 0 || index >= ports.size()) return nullptr;
    const PortInfo& port = ports[index];
    return port.isControl && port.isInput ? &port : nullptr;
}

} // namespace

float PortValueOfNormalized(const PortInfo& port, double normalized) {
    double minimum = port.minimum;
    double maximum = port.maximum;
    return static_cast<float>(minimum + normalized * (maximum - minimum));
}

bool PortValueOfText(const PortInfo& port, const std::string& text, float& value) {
    for (const ScalePoint& point : port.scalePoints) {
        if (point.label != text) continue;
        value = point.value;
        return true;
    }
    if (text.empty()) return false;
    char* end = nullptr;
    double number = std::strtod(text.c_str(), &end);
    if (*end != '\0') return false;
    value = static_cast<float>(number);
    return true;
}

bool ApplyRequestSettings(Lv2TestHost& host, const RenderRequest& request, std::string& error) {
    Lv2Bundle& bundle = host.Bundle();
    // The other settings that the VST2 render tool knows are given before the program there; the
    // golden scenarios use none of them, and they have no plain counterpart here.
    if (!request.bankChunk.empty() || !request.sysEx.empty()) {
        error = "a bank or SysEx before the render has no LV2 counterpart in this host";
        return false;
    }
    if (request.program > 0) {
        const PresetInfo* preset = PresetOfProgram(bundle, request.program);
        if (!preset) {
            error = "no preset for program " + std::to_string(request.program);
            return false;
        }
        if (!host.ApplyPreset(preset->uri)) {
            error = "lilv cannot load the preset " + preset->uri;
            return false;
        }
    }
    for (const auto& param : request.normalizedParams) {
        const PortInfo* port = ParamPort(bundle, param.first);
        if (!port) {
            error = "parameter " + std::to_string(param.first) + " has no control port";
            return false;
        }
        host.SetPort(port->index, PortValueOfNormalized(*port, param.second));
    }
    for (const vorna_tool::ParamOverride& change : request.overrides) {
        const PortInfo* port = bundle.PortNamed(change.name);
        if (!port) {
            error = "no control port is named \"" + change.name + "\"";
            return false;
        }
        float value = 0.0f;
        if (!PortValueOfText(*port, change.value, value)) {
            error = "port \"" + change.name + "\" has no value \"" + change.value + "\"";
            return false;
        }
        host.SetPort(port->index, value);
    }
    return true;
}

RenderResult PlayRequest(Lv2TestHost& host, const RenderRequest& request) {
    RenderResult result;
    std::vector<int> blocks = BlockSizes(request);
    int largest = *std::max_element(blocks.begin(), blocks.end());
    if (largest > host.Setup().maxBlockLength) {
        result.error = "a block is longer than the instance's maximum block length";
        return result;
    }
    std::int64_t frames = std::max<std::int64_t>(request.frames, 0);
    result.left.assign(static_cast<std::size_t>(frames), 0.0f);
    result.right.assign(static_cast<std::size_t>(frames), 0.0f);
    std::size_t next = 0;
    std::size_t blockIndex = 0;
    for (std::int64_t start = 0; start < frames;) {
        int size = static_cast<int>(std::min<std::int64_t>(blocks[blockIndex], frames - start));
        blockIndex = (blockIndex + 1) % blocks.size();
        while (next < request.events.size() && request.events[next].sample < start + size) {
            const vorna_tool::ScheduledMidi& m = request.events[next++];
            std::int64_t offset = std::max<std::int64_t>(m.sample - start, 0);
            std::vector<std::uint8_t> bytes{m.status, m.data1, m.data2};
            // Program change and channel pressure carry one data byte.
            if ((m.status & 0xF0) == 0xC0 || (m.status & 0xF0) == 0xD0) bytes.pop_back();
            host.SendMidi(static_cast<std::uint32_t>(offset), std::move(bytes));
        }
        host.Run(static_cast<std::uint32_t>(size), result.left.data() + start,
                 result.right.data() + start);
        if (!host.Error().empty()) {
            result.error = host.Error();
            return result;
        }
        start += size;
    }
    return result;
}

RenderResult RenderRequestOnLv2(Lv2Bundle& bundle, const RenderRequest& request) {
    std::vector<int> blocks = BlockSizes(request);
    HostSetup setup;
    setup.sampleRate = request.sampleRate;
    setup.maxBlockLength = *std::max_element(blocks.begin(), blocks.end());
    Lv2TestHost host(bundle, setup);
    RenderResult result;
    if (!host.Ok()) {
        result.error = host.Error();
        return result;
    }
    if (!ApplyRequestSettings(host, request, result.error)) return result;
    return PlayRequest(host, request);
}

RenderDifference CompareRenders(const RenderResult& expected, const RenderResult& actual) {
    RenderDifference difference;
    difference.lengthsDiffer =
        expected.left.size() != actual.left.size() || expected.right.size() != actual.right.size();
    const std::vector<float>* channels[2][2] = {{&expected.left, &actual.left},
                                                {&expected.right, &actual.right}};
    std::size_t frames = std::min(expected.left.size(), actual.left.size());
    frames = std::min(frames, std::min(expected.right.size(), actual.right.size()));
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            float e = (*channels[c][0])[i];
            float a = (*channels[c][1])[i];
            // Bits, not values: -0 and +0 differ, and so would two NaNs.
            if (std::memcmp(&e, &a, sizeof e) == 0) continue;
            if (difference.firstFrame < 0) {
                difference.firstFrame = static_cast<std::int64_t>(i);
                difference.channel = c;
                difference.expected = e;
                difference.actual = a;
            }
            ++difference.count;
        }
    }
    return difference;
}

std::string Describe(const RenderDifference& difference) {
    std::ostringstream text;
    if (difference.lengthsDiffer) text << "lengths differ; ";
    if (difference.firstFrame < 0) {
        text << (difference.lengthsDiffer ? "the common frames are equal" : "equal");
        return text.str();
    }
    text.precision(9);
    text << "first difference at frame " << difference.firstFrame << " ("
         << (difference.channel == 0 ? "left" : "right") << ": " << difference.expected << " vs "
         << difference.actual << "), " << difference.count << " samples differ";
    return text.str();
}

} // namespace lv2_test
