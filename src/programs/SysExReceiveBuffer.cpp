#include "programs/SysExReceiveBuffer.h"

namespace programs {

bool SysExReceiveBuffer::Add(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0) return false;
    std::size_t first = 0;
    while (first < size && IsRealTimeByte(data[first])) ++first;
    if (first == size) return false; // nothing but real-time bytes
    std::size_t last = size - 1;
    while (IsRealTimeByte(data[last])) --last;

    if (data[first] == kSysExStart) bytes_.clear();
    for (std::size_t i = first; i <= last && bytes_.size() < kCapacity; ++i)
        if (!IsRealTimeByte(data[i])) bytes_.push_back(data[i]);
    return data[last] == kSysExEnd;
}

} // namespace programs
