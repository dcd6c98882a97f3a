#pragma once
// A growable byte buffer for program and bank states. Appends are little-endian; every read takes
// a start position and returns the position after the item, or -1 when the start is negative or
// the item runs past the end, so a chain of reads fails as a whole once one has failed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace host {

class ChunkBuffer {
public:
    void Clear() { bytes_.clear(); }
    int Size() const { return static_cast<int>(bytes_.size()); }
    bool Empty() const { return bytes_.empty(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    std::uint8_t* Data() { return bytes_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Assign(const void* data, std::size_t size);

    void AppendInt32(std::int32_t value);
    void AppendDouble(double value);
    void AppendByte(std::uint8_t value);
    void AppendBytes(const void* data, std::size_t size);
    // 32-bit length, then the characters without terminator.
    void AppendText(const std::string& text);

    int ReadInt32(std::int32_t& value, int position) const;
    int ReadDouble(double& value, int position) const;
    int ReadByte(std::uint8_t& value, int position) const;
    int ReadBytes(void* data, int size, int position) const;
    // A negative length is a read failure; a zero length gives an empty text. When the characters
    // run past the end the text is left unchanged and -1 is returned.
    int ReadText(std::string& text, int position) const;

private:
    bool Has(int position, int size) const {
        return position >= 0 && size >= 0 &&
               static_cast<std::size_t>(position) + static_cast<std::size_t>(size) <= bytes_.size();
    }

    std::vector<std::uint8_t> bytes_;
};

} // namespace host
