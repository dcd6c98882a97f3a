#pragma once
// A ring of size-prefixed messages between exactly one writer thread and one reader thread,
// allocated once: the audio thread can hand work on without allocating or waiting, as a real
// host's worker queue lets it.

#include <atomic>
#include <cstdint>
#include <vector>

namespace lv2host {

class ByteRing {
public:
    explicit ByteRing(std::size_t capacity);

    // False, with nothing written, when the message does not fit in the free room.
    bool Write(const void* data, std::uint32_t size);
    // Copies the oldest message into message; false when the ring is empty.
    bool Read(std::vector<std::uint8_t>& message);
    bool Empty() const;

private:
    void CopyIn(std::size_t at, const void* data, std::size_t size);
    void CopyOut(std::size_t at, void* data, std::size_t size) const;

    std::vector<std::uint8_t> bytes_;
    std::atomic<std::size_t> written_{0}; // bytes ever written, only the writer moves it
    std::atomic<std::size_t> read_{0};    // bytes ever read, only the reader moves it
};

} // namespace lv2host
