#pragma once
// Converting voice files with the plug-in's own code: a ".syx" dump becomes a bank file, a program
// file or a folder of program files; a bank file becomes voice-bank dumps; a program file becomes
// a single-voice dump. Each conversion runs in a fresh in-process instance and writes through the
// plug-in's own saves (temporary file, then replace). An existing file is replaced only when asked
// to, and a conversion that fails leaves none of its new files behind.

#include <string>
#include <vector>

namespace vorna_tool {

// What an output path asks for, by its extension; without a known one, a folder of program files.
enum class OutputForm { SysEx, Bank, Program, ProgramFolder };
OutputForm OutputFormOf(const std::string& path);
// The form in words, for messages: "an .fxb file", "a folder of .fxp files".
const char* FormText(OutputForm form);

struct ConversionOptions {
    int bank = 0;  // voice bank 1 to 7; 0: voice bank 1 into a bank file, every bank out of one
    int voice = 0; // voice 1 to 48 of a bank dump for a single program file; 0: none chosen
    bool force = false;
};

struct ConversionOutcome {
    bool ok = false;
    std::vector<std::string> written;
    std::string error; // why nothing was written
};

ConversionOutcome ConvertVoiceFile(const std::string& input, const std::string& output,
                                   const ConversionOptions& options);

// The output a conversion into folder gives input by default (the input's name with the new
// extension; for a ".syx" asked to become program files, a folder named after it). Empty when the
// input's type cannot become form.
std::string OutputPathIn(const std::string& folder, const std::string& input, OutputForm form);

// The form an input becomes when none is asked for: ".syx" to ".fxb", the others to ".syx".
OutputForm DefaultOutputForm(const std::string& input);

} // namespace vorna_tool
