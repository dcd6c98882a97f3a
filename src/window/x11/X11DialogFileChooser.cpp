#include "window/x11/X11DialogFileChooser.h"

#include <X11/keysym.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "graphics/TextRenderer.h"
#include "platform/UserFolders.h"
#include "window/x11/X11DialogCommands.h"
#include "window/x11/X11DialogMessageBox.h"
#include "window/x11/X11DialogModal.h"

namespace platform::x11 {

namespace {

using graphics::Rect;

constexpr int kWidth = 600;
constexpr int kHeight = 420;
constexpr int kRow = look::kLineHeight;

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool HasExtension(const std::string& name, const std::string& extension) {
    if (name.size() <= extension.size() + 1) return false;
    std::size_t dot = name.size() - extension.size() - 1;
    if (name[dot] != '.') return false;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[dot + 1 + i])) !=
            std::tolower(static_cast<unsigned char>(extension[i]))) {
            return false;
        }
    }
    return true;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Removes "." and ".." parts and doubled slashes from an absolute path.
std::string Normalise(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

// A scrolling list of names with one selected row.
struct ListBox {
    Rect rect;
    std::vector<std::string> items;
    int selected = -1;
    int scroll = 0;

    int VisibleRows() const { return std::max(1, (rect.Height() - 4) / kRow); }
    int RowAt(int x, int y) const {
        if (!rect.Contains(x, y)) return -1;
        int row = scroll + (y - rect.top - 2) / kRow;
        return row >= 0 && row < static_cast<int>(items.size()) ? row : -1;
    }
    void Reveal() {
        if (selected < 0) return;
        if (selected < scroll) scroll = selected;
        if (selected >= scroll + VisibleRows()) scroll = selected - VisibleRows() + 1;
    }
    void ScrollBy(int rows) {
        int most = std::max(0, static_cast<int>(items.size()) - VisibleRows());
        scroll = std::max(0, std::min(scroll + rows, most));
    }
    void Paint(graphics::Surface& surface, const std::string& suffix) const {
        surface.FillRect(rect, look::kField, 1.0);
        look::Frame(surface, rect, look::kFrame);
        Rect inner(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
        surface.SetClip(inner);
        for (int row = 0; row < VisibleRows() + 1; ++row) {
            int index = scroll + row;
            if (index >= static_cast<int>(items.size())) break;
            int top = rect.top + 2 + row * kRow;
            Rect line(inner.left, top, inner.right, top + kRow);
            bool on = index == selected;
            if (on) surface.FillRect(line, look::kSelection, 1.0);
            graphics::DrawText(surface, Rect(line.left + 4, top + 2, line.right - 2, line.bottom),
                               items[static_cast<std::size_t>(index)] + suffix,
                               look::Text(on ? look::kSelectionText : look::kText));
        }
        surface.ResetClip();
    }
};

class FileChooserDialog : public DrawnDialog {
public:
    // folderOnly: the folder dialog (no file list; the result is a folder).
    FileChooserDialog(bool folderOnly, bool save, const std::string& extension,
                      const std::string& folder, const std::string& name)
        : folderOnly_(folderOnly), save_(save), extension_(extension), name_(name) {
        folders_.rect = folderOnly ? Rect(10, 36, kWidth - 10, 326) : Rect(10, 36, 220, 326);
        files_.rect = Rect(230, 36, kWidth - 10, 326);
        Enter(folder);
    }

    int Width() const override { return kWidth; }
    int Height() const override { return kHeight; }
    const std::string& Result() const { return result_; }
    bool Accepted() const { return accepted_; }

    void Paint(graphics::Surface& surface) override {
        graphics::DrawText(surface, Rect(10, 12, kWidth - 10, 30), "Look in: " + folder_,
                           look::Text());
        folders_.Paint(surface, "/");
        if (!folderOnly_) files_.Paint(surface, "");
        graphics::DrawText(surface, Rect(10, 343, 95, 362),
                           folderOnly_ ? "Folder:" : "File name:", look::Text());
        Rect field = FieldRect();
        surface.FillRect(field, look::kField, 1.0);
        look::Frame(surface, field, look::kFocus);
        // The end of a long name stays in view, with the caret after it.
        std::string shown = name_;
        const graphics::TextStyle style = look::Text();
        while (!shown.empty() && graphics::TextWidth(shown, style) > field.Width() - 12) {
            shown.erase(0, 1);
            while (!shown.empty() && (static_cast<unsigned char>(shown[0]) & 0xC0) == 0x80) {
                shown.erase(0, 1);
            }
        }
        graphics::DrawText(surface,
                           Rect(field.left + 4, field.top + 4, field.right - 2, field.bottom),
                           shown, style);
        int caret = field.left + 4 + graphics::TextWidth(shown, style);
        surface.FillRect(Rect(caret, field.top + 4, caret + 1, field.bottom - 4), look::kText, 1.0);
        look::Button(surface, OkRect(), "OK", true);
        look::Button(surface, CancelRect(), "Cancel", false);
    }

    void Press(int x, int y, bool doubleClick) override {
        if (OkRect().Contains(x, y)) return Accept();
        if (CancelRect().Contains(x, y)) return CloseRequest();
        int row = folders_.RowAt(x, y);
        if (row >= 0) {
            const std::string& name = folders_.items[static_cast<std::size_t>(row)];
            // In the file dialog one click opens a folder; in the folder dialog one click picks
            // it and a double click opens it.
            if (!folderOnly_ || doubleClick) return Enter(Join(folder_, name));
            folders_.selected = row;
            name_ = name == ".." ? std::string() : name;
            return;
        }
        row = folderOnly_ ? -1 : files_.RowAt(x, y);
        if (row >= 0) {
            files_.selected = row;
            name_ = files_.items[static_cast<std::size_t>(row)];
            if (doubleClick) Accept();
        }
    }

    void Wheel(int x, int y, int delta) override {
        if (folders_.rect.Contains(x, y)) folders_.ScrollBy(3 * delta);
        if (!folderOnly_ && files_.rect.Contains(x, y)) files_.ScrollBy(3 * delta);
    }

    void Key(unsigned long sym, const std::string& text) override {
        if (sym == XK_Return || sym == XK_KP_Enter) return Accept();
        if (sym == XK_Escape) return CloseRequest();
        if (sym == XK_BackSpace) {
            while (!name_.empty() && (static_cast<unsigned char>(name_.back()) & 0xC0) == 0x80) {
                name_.pop_back();
            }
            if (!name_.empty()) name_.pop_back();
            return;
        }
        if (sym == XK_Up || sym == XK_Down) {
            ListBox& list = folderOnly_ ? folders_ : files_;
            int count = static_cast<int>(list.items.size());
            if (count == 0) return;
            int next = list.selected < 0 ? 0 : list.selected + (sym == XK_Up ? -1 : 1);
            list.selected = std::max(0, std::min(next, count - 1));
            list.Reveal();
            const std::string& name = list.items[static_cast<std::size_t>(list.selected)];
            name_ = name == ".." ? std::string() : name;
            return;
        }
        if (!text.empty() && name_.size() < 4096) name_ += text;
    }

    void CloseRequest() override {
        accepted_ = false;
        Finish();
    }

private:
    Rect FieldRect() const { return Rect(95, 338, kWidth - 10, 362); }
    Rect OkRect() const { return Rect(kWidth - 190, 380, kWidth - 106, 406); }
    Rect CancelRect() const { return Rect(kWidth - 94, 380, kWidth - 10, 406); }

    void Enter(const std::string& folder) {
        folder_ = Normalise(folder);
        FolderListing listing = ListFolder(folder_, folderOnly_ ? std::string() : extension_);
        folders_.items = listing.folders;
        files_.items = folderOnly_ ? std::vector<std::string>() : listing.files;
        folders_.selected = files_.selected = -1;
        folders_.scroll = files_.scroll = 0;
        if (folderOnly_) name_.clear();
    }

    void Accept() {
        std::string typed = name_;
        if (folderOnly_) {
            std::string folder = Normalise(Join(folder_, typed));
            if (!FolderExists(folder)) return;
            result_ = folder;
            accepted_ = true;
            return Finish();
        }
        if (typed.empty()) return;
        std::string full = Normalise(Join(folder_, typed));
        if (FolderExists(full)) {
            // A folder typed as the name is opened, as in the system dialogs.
            name_.clear();
            return Enter(full);
        }
        FileDialogRequest request;
        request.save = save_;
        request.extension = extension_;
        bool added = false;
        std::string checked = CheckedFilePath(full, request, added);
        if (checked.empty() && !save_ && !extension_.empty()) {
            // An open dialog also finds the file when its extension was not typed.
            checked = CheckedFilePath(full + "." + extension_, request, added);
        }
        if (checked.empty()) return;
        if (save_ && FileExists(checked)) {
            MessageAnswer answer = MessageAnswer::No;
            if (!ShowDrawnMessageBox(DisplayOf(), OwnerOf(), MessageKind::Question,
                                     ReplaceQuestion(BaseName(checked)), kReplaceCaption, Nested(),
                                     answer) ||
                answer != MessageAnswer::Yes) {
                return;
            }
        }
        result_ = checked;
        accepted_ = true;
        Finish();
    }

    bool folderOnly_;
    bool save_;
    std::string extension_;
    std::string name_;
    std::string folder_;
    ListBox folders_;
    ListBox files_;
    std::string result_;
    bool accepted_ = false;
};

// The folder to start in: the given one when it exists, else the home folder, else the root.
std::string UsableFolder(const std::string& folder) {
    if (!folder.empty() && folder[0] == '/' && FolderExists(folder)) return folder;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/' && FolderExists(home)) return home;
    return "/";
}

} // namespace

FolderListing ListFolder(const std::string& folder, const std::string& extension) {
    FolderListing listing;
    DIR* dir = opendir(folder.c_str());
    if (dir) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.empty() || name[0] == '.') continue;
            struct stat info;
            if (stat(Join(folder, name).c_str(), &info) != 0) continue;
            if (S_ISDIR(info.st_mode)) {
                listing.folders.push_back(name);
            } else if (S_ISREG(info.st_mode) &&
                       (extension.empty() || HasExtension(name, extension))) {
                listing.files.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(listing.folders.begin(), listing.folders.end(), LessNoCase);
    std::sort(listing.files.begin(), listing.files.end(), LessNoCase);
    if (folder != "/") listing.folders.insert(listing.folders.begin(), "..");
    return listing;
}

bool ShowDrawnFileDialog(Display* display, Window owner, const FileDialogRequest& request,
                         const std::string& startFolder, const WaitingEditor& editor,
                         std::string& path) {
    FileChooserDialog dialog(false, request.save, FilterExtension(request),
                             UsableFolder(startFolder), request.save ? request.defaultName : "");
    if (!RunDrawnDialog(display, owner, request.save ? kSaveTitle : kOpenTitle, dialog, editor) ||
        !dialog.Accepted()) {
        return false;
    }
    path = dialog.Result();
    return true;
}

bool ShowDrawnFolderDialog(Display* display, Window owner, const std::string& title,
                           const std::string& startFolder, const WaitingEditor& editor,
                           std::string& path) {
    FileChooserDialog dialog(true, false, std::string(), UsableFolder(startFolder), std::string());
    if (!RunDrawnDialog(display, owner, title, dialog, editor) || !dialog.Accepted()) return false;
    path = dialog.Result();
    return true;
}

} // namespace platform::x11
