#pragma once
// Names longer than the file dialog takes. The common file dialog works with MAX_PATH buffers:
// a longer name typed into it is refused, cut, or (in some implementations) crashes the dialog.
// The hook installed here takes such a name before the dialog sees it: it checks the name the way
// the dialog would (folder exists, file exists for opening, replacing asked for saving), using the
// long-path form of the wide file functions, and closes the dialog with the name as the answer.

#include <windows.h>

#include <string>

namespace platform::win32 {

struct LongFileName {
    bool save = false;
    std::wstring defaultExt; // added to a name without an extension when saving
    std::wstring chosen;     // the long name the user confirmed, empty when none
};

// The dialog's hook (OPENFILENAMEW::lpfnHook, with lCustData pointing at a LongFileName).
UINT_PTR CALLBACK LongFileNameHook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

// Whether a path is an existing folder or file, checked in the long-path form when needed.
bool IsExistingFolder(const std::wstring& path);
bool IsExistingFile(const std::wstring& path);

} // namespace platform::win32
