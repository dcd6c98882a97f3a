#pragma once
// The program browser's data: the list of banks it offers, the programs of the bank or file it
// shows, where they come from, and its offsets, selection and highlight. The drawing lives with
// the editor; everything here is plain data that tests inspect directly.

#include "host/ChunkBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace programs {

// One row of the bank list.
struct BankListEntry {
    std::string path; // full path of a file; the file-name column for a factory bank
    std::string displayName;
    bool isFile = false;
    int factoryIndex = 0; // 0 for files
};

// One entry of the program list.
struct BrowserProgram {
    std::uint8_t initialised = 0;
    std::string name = "empty";
    host::ChunkBuffer state;
    int program = -1; // the instrument's program it lists (own programs only)
};

enum class BrowserSource : int { OwnPrograms = 0, FactoryBank = 1, File = 2 };

struct BrowserState {
    std::vector<BankListEntry> banks;
    std::vector<BrowserProgram> programs;
    BrowserSource source = BrowserSource::OwnPrograms;
    int bankListOffset = 0; // first visible bank row
    int gridOffset = 0;     // 0 or 33
    int selectedBank = -1;
    int highlightedProgram = -1;
    bool copyOnClick = false;
    bool needsRedraw = false;
};

} // namespace programs
