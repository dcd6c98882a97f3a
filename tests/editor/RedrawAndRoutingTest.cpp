// The Graphics core without an OS window: the redraw cycle, hit search, mouse routing with
// capture and edit gestures, mouse-over, tooltips and the keyboard.

#include "EditorTestSupport.h"

#include "graphics/KnobControl.h"
#include "graphics/SwitchControl.h"

#include <gtest/gtest.h>

using namespace graphics;
using editor_test::LeftButton;
using editor_test::OpenEditor;

namespace {

// Records the events a control receives.
class ProbeControl : public Control {
public:
    ProbeControl(Graphics& g, const Rect& r, int param = -1) : Control(g, r, param) {}
    void MouseDown(int x, int y, const Modifiers&) override {
        events.push_back("down " + At(x, y));
    }
    void MouseUp(int x, int y, const Modifiers&) override { events.push_back("up " + At(x, y)); }
    void Drag(int x, int y, int dx, int dy, const Modifiers&) override {
        events.push_back("drag " + At(x, y) + " " + At(dx, dy));
    }
    void DoubleClick(int x, int y, const Modifiers&) override {
        events.push_back("double " + At(x, y));
    }
    void Wheel(int, int, const Modifiers&, double steps) override {
        events.push_back("wheel " + std::to_string(steps));
    }
    bool KeyDown(int, int, int key) override {
        events.push_back("key " + std::to_string(key));
        return takesKeys;
    }
    void MouseOver(int, int, const Modifiers&) override { events.push_back("over"); }
    void MouseOut() override { events.push_back("out"); }
    bool Draw(Surface& target) override {
        ++draws;
        target.FillRect(rect_, color, 1.0);
        return true;
    }

    static std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    std::vector<std::string> events;
    int draws = 0;
    bool takesKeys = true;
    Color color = Color(255, 10, 20, 30);
};

struct Scene : OpenEditor {
    Scene() {
        background = new ProbeControl(graphics, Rect(0, 0, 968, 640));
        graphics.AttachControl(background);
        lower = new ProbeControl(graphics, Rect(100, 100, 200, 200), 3);
        graphics.AttachControl(lower);
        upper = new ProbeControl(graphics, Rect(150, 150, 250, 250), 1);
        graphics.AttachControl(upper);
    }
    ProbeControl* background;
    ProbeControl* lower;
    ProbeControl* upper;
};

} // namespace

TEST(RedrawCycle, IdleTickRunsOnThe21stQuietTickAndEvery21After) {
    Scene scene;
    scene.graphics.OnTimer(); // draws what the opening marked dirty
    ASSERT_EQ(scene.graphics.IdleCount(), 0);
    for (int tick = 1; tick <= 20; ++tick) scene.graphics.OnTimer();
    EXPECT_EQ(scene.plugin.idleTicks, 0);
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.plugin.idleTicks, 1);
    for (int tick = 1; tick <= 20; ++tick) scene.graphics.OnTimer();
    EXPECT_EQ(scene.plugin.idleTicks, 1);
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.plugin.idleTicks, 2);

    // A dirty control restarts the count.
    for (int tick = 1; tick <= 10; ++tick) scene.graphics.OnTimer();
    scene.upper->SetDirty(false);
    scene.graphics.OnTimer();
    for (int tick = 1; tick <= 20; ++tick) scene.graphics.OnTimer();
    EXPECT_EQ(scene.plugin.idleTicks, 2);
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.plugin.idleTicks, 3);
}

