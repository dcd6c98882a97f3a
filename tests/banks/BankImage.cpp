#include "BankImage.h"

#include "platform/Files.h"

#include <cstring>

namespace banktest {

namespace {

constexpr std::uint8_t kFrameworkMarker[4] = {0x74, 0x66, 0x66, 0x70};
constexpr int kStateDoublesOffset = 23;

std::uint32_t BigEndian(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 3]);
}

std::uint32_t LittleEndian(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool Tag(const Bytes& bytes, std::size_t at, const char* text) {
    return std::memcmp(bytes.data() + at, text, 4) == 0;
}

} // namespace

bool ParseBankChunk(const Bytes& chunk, std::vector<BankEntry>& entries, std::string& error) {
    entries.clear();
    std::size_t p = 0;
    if (chunk.size() >= 8 && std::memcmp(chunk.data(), kFrameworkMarker, 4) == 0) p = 8;
    for (int i = 0; i < kProgramCount; ++i) {
        BankEntry entry;
        if (p + 4 > chunk.size()) {
            error = "the chunk ends before program " + std::to_string(i);
            return false;
        }
        std::uint32_t length = LittleEndian(chunk, p);
        p += 4;
        if (length > 255 || p + length + 1 > chunk.size()) {
            error = "program " + std::to_string(i) + " has a bad name length";
            return false;
        }
        entry.name.assign(reinterpret_cast<const char*>(chunk.data() + p), length);
        p += length;
        entry.initialised = chunk[p++] != 0;
        if (entry.initialised) {
            if (p + kStateSize > chunk.size()) {
                error = "the state of program " + std::to_string(i) + " is cut short";
                return false;
            }
            entry.state.assign(chunk.begin() + static_cast<std::ptrdiff_t>(p),
                               chunk.begin() + static_cast<std::ptrdiff_t>(p + kStateSize));
            p += kStateSize;
        }
        entries.push_back(std::move(entry));
    }
    if (p != chunk.size()) {
        error = std::to_string(chunk.size() - p) + " bytes follow the last program";
        return false;
    }
    return true;
}

bool ParseBankFile(const Bytes& file, BankImage& bank, std::string& error) {
    if (file.size() < kBankChunkOffset || !Tag(file, 0, "CcnK") || !Tag(file, 8, "FBCh") ||
        !Tag(file, 16, "vorn")) {
        error = "not a bank file of this plug-in with an opaque chunk";
        return false;
    }
    if (BigEndian(file, 24) != static_cast<std::uint32_t>(kProgramCount) ||
        BigEndian(file, 156) != file.size() - kBankChunkOffset) {
        error = "the header's program count or chunk size is wrong";
        return false;
    }
    bank.chunk.assign(file.begin() + static_cast<std::ptrdiff_t>(kBankChunkOffset), file.end());
    return ParseBankChunk(bank.chunk, bank.entries, error);
}

bool ReadBankFile(const std::string& path, BankImage& bank, std::string& error) {
    Bytes file;
    if (!platform::ReadWholeFile(path, file)) {
        error = "cannot read " + path;
        return false;
    }
    if (!ParseBankFile(file, bank, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

Bytes StateValues(const Bytes& state) {
    if (state.size() < static_cast<std::size_t>(kStateSize)) return {};
    return Bytes(state.begin() + kStateValuesBegin, state.begin() + kStateSize);
}

double StateDouble(const Bytes& state, int index) {
    double value = 0.0;
    std::size_t at = kStateDoublesOffset + 8 * static_cast<std::size_t>(index);
    if (index < 0 || index > 5 || state.size() < at + 8) return value;
    // States are little-endian; so is every target this runs on.
    std::memcpy(&value, state.data() + at, 8);
    return value;
}

} // namespace banktest
