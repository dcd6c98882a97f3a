// The editor's buttons in the real instrument: PASTE inert before a copy, COPY and INIT, the
// previous/next arrows wrapping over all 336 programs, the right-click latch that picks a button
// as learn target, the LEARN switch and its two modes, the ">> FB-01" dump, and the name field.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "editor/FBPresetName.h"
#include "editor/FBSwitchMidiLearn.h"
#include "editor/FBUtilityKick.h"
#include "editor/ImageTable.h"
#include "engine/InstrumentParams.h"

#include <gtest/gtest.h>

using editor_test::EditorInstance;
using editor_test::Left;
using editor_test::Right;
using namespace editor;

namespace {

int VoiceDumpsSent(EditorInstance& e) {
    int dumps = 0;
    for (const hostkit::ReceivedEvent& event : e.host().receivedEvents)
        if (event.type == vst2::kVstSysExType && event.bytes.size() == 139) ++dumps;
    return dumps;
}

} // namespace

TEST(FBUtilityKick, PasteDoesNothingAndDoesNotLookPressedBeforeACopy) {
    EditorInstance e;
    auto* paste = e.Find<FBUtilityKick>(kIdPaste);
    auto* copy = e.Find<FBUtilityKick>(kIdCopy);
    ASSERT_NE(paste, nullptr);
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(e.plugin().Clipboard().Empty());
    EXPECT_EQ(paste->CaptionStyle().color.a, 64); // dimmed
    const std::string name = e.plugin().PresetName(0);
    e.ui.answers.push_back(platform::MessageAnswer::Yes);
    e.view().OnTimer(); // drawn: nothing is dirty
    e.Press(paste, Left());
    EXPECT_FALSE(paste->IsPressed());
    EXPECT_FALSE(paste->IsDirty()); // not even a redraw
    e.Release(paste, Left());
    EXPECT_TRUE(e.ui.messages.empty());
    EXPECT_EQ(e.plugin().PresetName(0), name);

    // COPY copies on press and stays pressed until the release.
    e.Press(copy, Left());
    EXPECT_TRUE(copy->IsPressed());
    EXPECT_FALSE(e.plugin().Clipboard().Empty());
    e.Release(copy, Left());
    EXPECT_FALSE(copy->IsPressed());
    EXPECT_EQ(paste->CaptionStyle().color.a, 192);

    // Now PASTE asks first, and is up again once it is done.
    e.plugin().SelectProgram(9);
    e.Press(paste, Left());
    ASSERT_EQ(e.ui.messages.size(), 1u);
    EXPECT_EQ(e.ui.messages[0].text, "Do you really want to overwrite the current program?");
    EXPECT_EQ(e.ui.messages[0].caption, "Paste Program");
    EXPECT_FALSE(paste->IsPressed());
    e.Release(paste, Left());
    EXPECT_EQ(e.plugin().PresetName(9), name);
}

TEST(FBUtilityKick, InitAsksAndThenSetsEveryParameterToItsDefault) {
    EditorInstance e;
    auto* init = e.Find<FBUtilityKick>(kIdInit);
    ASSERT_NE(init, nullptr);
    e.plugin().SetParamFromEditor(engine::kMasterVolume, 0.1);
    e.Click(init, Left()); // answered No
    ASSERT_EQ(e.ui.messages.size(), 1u);
    EXPECT_EQ(e.ui.messages[0].caption, "Initialize Program");
    EXPECT_NEAR(e.plugin().GetParam(engine::kMasterVolume).Value(), 0.2, 1e-12);

    e.ui.answers.push_back(platform::MessageAnswer::Yes);
    e.Click(init, Left());
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kMasterVolume).Value(), 1.0);
    EXPECT_EQ(e.plugin().PresetName(e.plugin().CurrentPresetIndex()), "Init   ");
    // The knob shows the new value at once.
    EXPECT_DOUBLE_EQ(e.Find(engine::kMasterVolume)->Value(), 0.5);
    EXPECT_FALSE(init->IsPressed());
}

TEST(FBUtilityKick, PreviousFromTheFirstProgramIsTheLastAndNextFromTheLastIsTheFirst) {
    EditorInstance e;
    auto* previous = e.Find<FBUtilityKick>(kIdPrevProgram);
    auto* next = e.Find<FBUtilityKick>(kIdNextProgram);
    ASSERT_NE(previous, nullptr);
    ASSERT_NE(next, nullptr);
    e.plugin().SelectProgram(0);
    const int dumps = VoiceDumpsSent(e);
    e.Press(previous, Left());
    EXPECT_TRUE(previous->IsPressed());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 0); // acts on release
    e.Release(previous, Left());
    EXPECT_FALSE(previous->IsPressed());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 335);
    e.Click(next, Left());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 0);
    e.Click(next, Left());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 1);
    // Every selection sends the program to the module.
    EXPECT_EQ(VoiceDumpsSent(e), dumps + 3);
}

