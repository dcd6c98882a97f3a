// The editor's size chosen in the main menu: the host's frame is asked first, the window and the
// picture follow, a refusal keeps the old size until the editor opens again, and the choice is
// kept in the configuration file.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "graphics/NativeWindow.h"
#include "synth/Configuration.h"
#include "synth/IniFile.h"

#include <gtest/gtest.h>

using editor_test::EditorInstance;
using editor_test::Left;

namespace {

struct EditorRect {
    int width = 0;
    int height = 0;
};

EditorRect AskRect(hostkit::PluginHost& host) {
    vst2::ERect* rect = nullptr;
    EditorRect size;
    if (host.Dispatch(vst2::effEditGetRect, 0, 0, &rect) == 1 && rect) {
        size.width = rect->right - rect->left;
        size.height = rect->bottom - rect->top;
    }
    return size;
}

// The last size the plug-in asked the host's frame to take.
EditorRect AskedFrame(const hostkit::PluginHost& host) {
    EditorRect size;
    for (const hostkit::HostCall& call : host.calls)
        if (call.opcode == vst2::audioMasterSizeWindow) {
            size.width = call.index;
            size.height = static_cast<int>(call.value);
        }
    return size;
}

int OpaquePixels(const graphics::Surface& surface) {
    int count = 0;
    for (std::uint32_t pixel : surface.Pixels())
        if ((pixel >> 24) == 0xFF && (pixel & 0xFFFFFF) != 0) ++count;
    return count;
}

void ChooseSize(EditorInstance& e, const std::string& item) {
    e.ChooseInMenus(item);
    e.Click(e.Find(editor::kIdMainMenu), Left());
}

} // namespace

TEST(EditorSize, AHostThatResizesItsFrameGetsTheWholeEditorAtTheNewSize) {
    EditorInstance e;
    ASSERT_EQ(e.view().ScalePercent(), 100);
    EXPECT_EQ(AskRect(e.host()).width, 968);

    ChooseSize(e, "200 %");
    EXPECT_TRUE(e.ui.messages.empty());
    EXPECT_EQ(e.plugin().Settings().editorSize, 200);
    EXPECT_EQ(e.view().ScalePercent(), 200);
    EXPECT_EQ(AskedFrame(e.host()).width, 1936);
    EXPECT_EQ(AskedFrame(e.host()).height, 1280);
    EXPECT_EQ(AskRect(e.host()).width, 1936);
    EXPECT_EQ(AskRect(e.host()).height, 1280);
    // The window's screen was painted again, everywhere, at the new size.
    const graphics::Surface& screen = e.window().Screen();
    ASSERT_EQ(screen.Width(), 1936);
    ASSERT_EQ(screen.Height(), 1280);
    EXPECT_GT(OpaquePixels(screen), 1936 * 1280 * 9 / 10);
    EXPECT_EQ(screen.Pixels(), e.view().RenderAll().Pixels());

    // The menu shows the choice, and the way back to the system's scale.
    ChooseSize(e, "");
    const auto& sizes = e.lastMenu.back().submenu;
    ASSERT_EQ(sizes.size(), 6u);
    EXPECT_EQ(sizes[4].text, "200 %");
    EXPECT_EQ(sizes[4].flags, graphics::PopupMenu::kChecked);
    EXPECT_EQ(sizes[0].flags, 0);
    EXPECT_EQ(sizes[5].text, "Follow System");

    ChooseSize(e, "Follow System");
    EXPECT_EQ(e.plugin().Settings().editorSize, 0);
    EXPECT_TRUE(e.view().FollowsSystemScale());
    EXPECT_EQ(e.view().ScalePercent(), graphics::SystemScalePercent(nullptr));
}

