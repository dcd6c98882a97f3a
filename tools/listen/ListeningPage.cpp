#include "ListeningPage.h"

#include "ListenPhrase.h"
#include "PluginHost.h"
#include "Spectrogram.h"
#include "WavWriter.h"
#include "graphics/PngCodec.h"
#include "host/FxbFile.h"
#include "platform/Files.h"
#include "programs/FactoryBanks.h"
#include "vst2/VstEntry.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace listen {

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

struct Render {
    std::vector<float> left;
    std::vector<float> right;
};

Render Play(hostkit::PluginHost& host, const Phrase& phrase) {
    Render render;
    render.left.assign(static_cast<std::size_t>(phrase.frames), 0.0f);
    render.right.assign(static_cast<std::size_t>(phrase.frames), 0.0f);
    vst2::AEffect* effect = host.Effect();
    std::vector<float> input(kBlock, 0.0f);
    std::vector<vst2::VstMidiEvent> due;
    std::size_t next = 0;
    for (std::int64_t start = 0; start < phrase.frames; start += kBlock) {
        int size = static_cast<int>(std::min<std::int64_t>(kBlock, phrase.frames - start));
        due.clear();
        while (next < phrase.events.size() && phrase.events[next].frame < start + size) {
            const PhraseEvent& note = phrase.events[next++];
            vst2::VstMidiEvent event{};
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = static_cast<vst2::Int32>(note.frame - start);
            event.midiData[0] = static_cast<char>(note.status);
            event.midiData[1] = static_cast<char>(note.data1);
            event.midiData[2] = static_cast<char>(note.data2);
            due.push_back(event);
        }
        if (!due.empty()) host.SendEvents(due);
        float* inputs[1] = {input.data()};
        float* outputs[2] = {render.left.data() + start, render.right.data() + start};
        effect->processReplacing(effect, inputs, outputs, size);
        host.calls.clear();
    }
    return render;
}

// 1 to 48 as "01" to "48".
std::string TwoDigits(int number) {
    return std::string(1, static_cast<char>('0' + number / 10 % 10)) +
           static_cast<char>('0' + number % 10);
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
    if (platform::WriteFileSafely(path, text.data(), text.size())) return true;
    error = "cannot write " + path;
    return false;
}

} // namespace

std::vector<std::string> ReadFamilies(const std::string& manifestPath) {
    std::vector<std::uint8_t> bytes;
    if (manifestPath.empty() || !platform::ReadWholeFile(manifestPath, bytes)) return {};
    std::vector<std::string> families;
    std::string text(bytes.begin(), bytes.end());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        // The family is the seventh column.
        std::size_t tab = std::string::npos;
        std::size_t from = 0;
        for (int column = 0; column < 6; ++column) {
            tab = line.find('\t', from);
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        families.push_back(tab == std::string::npos ? "" : line.substr(from));
    }
    return families;
}

std::string PageHtml(const std::vector<PageEntry>& entries) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Vorna: Factory Sounds, voice bank 1</title>\n<style>\n"
        "body { font-family: sans-serif; background: #15161a; color: #e8e8e8; margin: 2em; }\n"
        "table { border-collapse: collapse; }\n"
        "td, th { padding: 6px 12px; border-bottom: 1px solid #333; text-align: left; }\n"
        "td.name { font-family: monospace; font-size: 1.2em; white-space: pre; }\n"
        "img { display: block; height: 150px; }\n</style>\n</head>\n<body>\n"
        "<h1>Factory Sounds, voice bank 1</h1>\n"
        "<p>Every program plays the same phrase: middle C held for a second and let go, a rising "
        "arpeggio from C3 to G5, and a chord of five notes held for a second. The pictures show "
        "frequency (40 Hz to 16 kHz, lines at 100 Hz, 1 kHz and 10 kHz) over time (a line every "
        "second).</p>\n<table>\n<tr><th>No.</th><th>Name</th><th>Family</th><th>Listen</th>"
        "<th>Spectrogram</th></tr>\n";
    for (const PageEntry& entry : entries) {
        html += "<tr><td>" + TwoDigits(entry.program + 1) + "</td><td class=\"name\">" +
                EscapeHtml(entry.name) + "</td><td>" + EscapeHtml(entry.family) +
                "</td><td><audio controls preload=\"none\" src=\"" + EscapeHtml(entry.wavFile) +
                "\"></audio></td><td><img src=\"" + EscapeHtml(entry.pngFile) + "\" alt=\"" +
                "spectrogram of " + EscapeHtml(entry.name) + "\"></td></tr>\n";
    }
    html += "</table>\n</body>\n</html>\n";
    return html;
}

bool WriteListeningPage(const PageRequest& request, std::vector<PageEntry>& entries,
                        std::string& error) {
    entries.clear();
    if (request.count < 1 || request.count > 48) {
        error = "the number of programs must be 1 to 48";
        return false;
    }
    std::error_code failed;
    std::filesystem::create_directories(request.folder, failed);
    if (failed || !std::filesystem::is_directory(request.folder)) {
        error = "cannot create the folder " + request.folder;
        return false;
    }
    // The factory image itself is given to every instance, so a start-up bank chosen by the user
    // running the tool does not take its place.
    platform::Resource image;
    if (!programs::FindFactoryImage(programs::kFactorySoundsIndex, image) ||
        image.size <= host::kBankChunkOffset) {
        error = "the factory sounds are not embedded";
        return false;
    }
    std::vector<std::uint8_t> chunk(image.data + host::kBankChunkOffset, image.data + image.size);
    const std::vector<std::string> families = ReadFamilies(request.manifestPath);
    const Phrase phrase = ListeningPhrase(kRate);
    SpectrogramLayout layout;
    layout.sampleRate = kRate;

    hostkit::PluginHost host;
    for (int program = 0; program < request.count; ++program) {
        if (!host.UseEntry(&VSTPluginMain)) {
            error = host.Error();
            return false;
        }
        host.Open(kRate, kBlock);
        if (host.Dispatch(vst2::effSetChunk, 0, static_cast<vst2::IntPtr>(chunk.size()),
                          chunk.data()) != 1) {
            error = "the plug-in refused the factory bank";
            return false;
        }
        host.Dispatch(vst2::effSetProgram, 0, program);
        PageEntry entry;
        entry.program = program;
        entry.name = host.DispatchText(vst2::effGetProgramNameIndexed, program);
        if (static_cast<std::size_t>(program) < families.size())
            entry.family = families[static_cast<std::size_t>(program)];
        entry.wavFile = "program-" + TwoDigits(program + 1) + ".wav";
        entry.pngFile = "program-" + TwoDigits(program + 1) + ".png";

        Render render = Play(host, phrase);
        if (!vorna_tool::WriteStereoWav(platform::JoinPath(request.folder, entry.wavFile),
                                        render.left, render.right, static_cast<int>(kRate), false,
                                        error))
            return false;
        std::vector<float> mono(render.left.size());
        for (std::size_t i = 0; i < mono.size(); ++i)
            mono[i] = 0.5f * (render.left[i] + render.right[i]);
        std::vector<std::uint8_t> png;
        if (!graphics::EncodePng(DrawSpectrogram(SpectrogramLevels(mono, layout), layout), png) ||
            !platform::WriteFileSafely(platform::JoinPath(request.folder, entry.pngFile),
                                       png.data(), png.size())) {
            error = "cannot write " + platform::JoinPath(request.folder, entry.pngFile);
            return false;
        }
        entries.push_back(entry);
    }
    return WriteText(platform::JoinPath(request.folder, "index.html"), PageHtml(entries), error);
}

} // namespace listen
