#include "host/FxpFile.h"

#include "host/ChunkVersion.h"
#include "platform/Files.h"

#include <cmath>

namespace host {

FileBytes BuildProgramFile(const PluginIdentity& identity, const std::string& name,
                           const ChunkBuffer& chunk) {
    FileBytes file;
    auto chunkSize = static_cast<std::uint32_t>(chunk.Size());
    file.reserve(kProgramChunkOffset + chunkSize);
    AppendBigEndian(file, kChunkMagic);
    AppendBigEndian(file, chunkSize + kProgramByteSizeExtra);
    AppendBigEndian(file, kOpaqueProgramMagic);
    AppendBigEndian(file, kProgramFormatVersion);
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.pluginId));
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.pluginVersion));
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.paramCount));
    AppendTextField(file, name, kProgramNameSize);
    AppendBigEndian(file, chunkSize);
    file.insert(file.end(), chunk.Data(), chunk.Data() + chunk.Size());
    return file;
}

namespace {

// Checks "CcnK", format version 1 and the plug-in ID; gives the file magic.
bool CheckProgramHeader(const FileBytes& file, std::int32_t pluginId, std::uint32_t& fileMagic) {
    std::uint32_t magic = 0, version = 0, id = 0;
    return ReadBigEndian(file, kMagicOffset, magic) && magic == kChunkMagic &&
           ReadBigEndian(file, kFileMagicOffset, fileMagic) &&
           ReadBigEndian(file, kFormatVersionOffset, version) && version == kProgramFormatVersion &&
           ReadBigEndian(file, kPluginIdOffset, id) && id == static_cast<std::uint32_t>(pluginId);
}

// The opaque chunk of an "FPCh" file, bounded by its chunk-size field, and where the state starts
// in it (after the framework header when there is one).
bool ExtractProgramChunk(const FileBytes& file, ChunkBuffer& chunk, int& stateStart) {
    std::uint32_t chunkSize = 0;
    if (!ReadBigEndian(file, kProgramChunkSizeOffset, chunkSize)) return false;
    if (file.size() < kProgramChunkOffset || file.size() - kProgramChunkOffset < chunkSize)
        return false;
    chunk.Assign(file.data() + kProgramChunkOffset, chunkSize);
    int position = 0;
    ReadChunkVersion(chunk, position);
    if (position < 0) return false;
    stateStart = position;
    return true;
}

} // namespace

bool ParseParamProgramRecord(const FileBytes& file, std::size_t offset, int paramCount,
                             ParamProgramRecord& record, std::size_t& end) {
    std::uint32_t magic = 0, fileMagic = 0, version = 0, count = 0;
    if (!ReadBigEndian(file, offset + kMagicOffset, magic) || magic != kChunkMagic) return false;
    if (!ReadBigEndian(file, offset + kFileMagicOffset, fileMagic) ||
        fileMagic != kParamProgramMagic)
        return false;
    if (!ReadBigEndian(file, offset + kFormatVersionOffset, version) ||
        version != kProgramFormatVersion)
        return false;
    if (!ReadBigEndian(file, offset + kProgramParamCountOffset, count) ||
        count != static_cast<std::uint32_t>(paramCount))
        return false;
    ParamProgramRecord parsed;
    parsed.name = ReadTextField(file, offset + kProgramNameOffset, kProgramNameSize);
    parsed.values.reserve(static_cast<std::size_t>(paramCount));
    for (int i = 0; i < paramCount; ++i) {
        float value = 0.0f;
        if (!ReadBigEndianFloat(file, offset + kParamValuesOffset + 4 * static_cast<std::size_t>(i),
                                value) ||
            std::isnan(value))
            return false;
        parsed.values.push_back(std::fmin(std::fmax(static_cast<double>(value), 0.0), 1.0));
    }
    end = offset + kParamValuesOffset + 4 * static_cast<std::size_t>(paramCount);
    record = std::move(parsed);
    return true;
}

bool ParseProgramFile(const FileBytes& file, std::int32_t pluginId, int paramCount,
                      ProgramFile& program) {
    std::uint32_t fileMagic = 0;
    if (!CheckProgramHeader(file, pluginId, fileMagic)) return false;
    ProgramFile parsed;
    parsed.name = ReadTextField(file, kProgramNameOffset, kProgramNameSize);
    if (fileMagic == kOpaqueProgramMagic) {
        parsed.kind = ProgramFileKind::Opaque;
        if (!ExtractProgramChunk(file, parsed.chunk, parsed.stateStart)) return false;
    } else if (fileMagic == kParamProgramMagic) {
        parsed.kind = ProgramFileKind::ParamList;
        ParamProgramRecord record;
        std::size_t end = 0;
        if (!ParseParamProgramRecord(file, 0, paramCount, record, end)) return false;
        parsed.values = std::move(record.values);
    } else {
        return false;
    }
    program = std::move(parsed);
    return true;
}

bool AppendProgramFileEntry(const FileBytes& file, std::int32_t pluginId, ChunkBuffer& target) {
    std::uint32_t fileMagic = 0;
    if (!CheckProgramHeader(file, pluginId, fileMagic) || fileMagic != kOpaqueProgramMagic)
        return false;
    ChunkBuffer chunk;
    int stateStart = 0;
    if (!ExtractProgramChunk(file, chunk, stateStart)) return false;
    target.AppendText(ReadTextField(file, kProgramNameOffset, kProgramNameSize));
    target.AppendByte(1);
    target.AppendBytes(chunk.Data() + stateStart,
                       static_cast<std::size_t>(chunk.Size() - stateStart));
    return true;
}

bool ReadProgramFileEntry(const std::string& path, std::int32_t pluginId, ChunkBuffer& target) {
    FileBytes file;
    if (path.empty() || !platform::ReadWholeFile(path, file)) return false;
    return AppendProgramFileEntry(file, pluginId, target);
}

} // namespace host
