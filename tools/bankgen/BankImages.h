#pragma once
// The twelve factory bank images as FXB files: "EMPTY" holds 336 default programs named "Init",
// every other bank the programs its sources expand to.

#include "FactorySet.h"
#include "host/FxFileFormat.h"

namespace bankgen {

// The plug-in version the header of each image carries: 10100 for "FACTORY", else 10101.
int ImageVersion(int bankIndex);

// The complete image of factory bank index (0 to 11); banks other than "Empty/Init" come from
// set (an index set does not hold gives an empty result).
host::FileBytes BuildFactoryBankImage(const FactorySet& set, int bankIndex);

} // namespace bankgen
