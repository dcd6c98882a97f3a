#pragma once
// Runs the desktop's dialog programs (zenity, kdialog) and the browser opener as child processes:
// fork and exec with the arguments as argv (no shell, so quotes in texts and paths are safe),
// standard output read through a pipe, and the editor's X events kept flowing while we wait.

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

// The full path of an executable file called name in one of the folders of PATH; empty when
// there is none (or name holds a slash).
std::string FindProgram(const std::string& name);

struct ToolResult {
    enum class Outcome {
        Exited,     // ended normally: exitCode holds its status
        Killed,     // ended by a signal
        NotStarted, // could not be started (fork or exec failed)
        Lost        // its exit status could not be collected (reaped elsewhere)
    };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = -1;
    std::string output;    // what it wrote to its standard output
    bool overflow = false; // it wrote more than kMaxToolOutput bytes (the rest was dropped)
};

constexpr std::size_t kMaxToolOutput = 64 * 1024;

// Runs program (a full path) with the arguments (argv[1..]), standard input and error on
// /dev/null, and waits for it to end. Meanwhile X events of display (when not null) go to the
// editor, as in our other modal loops. A program that closes its output but does not end within
// a few seconds is killed, and so is one still running when the editor's close cancels the wait
// (its outcome is then Killed, whatever it printed).
ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments,
                   Display* display, const WaitingEditor& editor);

// Starts program detached from us (it is re-parented to init, so no zombie is left behind);
// true when it could be executed.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments);

} // namespace platform::x11
