#include "host/FxbFile.h"

#include "host/ChunkVersion.h"
#include "platform/Files.h"

namespace host {

FileBytes BuildBankFile(const BankIdentity& identity, const ChunkBuffer& chunk) {
    FileBytes file;
    auto chunkSize = static_cast<std::uint32_t>(chunk.Size());
    file.reserve(kBankChunkOffset + chunkSize);
    AppendBigEndian(file, kChunkMagic);
    AppendBigEndian(file, chunkSize + kBankByteSizeExtra);
    AppendBigEndian(file, kOpaqueBankMagic);
    AppendBigEndian(file, kBankFormatVersion);
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.pluginId));
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.pluginVersion));
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.programCount));
    AppendBigEndian(file, static_cast<std::uint32_t>(identity.currentProgram));
    file.insert(file.end(), kBankReservedSize, 0);
    AppendBigEndian(file, chunkSize);
    file.insert(file.end(), chunk.Data(), chunk.Data() + chunk.Size());
    return file;
}

namespace {

bool CheckBankHeader(const FileBytes& file, std::int32_t pluginId, std::uint32_t& fileMagic) {
    std::uint32_t magic = 0, id = 0;
    return ReadBigEndian(file, kMagicOffset, magic) && magic == kChunkMagic &&
           ReadBigEndian(file, kPluginIdOffset, id) && id == static_cast<std::uint32_t>(pluginId) &&
           ReadBigEndian(file, kFileMagicOffset, fileMagic);
}

} // namespace

bool ParseBankFile(const FileBytes& file, std::int32_t pluginId, int paramCount, BankFile& bank) {
    std::uint32_t fileMagic = 0, count = 0, current = 0;
    if (!CheckBankHeader(file, pluginId, fileMagic)) return false;
    if (!ReadBigEndian(file, kBankProgramCountOffset, count) ||
        !ReadBigEndian(file, kBankCurrentProgramOffset, current))
        return false;
    BankFile parsed;
    parsed.programCount = static_cast<std::int32_t>(count);
    parsed.currentProgram = static_cast<std::int32_t>(current);
    if (fileMagic == kOpaqueBankMagic) {
        parsed.kind = BankFileKind::Opaque;
        std::uint32_t chunkSize = 0;
        if (!ReadBigEndian(file, kBankChunkSizeOffset, chunkSize)) return false;
        if (file.size() < kBankChunkOffset || file.size() - kBankChunkOffset < chunkSize)
            return false;
        parsed.chunk.Assign(file.data() + kBankChunkOffset, chunkSize);
        int position = 0;
        ReadChunkVersion(parsed.chunk, position);
        if (position < 0) return false;
        parsed.entriesStart = position;
    } else if (fileMagic == kParamBankMagic) {
        parsed.kind = BankFileKind::ParamList;
        if (parsed.programCount < 0) return false;
        // Each record takes at least its header: a count that cannot fit is refused before any
        // memory is set aside for it.
        std::size_t recordSize = kParamValuesOffset + 4 * static_cast<std::size_t>(paramCount);
        if (file.size() < kParamBankProgramsOffset ||
            (file.size() - kParamBankProgramsOffset) / recordSize < count)
            return false;
        std::size_t offset = kParamBankProgramsOffset;
        parsed.programs.resize(count);
        for (ParamProgramRecord& record : parsed.programs) {
            if (!ParseParamProgramRecord(file, offset, paramCount, record, offset)) return false;
        }
    } else {
        return false;
    }
    bank = std::move(parsed);
    return true;
}

int LocateBankBody(const FileBytes& file, std::int32_t pluginId) {
    std::uint32_t fileMagic = 0;
    if (!CheckBankHeader(file, pluginId, fileMagic)) return 0;
    if (fileMagic != kOpaqueBankMagic)
        return file.size() >= kParamBankProgramsOffset ? static_cast<int>(kParamBankProgramsOffset)
                                                       : -1;
    if (file.size() < kBankChunkOffset) return -1;
    std::uint32_t marker = 0;
    if (file.size() >= kBankChunkOffset + 4) {
        marker = static_cast<std::uint32_t>(file[kBankChunkOffset]) |
                 (static_cast<std::uint32_t>(file[kBankChunkOffset + 1]) << 8) |
                 (static_cast<std::uint32_t>(file[kBankChunkOffset + 2]) << 16) |
                 (static_cast<std::uint32_t>(file[kBankChunkOffset + 3]) << 24);
    }
    if (marker != static_cast<std::uint32_t>(kChunkMarker))
        return static_cast<int>(kBankChunkOffset);
    // A framework marker without its version word: the header is cut short.
    return file.size() >= kBankChunkOffset + 8 ? static_cast<int>(kBankChunkOffset + 8) : -1;
}

bool AppendBankFileBody(const FileBytes& file, std::int32_t pluginId, ChunkBuffer& target) {
    int body = LocateBankBody(file, pluginId);
    if (body <= 0) return false;
    target.AppendBytes(file.data() + body, file.size() - static_cast<std::size_t>(body));
    return true;
}

bool ReadBankFileBody(const std::string& path, std::int32_t pluginId, ChunkBuffer& target) {
    FileBytes file;
    if (path.empty() || !platform::ReadWholeFile(path, file)) return false;
    return AppendBankFileBody(file, pluginId, target);
}

} // namespace host
