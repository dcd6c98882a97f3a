// vorna audition: every voice of every voice file in the given folders plays one note into a
// short WAV file, and index.html lists them with a player, file by file, so that a whole archive
// can be heard in a browser. Each voice plays in a fresh in-process instance, loaded through the
// plug-in's own readers, so nothing of one voice rings on into the next.

#include "Commands.h"
#include "HtmlText.h"
#include "PluginInstance.h"
#include "RenderSession.h"
#include "Usage.h"
#include "VoiceFiles.h"
#include "VoiceListing.h"
#include "WavWriter.h"
#include "common/NumberText.h"
#include "platform/Files.h"
#include "programs/VoiceConversion.h"
#include "vorn/Vorn.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vorna_tool {

namespace {

constexpr double kRate = 44100.0;
constexpr double kHeldFraction = 0.6;
// Below this peak a voice counts as silent on the page (-60 dBFS).
constexpr double kSilentPeak = 0.001;

struct AuditionSettings {
    std::string outDir;
    double seconds = 1.0;
    int note = 60;
    bool force = false;
};

struct AuditionEntry {
    std::string label; // "01" or "1-01"
    std::string name;
    std::string wavFile;
    double peak = 0.0;
};

struct AuditionSection {
    std::string file;
    std::string problem; // why the file was skipped
    std::vector<AuditionEntry> entries;
};

// A file name as a relative address: everything but letters, digits and - . _ ~ percent-coded.
std::string AddressOf(const std::string& fileName) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string address;
    for (char c : fileName) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            address += c;
        } else {
            address += '%';
            address += kHex[byte >> 4];
            address += kHex[byte & 0x0F];
        }
    }
    return address;
}

std::string PeakText(double peak) {
    if (peak < kSilentPeak) return "silent";
    return common::FormatFixed(20.0 * std::log10(peak), 1) + " dBFS";
}

std::string PageHtml(const std::vector<AuditionSection>& sections, const AuditionSettings& s) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Vorna: audition</title>\n<style>\n"
        "body { font-family: sans-serif; background: #15161a; color: #e8e8e8; margin: 2em; }\n"
        "table { border-collapse: collapse; margin-bottom: 2em; }\n"
        "td, th { padding: 4px 12px; border-bottom: 1px solid #333; text-align: left; }\n"
        "td.name { font-family: monospace; font-size: 1.1em; white-space: pre; }\n"
        ".silent { color: #e07070; }\n</style>\n</head>\n<body>\n<h1>Audition</h1>\n<p>Every "
        "voice plays note " +
        std::to_string(s.note) + " at velocity 100, held for " +
        common::FormatFixed(s.seconds * kHeldFraction, 2) + " s of " +
        common::FormatFixed(s.seconds, 2) + " s.</p>\n";
    for (const AuditionSection& section : sections) {
        html += "<h2>" + EscapeHtml(FileNameOf(section.file)) + "</h2>\n";
        if (!section.problem.empty()) {
            html += "<p class=\"silent\">Not played: " + EscapeHtml(section.problem) + "</p>\n";
            continue;
        }
        html += "<table>\n<tr><th>No.</th><th>Name</th><th>Peak</th><th>Listen</th></tr>\n";
        for (const AuditionEntry& entry : section.entries) {
            const bool silent = entry.peak < kSilentPeak;
            html += std::string("<tr") + (silent ? " class=\"silent\"" : "") + "><td>" +
                    entry.label + "</td><td class=\"name\">" +
                    EscapeHtml(PrintableName(entry.name)) + "</td><td>" + PeakText(entry.peak) +
                    "</td><td><audio controls preload=\"none\" src=\"" + AddressOf(entry.wavFile) +
                    "\"></audio></td></tr>\n";
        }
        html += "</table>\n";
    }
    return html + "</body>\n</html>\n";
}

// Loads the voice into a fresh instance (load), plays the note and writes the WAV file.
template <typename Load>
bool PlayVoice(const AuditionSettings& settings, Load load, AuditionEntry& entry,
               std::string& error) {
    const std::string path = platform::JoinPath(settings.outDir, entry.wavFile);
    std::error_code failed;
    if (!settings.force && std::filesystem::exists(std::filesystem::path(path), failed)) {
        error = path + " exists already; use --force to replace it";
        return false;
    }
    PluginInstance instance;
    if (!instance.Create(error)) return false;
    RenderRequest request;
    request.sampleRate = kRate;
    request.program = load(instance.Plugin());
    if (request.program < 0) {
        error = "the plug-in cannot load it";
        return false;
    }
    request.frames = static_cast<std::int64_t>(std::lround(settings.seconds * kRate));
    const auto release =
        static_cast<std::int64_t>(std::lround(settings.seconds * kHeldFraction * kRate));
    const auto note = static_cast<std::uint8_t>(settings.note);
    request.events = {{0, 0x90, note, 100}, {release, 0x80, note, 64}};
    const RenderResult result = Render(instance.Host(), request);
    if (!result.error.empty()) {
        error = result.error;
        return false;
    }
    entry.peak = MeasureLevels(result).peak;
    return WriteStereoWav(path, result.left, result.right, static_cast<int>(kRate), false, error);
}