TEST(FBUtilityKick, ARightClickOnlyPicksTheButtonAsLearnTargetAndLeavesItPressed) {
    EditorInstance e;
    auto* next = e.Find<FBUtilityKick>(kIdNextProgram);
    auto* learn = e.Find<FBSwitchMidiLearn>(kNoId);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(learn, nullptr);
    e.plugin().SelectProgram(3);

    e.Click(learn, Left());
    ASSERT_TRUE(e.plugin().LearnActive());
    e.Click(next, Right());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 3);
    EXPECT_TRUE(next->IsPressed());
    EXPECT_TRUE(next->IsLatched());
    EXPECT_EQ(e.plugin().LearnedParameter(), kIdNextProgram);
    EXPECT_TRUE(e.plugin().LearnActive()); // waiting for the controller

    e.plugin().LearnController(20);
    EXPECT_FALSE(e.plugin().LearnActive());
    EXPECT_EQ(e.plugin().Settings().controllerMap[20], kIdNextProgram);
    EXPECT_EQ(learn->Value(), 0.0); // the switch went off with the learn

    // The next click, with either button, acts again on release.
    e.Click(next, Right());
    EXPECT_EQ(e.plugin().CurrentPresetIndex(), 4);
    EXPECT_FALSE(next->IsPressed());
}

TEST(FBSwitchMidiLearn, LeftArmsLearnRightSwapsTheModeOnlyWhileOff) {
    EditorInstance e;
    auto* learn = e.Find<FBSwitchMidiLearn>(kNoId);
    ASSERT_NE(learn, nullptr);
    EXPECT_TRUE(learn->LearnImageShown());
    EXPECT_EQ(learn->GetBitmap().id, kImageLearn);

    e.Click(learn, Left());
    EXPECT_EQ(learn->Value(), 1.0);
    EXPECT_TRUE(e.plugin().LearnActive());
    EXPECT_FALSE(e.plugin().UnlearnMode());
    // While on, the right button changes nothing.
    e.Click(learn, Right());
    EXPECT_EQ(learn->Value(), 1.0);
    EXPECT_TRUE(learn->LearnImageShown());
    EXPECT_TRUE(e.plugin().LearnActive());

    e.Click(learn, Left());
    EXPECT_FALSE(e.plugin().LearnActive());
    e.Click(learn, Right());
    EXPECT_FALSE(learn->LearnImageShown());
    EXPECT_EQ(learn->GetBitmap().id, kImageUnlearn);
    EXPECT_EQ(learn->Value(), 0.0);
    EXPECT_FALSE(e.plugin().LearnActive());
    e.Click(learn, Left());
    EXPECT_TRUE(e.plugin().LearnActive());
    EXPECT_TRUE(e.plugin().UnlearnMode());
}

TEST(FBUtilityKick, SendButtonStoresTheSoundAndSendsOneVoiceDump) {
    EditorInstance e;
    auto* send = e.Find<FBUtilityKick>(kIdSendToModule);
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(send->Tooltip(), "Send all parameters via SysEx to FB-01");
    const int current = e.plugin().CurrentPresetIndex();
    e.plugin().SetParamFromEditor(engine::kFeedback, 1.0);
    const int dumps = VoiceDumpsSent(e);
    e.Click(send, Left());
    EXPECT_EQ(VoiceDumpsSent(e), dumps + 1);
    // The edit went into the program: recalling it keeps the feedback.
    e.plugin().SetParamFromEditor(engine::kFeedback, 0.0);
    e.plugin().RecallPreset(current);
    EXPECT_DOUBLE_EQ(e.plugin().GetParam(engine::kFeedback).Value(), 7.0);
}

TEST(FBPresetName, TheEntryEditsSevenCharactersAndALongerNameIsCut) {
    EditorInstance e;
    auto* name = e.Find<FBPresetName>(kNoId);
    ASSERT_NE(name, nullptr);
    const int current = e.plugin().CurrentPresetIndex();
    e.Click(name, Right());
    ASSERT_TRUE(e.window().IsTextEntryOpen());
    const graphics::TextEntryRequest& request = e.window().LastTextEntry();
    EXPECT_EQ(request.maxLength, 7);
    EXPECT_EQ(request.text, e.plugin().PresetName(current));
    EXPECT_EQ(request.style.font, "Courier New");
    EXPECT_EQ(request.style.size, 14);
    EXPECT_EQ(request.rect, name->DrawRect());
    // The field itself shows the name in the name display's style, sized so seven characters
    // fit its 67 x 14 field.
    EXPECT_EQ(name->Style().font, "Courier New");
    EXPECT_EQ(name->Style().size, FindTextStyle(TextStyleId::NameDisplay).size);

    const int updates = e.host().CountCalls(vst2::audioMasterUpdateDisplay);
    e.window().Type("Bassline");
    e.view().OnTextEntryCommit();
    e.view().OnTimer();
    EXPECT_FALSE(e.window().IsTextEntryOpen());
    EXPECT_EQ(e.plugin().PresetName(current), "Basslin");
    EXPECT_GT(e.host().CountCalls(vst2::audioMasterUpdateDisplay), updates);

    // What an entry box hands back is cut to seven characters before it renames.
    name->TextFromTextEntry("ABCDEFGHIJ");
    EXPECT_EQ(e.plugin().PresetName(current), "ABCDEFG");
    name->TextFromTextEntry("Pad");
    EXPECT_EQ(e.plugin().PresetName(current), "Pad    ");
    EXPECT_EQ(name->Name(), "Pad    ");
}
