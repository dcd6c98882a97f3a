#pragma once
// Reads the programs of a factory bank, a bank file or a program file into the browser's program
// list. Each listed program keeps its state bytes, checked to be a complete program state, and
// takes its browser name from the seven name characters inside that state. When a file gives
// another number of programs than its kind holds, the list stays empty.

#include "programs/BrowserData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace programs {

constexpr int kBankFilePrograms = 336;
constexpr int kProgramFilePrograms = 1;

// Preset entries read one after another from position until maxPrograms were listed or the data
// ends (or an entry does not read completely). Entries not initialised are skipped.
std::vector<BrowserProgram> ReadBrowserEntries(const host::ChunkBuffer& buffer, int position,
                                               int maxPrograms);

// The programs of factory bank index (see FindFactoryImage); empty when there is no image.
std::vector<BrowserProgram> ReadFactoryBrowserPrograms(int factoryIndex);

enum class BrowserFileKind { None, Program, Bank, SysEx };
// By extension: ".fxp"/".FXP", ".fxb"/".FXB", ".syx"/".SYX".
BrowserFileKind BrowserFileKindOf(const std::string& path);

// The programs of an FXP or FXB file of the plug-in pluginId (with chunks): exactly one or exactly
// 336, else an empty list and false. SysEx files are read by ReadSysExBrowserPrograms.
bool ReadBrowserFilePrograms(const std::string& path, std::int32_t pluginId,
                             std::vector<BrowserProgram>& programs);

} // namespace programs
