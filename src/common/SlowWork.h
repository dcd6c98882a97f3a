#pragma once
// Points where the plug-in starts work that may take long on the GUI thread: drawing the editor,
// opening its window, decoding a program, parsing a chunk. A test can install a hook that makes
// such work slow on purpose, to prove that the audio thread never waits for it. Without a hook
// (always, outside tests) marking a point costs one atomic load.

namespace common {

enum class SlowWork { Drawing, WindowOpen, ProgramDecoding, ChunkParsing };

using SlowWorkHook = void (*)(SlowWork kind);

// Installs the hook for the whole process (nullptr removes it).
void SetSlowWorkHook(SlowWorkHook hook);
// Calls the installed hook, if any.
void SlowWorkStarts(SlowWork kind);

} // namespace common
