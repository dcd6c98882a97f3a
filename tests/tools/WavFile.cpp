#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tooltest {

namespace {

std::uint32_t U32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

bool ParseWav(const std::vector<unsigned char>& bytes, WavContent& wav, std::string& error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "no RIFF/WAVE header";
        return false;
    }
    if (U32(bytes.data() + 4) != bytes.size() - 8) {
        error = "the RIFF size is not the file size less 8";
        return false;
    }
    const unsigned char* data = nullptr;
    std::size_t dataSize = 0;
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::size_t size = U32(bytes.data() + at + 4);
        if (size > bytes.size() - at - 8) {
            error = "a chunk runs past the end of the file";
            return false;
        }
        const unsigned char* body = bytes.data() + at + 8;
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            wav.format = U16(body);
            wav.channels = U16(body + 2);
            wav.sampleRate = static_cast<int>(U32(body + 4));
            wav.bitsPerSample = U16(body + 14);
            haveFormat = true;
            if (wav.format == 0xFFFE && size >= 26) wav.format = U16(body + 24);
            if (U16(body + 12) != wav.channels * wav.bitsPerSample / 8 ||
                U32(body + 8) != static_cast<std::uint32_t>(wav.sampleRate) * U16(body + 12)) {
                error = "the block align or byte rate does not match the format";
                return false;
            }
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            data = body;
            dataSize = size;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat || !data) {
        error = "no fmt or data chunk";
        return false;
    }
    if (wav.channels != 2 || !((wav.format == 1 && wav.bitsPerSample == 16) ||
                               (wav.format == 3 && wav.bitsPerSample == 32))) {
        error = "not stereo 16-bit PCM or 32-bit float";
        return false;
    }
    const std::size_t frameBytes = static_cast<std::size_t>(wav.bitsPerSample / 8) * 2;
    if (dataSize % frameBytes != 0) {
        error = "the data chunk holds a partial frame";
        return false;
    }
    const std::size_t frames = dataSize / frameBytes;
    wav.left.resize(frames);
    wav.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) {
            const unsigned char* p =
                data + i * frameBytes + static_cast<std::size_t>(c) * (frameBytes / 2);
            float value;
            if (wav.format == 1) {
                value = static_cast<std::int16_t>(U16(p)) / 32768.0f;
            } else {
                std::uint32_t raw = U32(p);
                std::memcpy(&value, &raw, sizeof value);
            }
            (c == 0 ? wav.left : wav.right)[i] = value;
        }
    return true;
}

double PeakOf(const WavContent& wav) {
    double peak = 0.0;
    for (std::size_t i = 0; i < wav.Frames(); ++i)
        peak = std::max({peak, std::fabs(static_cast<double>(wav.left[i])),
                         std::fabs(static_cast<double>(wav.right[i]))});
    return peak;
}

double RmsOf(const WavContent& wav, std::size_t begin, std::size_t end) {
    end = std::min(end, wav.Frames());
    if (begin >= end) return 0.0;
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i)
        sum += wav.left[i] * static_cast<double>(wav.left[i]) +
               wav.right[i] * static_cast<double>(wav.right[i]);
    return std::sqrt(sum / (2.0 * static_cast<double>(end - begin)));
}

} // namespace tooltest
