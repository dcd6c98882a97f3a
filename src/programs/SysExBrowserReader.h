#pragma once
// The browser's reader for ".syx" files: a single-voice dump gives one program, a bank dump of 48
// voices gives 48, each turned into a program state numbered from 0 with its voice name.

#include "programs/BrowserData.h"

#include <string>
#include <vector>

namespace programs {

// The programs of a SysEx file; false with an empty list when the file gives none (unreadable,
// not a voice dump, a bad checksum or no F7). Only the message at the start of the file counts.
bool ReadSysExBrowserPrograms(const std::string& path, std::vector<BrowserProgram>& programs);

} // namespace programs
