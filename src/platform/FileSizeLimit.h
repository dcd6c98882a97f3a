#pragma once
// Ways for tests to make a real file write fail, as a full disk, a file held open by another
// program or a folder without write permission would: the failure paths of the safe writes are
// then proven on the real file system, not on a stand-in.

#include <string>

namespace platform {

// Writes past bytes fail from now on; false when the OS has no such limit (Windows).
bool SetFileSizeLimit(long long bytes);
// Lifts the limit again.
void ClearFileSizeLimit();

// Keeps the file at path open, as another program might, so that replacing or deleting it fails
// until ReleaseHeldFile. False when the file cannot be opened, or where an open file does not
// stop its replacement (POSIX).
bool HoldFileOpen(const std::string& path);
void ReleaseHeldFile();

// From now on this thread's file accesses are checked as an unprivileged user's would be, so
// that a folder without write permission refuses new files even to root. False when the process
// is not privileged (its accesses are checked so already) or cannot switch. RestoreFileAccess
// switches back.
bool UseUnprivilegedFileAccess();
void RestoreFileAccess();

} // namespace platform
