#pragma once
// An editor window without an OS window: repaints go straight to Graphics::OnPaint and the blit
// copies into an in-memory screen. Text entries, menus, tooltips and the pointer are modelled, and
// can be scripted: the offscreen renderer uses the defaults (menus dismissed, no dialogs), tests
// script choices and typing.

#include "graphics/EditorWindow.h"
#include "graphics/Surface.h"

#include <functional>
#include <string>

namespace graphics {

class Graphics;

class OffscreenWindow : public EditorWindow {
public:
    explicit OffscreenWindow(Graphics& graphics) : graphics_(graphics) {}

    bool Open(void* parent, int width, int height, int timerPeriodMs) override;
    void Close() override { open_ = false; }
    // The screen takes the new size, cleared; the next paints fill it.
    bool Resize(int width, int height) override;
    void Invalidate(const Rect& area) override;
    void Blit(const Surface& backBuffer, const Rect& area) override;
    void CaptureMouse() override { captured_ = true; }
    void ReleaseMouse() override { captured_ = false; }
    bool OpenTextEntry(const TextEntryRequest& request) override;
    std::string TextEntryText() override { return entryText_; }
    void CloseTextEntry() override { entryOpen_ = false; }
    void ShowTooltip(const std::string& text) override;
    void HideTooltip() override { tooltipShown_ = false; }
    int TrackPopupMenu(const PopupMenu& menu, int x, int y) override;
    void CancelWaits() override {
        if (onCancelWaits_) onCancelWaits_();
    }
    void HidePointer() override;
    void RestorePointer() override;
    platform::UiServices* Ui() override { return ui_; }

    // Scripting.
    // Chooses the menu item to answer with (its number, 0 = dismiss); called with every menu.
    void SetMenuChooser(std::function<int(const PopupMenu&)> chooser) {
        chooser_ = std::move(chooser);
    }
    // Types characters into the open entry as a user would: each passes the editor's filter, the
    // first replaces the selected text, and the box takes no more than its length.
    void Type(const std::string& characters);
    void SetUi(platform::UiServices* ui) { ui_ = ui; }
    // What ends the scripted menus and dialogs that wait when the editor closes.
    void SetOnCancelWaits(std::function<void()> cancel) { onCancelWaits_ = std::move(cancel); }

    // What happened.
    bool IsOpen() const { return open_; }
    int TimerPeriod() const { return timerPeriod_; }
    const Surface& Screen() const { return screen_; }
    bool IsTextEntryOpen() const { return entryOpen_; }
    const TextEntryRequest& LastTextEntry() const { return entry_; }
    bool IsTooltipShown() const { return tooltipShown_; }
    const std::string& TooltipText() const { return tooltip_; }
    int MenusShown() const { return menusShown_; }
    int MenuX() const { return menuX_; }
    int MenuY() const { return menuY_; }
    bool IsPointerHidden() const { return pointerHidden_; }
    bool IsMouseCaptured() const { return captured_; }

private:
    Graphics& graphics_;
    Surface screen_;
    bool open_ = false;
    int timerPeriod_ = 0;
    bool captured_ = false;
    bool entryOpen_ = false;
    bool entrySelected_ = false;
    TextEntryRequest entry_;
    std::string entryText_;
    bool tooltipShown_ = false;
    std::string tooltip_;
    std::function<int(const PopupMenu&)> chooser_;
    int menusShown_ = 0;
    int menuX_ = 0, menuY_ = 0;
    bool pointerHidden_ = false;
    platform::UiServices* ui_ = nullptr;
    std::function<void()> onCancelWaits_;
};

} // namespace graphics
