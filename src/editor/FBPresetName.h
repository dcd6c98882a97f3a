#pragma once
// The field with the current program's name. A click opens a one-line entry of seven characters
// over it; the entered name (cut to seven) renames the program, and the host is told.

#include "graphics/Control.h"

#include <string>

namespace editor {

class EditorHost;

class VornEditor;

class FBPresetName : public graphics::Control {
public:
    static constexpr int kEntryLength = 7;

    FBPresetName(VornEditor& editor, const graphics::Rect& rect, int id,
                 const graphics::TextStyle& style, const graphics::TextStyle& entryStyle);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;
    void TextFromTextEntry(const std::string& text) override;

    // The current program's name; empty when the current index is outside the program store.
    std::string Name() const;

private:
    VornEditor& editor_;
    EditorHost& owner_;
};

} // namespace editor
