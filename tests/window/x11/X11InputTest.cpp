// Synthetic X input (XTest) through the X server to the embedded editor: the window's event
// handling must bring clicks, drags, the wheel, keys and resting to the controls.

#include "editor/ControlLayout.h"
#include "editor/FBKnobControl.h"
#include "editor/FBPresetName.h"
#include "editor/FBScrollItemControl.h"
#include "editor/FBSwitchMidiLearn.h"
#include "editor/FBUtilityKick.h"
#include "engine/InstrumentParams.h"

#include "X11TestSupport.h"

#include <algorithm>
#include <atomic>

using namespace x11_test;

namespace {

// Named before Xlib's None macro hides the enumerator.
bool EntryClosed(Instance& vorna) {
    return vorna.View().GetTextEntryState() == graphics::TextEntryState(0);
}

// An open editor in a host window, pumped from the test's thread.
class EmbeddedEditor {
public:
    EmbeddedEditor() : host_(968, 640) {
        vorna_.Plugin().Settings().configurationPath = "x11-input-test-vorn.ini";
        opened_ = host_.display() && vorna_.OpenOn(host_.window());
        if (opened_) vorna_.PumpFor(150);
    }
    ~EmbeddedEditor() {
        if (opened_) vorna_.Dispatch(vst2::effEditClose);
    }
    bool opened() const { return opened_; }
    Instance& vorna() { return vorna_; }
    HostWindow& host() { return host_; }

    template <class T = graphics::Control> T* Find(int id) {
        editor::VornEditor& view = vorna_.View();
        for (int i = 0; i < view.ControlCount(); ++i) {
            graphics::Control* control = view.GetControl(i);
            if (control->ParamIndex() == id)
                if (T* typed = dynamic_cast<T*>(control)) return typed;
        }
        return nullptr;
    }
    static int X(graphics::Control* c) {
        return (c->TargetRect().left + c->TargetRect().right) / 2;
    }
    static int Y(graphics::Control* c) {
        return (c->TargetRect().top + c->TargetRect().bottom) / 2;
    }

    void MoveTo(int x, int y) {
        host_.MoveTo(x, y);
        vorna_.PumpFor(30);
    }
    void Click(graphics::Control* control, unsigned button = Button1) {
        MoveTo(X(control), Y(control));
        host_.Button(button, true);
        vorna_.PumpFor(30);
        host_.Button(button, false);
        vorna_.PumpFor(60);
    }
    void Key(KeySym symbol, bool shift = false) {
        host_.Key(symbol, shift);
        vorna_.PumpFor(30);
    }

private:
    HostWindow host_;
    Instance vorna_;
    bool opened_ = false;
};

TEST(X11Input, AKnobDragReachesTheHostAsOneEditAndTheWheelTurnsTheKnob) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    auto* knob = e.Find<editor::FBKnobControl>(engine::kMasterVolume);
    ASSERT_NE(knob, nullptr);
    e.vorna().Effect()->setParameter(e.vorna().Effect(), engine::kMasterVolume, 0.5f);
    e.vorna().PumpFor(50);
    const double before = knob->Value();
    Recorder::Instance().Clear();

    e.MoveTo(e.X(knob), e.Y(knob));
    e.host().Button(Button1, true);
    e.vorna().PumpFor(30);
    for (int step = 1; step <= 4; ++step) e.MoveTo(e.X(knob), e.Y(knob) - 10 * step);
    e.host().Button(Button1, false);
    e.vorna().PumpFor(60);

    EXPECT_GT(knob->Value(), before);
    std::vector<vst2::Int32> gesture;
    for (auto& call : Recorder::Instance().Calls()) {
        bool edit = call.first == vst2::audioMasterBeginEdit ||
                    call.first == vst2::audioMasterEndEdit ||
                    call.first == vst2::audioMasterAutomate;
        if (!edit) continue;
        EXPECT_EQ(call.second, engine::kMasterVolume);
        if (gesture.empty() || gesture.back() != call.first) gesture.push_back(call.first);
    }
    EXPECT_EQ(gesture,
              (std::vector<vst2::Int32>{vst2::audioMasterBeginEdit, vst2::audioMasterAutomate,
                                        vst2::audioMasterEndEdit}));

    // One wheel step up (button 4) and two down (button 5).
    const double dragged = knob->Value();
    e.Click(knob, Button4);
    const double up = knob->Value();
    EXPECT_GT(up, dragged);
    e.Click(knob, Button5);
    e.Click(knob, Button5);
    EXPECT_LT(knob->Value(), up);
}

