#include "VoiceListing.h"

#include "engine/InstrumentParams.h"
#include "host/ChunkBuffer.h"
#include "host/ChunkVersion.h"
#include "host/FxbFile.h"
#include "host/FxpFile.h"
#include "host/ProgramState.h"
#include "programs/SysExFiles.h"
#include "programs/VoiceConversion.h"

namespace vorna_tool {

namespace {

using programs::SysExKind;

std::string ByteText(std::size_t offset) {
    return "byte " + std::to_string(offset);
}

// Where the message that starts with F0 at start ends: after its F7, before the next status byte
// that is not a real-time byte, or at the end of the data.
std::size_t MessageEnd(const std::vector<std::uint8_t>& data, std::size_t start) {
    for (std::size_t i = start + 1; i < data.size(); ++i) {
        if (data[i] == programs::kSysExEnd) return i + 1;
        if (data[i] >= 0x80 && !programs::IsRealTimeByte(data[i])) return i;
    }
    return data.size();
}

std::size_t ExpectedSize(SysExKind kind) {
    switch (kind) {
    case SysExKind::SingleVoice:
        return programs::kSingleVoiceDumpSize;
    case SysExKind::VoiceBank1:
    case SysExKind::VoiceBank2:
        return programs::kBankDumpSize;
    default:
        return 0;
    }
}

void DescribeVoiceMessage(const std::vector<std::uint8_t>& data, ListedMessage& message) {
    programs::Bytes extracted;
    const std::uint8_t* start = data.data() + message.offset;
    if (!programs::ExtractSysExMessage(start, message.size, extracted)) {
        message.problem = "holds a byte of 0x80 or above before its end";
        return;
    }
    std::vector<programs::VoiceRecord> records;
    if (programs::ParseVoiceBlocks(extracted, records)) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            const programs::ParamValues values = programs::VoiceToParamValues(records[i]);
            ListedVoice voice;
            voice.number = static_cast<int>(i) + 1;
            voice.name = programs::VoiceName(records[i]);
            voice.algorithm = static_cast<int>(values[engine::kAlgorithm]) + 1;
            voice.feedback = static_cast<int>(values[engine::kFeedback]);
            message.voices.push_back(voice);
        }
        return;
    }
    const std::size_t expected = ExpectedSize(message.kind);
    if (extracted.back() != programs::kSysExEnd) {
        message.problem = "is cut off: it ends after " + std::to_string(extracted.size()) + " of " +
                          std::to_string(expected) + " bytes without F7";
    } else if (extracted.size() != expected) {
        message.problem = "is " + std::to_string(extracted.size()) + " bytes long instead of " +
                          std::to_string(expected);
    } else {
        message.problem = "is damaged: a voice block's checksum is wrong";
    }
}

void ListSysEx(const std::vector<std::uint8_t>& data, ListedFile& file) {
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t start = at;
        while (start < data.size() && data[start] != programs::kSysExStart) ++start;
        if (start == data.size()) break;
        ListedMessage message;
        message.offset = start;
        message.size = MessageEnd(data, start) - start;
        message.kind = programs::ClassifySysEx(data.data() + start, message.size);
        switch (message.kind) {
        case SysExKind::SingleVoice:
        case SysExKind::VoiceBank1:
        case SysExKind::VoiceBank2:
            DescribeVoiceMessage(data, message);
            break;
        case SysExKind::Configuration:
            message.problem = "holds configuration data, no voices";
            break;
        case SysExKind::ParamChange:
            break;
        case SysExKind::Unknown:
            message.problem = "is not a message of the module";
            break;
        }
        file.messages.push_back(message);
        at = start + message.size;
    }
    if (file.messages.empty()) {
        file.error =
            "holds no SysEx message (no F0 byte in " + std::to_string(data.size()) + " bytes)";
        return;
    }
    const ListedMessage& first = file.messages.front();
    bool anyVoices = false;
    for (const ListedMessage& message : file.messages) anyVoices |= !message.voices.empty();
    if (!anyVoices) {
        file.error = first.problem.empty() ? "holds no voice dump"
                                           : "the message at " + ByteText(first.offset) + " (" +
                                                 SysExKindText(first.kind) + ") " + first.problem;
        return;
    }
    if (first.offset > 0)
        file.warnings.push_back("starts with " + std::to_string(first.offset) +
                                " bytes before the first F0; the plug-in does not load it");
    else if (first.voices.empty())
        file.warnings.push_back(
            "the plug-in loads only the first message, which " +
            (first.problem.empty() ? std::string("holds no voices") : first.problem));
    if (file.messages.size() > 1)
        file.warnings.push_back("holds " + std::to_string(file.messages.size()) +
                                " messages; the plug-in loads only the first");
}

std::string PluginIdText(std::uint32_t id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((id >> shift) & 0xFF);
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return text;
}

