// The FB-01 side of the instrument: SysEx received from the host, voice and bank dumps applied to
// the programs, the current program sent as a voice dump, parameter changes in both directions,
// and the SysEx file commands.

#include "vorn/Vorn.h"

#include "platform/Files.h"
#include "programs/ParamChangeSysEx.h"
#include "programs/SysExFiles.h"
#include "programs/VoiceConversion.h"

namespace vorn {

namespace {

constexpr const char* kBankQuestion = "This SysEx file contains a full Voice Bank.\nDo you really "
                                      "want to overwrite all programs in the current Voice Bank?";
constexpr const char* kBankQuestionCaption = "Load SysEx Voice Bank";
constexpr const char* kConfigurationText =
    "This file contains FB-01 configuration data and will not be loaded.";
constexpr const char* kConfigurationCaption = "FB-01 Configuration SysEx";
constexpr const char* kLoadFailedText = "Cannot load file!";
constexpr const char* kSaveFailedText = "Cannot save file!";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kSysExExtension = "syx";
constexpr const char* kBankFileName = "Vorna";
constexpr const char* kFolderOnlyName = "[file name is ignored]";

} // namespace

programs::ParamValues Vorn::CurrentParamValues() const {
    programs::ParamValues values{};
    for (int i = 0; i < engine::kParamCount && i < ParamCount(); ++i)
        values[static_cast<std::size_t>(i)] = GetParam(i).Value();
    return values;
}

int Vorn::CurrentBankBase() const {
    return CurrentPresetIndex() / programs::kBankVoiceCount * programs::kBankVoiceCount;
}

// --- Receiving -------------------------------------------------------------------------------

void Vorn::HandleSysExNow(const host::SysExMessage& message) {
    platform::ScopedLock lock(Mutex());
    if (!message.bytes || message.size <= 0) return;
    // The host's bytes are valid only during this call; the receive buffer keeps a copy, so a
    // message the host splits into several events is applied once, when its F7 arrives.
    if (sysExReceive_.Add(message.bytes, static_cast<std::size_t>(message.size))) {
        const programs::Bytes& received = sysExReceive_.Message();
        ApplySysEx(received.data(), received.size());
    }
}

bool Vorn::SysExReplacesBank(const host::SysExMessage& message) {
    if (!message.bytes || message.size <= 0) return false;
    return programs::IsBankDump(
        programs::ClassifySysEx(message.bytes, static_cast<std::size_t>(message.size)));
}

bool Vorn::ApplySysEx(const std::uint8_t* data, std::size_t size) {
    platform::ScopedLock lock(Mutex());
    // A byte with bit 7 set inside refuses the message whole, before anything is read from it:
    // the block checksums keep seven bits and would let it through into names and sounds.
    if (!programs::HasOnlyDataBytes(data, size)) return false;
    const programs::SysExKind kind = programs::ClassifySysEx(data, size);
    if (kind == programs::SysExKind::ParamChange) {
        if (size < 8) return false;
        ReceiveParamChange(data[5], programs::ParamChangeData(data[6], data[7]));
        return true;
    }
    if (kind != programs::SysExKind::SingleVoice && !programs::IsBankDump(kind)) return false;

    // Every block is checked before the first program is written.
    std::vector<programs::VoiceRecord> records;
    if (!programs::ParseVoiceBlocks(data, size, records)) return false;
    if (kind == programs::SysExKind::SingleVoice) {
        VoiceToProgram(CurrentPresetIndex(), records[0]);
    } else {
        // Whatever bank number the dump carries, it fills the bank that holds the current program.
        const int base = CurrentBankBase();
        for (int i = 0; i < programs::kBankVoiceCount; ++i)
            VoiceToProgram(base + i, records[static_cast<std::size_t>(i)]);
    }
    RecallPreset(CurrentPresetIndex());
    SendCurrentVoice();
    return true;
}

void Vorn::VoiceToProgram(int index, const programs::VoiceRecord& record) {
    if (!IsValidPreset(index)) return;
    host::Preset& preset = GetPreset(index);
    programs::WriteVoiceProgramState(index, record, preset.state);
    preset.name = programs::VoiceName(record);
    preset.initialised = true;
}

void Vorn::ReceiveParamChange(int moduleParam, std::uint8_t data) {
    for (const programs::FieldValue& field :
         programs::DecodeParamChange(moduleParam, data, receivedKeyScaling_))
        SetParamFromInteger(field.index, field.value);
}

void Vorn::SetParamFromInteger(int index, int value) {
    platform::ScopedLock lock(Mutex());
    if (!IsValidParam(index)) return;
    host::Param& param = GetParam(index);
    param.SetClamped(value);
    // The editor path informs the host, updates the engine and, with the option on, sends the
    // change on to the module again.
    SetParamFromEditor(index, param.ToNormalized());
    if (Editor()) Editor()->ShowParamValue(index, param.Value(), false);
}

// --- Sending ---------------------------------------------------------------------------------

void Vorn::SetParamFromEditor(int index, double normalized) {
    platform::ScopedLock lock(Mutex());
    Synth::SetParamFromEditor(index, normalized);
    if (Settings().sendParamChangeSysEx && IsValidParam(index)) SendParamChange(index);
}

void Vorn::SendParamChange(int index) {
    for (const programs::ParamChangeMessage& message :
         programs::BuildParamChangeMessages(index, CurrentParamValues())) {
        // The bytes live on the stack for the duration of the send: the host copies what it keeps.
        SendSysExMessage(host::SysExMessage{0, static_cast<int>(message.size()), message.data()});
    }
}

bool Vorn::ProgramToVoice(int index, programs::VoiceBlock& block) {
    block = programs::VoiceBlock{};
    if (!IsValidPreset(index)) return false;
    platform::ScopedLock lock(Mutex());
    // The record is built from the values the program gives the parameters once applied.
    RecallPreset(index);
    block = programs::EncodeVoiceBlock(
        programs::ProgramValuesToVoice(CurrentParamValues(), GetPreset(index).name));
    return true;
}

programs::Bytes Vorn::BuildVoiceDump() {
    programs::VoiceBlock block;
    ProgramToVoice(CurrentPresetIndex(), block);
    return programs::BuildSingleVoiceDump(block);
}

void Vorn::SendCurrentVoice() {
    programs::Bytes dump;
    {
        platform::ScopedLock lock(Mutex());
        dump = BuildVoiceDump();
    }
    SendSysExMessage(host::SysExMessage{0, static_cast<int>(dump.size()), dump.data()});
}

void Vorn::SendAllParamsToModule() {
    {
        platform::ScopedLock lock(Mutex());
        SetProgramName(nullptr); // the current sound is stored first
    }
    SendCurrentVoice();
}

// --- Files -----------------------------------------------------------------------------------

std::string Vorn::LastSysExFolder() const {
    return programs::LastSysExFolder(Settings().sysExFolder);
}

bool Vorn::LoadSysExFile(const std::string& path) {
    std::array<std::uint8_t, programs::kSysExHeaderSize> header{};
    // A file that cannot be opened counts as unrecognised and fails below.
    programs::ReadSysExHeader(path, header);
    const programs::SysExKind kind = programs::ClassifySysEx(header.data(), header.size());
    if (programs::IsBankDump(kind)) {
        if (Ui().ShowMessage(platform::MessageKind::Question, kBankQuestion,
                             kBankQuestionCaption) != platform::MessageAnswer::Yes)
            return false;
    } else if (kind == programs::SysExKind::Configuration) {
        Ui().ShowMessage(platform::MessageKind::Information, kConfigurationText,
                         kConfigurationCaption);
        return false;
    }

    // Real-time bytes in the file are left out as on MIDI; any other high byte refuses it.
    programs::Bytes raw, message;
    bool loaded = programs::ReadSysExMessage(path, raw) &&
                  programs::ExtractSysExMessage(raw, message) &&
                  ApplySysEx(message.data(), message.size());
    if (!loaded) Ui().ShowMessage(platform::MessageKind::Error, kLoadFailedText, kErrorCaption);
    programs::SetLastSysExFolder(programs::FolderOf(path));
    return loaded;
}

bool Vorn::SaveVoiceSysExFile(const std::string& path) {
    programs::Bytes dump;
    {
        platform::ScopedLock lock(Mutex());
        ModifyCurrentPreset();
        dump = BuildVoiceDump();
    }
    return FinishSysExSave(path, dump);
}

bool Vorn::SaveBankSysExFile(const std::string& path, int bank) {
    programs::Bytes image;
    {
        platform::ScopedLock lock(Mutex());
        // Encoded from the stored states (the current program from the current sound, which a
        // successful save stores into it), so that no program is recalled: a save that fails
        // leaves every program, parameter and control as it was and tells no one of a change.
        const int base = CurrentBankBase();
        std::vector<programs::VoiceBlock> blocks(programs::kBankVoiceCount);
        for (int i = 0; i < programs::kBankVoiceCount; ++i) {
            const int index = base + i;
            if (!IsValidPreset(index)) continue;
            blocks[static_cast<std::size_t>(i)] = programs::EncodeVoiceBlock(
                programs::ProgramValuesToVoice(StoredParamValues(index), GetPreset(index).name));
        }
        image = programs::BuildBankDump(blocks, bank);
    }
    if (!FinishSysExSave(path, image)) return false;
    SetProgramName(nullptr); // the current sound is stored, as before any save
    return true;
}

bool Vorn::FinishSysExSave(const std::string& path, const programs::Bytes& bytes) {
    // Written whole to a temporary file and only then put in place of the old one, so a full disk
    // or a failed write is reported and the user's earlier file stays as it was.
    const bool saved =
        !bytes.empty() && platform::WriteFileSafely(path, bytes.data(), bytes.size());
    if (!saved) Ui().ShowMessage(platform::MessageKind::Error, kSaveFailedText, kErrorCaption);
    programs::SetLastSysExFolder(programs::FolderOf(path));
    return saved;
}

void Vorn::RunLoadSysExFileCommand() {
    platform::FileDialogRequest request;
    request.extension = kSysExExtension;
    request.startFolder = LastSysExFolder();
    std::string path;
    if (!Ui().ChooseFile(request, path) || path.empty()) return;
    LoadSysExFile(path);
}

void Vorn::RunSaveVoiceSysExFileCommand() {
    platform::FileDialogRequest request;
    request.save = true;
    request.extension = kSysExExtension;
    request.defaultName = programs::SafeFileName(PresetName(CurrentPresetIndex()));
    request.startFolder = LastSysExFolder();
    std::string path;
    if (!Ui().ChooseFile(request, path) || path.empty()) return;
    SaveVoiceSysExFile(path);
}

void Vorn::RunSaveBankSysExFileCommand(int bank) {
    platform::FileDialogRequest request;
    request.save = true;
    request.extension = kSysExExtension;
    request.defaultName = kBankFileName;
    request.startFolder = LastSysExFolder();
    std::string path;
    if (!Ui().ChooseFile(request, path) || path.empty()) return;
    SaveBankSysExFile(path, bank);
}

bool Vorn::RunSysExFolderCommand() {
    platform::FileDialogRequest request;
    request.save = true;
    request.extension = " ";
    request.defaultName = kFolderOnlyName;
    request.startFolder = LastSysExFolder();
    if (request.startFolder.empty()) request.startFolder = Settings().documentsFolder;
    std::string path;
    if (!Ui().ChooseFile(request, path) || path.empty()) return false;
    const std::string folder = programs::FolderOf(path);
    programs::SetLastSysExFolder(folder);
    Settings().sysExFolder = folder;
    return true;
}

} // namespace vorn
