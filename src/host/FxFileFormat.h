#pragma once
// Shared pieces of the published program (FXP) and bank (FXB) file layouts: the four-character
// magics and big-endian fields. Every read is bounds-checked: it fails instead of reading past the
// end of the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

using FileBytes = std::vector<std::uint8_t>;

constexpr std::uint32_t FourChar(char a, char b, char c, char d) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d));
}

constexpr std::uint32_t kChunkMagic = FourChar('C', 'c', 'n', 'K');
constexpr std::uint32_t kOpaqueProgramMagic = FourChar('F', 'P', 'C', 'h');
constexpr std::uint32_t kParamProgramMagic = FourChar('F', 'x', 'C', 'k');
constexpr std::uint32_t kOpaqueBankMagic = FourChar('F', 'B', 'C', 'h');
constexpr std::uint32_t kParamBankMagic = FourChar('F', 'x', 'B', 'k');

// Header fields shared by both layouts.
constexpr std::size_t kMagicOffset = 0;
constexpr std::size_t kByteSizeOffset = 4;
constexpr std::size_t kFileMagicOffset = 8;
constexpr std::size_t kFormatVersionOffset = 12;
constexpr std::size_t kPluginIdOffset = 16;
constexpr std::size_t kPluginVersionOffset = 20;

// Reads the big-endian 32-bit value at offset; false when it does not lie inside the file.
bool ReadBigEndian(const FileBytes& file, std::size_t offset, std::uint32_t& value);
// Reads a big-endian 32-bit float at offset.
bool ReadBigEndianFloat(const FileBytes& file, std::size_t offset, float& value);
void AppendBigEndian(FileBytes& file, std::uint32_t value);
// A NUL-terminated text field of size bytes at offset, cut at the first NUL; empty when the field
// does not lie inside the file.
std::string ReadTextField(const FileBytes& file, std::size_t offset, std::size_t size);
// Appends text as a field of size bytes: at most size - 1 characters, NUL-padded.
void AppendTextField(FileBytes& file, const std::string& text, std::size_t size);

} // namespace host
