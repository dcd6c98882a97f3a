#pragma once
// A limit on the size of files this process may write, so that tests can make a real write fail
// part-way as a full disk would. Where the OS has no such limit, SetFileSizeLimit answers false.

namespace platform {

// Writes past bytes fail from now on; false when the limit cannot be set.
bool SetFileSizeLimit(long long bytes);
// Lifts the limit again.
void ClearFileSizeLimit();

} // namespace platform