TEST(RedrawCycle, OpeningDrawsEverythingThenOnlyWhatIsDirty) {
    Scene scene;
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.background->draws, 1);
    EXPECT_EQ(scene.lower->draws, 1);
    EXPECT_EQ(scene.upper->draws, 1);
    // The screen got the back buffer.
    EXPECT_EQ(scene.window->Screen().Pixel(120, 120), Premultiply(Color(255, 10, 20, 30)));

    // Strict drawing: only controls intersecting the dirty control's rectangle draw, in order.
    scene.lower->SetDirty(false);
    Rect area;
    ASSERT_TRUE(scene.graphics.CollectDirtyArea(area));
    EXPECT_EQ(area, Rect(100, 100, 200, 200));
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.background->draws, 2);
    EXPECT_EQ(scene.lower->draws, 2);
    EXPECT_EQ(scene.upper->draws, 2);
    EXPECT_FALSE(scene.graphics.CollectDirtyArea(area));

    // A hidden control is not drawn, but hiding it repaints what was under it.
    scene.upper->Hide(true);
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.upper->draws, 2);
    EXPECT_EQ(scene.background->draws, 3);
}

TEST(RedrawCycle, DrawingIsClippedToTheRepaintedArea) {
    OpenEditor editor;
    auto* wide = new ProbeControl(editor.graphics, Rect(0, 0, 100, 10));
    editor.graphics.AttachControl(wide);
    editor.graphics.OnTimer();
    // Repainting part of a control changes nothing outside that part.
    wide->color = Color(255, 200, 100, 50);
    editor.graphics.DrawArea(Rect(0, 0, 10, 10));
    EXPECT_EQ(editor.graphics.BackBuffer().Pixel(5, 5), Premultiply(Color(255, 200, 100, 50)));
    EXPECT_EQ(editor.graphics.BackBuffer().Pixel(50, 5), Premultiply(Color(255, 10, 20, 30)));
}

TEST(HitSearch, BackgroundGetsClicksThatHitNothingElseAndHiddenOrGrayedControlsAreSkipped) {
    Scene scene;
    EXPECT_EQ(scene.graphics.FindControl(10, 10), 0);
    EXPECT_EQ(scene.graphics.FindControl(175, 175), 2); // topmost of the two
    EXPECT_EQ(scene.graphics.FindControl(120, 120), 1);
    EXPECT_EQ(scene.graphics.FindControl(200, 200), 2); // right/bottom exclusive for lower
    EXPECT_EQ(scene.graphics.FindControl(2000, 10), -1);

    scene.upper->Hide(true);
    EXPECT_EQ(scene.graphics.FindControl(175, 175), 1);
    scene.lower->GrayOut(true);
    EXPECT_EQ(scene.graphics.FindControl(175, 175), 0);
    scene.graphics.OnMouseDown(175, 175, LeftButton());
    EXPECT_EQ(scene.graphics.CapturedControl(), 0);
    EXPECT_EQ(scene.background->events, std::vector<std::string>{"down 175,175"});
    EXPECT_TRUE(scene.lower->events.empty());

    // A grayed control that asks for mouse-over still gets it.
    scene.lower->SetMouseOverWhenGrayed(true);
    EXPECT_EQ(scene.graphics.FindControl(175, 175, true), 1);
    EXPECT_EQ(scene.graphics.FindControl(175, 175, false), 0);
}

TEST(MouseRouting, ParameterControlsGetAnEditGestureAroundDownAndUp) {
    Scene scene;
    scene.graphics.OnMouseDown(120, 120, LeftButton());
    EXPECT_EQ(scene.graphics.CapturedControl(), 1);
    EXPECT_TRUE(scene.window->IsMouseCaptured());
    // Released outside: the captured control still gets the button-up.
    scene.graphics.OnMouseUp(500, 500, LeftButton());
    EXPECT_EQ(scene.lower->events, (std::vector<std::string>{"down 120,120", "up 500,500"}));
    EXPECT_EQ(scene.plugin.log, (std::vector<std::string>{"begin 3", "end 3"}));
    EXPECT_EQ(scene.graphics.CapturedControl(), -1);
    EXPECT_FALSE(scene.window->IsMouseCaptured());

    // The background has no parameter: no gesture.
    scene.plugin.log.clear();
    scene.graphics.OnMouseDown(10, 10, LeftButton());
    scene.graphics.OnMouseUp(10, 10, LeftButton());
    EXPECT_TRUE(scene.plugin.log.empty());
}

