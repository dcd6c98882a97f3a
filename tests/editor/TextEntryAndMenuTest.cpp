// The text-entry state machine (commit, cancel, the character filter, Enum matching) and the
// pop-up menu model.

#include "EditorTestSupport.h"

#include "graphics/KnobControl.h"
#include "graphics/PopupMenu.h"

#include <gtest/gtest.h>

using namespace graphics;
using editor_test::LeftButton;
using editor_test::OpenEditor;

namespace {

// Receives the text of entries opened without a parameter.
class NameControl : public Control {
public:
    using Control::Control;
    void TextFromTextEntry(const std::string& text) override { received.push_back(text); }
    std::vector<std::string> received;
};

struct EntryScene : OpenEditor {
    EntryScene() {
        for (int param = 0; param < 4; ++param) {
            knobs[param] =
                new KnobControl(graphics, Rect(50 * param, 0, 50 * param + 40, 40), param);
            graphics.AttachControl(knobs[param]);
            graphics.ShowParamValue(param, plugin.GetParam(param).Value(), false);
        }
        name = new NameControl(graphics, Rect(300, 0, 400, 20));
        graphics.AttachControl(name);
        graphics.OnTimer();
    }
    bool Open(int param, const std::string& text = "0") {
        Control* control = param >= 0 ? static_cast<Control*>(knobs[param]) : name;
        return graphics.CreateTextEntry(control, param, control->DrawRect(), text, 16);
    }
    KnobControl* knobs[4];
    NameControl* name;
};

} // namespace

TEST(TextEntry, EscapeKeepsTheValueAndEnterCommitsOnTheNextTick) {
    EntryScene scene;
    ASSERT_TRUE(scene.Open(0, "2"));
    EXPECT_EQ(scene.graphics.GetTextEntryState(), TextEntryState::Editing);
    scene.window->Type("5");
    scene.graphics.OnTextEntryCancel();
    EXPECT_EQ(scene.graphics.GetTextEntryState(), TextEntryState::CancelRequested);
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.graphics.GetTextEntryState(), TextEntryState::None);
    EXPECT_FALSE(scene.window->IsTextEntryOpen());
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(0).Value(), 0.0);
    EXPECT_TRUE(scene.plugin.reported.empty());

    ASSERT_TRUE(scene.Open(0, "2"));
    scene.window->Type("5");
    scene.graphics.OnTextEntryCommit();
    // Carried out by the tick, not before.
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(0).Value(), 0.0);
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(0).Value(), 5.0);
    EXPECT_NEAR(scene.knobs[0]->Value(), 5.0 / 7.0, 1e-12);
    ASSERT_EQ(scene.plugin.reported.size(), 1u);
    EXPECT_EQ(scene.plugin.reported[0].first, 0);
}

TEST(TextEntry, AClickCommitsButAClickBeforeTheFirstTickCancels) {
    EntryScene scene;
    ASSERT_TRUE(scene.Open(1, "0.00"));
    scene.window->Type("-0.5");
    scene.graphics.OnMouseDown(500, 500, LeftButton()); // before any tick: a change of mind
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(1).Value(), 0.0);

    ASSERT_TRUE(scene.Open(1, "0.00"));
    scene.window->Type("-0.5");
    scene.graphics.OnTimer();
    EXPECT_EQ(scene.graphics.GetTextEntryState(), TextEntryState::Drawn);
    scene.graphics.OnMouseDown(500, 500, LeftButton());
    EXPECT_EQ(scene.graphics.GetTextEntryState(), TextEntryState::CommitRequested);
    // The click itself went to no control.
    EXPECT_EQ(scene.graphics.CapturedControl(), -1);
    EXPECT_TRUE(scene.plugin.log.empty());
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(1).Value(), -0.5);
}

TEST(TextEntry, WheelCancelsAndASecondEntryIsRefusedWhileOneIsOpen) {
    EntryScene scene;
    ASSERT_TRUE(scene.Open(3));
    EXPECT_FALSE(scene.Open(1));
    scene.window->Type("1");
    scene.graphics.OnWheel(10, 10, Modifiers(), 120);
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(3).Value(), 0.5);
    // The wheel movement did not turn the knob either.
    EXPECT_DOUBLE_EQ(scene.knobs[3]->Value(), 0.5);
    EXPECT_TRUE(scene.Open(1));
}

