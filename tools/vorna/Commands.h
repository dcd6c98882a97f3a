#pragma once
// The subcommands of the vorna tool. Each returns the process exit code.

#include <string>
#include <vector>

namespace vorna_tool {

// A path the OS loader takes as a file, not as a library name to search for.
std::string PluginPath(const std::string& path);

// Loads the plug-in binary through its VST2 entry and prints identity, IO, flags and parameters.
int RunInfo(const std::vector<std::string>& arguments);

// Plays a MIDI file (or the built-in demo phrase) through the plug-in binary into a WAV file and
// prints its peak and RMS level.
int RunRender(const std::vector<std::string>& arguments);

// Loads the plug-in binary, draws its editor offscreen and writes the picture as a PNG file.
int RunScreenshot(const std::vector<std::string>& arguments);

// Prints what voice files hold: messages and voices of ".syx" dumps, programs of ".fxb"/".fxp".
int RunList(const std::vector<std::string>& arguments);

// Converts voice files between ".syx", ".fxb" and ".fxp" with the plug-in's own code.
int RunConvert(const std::vector<std::string>& arguments);

// Plays every voice of a folder of voice files into short WAV files with a page to hear them.
int RunAudition(const std::vector<std::string>& arguments);

} // namespace vorna_tool