TEST(MouseRouting, DragGoesToTheCapturedControlOnlyWhenThePositionChanged) {
    Scene scene;
    scene.graphics.OnMouseDown(120, 120, LeftButton());
    scene.graphics.OnMouseMove(120, 120, LeftButton()); // unchanged: nothing
    scene.graphics.OnMouseMove(300, 90, LeftButton());  // outside the control: still its drag
    scene.graphics.OnMouseMove(300, 90, LeftButton());
    scene.graphics.OnMouseMove(301, 95, LeftButton());
    EXPECT_EQ(scene.lower->events,
              (std::vector<std::string>{"down 120,120", "drag 300,90 180,-30", "drag 301,95 1,5"}));
    EXPECT_TRUE(scene.upper->events.empty());

    // Movement with a button but nothing captured calls nothing.
    scene.graphics.OnMouseUp(301, 95, LeftButton());
    scene.lower->events.clear();
    scene.graphics.OnMouseMove(130, 130, LeftButton());
    EXPECT_TRUE(scene.lower->events.empty());
}

TEST(MouseRouting, DoubleClickAndWheel) {
    Scene scene;
    scene.graphics.OnDoubleClick(120, 120, LeftButton());
    scene.graphics.OnMouseUp(120, 120, LeftButton());
    scene.upper->SetDoubleClickAsMouseDown(true);
    scene.graphics.OnDoubleClick(200, 200, LeftButton());
    scene.graphics.OnMouseUp(200, 200, LeftButton());
    EXPECT_EQ(scene.lower->events, (std::vector<std::string>{"double 120,120", "up 120,120"}));
    EXPECT_EQ(scene.upper->events, (std::vector<std::string>{"down 200,200", "up 200,200"}));
    // Every gesture the host sees is a matched pair.
    EXPECT_EQ(scene.plugin.log, (std::vector<std::string>{"begin 3", "end 3", "begin 1", "end 1"}));

    scene.graphics.OnWheel(120, 120, Modifiers(), 240);
    scene.graphics.OnWheel(120, 120, Modifiers(), -60);
    EXPECT_EQ(scene.lower->events.back(), "wheel -0.500000");
    EXPECT_EQ(scene.lower->events[scene.lower->events.size() - 2], "wheel 2.000000");
}

TEST(MouseRouting, MouseOverOutAndTooltips) {
    Scene scene;
    scene.graphics.EnableTooltips(true);
    scene.upper->SetTooltip("Upper tip");
    // Tracking is off until the editor asks for it.
    EXPECT_FALSE(scene.graphics.MouseOver(175, 175, Modifiers()));
    EXPECT_TRUE(scene.upper->events.empty());

    scene.graphics.EnableMouseOver(true);
    scene.graphics.OnMouseMove(175, 175, Modifiers());
    EXPECT_EQ(scene.graphics.MouseOverControl(), 2);
    scene.graphics.OnHover(175, 175);
    EXPECT_TRUE(scene.window->IsTooltipShown());
    EXPECT_EQ(scene.window->TooltipText(), "Upper tip");

    // Moving onto another control: the old one gets mouse-out and the tooltip goes.
    scene.graphics.OnMouseMove(120, 120, Modifiers());
    EXPECT_EQ(scene.upper->events, (std::vector<std::string>{"over", "out"}));
    EXPECT_EQ(scene.lower->events, std::vector<std::string>{"over"});
    EXPECT_FALSE(scene.window->IsTooltipShown());
    scene.graphics.OnHover(120, 120); // no tooltip text: nothing shown
    EXPECT_FALSE(scene.window->IsTooltipShown());

    scene.graphics.OnMouseLeave();
    EXPECT_EQ(scene.graphics.MouseOverControl(), -1);
    EXPECT_EQ(scene.lower->events.back(), "out");
    EXPECT_EQ(scene.background->events.back(), "out");
}

