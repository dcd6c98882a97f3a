#pragma once
// The handle of the loaded plug-in library, recorded when the OS loads it. Resources and the
// library's own path are found through it.

namespace platform {

// Opaque handle: HMODULE on Windows, an address inside the library elsewhere.
void* ModuleHandle();

} // namespace platform
