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

// Real-time messages (F8 to FF) are single bytes that MIDI lets a sender place between any two
// bytes of another message.
inline bool IsRealTimeByte(std::uint8_t byte) {
    return byte >= 0xF8;
}

// The message that starts at data[0], as the module would take it off the cable: real-time bytes
// are left out and the first F7 ends it (anything after it is not part of it). False, with an
// empty message, when the data does not start with F0 or when any other byte of 0x80 or above
// lies inside: such a byte cannot travel inside a message, and the block checksums, which keep
// only seven bits, would not notice it. A message without an F7 is returned as it is; its readers
// refuse it.
bool ExtractSysExMessage(const std::uint8_t* data, std::size_t size, Bytes& message);
inline bool ExtractSysExMessage(const Bytes& bytes, Bytes& message) {
    return ExtractSysExMessage(bytes.data(), bytes.size(), message);
}

// True when data starts with F0 and every byte after it, up to the first F7 (or the end), is a
// data byte below 0x80. What applies a message asks this first: a message that fails is refused
// whole, real-time bytes included (the paths that may carry them leave them out beforehand).
bool HasOnlyDataBytes(const std::uint8_t* data, std::size_t size);

// The two's complement of the sum of the bytes, masked to seven bits.
std::uint8_t BlockChecksum(const std::uint8_t* nibbles, std::size_t count);

// Nibble-codes a record and computes its checksum.
VoiceBlock EncodeVoiceBlock(const VoiceRecord& record);

// The voice records of a single-voice dump (one) or a voice-bank dump (48). Every block's
// checksum and the closing F7 must be right, and every byte between F0 and that F7 must be a data
// byte (below 0x80; real-time bytes must have been left out, see ExtractSysExMessage); otherwise
// the result is false and records is empty. Bytes past the end of the data read as 0xFF, so a
// short message fails its checks.
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
