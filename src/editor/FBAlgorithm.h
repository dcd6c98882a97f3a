#pragma once
// The algorithm diagram (parameter 6, eight algorithms): image 101 with the chosen algorithm's
// cell lit in orange behind its transparent parts. The eight cells tile the whole picture, so a
// click anywhere on it picks the algorithm of the cell under the pointer.

#include "graphics/Bitmap.h"
#include "graphics/Control.h"

#include <array>

namespace editor {

class VornEditor;

class FBAlgorithm : public graphics::Control {
public:
    FBAlgorithm(VornEditor& editor, const graphics::Rect& rect, const graphics::Bitmap& bitmap,
                int paramIndex);

    void MouseDown(int x, int y, const graphics::Modifiers& mods) override;
    bool Draw(graphics::Surface& target) override;

    // The algorithm index 0 to 7 the value stands for, and the cell a point lies in (-1 none).
    int AlgorithmIndex() const;
    int CellAt(int x, int y) const;

private:
    graphics::Bitmap bitmap_;
    const std::array<graphics::Rect, 8>& cells_;
};

} // namespace editor