TEST(X11Input, TheProgramArrowsStepThroughThePrograms) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    auto* next = e.Find<editor::FBUtilityKick>(editor::kIdNextProgram);
    auto* previous = e.Find<editor::FBUtilityKick>(editor::kIdPrevProgram);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(previous, nullptr);
    e.vorna().Dispatch(vst2::effSetProgram, 0, 5);
    e.Click(next);
    EXPECT_EQ(e.vorna().Dispatch(vst2::effGetProgram), 6);
    e.Click(previous);
    e.Click(previous);
    EXPECT_EQ(e.vorna().Dispatch(vst2::effGetProgram), 4);
}

TEST(X11Input, TypingANameAndEnterRenamesTheProgramAndEscapeLeavesIt) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    auto* name = e.Find<editor::FBPresetName>(editor::kNoId);
    ASSERT_NE(name, nullptr);
    e.vorna().Dispatch(vst2::effSetProgram, 0, 7);

    // The entry opens on a right click with the name selected: typing replaces it.
    e.Click(name, Button3);
    ASSERT_EQ(e.vorna().View().GetTextEntryState(), graphics::TextEntryState::Drawn);
    e.Key(XK_b, true);
    e.Key(XK_a);
    e.Key(XK_s);
    e.Key(XK_s);
    e.Key(XK_x);
    e.Key(XK_BackSpace);
    e.Key(XK_Return);
    e.vorna().PumpFor(100);
    EXPECT_TRUE(EntryClosed(e.vorna()));
    EXPECT_EQ(e.vorna().Plugin().PresetName(7), "Bass   ");

    e.Click(name, Button3);
    ASSERT_EQ(e.vorna().View().GetTextEntryState(), graphics::TextEntryState::Drawn);
    e.Key(XK_z);
    e.Key(XK_Escape);
    e.vorna().PumpFor(100);
    EXPECT_TRUE(EntryClosed(e.vorna()));
    EXPECT_EQ(e.vorna().Plugin().PresetName(7), "Bass   ");
}

TEST(X11Input, KeysNoControlTakesGoOnToTheHostsWindow) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    Display* d = e.host().display();
    XEvent event;
    while (XCheckTypedWindowEvent(d, e.host().window(), KeyPress, &event)) {
    }
    e.MoveTo(600, 300);
    e.Key(XK_F5);
    // The key travels through the server twice (to the editor, then on to the host): on a busy
    // machine that takes more than one idle tick.
    bool forwarded = false;
    for (int tries = 0; tries < 100 && !forwarded; ++tries) {
        e.vorna().PumpFor(20);
        XSync(d, False);
        forwarded = XCheckTypedWindowEvent(d, e.host().window(), KeyPress, &event);
    }
    ASSERT_TRUE(forwarded);
    EXPECT_TRUE(event.xkey.send_event);
    EXPECT_EQ(XLookupKeysym(&event.xkey, 0), static_cast<KeySym>(XK_F5));
}

TEST(X11Input, ATooltipAppearsAfterThePointerRestsOnTheSendButton) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    auto* send = e.Find<editor::FBUtilityKick>(editor::kIdSendToModule);
    ASSERT_NE(send, nullptr);
    auto countTooltips = [&] {
        // Override-redirect windows on the root that are mapped: the tooltip.
        Display* d = e.host().display();
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        int shown = 0;
        XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(d, children[i], &a) && a.override_redirect &&
                a.map_state == IsViewable)
                ++shown;
        }
        if (children) XFree(children);
        return shown;
    };
    const int before = countTooltips();
    e.MoveTo(e.X(send) - 2, e.Y(send));
    e.MoveTo(e.X(send), e.Y(send));
    e.vorna().PumpFor(700);
    EXPECT_EQ(countTooltips(), before + 1);
    // Leaving the control hides it.
    e.MoveTo(5, 600);
    e.vorna().PumpFor(60);
    EXPECT_EQ(countTooltips(), before);
}

// The override-redirect windows mapped on the root: tooltips and menus.
std::vector<Window> PopupWindows(Display* d) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> shown;
    XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(d, children[i], &a) && a.override_redirect &&
            a.map_state == IsViewable)
            shown.push_back(children[i]);
    }
    if (children) XFree(children);
    return shown;
}

