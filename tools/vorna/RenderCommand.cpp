// vorna render: plays a Standard MIDI File (or the built-in demo phrase) through a plug-in binary,
// or the plug-in built into the tool, and writes the result as a stereo WAV file. The sound is a
// program of the plug-in, a voice of a ".syx" dump or a program of a bank file.

#include "Commands.h"
#include "DemoPhrase.h"
#include "PluginInstance.h"
#include "RenderSession.h"
#include "SmfReader.h"
#include "Usage.h"
#include "VoiceListing.h"
#include "WavWriter.h"
#include "common/NumberText.h"
#include "engine/InstrumentParams.h"
#include "host/FxbFile.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace vorna_tool {

namespace {

void PrintRenderUsage() {
    PrintUsage("render", stderr);
}

bool IsMidiFileName(const std::string& path) {
    std::string extension = path.size() > 5 ? path.substr(path.size() - 5) : path;
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension.size() >= 4 &&
           (extension.compare(extension.size() - 4, 4, ".mid") == 0 || extension == ".midi");
}

// Voice voice (1 to 48; 0 when the file holds one) of a ".syx" file, read as the plug-in reads
// it, delivered as a single-voice dump once the program is chosen.
bool PrepareSysExVoice(const std::string& path, int voice, RenderRequest& request,
                       std::string& error) {
    std::vector<programs::VoiceRecord> records;
    if (!ReadLoadableVoices(path, records, error)) {
        error = path + ": " + error;
        return false;
    }
    if (voice == 0 && records.size() > 1) {
        error = path + " holds " + std::to_string(records.size()) +
                " voices: choose one with --voice N";
        return false;
    }
    if (voice > static_cast<int>(records.size())) {
        error = path + " holds " + std::to_string(records.size()) +
                " voice(s); there is no voice " + std::to_string(voice);
        return false;
    }
    const programs::VoiceRecord& record =
        records[static_cast<std::size_t>(voice > 0 ? voice - 1 : 0)];
    request.sysEx.push_back(programs::BuildSingleVoiceDump(programs::EncodeVoiceBlock(record)));
    return true;
}

// The programs of a bank file given to the plug-in before program request.program is chosen.
bool PrepareBank(const std::string& path, RenderRequest& request, std::string& error) {
    const ListedFile listed = ListVoiceFile(path);
    std::vector<std::uint8_t> bytes;
    host::BankFile bank;
    if (!listed.error.empty() || !ReadVoiceFile(path, bytes, error) ||
        !host::ParseBankFile(bytes, kVornaPluginId, engine::kParamCount, bank)) {
        error = path + ": " + (listed.error.empty() ? error : listed.error);
        return false;
    }
    if (request.program < 0) request.program = 0;
    if (request.program >= static_cast<int>(listed.programs.size())) {
        error = path + " holds " + std::to_string(listed.programs.size()) +
                " programs; there is no program " + std::to_string(request.program);
        return false;
    }
    if (bank.kind == host::BankFileKind::Opaque) {
        request.bankChunk = bank.chunk.Bytes();
        return true;
    }
    const std::vector<double>& values =
        bank.programs[static_cast<std::size_t>(request.program)].values;
    for (std::size_t i = 0; i < values.size(); ++i)
        request.normalizedParams.push_back({static_cast<int>(i), static_cast<float>(values[i])});
    return true;
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
    std::string syxPath, fxbPath;
    double voice = 0;
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
        } else if ((a == "--syx" || a == "--fxb") && hasValue) {
            (a == "--syx" ? syxPath : fxbPath) = arguments[++i];
        } else if (a == "--voice" && hasValue) {
            if (!ParseNumber(arguments[++i], voice) || voice < 1 || voice > 48 ||
                voice != std::floor(voice)) {
                std::fprintf(stderr, "vorna render: --voice takes a voice from 1 to 48\n");
                return 2;
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
        } else if (midiPath.empty() && (IsMidiFileName(a) || !plugin.empty())) {
            midiPath = a;
        } else if (plugin.empty()) {
            plugin = a;
        } else {
            PrintRenderUsage();
            return 2;
        }
    }
    if (!syxPath.empty() && !fxbPath.empty()) {
        std::fprintf(stderr, "vorna render: give --syx or --fxb, not both\n");
        return 2;
    }
    if (voice > 0 && syxPath.empty()) {
        std::fprintf(stderr, "vorna render: --voice goes with --syx FILE\n");
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

    std::string error;
    if ((!syxPath.empty() &&
         !PrepareSysExVoice(syxPath, static_cast<int>(voice), request, error)) ||
        (!fxbPath.empty() && !PrepareBank(fxbPath, request, error))) {
        std::fprintf(stderr, "vorna render: %s\n", error.c_str());
        return 1;
    }

    // Without a binary the plug-in built into the tool plays, made through its own entry.
    PluginInstance builtIn;
    hostkit::PluginHost loaded;
    if (plugin.empty() ? !builtIn.Create(error) : !loaded.Load(PluginPath(plugin))) {
        std::fprintf(stderr, "vorna render: %s\n",
                     plugin.empty() ? error.c_str() : loaded.Error().c_str());
        return 1;
    }
    RenderResult result = Render(plugin.empty() ? builtIn.Host() : loaded, request);
    if (!result.error.empty()) {
        std::fprintf(stderr, "vorna render: %s\n", result.error.c_str());
        return 1;
    }
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
