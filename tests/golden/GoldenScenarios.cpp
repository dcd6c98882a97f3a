#include "GoldenScenarios.h"

#include "engine/InstrumentParams.h"

#include <algorithm>
#include <cstring>

using vorna_tool::ParamOverride;
using vorna_tool::RenderRequest;
using vorna_tool::ScheduledMidi;

namespace {

// Builds one scenario: times in milliseconds become exact sample positions at the rate.
class Builder {
public:
    Builder(std::string name, double rate = 44100.0) {
        scenario_.name = std::move(name);
        scenario_.request.sampleRate = rate;
        Plain();
    }
    // Every parameter at its default, whatever the start-up program holds; then Poly.
    Builder& Plain() {
        const auto& table = engine::InstrumentParamDefinitions();
        scenario_.request.normalizedParams.clear();
        for (int i = 0; i < engine::kParamCount; ++i) {
            const engine::ParamDefinition& d = table[static_cast<std::size_t>(i)];
            float normalized = static_cast<float>((d.defaultValue - d.min) / (d.max - d.min));
            scenario_.request.normalizedParams.emplace_back(i, normalized);
        }
        return Set("Mode", "Poly");
    }
    // The start-up program as it is, without parameter changes.
    Builder& Program(int program) {
        scenario_.request.program = program;
        scenario_.request.normalizedParams.clear();
        scenario_.request.overrides.clear();
        return *this;
    }
    Builder& Set(const std::string& name, const std::string& value) {
        scenario_.request.overrides.push_back(ParamOverride{name, value});
        return *this;
    }
    Builder& Op(int op, const std::string& name, const std::string& value) {
        return Set("OP" + std::to_string(op) + ": " + name, value);
    }
    Builder& Blocks(std::vector<int> sizes) {
        scenario_.request.blockSizes = std::move(sizes);
        return *this;
    }
    Builder& Midi(int ms, int status, int data1, int data2, int extraSamples = 0) {
        ScheduledMidi m;
        m.sample = static_cast<std::int64_t>(ms) *
                       static_cast<std::int64_t>(scenario_.request.sampleRate) / 1000 +
                   extraSamples;
        m.status = static_cast<std::uint8_t>(status);
        m.data1 = static_cast<std::uint8_t>(data1);
        m.data2 = static_cast<std::uint8_t>(data2);
        scenario_.request.events.push_back(m);
        return *this;
    }
    Builder& Note(int onMs, int offMs, int note, int velocity = 100) {
        Midi(onMs, 0x90, note, velocity);
        return Midi(offMs, 0x80, note, 0);
    }
    Builder& Bend(int ms, int value, int extraSamples = 0) {
        return Midi(ms, 0xE0, value & 0x7F, (value >> 7) & 0x7F, extraSamples);
    }
    GoldenScenario Done(int lengthMs) {
        auto& events = scenario_.request.events;
        std::stable_sort(
            events.begin(), events.end(),
            [](const ScheduledMidi& a, const ScheduledMidi& b) { return a.sample < b.sample; });
        scenario_.request.frames = static_cast<std::int64_t>(lengthMs) *
                                   static_cast<std::int64_t>(scenario_.request.sampleRate) / 1000;
        return scenario_;
    }

private:
    GoldenScenario scenario_;
};

// A sound in which every operator takes part: distinct ratios, moderate modulator levels.
Builder& Rich(Builder& b) {
    b.Op(2, "Frequency", "2").Op(3, "Frequency", "3").Op(4, "Frequency", "1");
    b.Op(2, "Level", "20").Op(3, "Level", "28").Op(4, "Level", "24");
    b.Op(1, "Decay 1", "6").Op(1, "Sustain", "4").Op(1, "Release", "9");
    return b;
}

// A short phrase used at every rate and block layout: a chord, a melody note, a bend.
GoldenScenario Phrase(const std::string& name, double rate, std::vector<int> blocks) {
    Builder b(name, rate);
    Rich(b).Set("Algorithm", "5").Set("Feedback", "4").Blocks(std::move(blocks));
    b.Note(0, 300, 48).Note(3, 300, 55).Note(7, 300, 63);
    b.Note(150, 500, 72, 90);
    b.Bend(200, 8192 + 3000).Bend(260, 8192 - 2000).Bend(320, 8192);
    b.Midi(280, 0xB0, 1, 100);
    return b.Set("LFO PM Depth", "40")
        .Set("LFO PM Sensitivity", "3")
        .Set("PMD Controller", "M.Wheel")
        .Done(700);
}

} // namespace

