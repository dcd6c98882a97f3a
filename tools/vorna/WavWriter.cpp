#include "WavWriter.h"

#if defined(VORNA_HAVE_SNDFILE)
#include <sndfile.h>
#endif

#include <algorithm>
#include <cstdio>

namespace vorna_tool {

#if defined(VORNA_HAVE_SNDFILE)

bool WavOutputAvailable() {
    return true;
}

namespace {

bool WriteFile(const std::string& path, const std::vector<float>& left,
               const std::vector<float>& right, int sampleRate, bool floatSamples,
               std::string& error) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (floatSamples ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    // Samples beyond full scale are clipped rather than wrapped.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::size_t frames = std::min(left.size(), right.size());
    std::vector<float> interleaved(4096 * 2);
    bool ok = true;
    for (std::size_t start = 0; start < frames && ok; start += 4096) {
        std::size_t count = std::min<std::size_t>(4096, frames - start);
        for (std::size_t i = 0; i < count; ++i) {
            interleaved[2 * i] = left[start + i];
            interleaved[2 * i + 1] = right[start + i];
        }
        ok = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(count)) ==
             static_cast<sf_count_t>(count);
    }
    if (!ok) error = "cannot write " + path + ": " + sf_strerror(file);
    if (sf_close(file) != 0 && ok) {
        error = "cannot finish " + path;
        ok = false;
    }
    return ok;
}

} // namespace

// Written beside the target first and moved into place only when complete, so that a failure
// never leaves a half-written file under the requested name.
bool WriteStereoWav(const std::string& path, const std::vector<float>& left,
                    const std::vector<float>& right, int sampleRate, bool floatSamples,
                    std::string& error) {
    std::string temporary = path + ".part";
    if (!WriteFile(temporary, left, right, sampleRate, floatSamples, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(path.c_str()); // some systems do not replace an existing file
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            std::remove(temporary.c_str());
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

#else

bool WavOutputAvailable() {
    return false;
}

bool WriteStereoWav(const std::string&, const std::vector<float>&, const std::vector<float>&, int,
                    bool, std::string& error) {
    error = "this build of vorna cannot write WAV files: it was built without libsndfile";
    return false;
}

#endif

} // namespace vorna_tool
