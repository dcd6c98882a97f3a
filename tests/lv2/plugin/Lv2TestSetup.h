#pragma once
// What the LV2 test programs share: the built bundle (one lilv world per program, as a host keeps
// one), the VST2 binary built beside it, and a short phrase to listen to.

#include "Lv2Bundle.h"
#include "RenderSession.h"

#include <string>

namespace lv2_test {

// The bundle folder and the VST2 binary, as CMake passes them in.
const char* BundleFolder();
const char* Vst2Binary();

// The bundle loaded once for the whole program; tests assert Ok() themselves.
Lv2Bundle& SharedBundle();

// Notes (a chord, a melody note, a bend, the modulation wheel) starting at firstFrame and sounding
// through most of frames.
vorna_tool::RenderRequest Phrase(int blockSize, std::int64_t frames = 22050,
                                 std::int64_t firstFrame = 0);

// The loudest sample of both channels.
double Peak(const vorna_tool::RenderResult& result);

} // namespace lv2_test
