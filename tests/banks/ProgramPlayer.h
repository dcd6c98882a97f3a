#pragma once
// Plays programs of a bank through the loaded plug-in binary as a host does: a fresh instance for
// every render, opened at 44 100 Hz with blocks of 512, the bank chunk given with effSetChunk,
// the program chosen with effSetProgram, notes sent with effProcessEvents at their offsets inside
// each block and the audio taken from processReplacing.

#include "BankImage.h"
#include "PluginHost.h"
#include "SoundAnalysis.h"

#include <cstdint>
#include <string>
#include <vector>

namespace banktest {

constexpr double kRenderRate = 44100.0;
constexpr int kRenderBlock = 512;

struct NoteEvent {
    std::int64_t frame = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

// Note-ons of notes at velocity at onFrame and their note-offs at offFrame.
std::vector<NoteEvent> HeldNotes(const std::vector<int>& notes, int velocity, std::int64_t offFrame,
                                 std::int64_t onFrame = 0);

class ProgramPlayer {
public:
    ProgramPlayer(hostkit::PluginHost& host, const Bytes& bankChunk)
        : host_(host), chunk_(bankChunk) {}

    // A new instance with the bank loaded and program current. False with a reason.
    bool Start(int program, std::string& error);
    // Sets a parameter of the current instance from its display text (effString2Parameter).
    bool SetParameterText(int index, const std::string& text);
    // Renders frames of audio, sending each event in the block that holds its frame.
    StereoRender Render(const std::vector<NoteEvent>& events, std::int64_t frames);

private:
    hostkit::PluginHost& host_;
    Bytes chunk_;
};

} // namespace banktest
