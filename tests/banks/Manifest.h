#pragma once
// The manifest written beside each factory bank: one line per program with its name, the pitch
// it should sound at, how fast it starts and how soon it ends after its key is let go, whether it
// needs the waves beyond W1, and its family. The acceptance checks hold every program to it.

#include <string>
#include <vector>

namespace banktest {

struct ManifestLine {
    int program = 0;
    std::string name;
    bool pitched = false;
    double pitch = 0.0;      // multiple of the played note's frequency, when pitched
    double onsetMs = 0.0;    // -40 dB of the render's peak is reached within this
    double releaseMs = 0.0;  // below 0.001 from this long after the note-off on
    bool needsWaves = false; // "waves": relies on W2..W8; "same": W1 on every operator
    std::string family;
};

constexpr double kMaxOnsetMs = 2000.0;
constexpr double kMaxReleaseMs = 10000.0;

// Parses the text of a manifest: a header line starting with "#", then exactly 336 program lines
// in order, seven TAB-separated columns each. False with the first fault (line number and what is
// wrong); lines is then empty.
bool ParseManifest(const std::string& text, std::vector<ManifestLine>& lines, std::string& error);
bool ReadManifest(const std::string& path, std::vector<ManifestLine>& lines, std::string& error);

} // namespace banktest
