#pragma once
// The FB-01's system-exclusive messages as bytes: how a message is recognised, the nibble coding
// of voice records, block checksums, reading the voice records out of a single-voice or
// voice-bank dump and building those dumps again. Plain functions on byte sequences, so the file,
// MIDI and browser paths share them and tests drive them without a plug-in instance.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace programs {

using Bytes = std::vector<std::uint8_t>;

// What a message is, by its header bytes. The numbers are what the rest of the system stores
// and compares.
enum class SysExKind : int {
    Unknown = 0,
    ParamChange = 1,
    SingleVoice = 2,
    VoiceBank1 = 3,
    VoiceBank2 = 4,
    Configuration = 5,
};

constexpr int kVoiceRecordSize = 64;
constexpr int kVoiceNibbleCount = 2 * kVoiceRecordSize;
constexpr int kBankVoiceCount = 48;
constexpr int kSingleVoiceDumpSize = 139;
constexpr int kBankDumpSize = 6363;
constexpr int kParamChangeSize = 9;
constexpr std::size_t kSysExHeaderSize = 7; // F0 43 75, channel, three kind bytes

constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExEnd = 0xF7;
constexpr std::uint8_t kMakerId = 0x43;
constexpr std::uint8_t kModelId = 0x75;

// One voice as the module stores it: name, global fields and four operator blocks.
using VoiceRecord = std::array<std::uint8_t, kVoiceRecordSize>;

// A voice record ready to travel: 128 nibble bytes (low half first) and their checksum.
struct VoiceBlock {
    std::array<std::uint8_t, kVoiceNibbleCount> nibbles{};
    std::uint8_t checksum = 0;
};

// Kind of the message that starts at data. Fewer than seven bytes, or a start other than
// F0 43 75, is Unknown. The system channel byte (byte 3) is ignored.
SysExKind ClassifySysEx(const std::uint8_t* data, std::size_t size);
inline SysExKind ClassifySysEx(const Bytes& bytes) {
    return ClassifySysEx(bytes.data(), bytes.size());
}
inline bool IsBankDump(SysExKind kind) {
    return kind == SysExKind::VoiceBank1 || kind == SysExKind::VoiceBank2;
}

// The two's complement of the sum of the bytes, masked to seven bits.
std::uint8_t BlockChecksum(const std::uint8_t* nibbles, std::size_t count);

// Nibble-codes a record and computes its checksum.
VoiceBlock EncodeVoiceBlock(const VoiceRecord& record);

// The voice records of a single-voice dump (one) or a voice-bank dump (48). Every block's
// checksum and the closing F7 must be right; otherwise the result is false and records is empty.
// Bytes past the end of the data read as 0xFF, so a short message fails its checks.
bool ParseVoiceBlocks(const std::uint8_t* data, std::size_t size,
                      std::vector<VoiceRecord>& records);
inline bool ParseVoiceBlocks(const Bytes& bytes, std::vector<VoiceRecord>& records) {
    return ParseVoiceBlocks(bytes.data(), bytes.size(), records);
}

// F0 43 75 00 08 00 00 01 00, the block, F7: 139 bytes addressed to instrument 1.
Bytes BuildSingleVoiceDump(const VoiceBlock& block);

// The 6363-byte voice-bank dump of 48 blocks, marked Voice Bank 1 (bank 0) or 2 (bank 1), with an
// all-zero header block. Returns an empty sequence unless exactly 48 blocks are given.
Bytes BuildBankDump(const std::vector<VoiceBlock>& blocks, int bank);

} // namespace programs
