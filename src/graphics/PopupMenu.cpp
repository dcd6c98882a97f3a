#include "graphics/PopupMenu.h"

#include "common/NumberText.h"

namespace graphics {

void PopupMenu::AddItem(const std::string& text, int flags) {
    Item item;
    item.text = text;
    item.flags = flags;
    items_.push_back(std::move(item));
}

void PopupMenu::AddSeparator() {
    AddItem(std::string(), kSeparator);
}

PopupMenu& PopupMenu::AddSubmenu(const std::string& text, int flags) {
    AddItem(text, flags);
    items_.back().submenu = std::make_unique<PopupMenu>(prefix_);
    return *items_.back().submenu;
}

std::string PopupMenu::Label(int index) const {
    const std::string& text = ItemAt(index).text;
    std::string number = common::FormatInt(index + 1);
    std::size_t width = prefix_ == Prefix::TwoDigits ? 2 : prefix_ == Prefix::ThreeDigits ? 3 : 1;
    if (prefix_ == Prefix::None) return text;
    while (number.size() < width) number.insert(number.begin(), '0');
    return number + ": " + text;
}

int PopupMenu::AssignIds(int first) {
    int next = first;
    for (Item& item : items_) {
        item.id = next++;
        if (item.submenu) next = item.submenu->AssignIds(next);
    }
    return next;
}

bool PopupMenu::FindItem(int id, PopupMenu*& menu, int& index) {
    for (int i = 0; i < ItemCount(); ++i) {
        Item& item = items_[static_cast<std::size_t>(i)];
        if (item.id == id) {
            if (item.submenu || (item.flags & (kSeparator | kDisabled))) return false;
            menu = this;
            index = i;
            return true;
        }
        if (item.submenu && item.submenu->FindItem(id, menu, index)) return true;
    }
    return false;
}

} // namespace graphics
