#pragma once
// The editor's host-independent core: the ordered control list (index 0 the background, later
// controls on top), dirty tracking and the redraw cycle, hit search, mouse and keyboard routing,
// the text-entry state machine and pop-up menus. An EditorWindow (an OS window, or offscreen)
// supplies the platform side and forwards its events to the On... operations.

#include "graphics/Control.h"
#include "graphics/EditorWindow.h"
#include "graphics/Geometry.h"
#include "graphics/InputTypes.h"
#include "graphics/Scale.h"
#include "graphics/Surface.h"
#include "host/EditorLink.h"
#include "host/PluginBase.h"
#include "platform/Mutex.h"
#include "platform/UiServices.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace graphics {

class PopupMenu;

// Text-entry states.
enum class TextEntryState {
    None = 0,
    Editing = 1,
    Drawn = 2,
    CancelRequested = 3,
    CommitRequested = 4
};

class Graphics : public host::PluginEditor {
public:
    // Held by an OS window around each event that it hands to the editor outside any host call
    // (Win32 window messages; X11 events arrive inside effEditIdle). The host may close the
    // editor or destroy the plug-in from inside one, through a message that the loop of a menu
    // or dialog dispatched: the close then waits for the outermost event to end, and takes the
    // window, and maybe the whole instance, with it. It must be the outermost object of the
    // window procedure, which touches nothing of its window after it ended.
    class WindowEvent {
    public:
        explicit WindowEvent(Graphics& graphics);
        ~WindowEvent();
        WindowEvent(const WindowEvent&) = delete;
        WindowEvent& operator=(const WindowEvent&) = delete;

    private:
        Graphics& graphics_;
        host::PluginBase::CallScope call_;
    };

    static constexpr int kDefaultWidth = 968;
    static constexpr int kDefaultHeight = 640;
    static constexpr int kFramesPerSecond = 25;
    // IdleTick runs when more than this many redraw ticks in a row found nothing dirty.
    static constexpr int kQuietTicksBeforeIdle = 20;
    static constexpr std::size_t kTextEntryCapacity = 32; // bytes read from a committed entry

    explicit Graphics(host::PluginBase* plugin);
    ~Graphics() override;

    // host::PluginEditor. The size is the window's, in device pixels at the current scale.
    int Width() const override { return ScaleLength(width_, scale_); }
    int Height() const override { return ScaleLength(height_, scale_); }
    void ShowParamValue(int index, double value, bool normalized) override;
    void CreateSurfaces(int width, int height) override;
    bool OpenWindow(void* parent) override;
    // While a menu or dialog waits for the user, or an event of the window is being handled, the
    // close is put off: a waiting menu or dialog is cancelled, and the window closes when the
    // outermost event or idle call ends.
    void CloseWindow() override;
    bool HasWindow() const override;
    std::uintptr_t WindowHandle() const override;
    // Forwarded to the open window (effEditIdle); ignored while a menu or dialog waits for the
    // user, whose own loop then keeps the window painted. A close put off runs here too.
    void Idle() override;

    // Opens the editor on a given window (the offscreen one, a test's) instead of the OS window.
    bool OpenWindowWith(std::unique_ptr<EditorWindow> window, void* parent = nullptr);
    bool IsWindowOpen() const { return window_ != nullptr; }
    EditorWindow* Window() { return window_.get(); }

    // Building the editor. The size is in editor units (the picture at 100 %).
    void Resize(int width, int height);
    int UnitWidth() const { return width_; }
    int UnitHeight() const { return height_; }