// Why a file that is not one of this plug-in's bank or program files was refused.
std::string DescribeRefusedFxFile(const std::vector<std::uint8_t>& data, const char* what,
                                  std::size_t headerSize) {
    std::uint32_t magic = 0, id = 0;
    if (!host::ReadBigEndian(data, host::kMagicOffset, magic) || magic != host::kChunkMagic)
        return std::string("is not a ") + what + " file (no \"CcnK\" at byte 0)";
    if (!host::ReadBigEndian(data, host::kPluginIdOffset, id))
        return "is cut off after " + std::to_string(data.size()) + " bytes";
    if (static_cast<std::int32_t>(id) != kVornaPluginId)
        return std::string("is a ") + what + " file of another plug-in (ID \"" + PluginIdText(id) +
               "\")";
    if (data.size() < headerSize)
        return "is cut off after " + std::to_string(data.size()) + " bytes";
    return "is cut off or damaged: its contents do not fit its " + std::to_string(data.size()) +
           " bytes";
}

void ListBank(const std::vector<std::uint8_t>& data, ListedFile& file) {
    host::BankFile bank;
    if (!host::ParseBankFile(data, kVornaPluginId, engine::kParamCount, bank)) {
        file.error = DescribeRefusedFxFile(data, "bank", host::kBankChunkOffset);
        return;
    }
    if (bank.kind == host::BankFileKind::ParamList) {
        for (std::size_t i = 0; i < bank.programs.size(); ++i)
            file.programs.push_back({static_cast<int>(i), bank.programs[i].name, true});
        return;
    }
    int p = bank.entriesStart;
    for (int i = 0; i < bank.programCount && p >= 0; ++i) {
        ListedProgram program;
        program.index = i;
        const int entryStart = p;
        std::uint8_t initialised = 0;
        p = bank.chunk.ReadText(program.name, p);
        p = bank.chunk.ReadByte(initialised, p);
        program.initialised = initialised != 0;
        host::StoredState state;
        if (p >= 0 && program.initialised) p = host::ParseProgramState(bank.chunk, p, state);
        if (p < 0) {
            file.error = "program " + std::to_string(i) + " (at byte " +
                         std::to_string(host::kBankChunkOffset + entryStart) +
                         ") does not read completely: the file is cut off or damaged";
            file.programs.clear();
            return;
        }
        file.programs.push_back(program);
    }
}

void ListProgram(const std::vector<std::uint8_t>& data, ListedFile& file) {
    host::ProgramFile program;
    if (!host::ParseProgramFile(data, kVornaPluginId, engine::kParamCount, program)) {
        file.error = DescribeRefusedFxFile(data, "program", host::kProgramChunkOffset);
        return;
    }
    if (program.kind == host::ProgramFileKind::Opaque) {
        host::StoredState state;
        if (host::ParseProgramState(program.chunk, program.stateStart, state) < 0) {
            file.error = "its program state (at byte " +
                         std::to_string(host::kProgramChunkOffset + program.stateStart) +
                         ") does not read completely: the file is cut off or damaged";
            return;
        }
    }
    file.programs.push_back({0, program.name, true});
}

} // namespace

const char* SysExKindText(SysExKind kind) {
    switch (kind) {
    case SysExKind::ParamChange:
        return "parameter change";
    case SysExKind::SingleVoice:
        return "single voice";
    case SysExKind::VoiceBank1:
        return "voice bank 1";
    case SysExKind::VoiceBank2:
        return "voice bank 2";
    case SysExKind::Configuration:
        return "configuration";
    case SysExKind::Unknown:
        break;
    }
    return "not recognised";
}

ListedFile ListVoiceFile(const std::string& path) {
    ListedFile file;
    file.path = path;
    file.type = VoiceFileTypeOf(path);
    if (file.type == VoiceFileType::None) {
        file.error = "is not a voice file (.syx, .fxb or .fxp)";
        return file;
    }
    std::vector<std::uint8_t> data;
    if (!ReadVoiceFile(path, data, file.error)) return file;
    switch (file.type) {
    case VoiceFileType::SysEx:
        ListSysEx(data, file);
        break;
    case VoiceFileType::Bank:
        ListBank(data, file);
        break;
    case VoiceFileType::Program:
        ListProgram(data, file);
        break;
    case VoiceFileType::None:
        break;
    }
    return file;
}

bool ReadLoadableVoices(const std::string& path, std::vector<programs::VoiceRecord>& records,
                        std::string& error) {
    records.clear();
    const ListedFile listed = ListVoiceFile(path);
    if (!listed.error.empty()) {
        error = listed.error;
        return false;
    }
    const ListedMessage& first = listed.messages.front();
    if (first.offset > 0) {
        error = "starts with " + std::to_string(first.offset) +
                " bytes that are not part of a message (junk before the first F0)";
        return false;
    }
    if (first.voices.empty()) {
        error = std::string("its first message (") + SysExKindText(first.kind) + ") " +
                (first.problem.empty() ? "holds no voices" : first.problem);
        return false;
    }
    // The plug-in's own file reader decides in the end.
    if (!programs::ReadSysExVoices(path, records)) {
        error = "cannot be loaded by the plug-in";
        return false;
    }
    return true;
}

} // namespace vorna_tool
