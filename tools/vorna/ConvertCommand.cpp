// vorna convert: one file into another by their extensions, or many files into a folder with a
// line per file and a summary of what was converted and what was skipped, and why.

#include "Commands.h"
#include "FileConversion.h"
#include "Usage.h"
#include "VoiceFiles.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vorna_tool {

namespace {

bool ParseWholeNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 3) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

bool ParseForm(const std::string& text, OutputForm& form) {
    if (text == "syx")
        form = OutputForm::SysEx;
    else if (text == "fxb")
        form = OutputForm::Bank;
    else if (text == "fxp")
        form = OutputForm::ProgramFolder;
    else
        return false;
    return true;
}

int ConvertOne(const std::string& input, const std::string& output,
               const ConversionOptions& options) {
    const ConversionOutcome outcome = ConvertVoiceFile(input, output, options);
    if (!outcome.ok) {
        std::fprintf(stderr, "vorna convert: %s\n", outcome.error.c_str());
        return 1;
    }
    for (const std::string& written : outcome.written)
        std::printf("%s -> %s\n", input.c_str(), written.c_str());
    return 0;
}

int ConvertInto(const std::vector<std::string>& inputs, const std::string& folder, bool formGiven,
                OutputForm form, const ConversionOptions& options) {
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(folder), failed);
    if (!std::filesystem::is_directory(std::filesystem::path(folder), failed)) {
        std::fprintf(stderr, "vorna convert: cannot create the folder %s\n", folder.c_str());
        return 1;
    }
    const std::vector<std::string> files = ExpandVoiceFiles(inputs);
    if (files.empty()) {
        std::fprintf(stderr, "vorna convert: no voice files (.syx, .fxb, .fxp) found\n");
        return 1;
    }
    std::vector<std::string> skipped;
    int converted = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& input = files[i];
        const OutputForm wanted = formGiven ? form : DefaultOutputForm(input);
        std::string output = OutputPathIn(folder, input, wanted);
        ConversionOutcome outcome;
        if (output.empty())
            outcome.error = input + " cannot become " + FormText(wanted);
        else
            outcome = ConvertVoiceFile(input, output, options);
        std::printf("[%zu/%zu] ", i + 1, files.size());
        if (outcome.ok) {
            ++converted;
            std::printf("%s -> %s", input.c_str(), outcome.written.front().c_str());
            if (outcome.written.size() > 1)
                std::printf(" and %zu more files", outcome.written.size() - 1);
            std::printf("\n");
        } else {
            std::printf("skipped: %s\n", outcome.error.c_str());
            skipped.push_back(outcome.error);
        }
    }
    std::printf("Converted %d of %zu file%s", converted, files.size(),
                files.size() == 1 ? "" : "s");
    if (skipped.empty()) {
        std::printf(".\n");
        return 0;
    }
    std::printf("; skipped %zu:\n", skipped.size());
    for (const std::string& reason : skipped) std::printf("  %s\n", reason.c_str());
    return 1;
}

} // namespace

int RunConvert(const std::vector<std::string>& arguments) {
    ConversionOptions options;
    std::string outDir;
    bool formGiven = false;
    OutputForm form = OutputForm::Bank;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--force") {
            options.force = true;
        } else if (a == "--out-dir" && hasValue) {
            outDir = arguments[++i];
        } else if (a == "--to" && hasValue) {
            if (!ParseForm(arguments[++i], form)) {
                std::fprintf(stderr, "vorna convert: --to takes syx, fxb or fxp, not \"%s\"\n",
                             arguments[i].c_str());
                return 2;
            }
            formGiven = true;
        } else if (a == "--bank" && hasValue) {
            if (!ParseWholeNumber(arguments[++i], 1, 7, options.bank)) {
                std::fprintf(stderr, "vorna convert: --bank takes a voice bank from 1 to 7\n");
                return 2;
            }
        } else if (a == "--voice" && hasValue) {
            if (!ParseWholeNumber(arguments[++i], 1, 48, options.voice)) {
                std::fprintf(stderr, "vorna convert: --voice takes a voice from 1 to 48\n");
                return 2;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "vorna convert: unknown or incomplete option %s\n", a.c_str());
            PrintUsage("convert", stderr);
            return 2;
        } else {
            paths.push_back(a);
        }
    }
    if (!outDir.empty()) {
        if (paths.empty()) {
            PrintUsage("convert", stderr);
            return 2;
        }
        return ConvertInto(paths, outDir, formGiven, form, options);
    }
    if (paths.size() != 2 || formGiven) {
        std::fprintf(stderr, "vorna convert: give IN and OUT, or inputs and --out-dir DIR%s\n",
                     formGiven ? " (--to goes with --out-dir)" : "");
        PrintUsage("convert", stderr);
        return 2;
    }
    return ConvertOne(paths[0], paths[1], options);
}

} // namespace vorna_tool
