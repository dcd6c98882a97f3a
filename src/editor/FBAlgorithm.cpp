#include "editor/FBAlgorithm.h"

#include "editor/ControlLayout.h"
#include "editor/VornEditor.h"
#include "graphics/Drawing.h"

#include <algorithm>
#include <cmath>

namespace editor {

namespace {
constexpr int kLastIndex = 7;
}

FBAlgorithm::FBAlgorithm(VornEditor& editor, const graphics::Rect& rect,
                         const graphics::Bitmap& bitmap, int paramIndex)
    : Control(editor, rect, paramIndex), bitmap_(bitmap), cells_(AlgorithmHitRects()) {}

int FBAlgorithm::AlgorithmIndex() const {
    // Limited before the conversion, so that no value (NaN included) leaves the eight cells.
    const double value = value_ > 0.0 ? std::min(value_, 1.0) : 0.0;
    return static_cast<int>(std::floor(value * kLastIndex + 0.5));
}

int FBAlgorithm::CellAt(int x, int y) const {
    for (int i = 0; i <= kLastIndex; ++i)
        if (cells_[static_cast<std::size_t>(i)].Contains(x, y)) return i;
    return -1;
}

bool FBAlgorithm::Draw(graphics::Surface& target) {
    target.FillRect(cells_[static_cast<std::size_t>(AlgorithmIndex())],
                    graphics::Color(160, 255, 128, 32), 1.0);
    graphics::DrawBitmapFrame(target, bitmap_, 1, rect_, blend_);
    return true;
}

void FBAlgorithm::MouseDown(int x, int y, const graphics::Modifiers&) {
    const int cell = CellAt(x, y);
    if (cell < 0) return;
    value_ = static_cast<double>(cell) / kLastIndex;
    SetDirty(true);
}

} // namespace editor
