#include "graphics/OffscreenWindow.h"

#include "graphics/Graphics.h"
#include "graphics/TextRenderer.h"

#include <algorithm>

namespace graphics {

bool OffscreenWindow::Open(void*, int width, int height, int timerPeriodMs) {
    screen_.Resize(width, height);
    timerPeriod_ = timerPeriodMs;
    open_ = true;
    return true;
}

bool OffscreenWindow::Resize(int width, int height) {
    if (!open_) return false;
    screen_.Resize(width, height);
    return true;
}

void OffscreenWindow::Invalidate(const Rect& area) {
    if (open_) graphics_.OnPaint(area);
}

void OffscreenWindow::Blit(const Surface& backBuffer, const Rect& area) {
    Rect copy = area.Intersection(screen_.Bounds()).Intersection(backBuffer.Bounds());
    for (int y = copy.top; y < copy.bottom; ++y)
        std::copy(backBuffer.Row(y) + copy.left, backBuffer.Row(y) + copy.right,
                  screen_.Row(y) + copy.left);
}

bool OffscreenWindow::OpenTextEntry(const TextEntryRequest& request) {
    if (!open_) return false;
    entry_ = request;
    entryText_ = request.text;
    entrySelected_ = true;
    entryOpen_ = true;
    return true;
}

void OffscreenWindow::Type(const std::string& characters) {
    if (!entryOpen_) return;
    for (unsigned c : DecodeText(characters)) {
        if (!graphics_.TextEntryAccepts(c)) continue;
        if (entrySelected_) {
            entryText_.clear();
            entrySelected_ = false;
        }
        if (c == 8) {
            if (!entryText_.empty()) entryText_.pop_back();
            continue;
        }
        if (static_cast<int>(entryText_.size()) >= entry_.maxLength || c > 127) continue;
        entryText_.push_back(static_cast<char>(c));
    }
}

void OffscreenWindow::ShowTooltip(const std::string& text) {
    tooltip_ = text;
    tooltipShown_ = true;
}

int OffscreenWindow::TrackPopupMenu(const PopupMenu& menu, int x, int y) {
    ++menusShown_;
    menuX_ = x;
    menuY_ = y;
    return chooser_ ? chooser_(menu) : 0;
}

void OffscreenWindow::HidePointer() {
    pointerHidden_ = true;
}

void OffscreenWindow::RestorePointer() {
    pointerHidden_ = false;
}

} // namespace graphics
