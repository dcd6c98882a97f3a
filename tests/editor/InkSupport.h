#pragma once
// Where a drawing put its ink, for the tests that check texts and controls stay in their fields:
// the box of the pixels that differ from a reference picture, and the texts each drop-down can
// show.

#include "VornEditorSupport.h"

#include "editor/ControlLayout.h"
#include "programs/ProgramNumbering.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace editor_test {

struct Ink {
    bool any = false;
    graphics::Rect box; // pixels of the picture, right and bottom exclusive
};

// The box of the pixels in the area (limited to the picture) that the test says are ink.
inline Ink InkWhere(const graphics::Surface& picture, const graphics::Rect& area,
                    const std::function<bool(int, int)>& isInk) {
    Ink ink;
    const graphics::Rect inside = area.Intersection(picture.Bounds());
    for (int y = inside.top; y < inside.bottom; ++y)
        for (int x = inside.left; x < inside.right; ++x) {
            if (!isInk(x, y)) continue;
            if (!ink.any) ink.box = graphics::Rect(x, y, x + 1, y + 1);
            ink.any = true;
            ink.box.left = std::min(ink.box.left, x);
            ink.box.top = std::min(ink.box.top, y);
            ink.box.right = std::max(ink.box.right, x + 1);
            ink.box.bottom = std::max(ink.box.bottom, y + 1);
        }
    return ink;
}

// Where pixels of the area differ from the reference picture.
inline Ink InkOf(const graphics::Surface& picture, const graphics::Surface& reference,
                 const graphics::Rect& area) {
    return InkWhere(picture, area,
                    [&](int x, int y) { return picture.Pixel(x, y) != reference.Pixel(x, y); });
}

inline bool Inside(const graphics::Rect& inner, const graphics::Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

inline std::string Describe(const graphics::Rect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// Every text a drop-down can show.
inline std::vector<std::string> DropDownTexts(EditorInstance& e,
                                              const editor::ControlSpec& control) {
    std::vector<std::string> texts;
    if (control.id == editor::kIdBankNumber || control.id == editor::kIdBrowserBankNumber) {
        for (int b = 0; b < programs::kVoiceBankCount; ++b)
            texts.push_back(programs::VoiceBankText(b * programs::kVoiceBankSize));
    } else if (control.id == editor::kIdProgramNumber ||
               control.id == editor::kIdBrowserProgramNumber) {
        for (int p = 0; p < programs::kVoiceBankSize; ++p)
            texts.push_back(programs::ProgramNumberText(p));
    } else {
        for (const host::DisplayText& entry : e.plugin().GetParam(control.id).DisplayTexts())
            texts.push_back(entry.text);
    }
    return texts;
}

// Seven of each printable character a program name can hold, and every program's name.
inline std::vector<std::string> ProgramNameSamples(EditorInstance& e) {
    std::vector<std::string> names;
    for (char c = ' ' + 1; c < 127; ++c) names.push_back(std::string(7, c));
    for (int p = 0; p < programs::kProgramCount; ++p) names.push_back(e.plugin().PresetName(p));
    return names;
}

inline std::string Where(const editor::ControlSpec& control) {
    return "control " + std::to_string(control.id) + " at " + Describe(control.rect);
}

} // namespace editor_test
