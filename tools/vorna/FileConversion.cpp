#include "FileConversion.h"

#include "PluginInstance.h"
#include "VoiceFiles.h"
#include "VoiceListing.h"
#include "platform/Files.h"
#include "programs/ProgramNumbering.h"
#include "programs/VoiceConversion.h"
#include "vorn/Vorn.h"

#include <filesystem>
#include <system_error>

namespace vorna_tool {

namespace fs = std::filesystem;

namespace {

// The files a conversion is about to write. Nothing is written until every target is known to be
// free (or --force was given); on failure the files this conversion created are removed again.
class OutputPlan {
public:
    explicit OutputPlan(bool force) : force_(force) {}

    bool Add(const std::string& path, std::string& error) {
        std::error_code failed;
        const bool exists = fs::exists(fs::path(path), failed);
        if (exists && fs::is_directory(fs::path(path), failed)) {
            error = path + " is a folder";
            return false;
        }
        if (exists && !force_) {
            error = path + " exists already; use --force to replace it";
            return false;
        }
        const std::string folder = platform::FolderOfPath(path);
        if (!folder.empty() && !createdFolder_ && !fs::is_directory(fs::path(folder), failed)) {
            error = "the folder " + folder + " does not exist (or is not a folder)";
            return false;
        }
        targets_.push_back(path);
        existed_.push_back(exists);
        return true;
    }

    // The folder a folder of program files goes into, created when missing.
    bool UseFolder(const std::string& folder, std::string& error) {
        std::error_code failed;
        if (fs::is_directory(fs::path(folder), failed)) return true;
        if (fs::exists(fs::path(folder), failed)) {
            error = folder + " exists and is not a folder";
            return false;
        }
        if (!fs::create_directory(fs::path(folder), failed) || failed) {
            error = "cannot create the folder " + folder;
            return false;
        }
        createdFolder_ = true;
        folder_ = folder;
        return true;
    }

    const std::vector<std::string>& Targets() const { return targets_; }

