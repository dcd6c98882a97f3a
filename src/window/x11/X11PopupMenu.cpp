#include "window/x11/X11PopupMenu.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <time.h>

#include "graphics/TextRenderer.h"
#include "window/x11/X11DialogWindow.h"
#include "window/x11/X11ErrorTrap.h"
#include "window/x11/X11ScaledText.h"

namespace platform::x11 {

namespace {

using graphics::Color;
using graphics::PopupMenu;
using graphics::Rect;

constexpr int kItemHeight = 22;
constexpr int kSeparatorHeight = 9;
constexpr int kBorder = 1;
constexpr int kGutter = 24;    // left of the text: room for the check mark
constexpr int kArrowRoom = 24; // right of the text: room for the submenu arrow
constexpr int kMinWidth = 120;
constexpr int kFontSize = 13;

const Color kBackground(255, 242, 242, 242);
const Color kFrame(255, 120, 120, 120);
const Color kText(255, 0, 0, 0);
const Color kDisabledText(255, 150, 150, 150);
const Color kHighlight(255, 48, 110, 200);
const Color kHighlightText(255, 255, 255, 255);
const Color kSeparatorLine(255, 200, 200, 200);

graphics::TextStyle Style(Color color) {
    return graphics::TextStyle("Arial", kFontSize, color, graphics::TextAlign::Left);
}

bool IsSeparator(const PopupMenu::Item& item) {
    return (item.flags & PopupMenu::kSeparator) != 0;
}
bool IsDisabled(const PopupMenu::Item& item) {
    return (item.flags & PopupMenu::kDisabled) != 0;
}
bool OpensSubmenu(const PopupMenu::Item& item) {
    return item.submenu && !IsSeparator(item) && !IsDisabled(item) && item.submenu->ItemCount() > 0;
}
bool Choosable(const PopupMenu::Item& item) {
    return !item.submenu && !IsSeparator(item) && !IsDisabled(item);
}

// A check mark: two strokes, three pixels thick, drawn as small squares.
void DrawCheck(graphics::Surface& surface, int left, int top, Color color) {
    for (int i = 0; i <= 3; ++i)
        surface.FillRect(Rect(left + i, top + 4 + i, left + i + 2, top + 7 + i), color, 1.0);
    for (int i = 0; i <= 6; ++i) {
        surface.FillRect(Rect(left + 3 + i, top + 7 - i, left + 5 + i, top + 10 - i), color, 1.0);
    }
}

// A small triangle pointing right.
void DrawArrow(graphics::Surface& surface, int left, int centre, Color color) {
    for (int i = 0; i < 4; ++i) {
        surface.FillRect(Rect(left + i, centre - 3 + i, left + i + 1, centre + 4 - i), color, 1.0);
    }
}

// One open menu level: its window, where it is and which item is highlighted. The menu is laid
// out in editor units and shown at the editor's scale.
struct Level {
    const PopupMenu* menu = nullptr;
    std::unique_ptr<SurfaceWindow> window;
    Rect rect;               // root coordinates, device pixels
    Rect units;              // the window's area in units
    std::vector<Rect> items; // item rectangles in the window, in units
    int selected = -1;
};

class MenuTracker {
public:
    MenuTracker(Display* display, Window owner, const WaitingEditor& editor)
        : display_(display), owner_(owner), editor_(editor), screen_(ScreenRect(display, owner)),
          scale_(editor.ScalePercent()) {}
    ~MenuTracker() {
        Ungrab();
        levels_.clear();
    }

    int Run(const PopupMenu& menu, int x, int y);

private:
    bool Open(const PopupMenu& menu, int x, int y, const Rect* parentItem);
    void CloseFrom(std::size_t depth) {
        while (levels_.size() > depth) levels_.pop_back();
    }
    void Paint(Level& level);
    int ItemAt(const Level& level, int rootX, int rootY) const;
    // Editor units -> device pixels at the menu's scale.
    int Px(int units) const { return graphics::ScaleLength(units, scale_); }
    int LevelAt(int rootX, int rootY) const;
    void Select(std::size_t depth, int index, bool openSubmenu);
    void OpenSubmenuOf(std::size_t depth, bool selectFirst);
    void Move(int delta);
    void Grab();
    void Ungrab();
    void HandleMotion(int rootX, int rootY);
    bool HandleRelease(int rootX, int rootY);
    bool HandleKey(XKeyEvent& event);

