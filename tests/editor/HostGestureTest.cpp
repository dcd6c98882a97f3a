// A parameter control's click and drag reach the host as a begin-edit, automation and end-edit,
// through the real plug-in and its VST2 adapter.

#include "unit/vorn/VornTestSupport.h"

#include "graphics/Graphics.h"
#include "graphics/KnobControl.h"
#include "graphics/OffscreenWindow.h"

#include <gtest/gtest.h>

#include <memory>

using namespace graphics;

TEST(HostGesture, AKnobDragIsBracketedByBeginAndEndEditAtTheHost) {
    VornInstance vorna;
    Graphics editor(&vorna.Plugin());
    ASSERT_TRUE(editor.OpenWindowWith(std::make_unique<OffscreenWindow>(editor)));
    auto* knob = new KnobControl(editor, Rect(0, 0, 40, 40), 0); // "Master Volume"
    editor.AttachControl(knob);
    knob->SetValueFromPlugin(0.5);
    vorna.host.calls.clear();

    Modifiers left;
    left.left = true;
    editor.OnMouseDown(20, 20, left);
    editor.OnMouseMove(20, 4, left);
    editor.OnMouseUp(20, 4, left);

    std::vector<vst2::Int32> opcodes;
    for (const hostkit::HostCall& call : vorna.host.calls) {
        if (call.opcode == vst2::audioMasterBeginEdit || call.opcode == vst2::audioMasterEndEdit ||
            call.opcode == vst2::audioMasterAutomate) {
            opcodes.push_back(call.opcode);
            EXPECT_EQ(call.index, 0);
        }
    }
    EXPECT_EQ(opcodes,
              (std::vector<vst2::Int32>{vst2::audioMasterBeginEdit, vst2::audioMasterAutomate,
                                        vst2::audioMasterEndEdit}));
    EXPECT_NEAR(vorna.Plugin().GetParam(0).ToNormalized(), 0.6, 1e-6);
}
