#pragma once
// Renders one program the way the listening checks do: a fresh plug-in instance made through its
// entry function with a small host around it, 44 100 Hz, blocks of 512 frames, the program's
// state handed over as a program chunk, the notes sent as MIDI events, the audio taken from
// processReplacing.

#include "Measure.h"
#include "Program.h"

#include <cstdint>
#include <vector>

namespace bankgen {

constexpr double kRenderRate = 44100.0;
constexpr int kRenderBlock = 512;

struct Note {
    int key = 60;
    int velocity = 100;
    std::int64_t on = 0;  // sample of the note-on
    std::int64_t off = 0; // sample of the note-off
};

struct Rendered {
    Samples left, right;
};

// Renders frames samples of program (its own Master Volume) playing notes. False with an empty
// result when the instance cannot be made.
bool RenderNotes(const Program& program, const std::vector<Note>& notes, std::int64_t frames,
                 Rendered& result);

} // namespace bankgen