    // Removes what this conversion created; files it replaced stay replaced (each is whole).
    void Undo(std::size_t writtenCount) {
        std::error_code ignored;
        for (std::size_t i = 0; i < writtenCount && i < targets_.size(); ++i)
            if (!existed_[i]) fs::remove(fs::path(targets_[i]), ignored);
        if (createdFolder_) fs::remove(fs::path(folder_), ignored);
    }

private:
    bool force_;
    bool createdFolder_ = false;
    std::string folder_;
    std::vector<std::string> targets_;
    std::vector<bool> existed_;
};

std::string WriteFailure(const std::string& path) {
    return "cannot write " + path +
           " (the folder does not accept new files, or the disk is full); nothing was written";
}

// Runs one save of the plug-in per target; the first failure undoes the others.
template <typename Save>
ConversionOutcome WriteAll(OutputPlan& plan, vorn::Vorn& plugin, Save save) {
    ConversionOutcome outcome;
    const std::vector<std::string>& targets = plan.Targets();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (!save(plugin, targets[i], static_cast<int>(i))) {
            plan.Undo(i);
            outcome.error = WriteFailure(targets[i]);
            return outcome;
        }
    }
    outcome.ok = true;
    outcome.written = targets;
    return outcome;
}

// Every program becomes the plug-in's initialised program ("Init", every parameter at its
// default), so that a bank made from a dump holds nothing but the dump and neutral programs.
void InitializeAllPrograms(vorn::Vorn& plugin) {
    plugin.InitializeProgram();
    const int current = plugin.CurrentPresetIndex();
    for (int i = 0; i < plugin.PresetCount(); ++i) {
        if (i == current) continue;
        host::Preset& preset = plugin.GetPreset(i);
        preset.initialised = true;
        preset.name = plugin.PresetName(current);
        preset.state.Clear();
        plugin.WriteStateFor(i, preset.state);
    }
}

ConversionOutcome FromSysEx(const std::string& input, const std::string& output, OutputForm form,
                            const ConversionOptions& options, PluginInstance& instance,
                            OutputPlan& plan) {
    ConversionOutcome refused;
    std::vector<programs::VoiceRecord> records;
    if (!ReadLoadableVoices(input, records, refused.error)) {
        refused.error = input + ": " + refused.error;
        return refused;
    }
    vorn::Vorn& plugin = instance.Plugin();
    if (options.voice > 0 && form != OutputForm::Program) {
        refused.error = "--voice chooses the voice of a single .fxp output (" + output + ")";
        return refused;
    }
    if (form == OutputForm::Bank) {
        if (!plan.Add(output, refused.error)) return refused;
        const int base = (options.bank > 0 ? options.bank - 1 : 0) * programs::kVoiceBankSize;
        InitializeAllPrograms(plugin);
        for (std::size_t i = 0; i < records.size(); ++i)
            plugin.VoiceToProgram(base + static_cast<int>(i), records[i]);
        plugin.RecallPreset(base);
        return WriteAll(plan, plugin, [](vorn::Vorn& p, const std::string& path, int) {
            return p.SaveBankFile(path);
        });
    }
    std::vector<programs::VoiceRecord> chosen = records;
    if (form == OutputForm::Program) {
        if (options.voice > 0) {
            if (options.voice > static_cast<int>(records.size())) {
                refused.error = input + " holds " + std::to_string(records.size()) +
                                " voice(s); there is no voice " + std::to_string(options.voice);
                return refused;
            }
            chosen = {records[static_cast<std::size_t>(options.voice - 1)]};
        } else if (records.size() > 1) {
            refused.error = input + " holds " + std::to_string(records.size()) +
                            " voices: name a folder as the output for one .fxp file per voice, "
                            "or choose one with --voice N";
            return refused;
        }
        if (!plan.Add(output, refused.error)) return refused;
    } else {
        if (!plan.UseFolder(output, refused.error)) return refused;
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            const std::string name = TwoDigits(static_cast<int>(i) + 1) + " " +
                                     FileNameForVoice(programs::VoiceName(chosen[i])) + ".fxp";
            if (!plan.Add(platform::JoinPath(output, name), refused.error)) {
                plan.Undo(0);
                return refused;
            }
        }
    }
    return WriteAll(plan, plugin, [&chosen](vorn::Vorn& p, const std::string& path, int i) {
        const int current = p.CurrentPresetIndex();
        p.VoiceToProgram(current, chosen[static_cast<std::size_t>(i)]);
        return p.RecallPreset(current) && p.SaveProgramFile(path);
    });
}

ConversionOutcome FromBank(const std::string& input, const std::string& output,
                           const ConversionOptions& options, PluginInstance& instance,
                           OutputPlan& plan) {
    ConversionOutcome refused;
    const ListedFile listed = ListVoiceFile(input);
    if (!listed.error.empty()) {
        refused.error = input + ": " + listed.error;
        return refused;
    }
    const int programCount = static_cast<int>(listed.programs.size());
    const int bankCount = (programCount + programs::kVoiceBankSize - 1) / programs::kVoiceBankSize;
    std::vector<int> banks;
    if (options.bank > 0) {
        if (options.bank > bankCount) {
            refused.error = input + " holds " + std::to_string(bankCount) +
                            " voice bank(s); there is no voice bank " +
                            std::to_string(options.bank);
            return refused;
        }
        banks.push_back(options.bank);
        if (!plan.Add(output, refused.error)) return refused;
    } else {
        const std::string folder = platform::FolderOfPath(output);
        const std::string stem = FileStemOf(output);
        for (int bank = 1; bank <= bankCount; ++bank) {
            banks.push_back(bank);
            const std::string name = stem + "-bank" + std::to_string(bank) + ".syx";
            if (!plan.Add(folder.empty() ? name : platform::JoinPath(folder, name), refused.error))
                return refused;
        }
    }
    vorn::Vorn& plugin = instance.Plugin();
    if (!plugin.LoadBankFile(input)) {
        refused.error = input + " cannot be loaded by the plug-in";
        return refused;
    }
    return WriteAll(plan, plugin, [&banks](vorn::Vorn& p, const std::string& path, int i) {
        const int base = (banks[static_cast<std::size_t>(i)] - 1) * programs::kVoiceBankSize;
        return p.RecallPreset(base) && p.SaveBankSysExFile(path, 0);
    });
}

