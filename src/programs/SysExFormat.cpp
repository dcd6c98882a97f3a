#include "programs/SysExFormat.h"

namespace programs {

namespace {

constexpr std::size_t kSingleVoiceDataStart = 9;
constexpr std::size_t kBankVoiceDataStart = 74; // after the header block and its checksum
constexpr std::size_t kBlockCountBytes = 2;     // the byte count before every bank voice block

// A byte past the end of the message reads as 0xFF, a value no valid message holds.
std::uint8_t ByteAt(const std::uint8_t* data, std::size_t size, std::size_t index) {
    return index < size ? data[index] : 0xFF;
}

// Rebuilds one record from 128 nibble bytes at position and checks the checksum byte after them.
// Nibble bytes are not masked: the record byte is low + 16 x high, modulo 256.
bool ReadVoiceBlock(const std::uint8_t* data, std::size_t size, std::size_t position,
                    VoiceRecord& record) {
    unsigned sum = 0;
    for (int i = 0; i < kVoiceRecordSize; ++i) {
        std::uint8_t low = ByteAt(data, size, position + 2 * static_cast<std::size_t>(i));
        std::uint8_t high = ByteAt(data, size, position + 2 * static_cast<std::size_t>(i) + 1);
        record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(low + 16 * high);
        sum = (sum + low + high) & 0x7F;
    }
    std::uint8_t expected = static_cast<std::uint8_t>((0u - sum) & 0x7F);
    return ByteAt(data, size, position + kVoiceNibbleCount) == expected;
}

// True when every byte after the opening F0 and before end is a data byte.
bool OnlyDataBytes(const std::uint8_t* data, std::size_t size, std::size_t end) {
    for (std::size_t i = 1; i < end && i < size; ++i)
        if (data[i] & 0x80) return false;
    return true;
}

void AppendBlock(const VoiceBlock& block, Bytes& out) {
    out.insert(out.end(), block.nibbles.begin(), block.nibbles.end());
    out.push_back(block.checksum);
}

} // namespace

SysExKind ClassifySysEx(const std::uint8_t* data, std::size_t size) {
    if (!data || size < kSysExHeaderSize) return SysExKind::Unknown;
    if (data[0] != kSysExStart || data[1] != kMakerId || data[2] != kModelId)
        return SysExKind::Unknown;
    const std::uint8_t b4 = data[4];
    const std::uint8_t b5 = data[5];
    const std::uint8_t b6 = data[6];
    // Parameter changes and voice data address one of eight instruments in the low three bits.
    if (b4 >= 0x18 && b4 <= 0x1F) return SysExKind::ParamChange;
    if (b4 >= 0x08 && b4 <= 0x0F && b5 == 0 && b6 == 0) return SysExKind::SingleVoice;
    if (b4 != 0 || b5 != 0)
        return (b4 == 0 && b5 == 3) ? SysExKind::Configuration : SysExKind::Unknown;
    return b6 == 1 ? SysExKind::VoiceBank2 : SysExKind::VoiceBank1;
}

bool ExtractSysExMessage(const std::uint8_t* data, std::size_t size, Bytes& message) {
    message.clear();
    std::size_t i = 0;
    while (i < size && IsRealTimeByte(data[i])) ++i;
    if (i == size || data[i] != kSysExStart) return false;
    message.reserve(size - i);
    message.push_back(data[i]);
    for (++i; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (IsRealTimeByte(byte)) continue;
        if (byte == kSysExEnd) {
            message.push_back(byte);
            return true;
        }
        if (byte & 0x80) {
            message.clear();
            return false;
        }
        message.push_back(byte);
    }
    return true;
}

bool HasOnlyDataBytes(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0 || data[0] != kSysExStart) return false;
    for (std::size_t i = 1; i < size && data[i] != kSysExEnd; ++i)
        if (data[i] & 0x80) return false;
    return true;
}

std::uint8_t BlockChecksum(const std::uint8_t* nibbles, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += nibbles[i];
    return static_cast<std::uint8_t>((0u - sum) & 0x7F);
}

VoiceBlock EncodeVoiceBlock(const VoiceRecord& record) {
    VoiceBlock block;
    for (std::size_t i = 0; i < record.size(); ++i) {
        block.nibbles[2 * i] = static_cast<std::uint8_t>(record[i] & 0x0F);
        block.nibbles[2 * i + 1] = static_cast<std::uint8_t>(record[i] >> 4);
    }
    block.checksum = BlockChecksum(block.nibbles.data(), block.nibbles.size());
    return block;
}

bool ParseVoiceBlocks(const std::uint8_t* data, std::size_t size,
                      std::vector<VoiceRecord>& records) {
    records.clear();
    const SysExKind kind = ClassifySysEx(data, size);
    if (kind == SysExKind::SingleVoice) {
        VoiceRecord record{};
        if (!ReadVoiceBlock(data, size, kSingleVoiceDataStart, record)) return false;
        const std::size_t end = kSingleVoiceDataStart + kVoiceNibbleCount + 1;
        if (ByteAt(data, size, end) != kSysExEnd || !OnlyDataBytes(data, size, end)) return false;
        records.push_back(record);
        return true;
    }
    if (!IsBankDump(kind)) return false;

    // The bank header block is not examined: real banks carry names and wrong checksums there.
    std::vector<VoiceRecord> read;
    read.reserve(kBankVoiceCount);
    std::size_t position = kBankVoiceDataStart;
    for (int i = 0; i < kBankVoiceCount; ++i) {
        position += kBlockCountBytes;
        VoiceRecord record{};
        if (!ReadVoiceBlock(data, size, position, record)) return false;
        read.push_back(record);
        position += kVoiceNibbleCount + 1;
    }
    if (ByteAt(data, size, position) != kSysExEnd || !OnlyDataBytes(data, size, position))
        return false;
    records.swap(read);
    return true;
}

Bytes BuildSingleVoiceDump(const VoiceBlock& block) {
    Bytes out = {kSysExStart, kMakerId, kModelId, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00};
    out.reserve(kSingleVoiceDumpSize);
    AppendBlock(block, out);
    out.push_back(kSysExEnd);
    return out;
}

Bytes BuildBankDump(const std::vector<VoiceBlock>& blocks, int bank) {
    if (blocks.size() != static_cast<std::size_t>(kBankVoiceCount)) return {};
    Bytes out = {kSysExStart,
                 kMakerId,
                 kModelId,
                 0x00,
                 0x00,
                 0x00,
                 static_cast<std::uint8_t>(bank == 1 ? 1 : 0),
                 0x00,
                 0x40};
    out.reserve(kBankDumpSize);
    out.insert(out.end(), kVoiceRecordSize, 0x00); // header block
    out.push_back(0x00);                           // its checksum: that of zeros
    for (const VoiceBlock& block : blocks) {
        out.push_back(0x01); // byte count 128, as two seven-bit bytes
        out.push_back(0x00);
        AppendBlock(block, out);
    }
    out.push_back(kSysExEnd);
    return out;
}

} // namespace programs
