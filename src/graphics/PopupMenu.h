#pragma once
// The pop-up menu model: items with flags (disabled 1, check mark 4, separator 8) and submenus.
// Before a menu is shown its items are numbered consecutively through the whole tree; the number
// the user picks is turned back into the menu that holds it and the index within that menu.

#include <memory>
#include <string>
#include <vector>

namespace graphics {

class PopupMenu {
public:
    enum ItemFlags { kDisabled = 1, kChecked = 4, kSeparator = 8 };
    // Optional numbering of the item texts: "%1d: %s", "%02d: %s" or "%03d: %s".
    enum class Prefix { None, Number, TwoDigits, ThreeDigits };

    struct Item {
        std::string text;
        int flags = 0;
        std::unique_ptr<PopupMenu> submenu;
        int id = 0; // set by AssignIds
    };

    explicit PopupMenu(Prefix prefix = Prefix::None) : prefix_(prefix) {}

    void AddItem(const std::string& text, int flags = 0);
    void AddSeparator();
    // Adds an entry that opens the returned submenu.
    PopupMenu& AddSubmenu(const std::string& text, int flags = 0);

    int ItemCount() const { return static_cast<int>(items_.size()); }
    const Item& ItemAt(int index) const { return items_[static_cast<std::size_t>(index)]; }
    // The text shown for an item, with the menu's number prefix (1-based).
    std::string Label(int index) const;

    // Numbers every item in tree order (an item before its submenu's items), starting at first;
    // returns the next free number.
    int AssignIds(int first = 1);
    // The menu and index of the selectable item with that number: not a separator, not
    // disabled, not a submenu entry. False for any other number.
    bool FindItem(int id, PopupMenu*& menu, int& index);

    int ChosenItemIndex() const { return chosen_; }
    void SetChosenItemIndex(int index) { chosen_ = index; }

private:
    Prefix prefix_;
    std::vector<Item> items_;
    int chosen_ = -1;
};

} // namespace graphics
