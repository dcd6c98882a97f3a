#pragma once
// Reads back a WAV file the render tool wrote: the RIFF layout is checked chunk by chunk and the
// 16-bit or float samples come out as floats, so a test sees what a player would play.

#include <cstdint>
#include <string>
#include <vector>

namespace tooltest {

struct WavContent {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int format = 0; // 1 PCM, 3 IEEE float
    std::vector<float> left, right;
    std::size_t Frames() const { return left.size(); }
};

// False with a reason when the bytes are not a complete stereo WAV file of 16-bit PCM or 32-bit
// float samples whose data chunk fits inside the file.
bool ParseWav(const std::vector<unsigned char>& bytes, WavContent& wav, std::string& error);

double PeakOf(const WavContent& wav);
double RmsOf(const WavContent& wav, std::size_t begin, std::size_t end);

} // namespace tooltest