TEST(TextEntry, RedrawWaitsWhileTheBoxIsOpen) {
    EntryScene scene;
    ASSERT_TRUE(scene.Open(3));
    scene.knobs[3]->SetDirty(false);
    scene.graphics.OnTimer();
    scene.graphics.OnTimer();
    EXPECT_TRUE(scene.knobs[3]->IsDirty());
    scene.graphics.OnTextEntryCancel();
    scene.graphics.OnTimer();
    EXPECT_FALSE(scene.knobs[3]->IsDirty());
}

TEST(TextEntry, CharactersAreFilteredByTheParameterKind) {
    EntryScene scene;
    // Int: a letter is dropped, "." too.
    ASSERT_TRUE(scene.Open(0));
    scene.window->Type("1a.2");
    EXPECT_EQ(scene.window->TextEntryText(), "12");
    EXPECT_FALSE(scene.graphics.TextEntryAccepts('.'));
    EXPECT_TRUE(scene.graphics.TextEntryAccepts('+'));
    EXPECT_TRUE(scene.graphics.TextEntryAccepts('-'));
    EXPECT_TRUE(scene.graphics.TextEntryAccepts(8)); // backspace edits, it is not text
    scene.graphics.OnTextEntryCancel();
    scene.graphics.OnTimer();

    // Double: "." passes.
    ASSERT_TRUE(scene.Open(1));
    scene.window->Type("-0.25x");
    EXPECT_EQ(scene.window->TextEntryText(), "-0.25");
    scene.graphics.OnTextEntryCancel();
    scene.graphics.OnTimer();

    // Enum: digits and signs only, like Int.
    ASSERT_TRUE(scene.Open(2));
    EXPECT_FALSE(scene.graphics.TextEntryAccepts('W'));
    EXPECT_FALSE(scene.graphics.TextEntryAccepts('.'));
    scene.graphics.OnTextEntryCancel();
    scene.graphics.OnTimer();

    // Without a parameter every character passes.
    ASSERT_TRUE(scene.Open(-1, "old"));
    scene.window->Type("Ab.1 x");
    EXPECT_EQ(scene.window->TextEntryText(), "Ab.1 x");
}

TEST(TextEntry, EnumEntriesMatchDisplayTextsElseTakeTheFirstValue) {
    EntryScene scene;
    scene.plugin.GetParam(2).SetClamped(4.0);
    ASSERT_TRUE(scene.Open(2, "W4")); // shown text committed unchanged
    scene.graphics.OnTextEntryCommit();
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(2).Value(), 3.0);
    ASSERT_TRUE(scene.Open(2, "W4"));
    scene.window->Type("12");
    scene.graphics.OnTextEntryCommit();
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(2).Value(), 0.0);
}

TEST(TextEntry, NumbersOutOfRangeAreLimitedAndNonNumbersChangeNothing) {
    EntryScene scene;
    ASSERT_TRUE(scene.Open(1, "7"));
    scene.graphics.OnTextEntryCommit();
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(1).Value(), 1.0);
    ASSERT_TRUE(scene.Open(1, "nan"));
    scene.graphics.OnTextEntryCommit();
    scene.graphics.OnTimer();
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(1).Value(), 1.0);
}

TEST(TextEntry, WithoutAParameterTheControlGetsTheTextCutTo32Bytes) {
    EntryScene scene;
    std::string longText(40, 'n');
    ASSERT_TRUE(
        scene.graphics.CreateTextEntry(scene.name, -1, scene.name->DrawRect(), longText, 64));
    EXPECT_EQ(scene.window->LastTextEntry().maxLength, 64);
    scene.graphics.OnTextEntryCommit();
    scene.graphics.OnTimer();
    ASSERT_EQ(scene.name->received.size(), 1u);
    EXPECT_EQ(scene.name->received[0], std::string(32, 'n'));
    EXPECT_TRUE(scene.plugin.reported.empty());
}

