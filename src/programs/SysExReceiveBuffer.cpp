#include "programs/SysExReceiveBuffer.h"

#include <algorithm>

namespace programs {

bool SysExReceiveBuffer::Add(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0) return false;
    if (data[0] == kSysExStart) bytes_.clear();
    const std::size_t room = kCapacity - std::min(kCapacity, bytes_.size());
    bytes_.insert(bytes_.end(), data, data + std::min(room, size));
    return data[size - 1] == kSysExEnd;
}

} // namespace programs
