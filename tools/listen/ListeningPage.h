#pragma once
// The listening page of the factory sounds: each program of voice bank 1 of "Factory Sounds"
// plays the listening phrase into a WAV file, its spectrogram is drawn into a PNG file, and an
// index.html lists them with number, name and family, a player and the picture. The instance is
// made in-process through the plug-in's entry function and driven through its VST2 interface.

#include "HtmlText.h"

#include <string>
#include <vector>

namespace listen {

struct PageRequest {
    std::string folder;       // created when missing
    int count = 48;           // the first count programs of voice bank 1 (1 to 48)
    std::string manifestPath; // the bank's manifest, for the families; may be missing
};

struct PageEntry {
    int program = 0;
    std::string name;
    std::string family;
    std::string wavFile; // names inside the folder
    std::string pngFile;
};

// The family column of a manifest, by program number; empty when the file cannot be read.
std::vector<std::string> ReadFamilies(const std::string& manifestPath);

// The page's HTML for the entries.
std::string PageHtml(const std::vector<PageEntry>& entries);

// Text safe inside HTML.
using vorna_tool::EscapeHtml;

// Renders, draws and writes everything. False with a reason on the first failure.
bool WriteListeningPage(const PageRequest& request, std::vector<PageEntry>& entries,
                        std::string& error);

} // namespace listen
