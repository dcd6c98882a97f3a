#pragma once
// Bank (FXB) files in the published layout: building the opaque-chunk form "FBCh" this plug-in
// writes, parsing it and the parameter-list form "FxBk", and the body locator the program browser
// uses. Every field is checked against the file's length before it is used.

#include "host/ChunkBuffer.h"
#include "host/FxFileFormat.h"
#include "host/FxpFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

constexpr std::uint32_t kBankFormatVersion = 2;
constexpr std::size_t kBankProgramCountOffset = 24;
constexpr std::size_t kBankCurrentProgramOffset = 28;
constexpr std::size_t kBankReservedOffset = 32;
constexpr std::size_t kBankReservedSize = 124;
constexpr std::size_t kBankChunkSizeOffset = 156;
constexpr std::size_t kBankChunkOffset = 160;
constexpr std::size_t kParamBankProgramsOffset =
    156; // "FxBk": the records follow the reserved field
// What this plug-in writes into the byte-size field: chunk size plus this (the file length).
constexpr std::uint32_t kBankByteSizeExtra = 160;

struct BankIdentity {
    std::int32_t pluginId = 0;
    std::int32_t pluginVersion = 0;
    int programCount = 0;
    int currentProgram = 0;
};

// An "FBCh" bank file holding chunk.
FileBytes BuildBankFile(const BankIdentity& identity, const ChunkBuffer& chunk);

enum class BankFileKind { Opaque, ParamList };

struct BankFile {
    BankFileKind kind = BankFileKind::Opaque;
    int programCount = 0;
    int currentProgram = 0;
    ChunkBuffer chunk;                        // Opaque: the bank chunk's bytes
    int entriesStart = 0;                     // Opaque: where the preset entries start inside chunk
    std::vector<ParamProgramRecord> programs; // ParamList: every record of the file
};

// Parses a whole bank file of pluginId: "CcnK" and the ID (the format version is not checked),
// then "FBCh" with a chunk inside the file, or "FxBk" whose program count of records with
// paramCount values each all lie inside the file. False when it is not such a file.
bool ParseBankFile(const FileBytes& file, std::int32_t pluginId, int paramCount, BankFile& bank);

// Where the preset entries of a bank file start: 0 when the magic or the ID is wrong, 156 for a
// bank that is not "FBCh" (the records of an "FxBk" bank), else 160 or, after the framework
// header, 168; -1 when the file ends before that position.
int LocateBankBody(const FileBytes& file, std::int32_t pluginId);

// Appends the bytes of file from its body to its end to target; false, with target unchanged,
// when the body position is not positive.
bool AppendBankFileBody(const FileBytes& file, std::int32_t pluginId, ChunkBuffer& target);
bool ReadBankFileBody(const std::string& path, std::int32_t pluginId, ChunkBuffer& target);

} // namespace host
