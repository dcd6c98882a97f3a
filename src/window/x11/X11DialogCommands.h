#pragma once
// The command lines of the desktop's dialog programs and how their answers are read. zenity is
// preferred, kdialog is the alternative; both print the chosen path on standard output and
// answer OK/Yes with exit status 0.

#include <string>
#include <vector>

#include "platform/UiServices.h"

namespace platform::x11 {

enum class DialogTool { Zenity, Kdialog };

// The title of the file dialogs, which the request does not carry.
constexpr const char* kOpenTitle = "Open";
constexpr const char* kSaveTitle = "Save As";
// The question asked before replacing a file the dialog did not confirm itself (the dialog
// program never saw the name because the extension was added afterwards).
constexpr const char* kReplaceCaption = "Confirm Save As";
std::string ReplaceQuestion(const std::string& fileName);

// The extension of a request without surrounding blanks; empty when the dialog shows all files
// (the folder-only dialogs pass " ").
std::string FilterExtension(const FileDialogRequest& request);
// The start folder of a dialog: the requested one, else the desktop folder.
std::string StartFolderOf(const std::string& requested);

// attachTo: the X window the dialog is made transient for (0: none).
std::vector<std::string> MessageArguments(DialogTool tool, MessageKind kind,
                                          const std::string& text, const std::string& caption,
                                          unsigned long attachTo);
std::vector<std::string> FileArguments(DialogTool tool, const FileDialogRequest& request,
                                       const std::string& startFolder, unsigned long attachTo);
std::vector<std::string> FolderArguments(DialogTool tool, const std::string& title,
                                         const std::string& startFolder, unsigned long attachTo);

// The one absolute path a file dialog printed (one line, the final newline removed); empty for
// anything else.
std::string PrintedPath(const std::string& output);

// A path the user chose, checked against the kind of dialog, with the extension added to a saved
// name typed without it. Empty when it cannot be used: not absolute, a missing file (open), a
// missing parent folder or a folder (save). `added` tells whether the extension was added.
std::string CheckedFilePath(const std::string& path, const FileDialogRequest& request, bool& added);
// The folder without a trailing slash when it exists; empty otherwise.
std::string CheckedFolderPath(const std::string& path);

// The name after the last slash.
std::string BaseName(const std::string& path);

} // namespace platform::x11
