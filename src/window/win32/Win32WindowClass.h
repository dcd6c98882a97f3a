#pragma once
// The window class of the editor windows. It is registered when the first editor window of the
// process opens and unregistered when the last one has closed; every editor window of the process
// (of every instance) shares it.

#include <windows.h>

namespace platform::win32 {

extern const wchar_t kEditorWindowClass[];

// Counts one more user of the class, registering it for the first. False (nothing counted) when
// the class cannot be registered.
bool AcquireEditorWindowClass(WNDPROC windowProc);
// Counts one user less; the last one unregisters the class.
void ReleaseEditorWindowClass();

} // namespace platform::win32
