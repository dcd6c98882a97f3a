#pragma once
// Writes a stereo WAV file (16-bit PCM, or 32-bit float) with libsndfile. Builds without
// libsndfile report that they cannot write WAV files.

#include <string>
#include <vector>

namespace vorna_tool {

bool WavOutputAvailable();
bool WriteStereoWav(const std::string& path, const std::vector<float>& left,
                    const std::vector<float>& right, int sampleRate, bool floatSamples,
                    std::string& error);

} // namespace vorna_tool
