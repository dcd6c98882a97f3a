#include "window/x11/X11UiServices.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

#include "platform/UserFolders.h"
#include "window/x11/X11DialogCommands.h"
#include "window/x11/X11DialogFileChooser.h"
#include "window/x11/X11DialogMessageBox.h"
#include "window/x11/X11DialogTool.h"
#include "window/x11/X11DialogWindow.h"

namespace platform::x11 {

namespace {

struct Tool {
    DialogTool kind = DialogTool::Zenity;
    std::string path;
};

// zenity when it is on PATH, else kdialog; false when neither is.
bool FindDialogTool(Tool& tool) {
    tool.path = FindProgram("zenity");
    tool.kind = DialogTool::Zenity;
    if (tool.path.empty()) {
        tool.path = FindProgram("kdialog");
        tool.kind = DialogTool::Kdialog;
    }
    return !tool.path.empty();
}

bool Confirmed(const ToolResult& result) {
    return result.outcome == ToolResult::Outcome::Exited && result.exitCode == 0 &&
           !result.overflow;
}

// A file dialog prints a path only when the user confirmed it, so a printed path still counts
// when a host that reaps every child (or ignores SIGCHLD) took the exit status from us.
bool ConfirmedPath(const ToolResult& result) {
    return Confirmed(result) || (result.outcome == ToolResult::Outcome::Lost && !result.overflow &&
                                 !result.output.empty());
}

} // namespace

X11UiServices::X11UiServices(Display* display, Window owner, WaitingEditor editor)
    : display_(display), owner_(owner), editor_(std::move(editor)) {}

MessageAnswer X11UiServices::ShowMessage(MessageKind kind, const std::string& text,
                                         const std::string& caption) {
    // Whatever goes wrong, a question is not confirmed.
    const MessageAnswer fallback =
        kind == MessageKind::Question ? MessageAnswer::No : MessageAnswer::Ok;
    if (editor_.Cancelled()) return fallback;
    Tool tool;
    if (FindDialogTool(tool)) {
        ToolResult result =
            RunTool(tool.path,
                    MessageArguments(tool.kind, kind, text, caption, TopLevelOf(display_, owner_)),
                    display_, editor_);
        if (result.outcome != ToolResult::Outcome::NotStarted) {
            if (kind != MessageKind::Question) return MessageAnswer::Ok;
            return Confirmed(result) ? MessageAnswer::Yes : MessageAnswer::No;
        }
    }
    MessageAnswer answer = fallback;
    if (!ShowDrawnMessageBox(display_, owner_, kind, text, caption, editor_, answer)) {
        return fallback;
    }
    return answer;
}

bool X11UiServices::ChooseFile(const FileDialogRequest& request, std::string& path) {
    if (editor_.Cancelled()) return false;
    const std::string start = StartFolderOf(request.startFolder);
    Tool tool;
    if (FindDialogTool(tool)) {
        ToolResult result = RunTool(
            tool.path, FileArguments(tool.kind, request, start, TopLevelOf(display_, owner_)),
            display_, editor_);
        if (result.outcome != ToolResult::Outcome::NotStarted) {
            if (!ConfirmedPath(result)) return false;
            bool added = false;
            std::string chosen = CheckedFilePath(PrintedPath(result.output), request, added);
            if (chosen.empty()) return false;
            // The dialog confirmed replacing the name it returned; with the extension added the
            // name is another one, so we ask ourselves.
            if (request.save && added && FileExists(chosen) &&
                ShowMessage(MessageKind::Question, ReplaceQuestion(BaseName(chosen)),
                            kReplaceCaption) != MessageAnswer::Yes) {
                return false;
            }
            path = chosen;
            return true;
        }
    }
    std::string chosen;
    if (!ShowDrawnFileDialog(display_, owner_, request, start, editor_, chosen)) return false;
    path = chosen;
    return true;
}

bool X11UiServices::ChooseFolder(const std::string& title, const std::string& startFolder,
                                 std::string& path) {
    if (editor_.Cancelled()) return false;
    const std::string start = StartFolderOf(startFolder);
    Tool tool;
    if (FindDialogTool(tool)) {
        ToolResult result = RunTool(
            tool.path, FolderArguments(tool.kind, title, start, TopLevelOf(display_, owner_)),
            display_, editor_);
        if (result.outcome != ToolResult::Outcome::NotStarted) {
            if (!ConfirmedPath(result)) return false;
            std::string chosen = CheckedFolderPath(PrintedPath(result.output));
            if (chosen.empty()) return false;
            path = chosen;
            return true;
        }
    }
    std::string chosen;
    if (!ShowDrawnFolderDialog(display_, owner_, title, start, editor_, chosen)) return false;
    path = chosen;
    return true;
}

bool X11UiServices::OpenWebAddress(const std::string& address) {
    // An address that looks like an option would be taken as one by the opener.
    if (address.empty() || address[0] == '-') return false;
    const std::string opener = FindProgram("xdg-open");
    if (opener.empty()) return false;
    return StartDetached(opener, {address});
}

bool X11UiServices::InternetAvailable() {
    // The nearest equivalent of the system's connection state: some network interface other than
    // loopback is up and has an internet address.
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool available = false;
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr) continue;
        int family = entry->ifa_addr->sa_family;
        unsigned flags = entry->ifa_flags;
        if ((family == AF_INET || family == AF_INET6) && (flags & IFF_UP) &&
            (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK)) {
            available = true;
        }
    }
    freeifaddrs(list);
    return available;
}

} // namespace platform::x11