    Display* display_;
    Window owner_;
    const WaitingEditor& editor_;
    Rect screen_;
    int scale_;
    std::vector<std::unique_ptr<Level>> levels_;
    bool grabbedPointer_ = false;
    bool grabbedKeyboard_ = false;
    bool pressedInside_ = false;
    int startX_ = 0, startY_ = 0;
    bool dragged_ = false;
    bool done_ = false;
    int result_ = 0;
};

bool MenuTracker::Open(const PopupMenu& menu, int x, int y, const Rect* parentItem) {
    auto level = std::make_unique<Level>();
    level->menu = &menu;
    int textWidth = 0;
    bool hasArrow = false;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        const PopupMenu::Item& item = menu.ItemAt(i);
        if (!IsSeparator(item))
            textWidth = std::max(textWidth, TextUnits(menu.Label(i), Style(kText), scale_));
        if (item.submenu) hasArrow = true;
    }
    // The screen in units, for the layout; the placement below is in device pixels.
    const Rect screenUnits = graphics::UnscaleRect(screen_, scale_);
    int columnWidth = std::max(kMinWidth, kGutter + textWidth + (hasArrow ? kArrowRoom : 12));
    columnWidth = std::min(columnWidth, std::max(kMinWidth, screenUnits.Width() - 2 * kBorder));
    // A menu taller than the screen continues in further columns to the right.
    const int maxBottom = std::max(kItemHeight, screenUnits.Height() - kBorder);
    int column = 0, rowTop = kBorder, height = kBorder;
    for (int i = 0; i < menu.ItemCount(); ++i) {
        int h = IsSeparator(menu.ItemAt(i)) ? kSeparatorHeight : kItemHeight;
        if (rowTop + h > maxBottom && rowTop > kBorder) {
            ++column;
            rowTop = kBorder;
        }
        int left = kBorder + column * columnWidth;
        level->items.emplace_back(left, rowTop, left + columnWidth, rowTop + h);
        rowTop += h;
        height = std::max(height, rowTop);
    }
    height += kBorder;
    level->units = Rect(0, 0, (column + 1) * columnWidth + 2 * kBorder, height);
    const int width = Px(level->units.right);
    height = Px(level->units.bottom);

    // Keep the menu on the screen: a submenu opens to the right of its item, or to the left when
    // there is no room; the first level flips up or left at the screen's edges.
    int left = x, top = y;
    if (parentItem) {
        if (left + width > screen_.right) left = parentItem->left - width;
    } else if (left + width > screen_.right) {
        left = x - width;
    }
    if (top + height > screen_.bottom) top = parentItem ? screen_.bottom - height : y - height;
    left = std::max(screen_.left, std::min(left, screen_.right - width));
    top = std::max(screen_.top, std::min(top, screen_.bottom - height));
    level->rect = Rect(left, top, left + width, top + height);

