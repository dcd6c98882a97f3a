#pragma once
// The twelve factory bank images as FXB files: "EMPTY" holds 336 default programs named "Init",
// every other bank a seeded mix of the recipe families.

#include "host/FxFileFormat.h"

namespace bankgen {

// The plug-in version the header of each image carries: 10100 for "FACTORY", else 10101.
int ImageVersion(int bankIndex);

// The complete image of factory bank index (0 to 11).
host::FileBytes BuildFactoryBankImage(int bankIndex);

} // namespace bankgen
