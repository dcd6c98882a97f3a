#include "Lv2TestSetup.h"

#include "lv2/Lv2Identity.h"

#include <algorithm>
#include <cmath>

namespace lv2_test {

const char* BundleFolder() {
    return VORNA_LV2_BUNDLE;
}

const char* Vst2Binary() {
    return VORNA_VST2_PLUGIN;
}

Lv2Bundle& SharedBundle() {
    static Lv2Bundle bundle(BundleFolder(), lv2::kPluginUri);
    return bundle;
}

vorna_tool::RenderRequest Phrase(int blockSize, std::int64_t frames, std::int64_t firstFrame) {
    vorna_tool::RenderRequest request;
    request.blockSizes = {blockSize};
    request.frames = frames;
    auto at = [&](std::int64_t sample, int status, int data1, int data2) {
        request.events.push_back(vorna_tool::ScheduledMidi{
            firstFrame + sample, static_cast<std::uint8_t>(status),
            static_cast<std::uint8_t>(data1), static_cast<std::uint8_t>(data2)});
    };
    at(0, 0x90, 48, 100);
    at(37, 0x90, 55, 90);
    at(301, 0x90, 63, 110);
    at(4000, 0xE0, 0x00, 0x50);
    at(6000, 0xB0, 1, 90);
    at(7001, 0x90, 72, 80);
    at(9000, 0xE0, 0x00, 0x40);
    at(12000, 0x80, 48, 0);
    at(12000, 0x80, 55, 0);
    at(12500, 0x80, 63, 0);
    at(14000, 0x80, 72, 0);
    return request;
}

double Peak(const vorna_tool::RenderResult& result) {
    double peak = 0.0;
    for (const std::vector<float>* channel : {&result.left, &result.right})
        for (float v : *channel) peak = std::max(peak, std::fabs(static_cast<double>(v)));
    return peak;
}

} // namespace lv2_test
