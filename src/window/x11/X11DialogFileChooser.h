#pragma once
// The file and folder dialog we draw ourselves: the current folder, its subfolders, its files
// with the requested extension, a name field and OK / Cancel.

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "platform/UiServices.h"
#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

// The entries of a folder, hidden ones left out, each list sorted without regard to case. Files
// are kept when extension is empty or their name ends in "." + extension (any letter case).
struct FolderListing {
    std::vector<std::string> folders; // ".." first unless the folder is the root
    std::vector<std::string> files;
};
FolderListing ListFolder(const std::string& folder, const std::string& extension);

// Shows the file dialog (request.save: a save dialog, which asks before replacing a file).
// False when cancelled or when it cannot be shown.
bool ShowDrawnFileDialog(Display* display, Window owner, const FileDialogRequest& request,
                         const std::string& startFolder, const WaitingEditor& editor,
                         std::string& path);
// Shows the folder dialog; false when cancelled or when it cannot be shown.
bool ShowDrawnFolderDialog(Display* display, Window owner, const std::string& title,
                           const std::string& startFolder, const WaitingEditor& editor,
                           std::string& path);

} // namespace platform::x11
