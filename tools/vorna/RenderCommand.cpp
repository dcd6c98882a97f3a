// vorna render: plays a Standard MIDI File (or the built-in demo phrase) through the built
// plug-in binary and writes the result as a stereo WAV file.

#include "Commands.h"
#include "DemoPhrase.h"
#include "RenderSession.h"
#include "SmfReader.h"
#include "WavWriter.h"
#include "common/NumberText.h"

#include <cmath>
#include <cstdio>

namespace vorna_tool {

namespace {

void PrintRenderUsage() {
    std::fprintf(stderr,
                 "usage: vorna render <plugin binary> [song.mid] [options]\n"
                 "  --out FILE        the WAV file to write (default: out.wav)\n"
                 "  --rate HZ         sample rate (default: 44100)\n"
                 "  --block N         block size in frames (default: 512)\n"
                 "  --program N       program 0..335 to play (default: the start-up program)\n"
                 "  --set \"NAME=V\"    set a parameter, e.g. --set \"OP1: Level=10\"; repeatable\n"
                 "  --tail SECONDS    time rendered after the last event (default: 1.5)\n"
                 "  --float           32-bit float samples instead of 16-bit PCM\n"
                 "Without a MIDI file the built-in demo phrase is played.\n");
}

bool ParseNumber(const std::string& text, double& value) {
    std::size_t used = 0;
    value = common::ParseDouble(text.c_str(), &used);
    return used > 0 && used == text.size() && std::isfinite(value);
}

double Decibels(double level) {
    return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY;
}

} // namespace

int RunRender(const std::vector<std::string>& arguments) {
    std::string plugin, midiPath, outPath = "out.wav";
    RenderRequest request;
    double tail = 1.5;
    bool floatSamples = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        double number = 0.0;
        if (a == "--out" && hasValue) {
            outPath = arguments[++i];
        } else if ((a == "--rate" || a == "--block" || a == "--program" || a == "--tail") &&
                   hasValue) {
            const std::string& text = arguments[++i];
            if (!ParseNumber(text, number)) {
                std::fprintf(stderr, "vorna render: %s needs a number, not \"%s\"\n", a.c_str(),
                             text.c_str());
                return 2;
            }
            if (a == "--rate") {
                if (number < 1000.0 || number > 384000.0) {
                    std::fprintf(stderr, "vorna render: the rate must lie in 1000..384000 Hz\n");
                    return 2;
                }
                request.sampleRate = number;
            } else if (a == "--block") {
                if (number < 1 || number > 65536 || number != std::floor(number)) {
                    std::fprintf(stderr, "vorna render: the block size must be 1..65536 frames\n");
                    return 2;
                }
                request.blockSizes = {static_cast<int>(number)};
            } else if (a == "--program") {
                if (number < 0 || number != std::floor(number) || number > 100000) {
                    std::fprintf(stderr, "vorna render: the program must be a number from 0\n");
                    return 2;
                }
                request.program = static_cast<int>(number);
            } else {
                if (number < 0 || number > 600) {
                    std::fprintf(stderr, "vorna render: the tail must be 0..600 seconds\n");
                    return 2;
                }
                tail = number;
            }
        } else if (a == "--set" && hasValue) {
            ParamOverride change;
            if (!ParseParamOverride(arguments[++i], change)) {
                std::fprintf(stderr, "vorna render: --set needs \"NAME=VALUE\", not \"%s\"\n",
                             arguments[i].c_str());
                return 2;
            }
            request.overrides.push_back(change);
        } else if (a == "--float") {
            floatSamples = true;
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "vorna render: unknown or incomplete option %s\n", a.c_str());
            PrintRenderUsage();
            return 2;
        } else if (plugin.empty()) {
            plugin = a;
        } else if (midiPath.empty()) {
            midiPath = a;
        } else {
            PrintRenderUsage();
            return 2;
        }
    }
    if (plugin.empty()) {
        PrintRenderUsage();
        return 2;
    }
    if (!WavOutputAvailable()) {
        std::string error;
        WriteStereoWav(outPath, {}, {}, 0, false, error);
        std::fprintf(stderr, "vorna render: %s\n", error.c_str());
        return 1;
    }

    MidiSong song;
    if (midiPath.empty()) {
        song = DemoPhrase();
    } else {
        std::string error;
        if (!ReadMidiFile(midiPath, song, error)) {
            std::fprintf(stderr, "vorna render: %s\n", error.c_str());
            return 1;
        }
        if (!song.problem.empty())
            std::fprintf(stderr, "vorna render: warning: %s: %s; playing what could be read\n",
                         midiPath.c_str(), song.problem.c_str());
    }
    request.events = Schedule(song.events, request.sampleRate);
    double seconds = song.lengthSeconds + tail;
    request.frames = static_cast<std::int64_t>(std::ceil(seconds * request.sampleRate));

    hostkit::PluginHost host;
    if (!host.Load(PluginPath(plugin))) {
        std::fprintf(stderr, "vorna render: %s\n", host.Error().c_str());
        return 1;
    }
    RenderResult result = Render(host, request);
    if (!result.error.empty()) {
        std::fprintf(stderr, "vorna render: %s\n", result.error.c_str());
        return 1;
    }
    std::string error;
    if (!WriteStereoWav(outPath, result.left, result.right,
                        static_cast<int>(std::lround(request.sampleRate)), floatSamples, error)) {
        std::fprintf(stderr, "vorna render: %s\n", error.c_str());
        return 1;
    }
    Levels levels = MeasureLevels(result);
    std::printf("Wrote %s: %.2f s at %.0f Hz, %zu MIDI events%s\n", outPath.c_str(),
                static_cast<double>(request.frames) / request.sampleRate, request.sampleRate,
                request.events.size(), midiPath.empty() ? " (demo phrase)" : "");
    std::printf("Peak: %.2f dBFS (%.4f)\n", Decibels(levels.peak), levels.peak);
    std::printf("RMS:  %.2f dBFS (%.4f)\n", Decibels(levels.rms), levels.rms);
    return 0;
}

} // namespace vorna_tool
