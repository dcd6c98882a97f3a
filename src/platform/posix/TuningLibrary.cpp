#include "platform/TuningLibrary.h"

namespace platform {

std::string TuningLibraryPath() { return "/usr/local/lib/libMTS.so"; }

} // namespace platform