TEST(Keyboard, KeyCodeTable) {
    EXPECT_EQ(MapPlatformKey(32), 0);
    EXPECT_EQ(MapPlatformKey(38), 1);
    EXPECT_EQ(MapPlatformKey(40), 2);
    EXPECT_EQ(MapPlatformKey(37), 3);
    EXPECT_EQ(MapPlatformKey(39), 4);
    EXPECT_EQ(MapPlatformKey('0'), 5);
    EXPECT_EQ(MapPlatformKey('9'), 14);
    EXPECT_EQ(MapPlatformKey('A'), 15);
    EXPECT_EQ(MapPlatformKey('Z'), 40);
    EXPECT_EQ(MapPlatformKey(97), 15);
    EXPECT_EQ(MapPlatformKey(122), 40);
    EXPECT_EQ(MapPlatformKey(13), -1);
    EXPECT_EQ(MapPlatformKey(96), -1);
    EXPECT_EQ(MapPlatformKey(123), -1);
}

TEST(Keyboard, KeysGoToTheControlUnderThePointerElseTheKeyboardHandler) {
    Scene scene;
    auto* handler = new ProbeControl(scene.graphics, Rect(900, 0, 910, 10));
    scene.graphics.AttachControl(handler);
    scene.graphics.SetKeyboardHandler(handler);

    scene.graphics.OnMouseMove(120, 120, Modifiers());
    EXPECT_TRUE(scene.graphics.OnKeyDown('B'));
    EXPECT_EQ(scene.lower->events.back(), "key 16");

    // Over the background: the handler gets it; a key nobody takes goes back to the host.
    scene.graphics.OnMouseMove(10, 10, Modifiers());
    handler->takesKeys = false;
    EXPECT_FALSE(scene.graphics.OnKeyDown(32));
    EXPECT_EQ(handler->events.back(), "key 0");
    EXPECT_TRUE(scene.background->events.empty());

    // Unmapped keys reach no control.
    std::size_t before = handler->events.size();
    EXPECT_FALSE(scene.graphics.OnKeyDown(13));
    EXPECT_EQ(handler->events.size(), before);
}

TEST(EditorWindowLifecycle, ClosingEndsAnOpenGestureAndReopeningRedrawsAll) {
    Scene scene;
    scene.graphics.OnTimer();
    scene.graphics.OnMouseDown(120, 120, LeftButton());
    scene.graphics.CloseWindow();
    EXPECT_EQ(scene.plugin.log, (std::vector<std::string>{"begin 3", "end 3"}));
    EXPECT_FALSE(scene.graphics.IsWindowOpen());
    // No window: timer and paint do nothing, menus choose nothing.
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.lower->draws, 1);

    auto window = std::make_unique<OffscreenWindow>(scene.graphics);
    OffscreenWindow* offscreen = window.get();
    ASSERT_TRUE(scene.graphics.OpenWindowWith(std::move(window)));
    EXPECT_EQ(offscreen->TimerPeriod(), 40);
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.background->draws, 2);
    EXPECT_EQ(scene.lower->draws, 2);
    EXPECT_EQ(scene.upper->draws, 2);
}

TEST(EditorWindowLifecycle, UiServicesAreTheOpenWindowsElseNone) {
    OpenEditor editor;
    platform::UiServices& ui = editor.graphics.Ui();
    std::string path;
    // The offscreen window offers none: nothing is chosen, questions are not confirmed.
    EXPECT_FALSE(ui.ChooseFile(platform::FileDialogRequest(), path));
    EXPECT_EQ(ui.ShowMessage(platform::MessageKind::Question, "Sure?", "Q"),
              platform::MessageAnswer::No);

    struct Yes : platform::NoUiServices {
        platform::MessageAnswer ShowMessage(platform::MessageKind, const std::string&,
                                            const std::string&) override {
            return platform::MessageAnswer::Yes;
        }
    } yes;
    editor.window->SetUi(&yes);
    EXPECT_EQ(ui.ShowMessage(platform::MessageKind::Question, "Sure?", "Q"),
              platform::MessageAnswer::Yes);
    editor.graphics.CloseWindow();
    EXPECT_EQ(ui.ShowMessage(platform::MessageKind::Question, "Sure?", "Q"),
              platform::MessageAnswer::No);
}
