#pragma once
// A plug-in base that records what the editor does to it, and a Graphics core opened on the
// offscreen window, for driving the editor machinery without any OS window.

#include "graphics/Graphics.h"
#include "graphics/OffscreenWindow.h"
#include "host/PluginBase.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace editor_test {

class RecordingPlugin : public host::PluginBase {
public:
    // Parameters: 0 Int 0..7, 1 Double -1..1 step 0.01, 2 Enum "W1".."W8", 3 Double 0..1.
    RecordingPlugin() : PluginBase(4, 1, "0-2") {
        GetParam(0).SetKind(host::ParamKind::Int);
        GetParam(0).Init("Int", 0, 0, 7, 1);
        GetParam(1).Init("Double", 0, -1, 1, 0.01);
        GetParam(2).InitEnum("Enum", 0, {"W1", "W2", "W3", "W4", "W5", "W6", "W7", "W8"});
        GetParam(3).Init("Knob", 0.5, 0, 1, 0.001);
    }

    void IdleTick() override { ++idleTicks; }
    void BeginParamEdit(int index) override { log.push_back("begin " + std::to_string(index)); }
    void EndParamEdit(int index) override { log.push_back("end " + std::to_string(index)); }
    void NotifyParamChange(int index, double normalized) override {
        log.push_back("set " + std::to_string(index));
        reported.emplace_back(index, normalized);
    }
    void NotifyProgramChange() override {}
    long long GetSamplePosition() override { return 0; }
    double GetHostTempo() override { return 120.0; }
    void GetHostTimeSignature(int& n, int& d) override { n = d = 4; }
    void GetTransportInfo(host::TransportInfo&) override {}
    void ResizeEditor(int, int) override {}
    bool SendMidiMessage(const host::MidiMessage&) override { return true; }

    int idleTicks = 0;
    std::vector<std::string> log;
    std::vector<std::pair<int, double>> reported;
};

// A Graphics core on the recording plug-in, opened on an offscreen window.
struct OpenEditor {
    OpenEditor() : graphics(&plugin) {
        auto offscreen = std::make_unique<graphics::OffscreenWindow>(graphics);
        window = offscreen.get();
        graphics.OpenWindowWith(std::move(offscreen));
    }

    RecordingPlugin plugin;
    graphics::Graphics graphics;
    graphics::OffscreenWindow* window = nullptr;
};

inline graphics::Modifiers LeftButton() {
    graphics::Modifiers m;
    m.left = true;
    return m;
}

inline graphics::Modifiers RightButton() {
    graphics::Modifiers m;
    m.right = true;
    return m;
}

} // namespace editor_test
