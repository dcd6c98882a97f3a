#include "OffscreenReference.h"

#include "editor/VornEditor.h"
#include "graphics/PngCodec.h"
#include "host/PluginFactory.h"
#include "vorn/Vorn.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace lv2_ui_test {

OffscreenReference::OffscreenReference() : core_(host::CreatePlugin(host::PluginSetup{})) {}

OffscreenReference::~OffscreenReference() = default;

void OffscreenReference::SetParam(int index, float value) {
    core_->SetParamFromHost(index, core_->GetParam(index).ToNormalized(value));
}

graphics::Surface OffscreenReference::Picture(const std::string& pngPath) {
    graphics::Surface picture;
    if (!core_->SaveEditorPicture(pngPath)) return picture;
    std::ifstream file(pngPath, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    if (bytes.empty() || !graphics::DecodePng(bytes.data(), bytes.size(), picture)) return {};
    return picture;
}

int OffscreenReference::ControlCount() const {
    return static_cast<vorn::Vorn&>(*core_).EditorView()->ControlCount();
}

graphics::Control* OffscreenReference::Control(int index) const {
    return static_cast<vorn::Vorn&>(*core_).EditorView()->GetControl(index);
}

int CountDrawnPixels(const graphics::Surface& picture) {
    int count = 0;
    for (std::uint32_t pixel : picture.Pixels()) count += (pixel & 0xFFFFFF) != 0;
    return count;
}

int CountDifferentPixels(const graphics::Surface& a, const graphics::Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return a.Width() * a.Height();
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            count += (a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF);
    return count;
}

} // namespace lv2_ui_test
