#pragma once
// Where the microtuning library is installed on this OS: the system directory's "LIBMTS.dll" on
// Windows, /usr/local/lib/libMTS.so elsewhere.

#include <string>

namespace platform {

std::string TuningLibraryPath();

} // namespace platform