// Plays every voice of one file; false with the reason when the file cannot be played at all.
bool AuditionFile(const std::string& file, const AuditionSettings& settings,
                  AuditionSection& section, std::string& error) {
    const ListedFile listed = ListVoiceFile(file);
    if (!listed.error.empty()) {
        error = listed.error;
        return false;
    }
    const std::string prefix =
        FileNameForVoice(FileNameOf(file)) + "-"; // the extension stays: a.syx and a.fxb differ
    std::vector<programs::VoiceRecord> records;
    int count = 0;
    if (listed.type == VoiceFileType::SysEx) {
        if (!ReadLoadableVoices(file, records, error)) return false;
        count = static_cast<int>(records.size());
    } else {
        count = static_cast<int>(listed.programs.size());
    }
    for (int i = 0; i < count; ++i) {
        AuditionEntry entry;
        bool played = false;
        if (listed.type == VoiceFileType::SysEx) {
            const programs::VoiceRecord& record = records[static_cast<std::size_t>(i)];
            entry.label = TwoDigits(i + 1);
            entry.name = programs::VoiceName(record);
            entry.wavFile = prefix + entry.label + ".wav";
            played = PlayVoice(
                settings,
                [&record](vorn::Vorn& plugin) {
                    const int current = plugin.CurrentPresetIndex();
                    plugin.VoiceToProgram(current, record);
                    return plugin.RecallPreset(current) ? current : -1;
                },
                entry, error);
        } else if (listed.type == VoiceFileType::Bank) {
            entry.label = std::to_string(i / 48 + 1) + "-" + TwoDigits(i % 48 + 1);
            entry.name = listed.programs[static_cast<std::size_t>(i)].name;
            entry.wavFile = prefix + entry.label + ".wav";
            played = PlayVoice(
                settings,
                [&file, i](vorn::Vorn& plugin) { return plugin.LoadBankFile(file) ? i : -1; },
                entry, error);
        } else {
            entry.label = "01";
            entry.name = listed.programs.front().name;
            entry.wavFile = prefix + entry.label + ".wav";
            played = PlayVoice(
                settings,
                [&file](vorn::Vorn& plugin) {
                    return plugin.LoadProgramFile(file) ? plugin.CurrentPresetIndex() : -1;
                },
                entry, error);
        }
        if (!played) {
            error = "voice " + entry.label + ": " + error;
            return false;
        }
        section.entries.push_back(entry);
    }
    return true;
}

bool ParseSetting(const std::string& option, const std::string& text, AuditionSettings& s) {
    std::size_t used = 0;
    const double value = common::ParseDouble(text.c_str(), &used);
    if (used == 0 || used != text.size() || !std::isfinite(value)) return false;
    if (option == "--seconds") {
        if (value < 0.2 || value > 10.0) return false;
        s.seconds = value;
        return true;
    }
    if (value < 0 || value > 127 || value != std::floor(value)) return false;
    s.note = static_cast<int>(value);
    return true;
}

} // namespace

int RunAudition(const std::vector<std::string>& arguments) {
    AuditionSettings settings;
    std::vector<std::string> folders;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--out-dir" && hasValue) {
            settings.outDir = arguments[++i];
        } else if ((a == "--seconds" || a == "--note") && hasValue) {
            if (!ParseSetting(a, arguments[++i], settings)) {
                std::fprintf(stderr, "vorna audition: %s\n",
                             a == "--seconds" ? "--seconds takes a length from 0.2 to 10"
                                              : "--note takes a MIDI note from 0 to 127");
                return 2;
            }
        } else if (a == "--force") {
            settings.force = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "vorna audition: unknown or incomplete option %s\n", a.c_str());
            PrintUsage("audition", stderr);
            return 2;
        } else {
            folders.push_back(a);
        }
    }
    if (folders.empty() || settings.outDir.empty()) {
        PrintUsage("audition", stderr);
        return 2;
    }
    if (!WavOutputAvailable()) {
        std::string error;
        WriteStereoWav(settings.outDir, {}, {}, 0, false, error);
        std::fprintf(stderr, "vorna audition: %s\n", error.c_str());
        return 1;
    }
    const std::string indexPath = platform::JoinPath(settings.outDir, "index.html");
    std::error_code failed;
    if (!settings.force && std::filesystem::exists(std::filesystem::path(indexPath), failed)) {
        std::fprintf(stderr, "vorna audition: %s exists already; use --force to replace it\n",
                     indexPath.c_str());
        return 1;
    }
    std::filesystem::create_directories(std::filesystem::path(settings.outDir), failed);
    if (!std::filesystem::is_directory(std::filesystem::path(settings.outDir), failed)) {
        std::fprintf(stderr, "vorna audition: cannot create the folder %s\n",
                     settings.outDir.c_str());
        return 1;
    }
    const std::vector<std::string> files = ExpandVoiceFiles(folders);
    if (files.empty()) {
        std::fprintf(stderr, "vorna audition: no voice files (.syx, .fxb, .fxp) found\n");
        return 1;
    }
    std::vector<AuditionSection> sections;
    std::size_t wavCount = 0, skipped = 0;
    for (const std::string& file : files) {
        AuditionSection section;
        section.file = file;
        std::string error;
        if (AuditionFile(file, settings, section, error)) {
            std::size_t silent = 0;
            for (const AuditionEntry& entry : section.entries) silent += entry.peak < kSilentPeak;
            std::printf("%s: %zu voice%s", file.c_str(), section.entries.size(),
                        section.entries.size() == 1 ? "" : "s");
            if (silent) std::printf(" (%zu silent)", silent);
            std::printf("\n");
        } else {
            ++skipped;
            section.problem = error;
            std::printf("%s: skipped: %s\n", file.c_str(), error.c_str());
        }
        wavCount += section.entries.size();
        sections.push_back(section);
    }
    const std::string html = PageHtml(sections, settings);
    if (!platform::WriteFileSafely(indexPath, html.data(), html.size())) {
        std::fprintf(stderr, "vorna audition: cannot write %s\n", indexPath.c_str());
        return 1;
    }
    std::printf("Wrote %zu WAV files and %s", wavCount, indexPath.c_str());
    if (skipped) std::printf("; skipped %zu file%s", skipped, skipped == 1 ? "" : "s");
    std::printf("\n");
    return skipped ? 1 : 0;
}

} // namespace vorna_tool
