#include "window/x11/X11DialogCommands.h"

#include <cctype>

#include "platform/UserFolders.h"

namespace platform::x11 {

namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// zenity expands backslash escapes in its texts; doubled backslashes come out as typed.
std::string ZenityText(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

std::string WithSlash(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

std::string ParentOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool EndsWithExtension(const std::string& name, const std::string& extension) {
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string ending = name.substr(dot + 1);
    if (ending.size() != extension.size()) return false;
    for (std::size_t i = 0; i < ending.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(ending[i])) !=
            std::tolower(static_cast<unsigned char>(extension[i]))) {
            return false;
        }
    }
    return true;
}

void Attach(DialogTool tool, unsigned long window, std::vector<std::string>& args) {
    // zenity's option for this differs between its versions (and is refused by some), so only
    // kdialog is told its parent window.
    if (tool == DialogTool::Kdialog && window != 0) {
        args.push_back("--attach");
        args.push_back(std::to_string(window));
    }
}

} // namespace

std::string ReplaceQuestion(const std::string& fileName) {
    return fileName + " already exists.\nDo you want to replace it?";
}

std::string FilterExtension(const FileDialogRequest& request) {
    return Trim(request.extension);
}

std::string StartFolderOf(const std::string& requested) {
    if (!requested.empty()) return requested;
    return DesktopFolder();
}

std::vector<std::string> MessageArguments(DialogTool tool, MessageKind kind,
                                          const std::string& text, const std::string& caption,
                                          unsigned long attachTo) {
    std::vector<std::string> args;
    if (tool == DialogTool::Zenity) {
        args.push_back(kind == MessageKind::Question ? "--question"
                       : kind == MessageKind::Error  ? "--error"
                                                     : "--info");
        args.push_back("--title=" + caption);
        args.push_back("--text=" + ZenityText(text));
        args.push_back("--no-markup");
        return args;
    }
    Attach(tool, attachTo, args);
    args.push_back("--title");
    args.push_back(caption);
    args.push_back(kind == MessageKind::Question ? "--yesno"
                   : kind == MessageKind::Error  ? "--error"
                                                 : "--msgbox");
    args.push_back(text);
    return args;
}

std::vector<std::string> FileArguments(DialogTool tool, const FileDialogRequest& request,
                                       const std::string& startFolder, unsigned long attachTo) {
    std::vector<std::string> args;
    const std::string extension = FilterExtension(request);
    const std::string start = WithSlash(startFolder) + (request.save ? request.defaultName : "");
    const std::string title = request.save ? kSaveTitle : kOpenTitle;
    if (tool == DialogTool::Zenity) {
        args.push_back("--file-selection");
        args.push_back("--title=" + title);
        if (request.save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        args.push_back("--filename=" + start);
        if (!extension.empty()) args.push_back("--file-filter=*." + extension);
        return args;
    }
    Attach(tool, attachTo, args);
    args.push_back("--title");
    args.push_back(title);
    args.push_back(request.save ? "--getsavefilename" : "--getopenfilename");
    args.push_back(start);
    if (!extension.empty()) args.push_back("*." + extension);
    return args;
}

std::vector<std::string> FolderArguments(DialogTool tool, const std::string& title,
                                         const std::string& startFolder, unsigned long attachTo) {
    std::vector<std::string> args;
    if (tool == DialogTool::Zenity) {
        args.push_back("--file-selection");
        args.push_back("--directory");
        args.push_back("--title=" + title);
        args.push_back("--filename=" + WithSlash(startFolder));
        return args;
    }
    Attach(tool, attachTo, args);
    args.push_back("--title");
    args.push_back(title);
    args.push_back("--getexistingdirectory");
    args.push_back(startFolder);
    return args;
}

std::string PrintedPath(const std::string& output) {
    std::string path = output;
    if (!path.empty() && path.back() == '\n') path.pop_back();
    if (!path.empty() && path.back() == '\r') path.pop_back();
    if (path.empty() || path[0] != '/') return std::string();
    for (char c : path) {
        if (c == '\n' || c == '\r' || c == '\0') return std::string();
    }
    return path;
}

std::string CheckedFilePath(const std::string& path, const FileDialogRequest& request,
                            bool& added) {
    added = false;
    if (path.empty() || path[0] != '/' || path.back() == '/') return std::string();
    if (!request.save) return FileExists(path) ? path : std::string();
    std::string result = path;
    const std::string extension = FilterExtension(request);
    if (!extension.empty() && !EndsWithExtension(BaseName(path), extension)) {
        result += "." + extension;
        added = true;
    }
    if (!FolderExists(ParentOf(result)) || FolderExists(result)) return std::string();
    return result;
}

std::string CheckedFolderPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return std::string();
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return FolderExists(folder) ? folder : std::string();
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace platform::x11