// Waits (up to two seconds) for a pop-up window that was not there before; 0 if none came.
Window WaitForNewPopup(Display* d, const std::vector<Window>& before) {
    for (int i = 0; i < 100; ++i) {
        for (Window w : PopupWindows(d))
            if (std::find(before.begin(), before.end(), w) == before.end()) return w;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

TEST(X11Input, TheProgramDropDownsMenuSelectsTheChosenProgram) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    auto* number = e.Find(editor::kIdProgramNumber);
    ASSERT_NE(number, nullptr);
    e.vorna().Dispatch(vst2::effSetProgram, 0, 100); // bank 3, programs 96..143
    e.MoveTo(e.X(number), e.Y(number));
    Display* d = e.host().display();
    const std::vector<Window> before = PopupWindows(d);

    // The menu runs its own loop inside the host's idle call: idle from another thread, as the
    // host's editor thread would, while this one plays the user.
    std::atomic<bool> stop{false};
    std::thread editorThread([&] {
        while (!stop) {
            e.vorna().Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    e.host().Button(Button1, true);
    e.host().Button(Button1, false);
    Window menu = WaitForNewPopup(d, before);
    Window submenu = 0;
    if (menu) {
        // The first entry, "1 - 12", opens the submenu of the bank's first twelve programs.
        XWindowAttributes a{};
        XGetWindowAttributes(d, menu, &a);
        XTestFakeMotionEvent(d, DefaultScreen(d), a.x + 30, a.y + 1 + 11, CurrentTime);
        XSync(d, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        e.host().Button(Button1, true);
        e.host().Button(Button1, false);
        std::vector<Window> withMenu = before;
        withMenu.push_back(menu);
        submenu = WaitForNewPopup(d, withMenu);
        if (submenu) {
            // Its third entry: program 3 of the bank.
            XGetWindowAttributes(d, submenu, &a);
            XTestFakeMotionEvent(d, DefaultScreen(d), a.x + 30, a.y + 1 + 2 * 22 + 11, CurrentTime);
            XSync(d, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            e.host().Button(Button1, true);
            e.host().Button(Button1, false);
        } else {
            e.host().Key(XK_Escape);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop = true;
    editorThread.join();
    ASSERT_NE(menu, 0u) << "no menu appeared";
    ASSERT_NE(submenu, 0u) << "no submenu appeared";
    EXPECT_EQ(e.vorna().Dispatch(vst2::effGetProgram), 98);
    EXPECT_EQ(PopupWindows(d).size(), before.size());
}

TEST(X11Input, TheBrowserOpensAndABankRowLoadsAFactoryBank) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    e.vorna().Dispatch(vst2::effSetProgram, 0, 7);
    e.MoveTo(240, 90); // the BROWSE button
    e.host().Button(Button1, true);
    e.vorna().PumpFor(30);
    e.host().Button(Button1, false);
    e.vorna().PumpFor(100);
    ASSERT_TRUE(e.vorna().View().IsBrowserShown());
    // Row 1 is the "Empty/Init" factory bank; then a cell puts its sound into program 7.
    auto* row = dynamic_cast<editor::FBScrollItemControl*>(
        e.vorna().View().Lookup(editor::kFirstBankListKey + 1));
    ASSERT_NE(row, nullptr);
    e.Click(row);
    EXPECT_EQ(e.vorna().Plugin().Browser().source, programs::BrowserSource::FactoryBank);
    EXPECT_TRUE(row->IsHighlighted());
    auto* cell = dynamic_cast<editor::FBScrollItemControl*>(
        e.vorna().View().Lookup(editor::kFirstProgramGridKey + editor::kProgramGridRows * 3 + 4));
    ASSERT_NE(cell, nullptr);
    e.Click(cell);
    EXPECT_EQ(e.vorna().Plugin().PresetName(7), "Init   ");
}

TEST(X11Input, LearnFollowedByAControllerMapsIt) {
    VORNA_REQUIRE_DISPLAY();
    EmbeddedEditor e;
    ASSERT_TRUE(e.opened());
    auto* learn = e.Find<editor::FBSwitchMidiLearn>(editor::kNoId);
    auto* knob = e.Find<editor::FBKnobControl>(engine::kLfoSpeed);
    ASSERT_NE(learn, nullptr);
    ASSERT_NE(knob, nullptr);
    e.Click(learn);
    ASSERT_TRUE(e.vorna().Plugin().LearnActive());
    // The parameter that changes next is the one learnt.
    e.Click(knob, Button4);
    EXPECT_EQ(e.vorna().Plugin().LearnedParameter(), engine::kLfoSpeed);

    vst2::VstMidiEvent cc{};
    cc.type = vst2::kVstMidiType;
    cc.byteSize = sizeof cc;
    cc.midiData[0] = static_cast<char>(0xB0);
    cc.midiData[1] = 21;
    cc.midiData[2] = 64;
    vst2::VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<vst2::VstEvent*>(&cc);
    e.vorna().Dispatch(vst2::effProcessEvents, 0, 0, &events);
    e.vorna().Process(256);
    e.vorna().PumpFor(60);
    EXPECT_FALSE(e.vorna().Plugin().LearnActive());
    EXPECT_EQ(e.vorna().Plugin().Settings().controllerMap[21], engine::kLfoSpeed);
}

} // namespace