TEST(TextEntry, ClosingTheEditorDropsAnOpenEntry) {
    EntryScene scene;
    ASSERT_TRUE(scene.Open(0, "3"));
    scene.graphics.OnTextEntryCommit();
    scene.graphics.CloseWindow();
    EXPECT_EQ(scene.graphics.GetTextEntryState(), TextEntryState::None);
    EXPECT_DOUBLE_EQ(scene.plugin.GetParam(0).Value(), 0.0);
    // Without a window no entry opens.
    EXPECT_FALSE(scene.Open(0));
}

TEST(PopupMenuModel, IdentifiersRunThroughTheTreeAndMapBackToMenuAndIndex) {
    PopupMenu menu;
    for (int g = 0; g < 4; ++g) {
        PopupMenu& sub =
            menu.AddSubmenu("group " + std::to_string(g), g == 1 ? PopupMenu::kChecked : 0);
        for (int h = 0; h < 12; ++h) sub.AddItem("item " + std::to_string(h));
    }
    menu.AddSeparator();
    menu.AddItem("off", PopupMenu::kDisabled);
    menu.AddItem("last");
    EXPECT_EQ(menu.AssignIds(1), 1 + 4 * 13 + 3);
    // Group 2's submenu entry is 27; its items follow it.
    EXPECT_EQ(menu.ItemAt(2).id, 27);
    EXPECT_EQ(menu.ItemAt(2).submenu->ItemAt(0).id, 28);

    PopupMenu* found = nullptr;
    int index = -1;
    ASSERT_TRUE(menu.FindItem(28 + 4, found, index));
    EXPECT_EQ(found, menu.ItemAt(2).submenu.get());
    EXPECT_EQ(index, 4);
    ASSERT_TRUE(menu.FindItem(55, found, index));
    EXPECT_EQ(found, &menu);
    EXPECT_EQ(index, 6);
    // Submenu entries, separators, disabled items and unknown numbers choose nothing.
    EXPECT_FALSE(menu.FindItem(27, found, index));
    EXPECT_FALSE(menu.FindItem(53, found, index));
    EXPECT_FALSE(menu.FindItem(54, found, index));
    EXPECT_FALSE(menu.FindItem(0, found, index));
    EXPECT_FALSE(menu.FindItem(56, found, index));
}

TEST(PopupMenuModel, NumberPrefixes) {
    PopupMenu plain(PopupMenu::Prefix::Number), two(PopupMenu::Prefix::TwoDigits),
        three(PopupMenu::Prefix::ThreeDigits), none;
    for (PopupMenu* menu : {&plain, &two, &three, &none}) menu->AddItem("Name");
    EXPECT_EQ(plain.Label(0), "1: Name");
    EXPECT_EQ(two.Label(0), "01: Name");
    EXPECT_EQ(three.Label(0), "001: Name");
    EXPECT_EQ(none.Label(0), "Name");
}

TEST(PopupMenuModel, GraphicsReturnsTheChosenMenuAndRepaintsAfterwards) {
    OpenEditor editor;
    PopupMenu menu;
    PopupMenu& sub = menu.AddSubmenu("Sub");
    sub.AddItem("a");
    sub.AddItem("b");
    editor.window->SetMenuChooser(
        [](const PopupMenu& shown) { return shown.ItemAt(0).submenu->ItemAt(1).id; });
    PopupMenu* chosen = editor.graphics.CreatePopupMenu(menu, Rect(5, 6, 50, 60));
    ASSERT_EQ(chosen, &sub);
    EXPECT_EQ(chosen->ChosenItemIndex(), 1);
    EXPECT_EQ(editor.window->MenuX(), 5);
    EXPECT_EQ(editor.window->MenuY(), 60);

    editor.window->SetMenuChooser(nullptr);
    EXPECT_EQ(editor.graphics.CreatePopupMenu(menu, Rect()), nullptr);
    editor.graphics.CloseWindow();
    EXPECT_EQ(editor.graphics.CreatePopupMenu(menu, Rect()), nullptr);
}
