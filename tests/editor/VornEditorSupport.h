#pragma once
// A Vorna instance made through its entry function, with its own editor opened on the offscreen
// window, scripted message boxes and dialogs, and helpers that click, drag and hover as a user
// would: every event goes through the Graphics core's routing.

#include "editor/VornEditor.h"
#include "graphics/OffscreenWindow.h"
#include "graphics/PopupMenu.h"
#include "unit/update/ScriptedUi.h"
#include "unit/vorn/VornTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace editor_test {

class EditorInstance {
public:
    EditorInstance() {
        plugin().Settings().showAllKnobValues = false;
        // Option commands write the configuration file: never the shared test one.
        plugin().Settings().configurationPath = "editor-test-vorn.ini";
        view_ = plugin().EditorView();
        EXPECT_NE(view_, nullptr);
        auto offscreen = std::make_unique<graphics::OffscreenWindow>(*view_);
        window_ = offscreen.get();
        window_->SetUi(&ui);
        EXPECT_TRUE(view_->OpenWindowWith(std::move(offscreen)));
        plugin().EditorOpened();
        plugin().IdleTick();
    }
    ~EditorInstance() {
        if (view_) view_->CloseWindow();
    }

    // Closes the offscreen window, gives the editor the scale (without a window it takes effect
    // at once) and opens a fresh offscreen window at the new size, as a host does that closes
    // and reopens its editor.
    void ReopenAtScale(int percent) {
        view_->CloseWindow();
        ASSERT_TRUE(view_->SetScale(percent)) << percent;
        auto offscreen = std::make_unique<graphics::OffscreenWindow>(*view_);
        window_ = offscreen.get();
        window_->SetUi(&ui);
        ASSERT_TRUE(view_->OpenWindowWith(std::move(offscreen)));
        plugin().EditorOpened();
        plugin().IdleTick();
        ASSERT_EQ(view_->ScalePercent(), percent);
    }

    vorn::Vorn& plugin() { return instance_.Plugin(); }
    editor::VornEditor& view() { return *view_; }
    graphics::OffscreenWindow& window() { return *window_; }
    hostkit::PluginHost& host() { return instance_.host; }

    // The first attached control with that parameter index or action id, as its class.
    template <class T = graphics::Control> T* Find(int id) {
        for (int i = 0; i < view_->ControlCount(); ++i) {
            graphics::Control* control = view_->GetControl(i);
            if (control->ParamIndex() == id)
                if (T* typed = dynamic_cast<T*>(control)) return typed;
        }
        return nullptr;
    }
    template <class T = graphics::Control> T* Key(int key) {
        return dynamic_cast<T*>(view_->Lookup(key));
    }

    // A point inside the control's target rectangle.
    static int CentreX(graphics::Control* c) {
        return (c->TargetRect().left + c->TargetRect().right) / 2;
    }
    static int CentreY(graphics::Control* c) {
        return (c->TargetRect().top + c->TargetRect().bottom) / 2;
    }

    // Events go in as the window sends them, in device pixels at the editor's scale; the helpers
    // take editor units.
    int Device(int units) const { return graphics::ScaleCoord(units, view_->ScalePercent()); }
    void Press(graphics::Control* control, const graphics::Modifiers& mods) {
        view_->OnMouseDown(Device(CentreX(control)), Device(CentreY(control)), mods);
    }
    void Release(graphics::Control* control, const graphics::Modifiers& mods) {
        view_->OnMouseUp(Device(CentreX(control)), Device(CentreY(control)), mods);
    }
    void Click(graphics::Control* control, const graphics::Modifiers& mods) {
        Press(control, mods);
        Release(control, mods);
    }
    void ClickAt(int x, int y, const graphics::Modifiers& mods) {
        view_->OnMouseDown(Device(x), Device(y), mods);
        view_->OnMouseUp(Device(x), Device(y), mods);
    }

    // Menus shown from now on answer with the item whose label is text, in whatever submenu;
    // an empty text dismisses them. The last menu shown is kept for inspection.
    void ChooseInMenus(const std::string& text) {
        window_->SetMenuChooser([this, text](const graphics::PopupMenu& menu) {
            lastMenu = CopyOf(menu);
            return text.empty() ? 0 : FindId(menu, text);
        });
    }

    struct MenuItemCopy {
        std::string text;
        int flags = 0;
        std::vector<MenuItemCopy> submenu;
    };
    std::vector<MenuItemCopy> lastMenu;

    ScriptedUi ui;

private:
    static std::vector<MenuItemCopy> CopyOf(const graphics::PopupMenu& menu) {
        std::vector<MenuItemCopy> items;
        for (int i = 0; i < menu.ItemCount(); ++i) {
            const graphics::PopupMenu::Item& item = menu.ItemAt(i);
            MenuItemCopy copy;
            copy.text = item.text;
            copy.flags = item.flags;
            if (item.submenu) copy.submenu = CopyOf(*item.submenu);
            items.push_back(copy);
        }
        return items;
    }
    static int FindId(const graphics::PopupMenu& menu, const std::string& text) {
        for (int i = 0; i < menu.ItemCount(); ++i) {
            const graphics::PopupMenu::Item& item = menu.ItemAt(i);
            if (item.submenu) {
                if (int id = FindId(*item.submenu, text)) return id;
            } else if (item.text == text) {
                return item.id;
            }
        }
        return 0;
    }

    VornInstance instance_;
    editor::VornEditor* view_ = nullptr;
    graphics::OffscreenWindow* window_ = nullptr;
};

inline graphics::Modifiers Left(bool shift = false) {
    graphics::Modifiers m;
    m.left = true;
    m.shift = shift;
    return m;
}

inline graphics::Modifiers Right() {
    graphics::Modifiers m;
    m.right = true;
    return m;
}

} // namespace editor_test