std::vector<GoldenScenario> GoldenScenarios() {
    std::vector<GoldenScenario> list;

    list.push_back(Builder("default_program")
                       .Program(0)
                       .Note(0, 400, 60)
                       .Note(5, 400, 64)
                       .Note(9, 400, 67)
                       .Done(800));

    for (int a = 1; a <= 8; ++a) {
        Builder b("algorithm_" + std::to_string(a));
        Rich(b).Set("Algorithm", std::to_string(a)).Set("Feedback", "5");
        list.push_back(b.Note(0, 300, 57).Note(350, 450, 69).Done(600));
    }

    for (int w = 1; w <= 8; ++w) {
        Builder b("wave_" + std::to_string(w));
        std::string wave = "W" + std::to_string(w);
        Rich(b).Set("Algorithm", "5");
        for (int op = 1; op <= 4; ++op) b.Set("OP" + std::to_string(op) + ": Wave", wave);
        list.push_back(b.Note(0, 250, 62).Done(400));
    }

    for (int f : {0, 7}) {
        Builder b("feedback_" + std::to_string(f));
        Rich(b).Set("Algorithm", "1").Set("Feedback", std::to_string(f));
        list.push_back(b.Note(0, 300, 45).Done(450));
    }

    const char* lfoWaves[] = {"Saw", "Square", "Triangle", "Noise"};
    for (const char* wave : lfoWaves) {
        Builder b(std::string("lfo_") + wave);
        Rich(b).Set("Algorithm", "5").Set("LFO Waveform", wave).Set("LFO Speed", "230");
        b.Set("LFO AM Depth", "100").Set("LFO AM Sensitivity", "3");
        b.Set("LFO PM Depth", "90").Set("LFO PM Sensitivity", "7");
        b.Op(2, "Boost", "Modulator");
        list.push_back(b.Note(0, 500, 64).Done(650));
    }

    {
        Builder b("lfo_sync");
        Rich(b).Set("Algorithm", "5").Set("LFO Waveform", "Saw").Set("LFO Speed", "210");
        b.Set("LFO Sync", "On").Set("LFO PM Depth", "127").Set("LFO PM Sensitivity", "6");
        list.push_back(b.Note(0, 180, 60).Note(200, 380, 67).Note(401, 600, 64).Done(700));
    }

    {
        Builder b("poly_chord_sustain");
        Rich(b).Set("Algorithm", "7");
        b.Midi(0, 0xB0, 64, 127);
        b.Note(2, 100, 48).Note(4, 110, 52).Note(6, 120, 55).Note(8, 130, 59);
        b.Midi(400, 0xB0, 64, 0);
        b.Note(500, 600, 62); // after the pedal: released on its own
        list.push_back(b.Done(800));
    }

    {
        Builder b("mono_legato_portamento");
        Rich(b).Set("Mode", "Mono").Set("Portamento", "70").Set("Algorithm", "3");
        b.Midi(0, 0x90, 60, 100);
        b.Midi(150, 0x90, 67, 100);
        b.Midi(300, 0x90, 64, 100);
        b.Midi(450, 0x80, 64, 0); // back to the highest held key, 67
        b.Midi(600, 0x80, 67, 0); // then to 60
        b.Midi(750, 0x80, 60, 0); // then released
        list.push_back(b.Done(950));
    }

    {
        Builder b("pitch_bend");
        Rich(b).Set("Pitch Bend Range", "7").Set("Algorithm", "5").Blocks({512});
        b.Note(0, 600, 60);
        // Offsets beyond the first tick of a block are moved to the nearest tick.
        for (int i = 0; i < 20; ++i) b.Bend(100 + 20 * i, 8192 + (i % 2 ? 4000 : -6000), 7 * i);
        list.push_back(b.Done(750));
    }

    {
        Builder b("steal_65_notes");
        Rich(b).Set("Algorithm", "8");
        for (int n = 0; n < 65; ++n) b.Midi(n * 3, 0x90, 30 + n, 60 + n % 60);
        for (int n = 0; n < 65; ++n) b.Midi(400, 0x80, 30 + n, 0);
        list.push_back(b.Done(550));
    }

    for (int rate : {44100, 48000, 62500, 96000})
        list.push_back(Phrase("rate_" + std::to_string(rate), rate, {512}));
    list.push_back(Phrase("odd_block_sizes", 44100, {1, 7, 13, 512, 1024}));

    list.push_back(Builder("silence").Done(100));
    list.back().expectSound = false;
    return list;
}

std::uint64_t HashRender(const vorna_tool::RenderResult& result) {
    std::uint64_t hash = 14695981039346656037ull;
    auto feed = [&hash](float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 4; ++i) {
            hash ^= (bits >> (8 * i)) & 0xFFu;
            hash *= 1099511628211ull;
        }
    };
    for (std::size_t i = 0; i < result.left.size(); ++i) {
        feed(result.left[i]);
        feed(result.right[i]);
    }
    return hash;
}