TEST(EditorSize, AHostThatRefusesKeepsTheOldSizeUntilTheEditorOpensAgain) {
    EditorInstance e;
    e.host().sizeWindowAnswer = 0;
    ChooseSize(e, "150 %");
    ASSERT_EQ(e.ui.messages.size(), 1u);
    EXPECT_EQ(e.ui.messages[0].caption, "Editor Size");
    EXPECT_EQ(e.ui.messages[0].text, "The host did not resize the editor window. The editor "
                                     "takes its new size when it is opened again.");
    EXPECT_EQ(AskedFrame(e.host()).width, 1452);
    // Nothing changed on screen or for the host.
    EXPECT_EQ(e.view().ScalePercent(), 100);
    EXPECT_EQ(e.window().Screen().Width(), 968);
    EXPECT_EQ(AskRect(e.host()).width, 968);
    EXPECT_EQ(AskRect(e.host()).height, 640);
    // The choice is kept, and the next opening takes it.
    EXPECT_EQ(e.plugin().Settings().editorSize, 150);
    e.view().CloseWindow();
    EXPECT_EQ(e.view().ScalePercent(), 150);
    EXPECT_EQ(AskRect(e.host()).width, 1452);
    EXPECT_EQ(AskRect(e.host()).height, 960);
    auto window = std::make_unique<graphics::OffscreenWindow>(e.view());
    graphics::OffscreenWindow* reopened = window.get();
    ASSERT_TRUE(e.view().OpenWindowWith(std::move(window)));
    EXPECT_EQ(reopened->Screen().Width(), 1452);
    EXPECT_EQ(reopened->Screen().Height(), 960);
}

TEST(EditorSize, TheChoiceIsKeptInTheConfigurationFileAndGarbageFollowsTheSystem) {
    EditorInstance e;
    ChooseSize(e, "175 %");
    synth::IniDocument ini;
    ASSERT_TRUE(synth::LoadIniFile(e.plugin().Settings().configurationPath, ini));
    EXPECT_EQ(ini.Read("Editor", "Editor Size", "", 63), "175");

    // Another instance reading the same file opens at that size.
    synth::SynthSettings read;
    read.configurationPath = e.plugin().Settings().configurationPath;
    ASSERT_TRUE(synth::ReadConfiguration(read));
    EXPECT_EQ(read.editorSize, 175);
    e.plugin().Settings().editorSize = 100;
    ASSERT_TRUE(e.plugin().ApplyEditorSize());
    e.plugin().Settings() = read;
    ASSERT_TRUE(e.plugin().ApplyEditorSize());
    EXPECT_EQ(e.view().ScalePercent(), 175);
    EXPECT_FALSE(e.view().FollowsSystemScale());

    ChooseSize(e, "Follow System");
    ASSERT_TRUE(synth::LoadIniFile(e.plugin().Settings().configurationPath, ini));
    EXPECT_EQ(ini.Read("Editor", "Editor Size", "", 63), "System");
    for (const char* garbage : {"", "System", "0", "120", "150 %", "1 50", "-100", "2000",
                                "99999999999999999999", "\xFF\xFE"}) {
        synth::IniDocument bad = synth::IniDocument::Parse("[Editor]\nEditor Size=175\n");
        bad.Write("Editor", "Editor Size", garbage);
        synth::SynthSettings settings;
        settings.editorSize = 125;
        synth::ApplyConfiguration(bad, settings);
        EXPECT_EQ(settings.editorSize, 0) << garbage;
        e.plugin().Settings().editorSize = settings.editorSize;
        ASSERT_TRUE(e.plugin().ApplyEditorSize());
        EXPECT_TRUE(e.view().FollowsSystemScale());
        EXPECT_EQ(e.view().ScalePercent(), graphics::SystemScalePercent(nullptr)) << garbage;
    }
}

TEST(EditorSize, AScreenshotAtAnotherScaleLeavesTheEditorAsItWas) {
    EditorInstance e;
    // An open window keeps its size: a picture at another one is refused.
    EXPECT_FALSE(e.plugin().SaveEditorPicture("size-refused.png", 200));
    e.view().CloseWindow();
    ASSERT_TRUE(e.plugin().SaveEditorPicture("size-200.png", 200));
    EXPECT_EQ(e.view().ScalePercent(), 100);
    EXPECT_EQ(AskRect(e.host()).width, 968);
    EXPECT_FALSE(e.plugin().SaveEditorPicture("size-bad.png", 120));
}

TEST(EditorSize, AnOpenTextEntryGoesWithTheOldSize) {
    EditorInstance e;
    graphics::Control* knob = e.Find(0);
    ASSERT_NE(knob, nullptr);
    ASSERT_TRUE(e.view().CreateTextEntry(knob, 0, knob->DrawRect(), "1.5", 8));
    ASSERT_TRUE(e.window().IsTextEntryOpen());
    const double before = e.plugin().GetParam(0).Value();
    ASSERT_TRUE(e.view().SetScale(200));
    EXPECT_FALSE(e.window().IsTextEntryOpen());
    EXPECT_EQ(e.view().GetTextEntryState(), graphics::TextEntryState::None);
    EXPECT_EQ(e.plugin().GetParam(0).Value(), before);
}