    // The scale everything is drawn at (an offered percentage), and the one the next opening of
    // the window takes.
    int ScalePercent() const { return scale_; }
    int PendingScalePercent() const { return pendingScale_; }
    // Changes the scale. Without a window it takes effect at once. With a window open the host
    // is asked to resize its frame first; when it agrees, the window, the back buffer and every
    // control follow at once. When it refuses, the editor keeps its size until it is opened
    // again, and the answer is false.
    bool SetScale(int percent);
    // Whether the scale follows the system's (until the user picks one): each opening of the OS
    // window then takes the system's scale for the monitor of the host's window.
    void SetFollowsSystemScale(bool on) { followsSystem_ = on; }
    bool FollowsSystemScale() const { return followsSystem_; }
    // The system's scale now: for the monitor of the host's window while one is open.
    int SystemScale() const;
    // Takes ownership; attach order is drawing order.
    Control* AttachControl(Control* control);
    // The background: image `imageId` as control 0 covering the whole editor.
    Control* AttachBackground(int imageId);
    void EnableMouseOver(bool on) { mouseOverTracking_ = on; }
    void EnableTooltips(bool on) { tooltips_ = on; }
    void SetStrictDrawing(bool on) { strictDrawing_ = on; }
    void SetKeyboardHandler(Control* control) { keyboardHandler_ = control; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    Control* GetControl(int index) const;
    void SetAllControlsDirty();

    // The redraw cycle.
    bool CollectDirtyArea(Rect& area);
    void DrawArea(const Rect& area);
    // Draws the whole editor into the back buffer, whether or not a window is open.
    const Surface& RenderAll();
    const Surface& BackBuffer() const { return backBuffer_; }
    int IdleCount() const { return idleCount_; }

    // Events from the window, in device pixels. Each takes the instance lock itself, so a window
    // whose events arrive on a thread of the OS (outside any host call) needs no locking of its
    // own. Controls get editor units: a drag at a larger scale needs a longer way for the same
    // change, as the knob it turns is drawn larger.
    void OnTimer();
    void OnPaint(const Rect& area);
    void OnMouseDown(int x, int y, const Modifiers& mods);
    void OnMouseUp(int x, int y, const Modifiers& mods);
    // Movement: with a button held it drags the captured control, otherwise it tracks mouse-over.
    void OnMouseMove(int x, int y, const Modifiers& mods);
    void OnDoubleClick(int x, int y, const Modifiers& mods);
    void OnWheel(int x, int y, const Modifiers& mods, int wheelDelta);
    void OnHover(int x, int y);
    void OnMouseLeave();
    // A key press at the current pointer position; false when no control took it (the window
    // then passes it on to the host).
    bool OnKeyDown(int platformKey);
    void OnTextEntryCommit();
    void OnTextEntryCancel();
    // Whether a typed character may enter the open text entry.
    bool TextEntryAccepts(unsigned character) const;

    // The parts of routing that the OS window does not add to.
    bool MouseOver(int x, int y, const Modifiers& mods);
    void MouseOut();
    int CapturedControl() const { return captured_; }
    int MouseOverControl() const { return mouseOver_; }
    // The index of the topmost control that is visible, not grayed (unless it asks for
    // mouse-over while grayed and forMouseOver is set) and hit by the point; -1 for none.
    int FindControl(int x, int y, bool forMouseOver = false) const;

    // Services for controls.
    host::PluginBase* Plugin() const { return plugin_; }
    void ReportValue(int paramIndex, double normalized);
    // Refused (false) while another entry is open or without a window.
    bool CreateTextEntry(Control* control, int paramIndex, const Rect& rect,
                         const std::string& text, int length);
    TextEntryState GetTextEntryState() const { return entryState_; }
    // Shows the menu below the rectangle's bottom-left corner; the menu holding the chosen item
    // (its ChosenItemIndex set), or null when nothing was chosen.
    PopupMenu* CreatePopupMenu(PopupMenu& menu, const Rect& rect);
    void HidePointer();
    void RestorePointer();
    // Message boxes, dialogs and web addresses: the open window's, else none (dialogs give no
    // name, questions are not confirmed). The reference stays valid for the editor's life.
    platform::UiServices& Ui() { return ui_; }
    // Whether a menu or dialog is waiting for the user (the instance lock is let go meanwhile).
    bool IsWaitingForUser() const { return waitingForUser_.load() > 0; }

private:
    class UiForwarder : public platform::UiServices {
    public:
        explicit UiForwarder(Graphics& owner) : owner_(owner) {}
        platform::MessageAnswer ShowMessage(platform::MessageKind kind, const std::string& text,
                                            const std::string& caption) override;
        bool ChooseFile(const platform::FileDialogRequest& request, std::string& path) override;
        bool ChooseFolder(const std::string& title, const std::string& start,
                          std::string& path) override;
        bool OpenWebAddress(const std::string& address) override;
        bool InternetAvailable() override;

    private:
        platform::UiServices& Target();
        Graphics& owner_;
        platform::NoUiServices none_;
    };

    // While a menu, dialog or message box waits for the user, the instance lock is let go so that
    // the audio thread and the host's other calls go on; the lock is taken back afterwards at the
    // depth it was held. A close requested meanwhile cancels the wait and happens after it.
    class UserWait {
    public:
        explicit UserWait(Graphics& owner);
        ~UserWait();
        UserWait(const UserWait&) = delete;
        UserWait& operator=(const UserWait&) = delete;

    private:
        Graphics& owner_;
        int depth_;
    };

    platform::RecursiveMutex& InstanceLock();
    // Closes the window when a close was put off and nothing uses the window any more.
    void CloseIfRequested();
    void EnsureBackBuffer();
    // Takes the pending scale while no window is open.
    void ApplyPendingScale();
    void BeginEdit(int controlIndex);
    void EndEdit();
    void FinishTextEntry(bool commit);
    void HideTooltip();

    host::PluginBase* plugin_;
    platform::RecursiveMutex noLock_; // stands in for the instance lock without a plug-in
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<EditorWindow> window_;
    Surface backBuffer_;
    UiForwarder ui_;
    int width_ = kDefaultWidth;
    int height_ = kDefaultHeight;
    int scale_ = 100;
    int pendingScale_ = 100;
    bool followsSystem_ = false;
    void* parent_ = nullptr; // the host's window while the OS window is open
    int captured_ = -1;
    int mouseOver_ = -1;
    int lastX_ = 0, lastY_ = 0;       // last mouse-down or drag position, device pixels
    int pointerX_ = 0, pointerY_ = 0; // last known pointer position (units), for key presses
    int editParam_ = -1;              // parameter whose edit gesture is open, -1 none
    int idleCount_ = 0;
    std::atomic<int> waitingForUser_{0};
    std::atomic<int> windowEvents_{0}; // window events and idle calls being handled
    std::atomic<bool> closeRequested_{false};
    bool mouseOverTracking_ = false;
    bool tooltips_ = false;
    bool tooltipShown_ = false;
    bool strictDrawing_ = true;
    Control* keyboardHandler_ = nullptr;

    TextEntryState entryState_ = TextEntryState::None;
    Control* entryControl_ = nullptr;
    int entryParam_ = -1;
};

} // namespace graphics
