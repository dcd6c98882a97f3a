#pragma once
// What a DAW does for its audio thread before it runs: a real-time priority where the OS grants
// one, and timers fine enough to wake up every 1.45 ms. One implementation per OS.

#include <string>

namespace realtime {

// Once per process, before any audio thread runs.
void PrepareTimers();

// Called on the audio thread itself. Returns what the thread got, for the report, e.g.
// "SCHED_FIFO 70" or "normal (SCHED_FIFO refused: Operation not permitted)".
std::string RaiseAudioThreadPriority();

} // namespace realtime