    level->window = std::make_unique<SurfaceWindow>(display_);
    if (!level->window->Create(owner_, level->rect, true, std::string())) return false;
    {
        X11ErrorTrap trap(display_);
        XMapRaised(display_, level->window->Handle());
        XFlush(display_);
    }
    levels_.push_back(std::move(level));
    Paint(*levels_.back());
    return true;
}

void MenuTracker::Paint(Level& level) {
    graphics::Surface surface(level.rect.Width(), level.rect.Height());
    surface.SetScale(scale_);
    surface.Clear(kFrame);
    surface.FillRect(
        Rect(kBorder, kBorder, level.units.right - kBorder, level.units.bottom - kBorder),
        kBackground, 1.0);
    for (int i = 0; i < level.menu->ItemCount(); ++i) {
        const PopupMenu::Item& item = level.menu->ItemAt(i);
        const Rect& r = level.items[static_cast<std::size_t>(i)];
        if (IsSeparator(item)) {
            int middle = (r.top + r.bottom) / 2;
            surface.FillRect(Rect(r.left + 4, middle, r.right - 4, middle + 1), kSeparatorLine,
                             1.0);
            continue;
        }
        bool highlighted = i == level.selected;
        if (highlighted) surface.FillRect(r, kHighlight, 1.0);
        Color color = IsDisabled(item) ? kDisabledText : highlighted ? kHighlightText : kText;
        if (item.flags & PopupMenu::kChecked) DrawCheck(surface, r.left + 7, r.top + 5, color);
        int textTop = r.top + (kItemHeight - kFontSize) / 2 - 1;
        graphics::DrawText(surface, Rect(r.left + kGutter, textTop, r.right - 4, r.bottom),
                           level.menu->Label(i), Style(color));
        if (item.submenu) DrawArrow(surface, r.right - 14, (r.top + r.bottom) / 2, color);
    }
    level.window->Present(surface);
}

int MenuTracker::ItemAt(const Level& level, int rootX, int rootY) const {
    int x = graphics::UnscaleCoord(rootX - level.rect.left, scale_);
    int y = graphics::UnscaleCoord(rootY - level.rect.top, scale_);
    for (std::size_t i = 0; i < level.items.size(); ++i) {
        if (level.items[i].Contains(x, y)) return static_cast<int>(i);
    }
    return -1;
}

int MenuTracker::LevelAt(int rootX, int rootY) const {
    for (std::size_t d = levels_.size(); d-- > 0;) {
        if (levels_[d]->rect.Contains(rootX, rootY)) return static_cast<int>(d);
    }
    return -1;
}

void MenuTracker::OpenSubmenuOf(std::size_t depth, bool selectFirst) {
    Level& level = *levels_[depth];
    if (level.selected < 0) return;
    const PopupMenu::Item& item = level.menu->ItemAt(level.selected);
    if (!OpensSubmenu(item)) return;
    if (levels_.size() > depth + 1 && levels_[depth + 1]->menu == item.submenu.get()) {
        if (selectFirst && levels_[depth + 1]->selected < 0) Move(+1);
        return;
    }
    CloseFrom(depth + 1);
    Rect itemRect =
        graphics::ScaleRect(level.items[static_cast<std::size_t>(level.selected)], scale_)
            .Offset(level.rect.left, level.rect.top);
    // Beside the item's column (a tall menu has several).
    Rect parent(itemRect.left - Px(kBorder), itemRect.top, itemRect.right + Px(kBorder),
                itemRect.bottom);
    if (!Open(*item.submenu, parent.right - Px(2), itemRect.top - Px(kBorder), &parent)) return;
    if (selectFirst) Move(+1);
}

void MenuTracker::Select(std::size_t depth, int index, bool openSubmenu) {
    Level& level = *levels_[depth];
    if (index >= 0 && IsSeparator(level.menu->ItemAt(index))) index = -1;
    bool keepChild = levels_.size() > depth + 1 && index >= 0 &&
                     levels_[depth + 1]->menu == level.menu->ItemAt(index).submenu.get();
    if (!keepChild) CloseFrom(depth + 1);
    if (level.selected != index) {
        level.selected = index;
        Paint(level);
    }
    if (openSubmenu) OpenSubmenuOf(depth, false);
}

// Moves the highlight of the deepest level by one item, skipping separators, wrapping around.
void MenuTracker::Move(int delta) {
    Level& level = *levels_.back();
    int count = level.menu->ItemCount();
    if (count == 0) return;
    int index = level.selected;
    for (int step = 0; step < count; ++step) {
        index = index < 0 ? (delta > 0 ? 0 : count - 1) : (index + delta + count) % count;
        if (!IsSeparator(level.menu->ItemAt(index))) {
            level.selected = index;
            Paint(level);
            return;
        }
    }
}

void MenuTracker::Grab() {
    Window window = levels_.front()->window->Handle();
    // The window may not be viewable yet right after mapping; try for a short while.
    for (int attempt = 0; attempt < 50 && !(grabbedPointer_ && grabbedKeyboard_); ++attempt) {
        {
            X11ErrorTrap trap(display_);
            if (!grabbedPointer_) {
                grabbedPointer_ =
                    XGrabPointer(display_, window, True,
                                 ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                 GrabModeAsync, GrabModeAsync, None, None,
                                 CurrentTime) == GrabSuccess;
            }
            if (!grabbedKeyboard_) {
                grabbedKeyboard_ = XGrabKeyboard(display_, window, True, GrabModeAsync,
                                                 GrabModeAsync, CurrentTime) == GrabSuccess;
            }
        }
        if (!(grabbedPointer_ && grabbedKeyboard_)) {
            timespec pause{0, 10 * 1000 * 1000};
            nanosleep(&pause, nullptr);
        }
    }
}

void MenuTracker::Ungrab() {
    if (!grabbedPointer_ && !grabbedKeyboard_) return;
    X11ErrorTrap trap(display_);
    if (grabbedPointer_) XUngrabPointer(display_, CurrentTime);
    if (grabbedKeyboard_) XUngrabKeyboard(display_, CurrentTime);
    XFlush(display_);
    grabbedPointer_ = grabbedKeyboard_ = false;
}

void MenuTracker::HandleMotion(int rootX, int rootY) {
    if (std::abs(rootX - startX_) > 3 || std::abs(rootY - startY_) > 3) dragged_ = true;
    int depth = LevelAt(rootX, rootY);
    if (depth < 0) {
        // Off the menus: only the deepest level loses its highlight (an open submenu stays).
        Level& deepest = *levels_.back();
        if (deepest.selected >= 0) {
            deepest.selected = -1;
            Paint(deepest);
        }
        return;
    }
    Level& level = *levels_[static_cast<std::size_t>(depth)];
    Select(static_cast<std::size_t>(depth), ItemAt(level, rootX, rootY), true);
}

bool MenuTracker::HandleRelease(int rootX, int rootY) {
    // The release of the click that opened the menu chooses nothing unless the pointer was
    // dragged onto an item.
    if (!pressedInside_ && !dragged_) return false;
    int depth = LevelAt(rootX, rootY);
    if (depth < 0) return false;
    const Level& level = *levels_[static_cast<std::size_t>(depth)];
    int index = ItemAt(level, rootX, rootY);
    if (index < 0) return false;
    const PopupMenu::Item& item = level.menu->ItemAt(index);
    if (!Choosable(item)) return false;
    result_ = item.id;
    return true;
}

bool MenuTracker::HandleKey(XKeyEvent& event) {
    KeySym sym = NoSymbol;
    char buffer[8];
    {
        // The first lookup fetches the keyboard mapping from the server.
        X11ErrorTrap trap(display_);
        XLookupString(&event, buffer, sizeof buffer, &sym, nullptr);
    }
    Level& level = *levels_.back();
    switch (sym) {
    case XK_Up:
    case XK_KP_Up:
        Move(-1);
        return false;
    case XK_Down:
    case XK_KP_Down:
        Move(+1);
        return false;
    case XK_Right:
    case XK_KP_Right:
        OpenSubmenuOf(levels_.size() - 1, true);
        return false;
    case XK_Left:
    case XK_KP_Left:
        if (levels_.size() > 1) CloseFrom(levels_.size() - 1);
        return false;
    case XK_Escape:
        // Escape closes the deepest submenu; on the first level it dismisses the menu.
        if (levels_.size() > 1) {
            CloseFrom(levels_.size() - 1);
            return false;
        }
        result_ = 0;
        return true;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space: {
        if (level.selected < 0) return false;
        const PopupMenu::Item& item = level.menu->ItemAt(level.selected);
        if (OpensSubmenu(item)) {
            OpenSubmenuOf(levels_.size() - 1, true);
            return false;
        }
        if (!Choosable(item)) return false;
        result_ = item.id;
        return true;
    }
    default:
        return false;
    }
}

int MenuTracker::Run(const PopupMenu& menu, int x, int y) {
    if (menu.ItemCount() == 0 || !Open(menu, x, y, nullptr)) return 0;
    {
        // Wait until the first level is viewable so that the grab can take it.
        X11ErrorTrap trap(display_);
        XSync(display_, False);
        Window root = 0, child = 0;
        int winX = 0, winY = 0;
        unsigned mask = 0;
        XQueryPointer(display_, levels_.front()->window->Handle(), &root, &child, &startX_,
                      &startY_, &winX, &winY, &mask);
    }
    Grab();
    // Without the pointer grab a click outside would never reach us and the menu could not be
    // dismissed: another client holds the pointer, so the menu is not shown at all.
    if (!grabbedPointer_) {
        CloseFrom(0);
        return 0;
    }
    while (!done_) {
        if (editor_.Cancelled()) {
            result_ = 0;
            break;
        }
        XEvent event;
        WaitForInput(display_, -1, 200);
        while (!done_) {
            {
                X11ErrorTrap trap(display_);
                if (XPending(display_) == 0) break;
                XNextEvent(display_, &event);
            }
            Level* target = nullptr;
            for (auto& level : levels_) {
                if (level->window->Handle() == event.xany.window) target = level.get();
            }
            switch (event.type) {
            case Expose:
                if (target) {
                    if (event.xexpose.count == 0) Paint(*target);
                } else {
                    ForwardWhileModal(event, editor_);
                }
                break;
            case MotionNotify:
                if (target || event.xmotion.window == levels_.front()->window->Handle()) {
                    HandleMotion(event.xmotion.x_root, event.xmotion.y_root);
                } else {
                    ForwardWhileModal(event, editor_);
                }
                break;
            case ButtonPress:
                if (event.xbutton.button > 3) break; // wheel
                if (LevelAt(event.xbutton.x_root, event.xbutton.y_root) < 0) {
                    result_ = 0; // a click outside dismisses
                    done_ = true;
                } else {
                    pressedInside_ = true;
                }
                break;
            case ButtonRelease:
                if (event.xbutton.button > 3) break;
                if (HandleRelease(event.xbutton.x_root, event.xbutton.y_root)) done_ = true;
                break;
            case KeyPress:
                if (HandleKey(event.xkey)) done_ = true;
                break;
            case KeyRelease:
                break;
            default:
                if (!target) ForwardWhileModal(event, editor_);
                break;
            }
        }
    }
    Ungrab();
    CloseFrom(0);
    return result_;
}

} // namespace

int TrackPopupMenu(Display* display, Window owner, const graphics::PopupMenu& menu, int x, int y,
                   const WaitingEditor& editor) {
    if (!display || editor.Cancelled()) return 0;
    MenuTracker tracker(display, owner, editor);
    return tracker.Run(menu, x, y);
}

} // namespace platform::x11
