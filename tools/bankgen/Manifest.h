#pragma once
// The manifest written beside each bank image (resources/banks/manifest/<stem>.tsv): one line
// per program with what a listening test may expect of it.
//   program  name  pitch  onset_ms  release_ms  hardware  family
// UTF-8, LF line ends, a header line starting with "#", then 336 lines separated by tabs.

#include "FactorySet.h"

#include <string>

namespace bankgen {

// "1", "0.5", "2", "1.5" ...; "-" for an unpitched program.
std::string PitchText(double pitch);

std::string FormatManifest(const ExpandedBank& bank);

} // namespace bankgen
