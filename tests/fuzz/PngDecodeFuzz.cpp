// PNG decoding, as the editor's images go through it: any bytes either decode to an image within
// the size limits or are refused with an empty image, and a decoded image can be drawn in every
// blend mode and encoded again.

#include "graphics/Drawing.h"
#include "graphics/PngCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition, const char* rule) {
    if (!condition) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    graphics::Surface image;
    bool decoded = graphics::DecodePng(data, size, image);
    if (!decoded) {
        Require(image.Empty(), "a refused PNG leaves an empty image");
        return 0;
    }
    Require(!image.Empty(), "a decoded PNG has pixels");
    Require(image.Width() <= graphics::kMaxPngSide && image.Height() <= graphics::kMaxPngSide,
            "decoded images stay within the side limit");
    Require(static_cast<long long>(image.Width()) * image.Height() <= graphics::kMaxPngPixels,
            "decoded images stay within the pixel limit");
    // Premultiplied: no colour channel above its alpha.
    for (std::uint32_t pixel : image.Pixels()) {
        std::uint32_t alpha = pixel >> 24;
        Require(((pixel >> 16) & 0xFF) <= alpha && ((pixel >> 8) & 0xFF) <= alpha &&
                    (pixel & 0xFF) <= alpha,
                "decoded pixels are premultiplied");
    }

    // Drawn as an image of 1 to 4 frames, in every mode, partly outside the target.
    graphics::Surface target(48, 48);
    target.Clear(graphics::Color(255, 30, 60, 90));
    int frames = 1 + (data[size / 2] & 3);
    const graphics::BlendMode modes[3] = {graphics::BlendMode::Normal,
                                          graphics::BlendMode::Additive,
                                          graphics::BlendMode::ColorDodge};
    for (int m = 0; m < 3; ++m)
        for (int frame = 0; frame <= frames + 1; ++frame)
            graphics::DrawFrame(target, image, frames, frame,
                                graphics::Rect(-8 + 16 * m, -8, 40 + 16 * m, 56),
                                graphics::Blend(modes[m], 0.5 * (1 + (frame & 1))));

    std::vector<std::uint8_t> png;
    Require(graphics::EncodePng(image, png), "a decoded image encodes");
    graphics::Surface again;
    Require(graphics::DecodePng(png.data(), png.size(), again), "an encoded image decodes");
    Require(again.Width() == image.Width() && again.Height() == image.Height(),
            "encoding keeps the size");
    return 0;
}