ConversionOutcome FromProgram(const std::string& input, const std::string& output,
                              PluginInstance& instance, OutputPlan& plan) {
    ConversionOutcome refused;
    const ListedFile listed = ListVoiceFile(input);
    if (!listed.error.empty()) {
        refused.error = input + ": " + listed.error;
        return refused;
    }
    if (!plan.Add(output, refused.error)) return refused;
    vorn::Vorn& plugin = instance.Plugin();
    if (!plugin.LoadProgramFile(input)) {
        refused.error = input + " cannot be loaded by the plug-in";
        return refused;
    }
    return WriteAll(plan, plugin, [](vorn::Vorn& p, const std::string& path, int) {
        return p.SaveVoiceSysExFile(path);
    });
}

bool CanConvert(VoiceFileType type, OutputForm form) {
    switch (type) {
    case VoiceFileType::SysEx:
        return form != OutputForm::SysEx;
    case VoiceFileType::Bank:
    case VoiceFileType::Program:
        return form == OutputForm::SysEx;
    case VoiceFileType::None:
        break;
    }
    return false;
}

} // namespace

const char* FormText(OutputForm form) {
    switch (form) {
    case OutputForm::SysEx:
        return "a .syx file";
    case OutputForm::Bank:
        return "an .fxb file";
    case OutputForm::Program:
        return "an .fxp file";
    case OutputForm::ProgramFolder:
        return "a folder of .fxp files";
    }
    return "";
}

OutputForm OutputFormOf(const std::string& path) {
    switch (VoiceFileTypeOf(path)) {
    case VoiceFileType::SysEx:
        return OutputForm::SysEx;
    case VoiceFileType::Bank:
        return OutputForm::Bank;
    case VoiceFileType::Program:
        return OutputForm::Program;
    case VoiceFileType::None:
        break;
    }
    return OutputForm::ProgramFolder;
}

OutputForm DefaultOutputForm(const std::string& input) {
    return VoiceFileTypeOf(input) == VoiceFileType::SysEx ? OutputForm::Bank : OutputForm::SysEx;
}

std::string OutputPathIn(const std::string& folder, const std::string& input, OutputForm form) {
    if (!CanConvert(VoiceFileTypeOf(input), form)) return "";
    const std::string stem = FileStemOf(input);
    switch (form) {
    case OutputForm::SysEx:
        return platform::JoinPath(folder, stem + ".syx");
    case OutputForm::Bank:
        return platform::JoinPath(folder, stem + ".fxb");
    case OutputForm::Program:
        return platform::JoinPath(folder, stem + ".fxp");
    case OutputForm::ProgramFolder:
        return platform::JoinPath(folder, stem);
    }
    return "";
}

ConversionOutcome ConvertVoiceFile(const std::string& input, const std::string& output,
                                   const ConversionOptions& options) {
    ConversionOutcome refused;
    const VoiceFileType type = VoiceFileTypeOf(input);
    const OutputForm form = OutputFormOf(output);
    if (type == VoiceFileType::None) {
        refused.error = input + " is not a voice file (.syx, .fxb or .fxp)";
        return refused;
    }
    if (!CanConvert(type, form)) {
        refused.error = std::string("a .") + VoiceFileTypeName(type) + " file cannot become " +
                        FormText(form) + " (" + output + ")";
        return refused;
    }
    PluginInstance instance;
    if (!instance.Create(refused.error)) return refused;
    OutputPlan plan(options.force);
    if (type == VoiceFileType::SysEx)
        return FromSysEx(input, output, form, options, instance, plan);
    if (type == VoiceFileType::Bank) return FromBank(input, output, options, instance, plan);
    return FromProgram(input, output, instance, plan);
}

} // namespace vorna_tool
