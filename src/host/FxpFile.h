#pragma once
// Program (FXP) files in the published layout: building the opaque-chunk form "FPCh" this plug-in
// writes, and parsing both that form and the parameter-list form "FxCk". Parsing checks every
// field against the file's length; a file that is short, truncated or inconsistent is refused
// as a whole.

#include "host/ChunkBuffer.h"
#include "host/FxFileFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

constexpr std::uint32_t kProgramFormatVersion = 1;
constexpr std::size_t kProgramParamCountOffset = 24;
constexpr std::size_t kProgramNameOffset = 28;
constexpr std::size_t kProgramNameSize = 28; // with terminator: names of up to 27 characters
constexpr std::size_t kProgramChunkSizeOffset = 56;
constexpr std::size_t kProgramChunkOffset = 60;
constexpr std::size_t kParamValuesOffset = 56; // "FxCk": the floats follow the name
// What this plug-in writes into the byte-size field: chunk size plus this.
constexpr std::uint32_t kProgramByteSizeExtra = 60;

struct PluginIdentity {
    std::int32_t pluginId = 0;
    std::int32_t pluginVersion = 0;
    int paramCount = 0;
};

// An "FPCh" program file holding chunk under name.
FileBytes BuildProgramFile(const PluginIdentity& identity, const std::string& name,
                           const ChunkBuffer& chunk);

enum class ProgramFileKind { Opaque, ParamList };

// One "FxCk" record: its name and its normalised values, each limited to 0..1.
struct ParamProgramRecord {
    std::string name;
    std::vector<double> values;
};

struct ProgramFile {
    ProgramFileKind kind = ProgramFileKind::Opaque;
    std::string name;
    ChunkBuffer chunk;          // Opaque: the chunk's bytes
    int stateStart = 0;         // Opaque: where the program state starts inside chunk
    std::vector<double> values; // ParamList: one normalised value per parameter
};

// Parses a whole program file made for pluginId with paramCount parameters. False when it is not
// one: wrong magic, version or ID, a chunk-size field past the end of the file, a framework
// header without its version, fewer values than parameters or a value that is not a number.
bool ParseProgramFile(const FileBytes& file, std::int32_t pluginId, int paramCount,
                      ProgramFile& program);

// Parses the "FxCk" record at offset: "CcnK", "FxCk", format version 1, paramCount values, all
// inside the file. On success end is the offset after the record.
bool ParseParamProgramRecord(const FileBytes& file, std::size_t offset, int paramCount,
                             ParamProgramRecord& record, std::size_t& end);

// The program-file entry reader: appends to target one preset entry (the header's name as a
// length-prefixed text, the initialised byte 1 and the state bytes from the chunk) made from an
// "FPCh" file of pluginId. False, with target unchanged, when the file is not one.
bool AppendProgramFileEntry(const FileBytes& file, std::int32_t pluginId, ChunkBuffer& target);
bool ReadProgramFileEntry(const std::string& path, std::int32_t pluginId, ChunkBuffer& target);

} // namespace host
