// vorna list: what each voice file holds, as text or as JSON. A file that cannot be read gets one
// line saying what is wrong and where; the other files are listed all the same.

#include "Commands.h"
#include "JsonText.h"
#include "Usage.h"
#include "VoiceListing.h"

#include <cstdio>

namespace vorna_tool {

namespace {

void PrintText(const ListedFile& file) {
    if (!file.error.empty()) {
        std::printf("%s: error: %s\n", file.path.c_str(), file.error.c_str());
        return;
    }
    if (file.type == VoiceFileType::SysEx) {
        std::printf("%s: %zu message%s\n", file.path.c_str(), file.messages.size(),
                    file.messages.size() == 1 ? "" : "s");
        for (std::size_t m = 0; m < file.messages.size(); ++m) {
            const ListedMessage& message = file.messages[m];
            std::printf("  message %zu at byte %zu (%zu bytes): %s", m + 1, message.offset,
                        message.size, SysExKindText(message.kind));
            if (!message.voices.empty())
                std::printf(", %zu voice%s", message.voices.size(),
                            message.voices.size() == 1 ? "" : "s");
            if (!message.problem.empty()) std::printf(": %s", message.problem.c_str());
            std::printf("\n");
            for (const ListedVoice& voice : message.voices)
                std::printf("    %2d  %-10s algorithm %d  feedback %d\n", voice.number,
                            PrintableName(voice.name).c_str(), voice.algorithm, voice.feedback);
        }
    } else {
        std::printf("%s: %zu program%s\n", file.path.c_str(), file.programs.size(),
                    file.programs.size() == 1 ? "" : "s");
        for (const ListedProgram& program : file.programs) {
            if (file.type == VoiceFileType::Bank)
                std::printf("  %3d  %d-%s  %s%s\n", program.index, program.index / 48 + 1,
                            TwoDigits(program.index % 48 + 1).c_str(),
                            PrintableName(program.name).c_str(),
                            program.initialised ? "" : " (empty)");
            else
                std::printf("  %s\n", PrintableName(program.name).c_str());
        }
    }
    for (const std::string& warning : file.warnings)
        std::printf("  warning: %s\n", warning.c_str());
}

std::string Json(const ListedFile& file) {
    std::string json = "{\"path\": " + JsonString(file.path) +
                       ", \"type\": " + JsonString(VoiceFileTypeName(file.type));
    if (!file.error.empty()) return json + ", \"error\": " + JsonString(file.error) + "}";
    json += ", \"warnings\": [";
    for (std::size_t i = 0; i < file.warnings.size(); ++i)
        json += (i ? ", " : "") + JsonString(file.warnings[i]);
    json += "]";
    if (file.type == VoiceFileType::SysEx) {
        json += ", \"messages\": [";
        for (std::size_t m = 0; m < file.messages.size(); ++m) {
            const ListedMessage& message = file.messages[m];
            json += std::string(m ? ", " : "") + "{\"offset\": " + std::to_string(message.offset) +
                    ", \"size\": " + std::to_string(message.size) +
                    ", \"kind\": " + JsonString(SysExKindText(message.kind));
            if (!message.problem.empty()) json += ", \"problem\": " + JsonString(message.problem);
            json += ", \"voices\": [";
            for (std::size_t v = 0; v < message.voices.size(); ++v) {
                const ListedVoice& voice = message.voices[v];
                json += std::string(v ? ", " : "") +
                        "{\"number\": " + std::to_string(voice.number) +
                        ", \"name\": " + JsonString(voice.name) +
                        ", \"algorithm\": " + std::to_string(voice.algorithm) +
                        ", \"feedback\": " + std::to_string(voice.feedback) + "}";
            }
            json += "]}";
        }
        json += "]";
    } else {
        json += ", \"programs\": [";
        for (std::size_t p = 0; p < file.programs.size(); ++p) {
            const ListedProgram& program = file.programs[p];
            json += std::string(p ? ", " : "") + "{\"index\": " + std::to_string(program.index) +
                    ", \"name\": " + JsonString(program.name) +
                    ", \"initialised\": " + (program.initialised ? "true" : "false") + "}";
        }
        json += "]";
    }
    return json + "}";
}

} // namespace

int RunList(const std::vector<std::string>& arguments) {
    bool json = false;
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        if (argument == "--json") {
            json = true;
        } else if (IsHelpOption(argument)) {
            PrintUsage("list", stdout);
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "vorna list: unknown option %s\n", argument.c_str());
            PrintUsage("list", stderr);
            return 2;
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.empty()) {
        PrintUsage("list", stderr);
        return 2;
    }
    bool allRead = true;
    std::string out = "{\"files\": [";
    bool first = true;
    for (const std::string& path : ExpandVoiceFiles(paths)) {
        const ListedFile file = ListVoiceFile(path);
        allRead = allRead && file.error.empty();
        if (json) {
            out += (first ? "\n  " : ",\n  ") + Json(file);
            first = false;
        } else {
            PrintText(file);
        }
    }
    if (json) std::printf("%s\n]}\n", out.c_str());
    return allRead ? 0 : 1;
}

} // namespace vorna_tool
