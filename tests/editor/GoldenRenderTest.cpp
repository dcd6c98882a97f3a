// Small scenes drawn with the drawing library and compared pixel for pixel with committed PNG
// expectations in tests/editor/golden/. Every build (Linux, both Windows targets under Wine) must
// draw exactly these pixels. After a deliberate change of the drawing code, regenerate with
//   VORNA_UPDATE_GOLDENS=1 ctest -R editor
// and review the new pictures before committing them.

#include "GoldenUpdate.h"
#include "graphics/Drawing.h"
#include "graphics/PngCodec.h"
#include "graphics/TextRenderer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace graphics;

namespace {

std::string GoldenPath(const std::string& name) {
    return std::string(VORNA_EDITOR_GOLDEN_DIR) + "/" + name;
}

// Compares the scene with its golden picture; with VORNA_UPDATE_GOLDENS=1, rewrites it.
void ExpectMatchesGolden(const Surface& scene, const std::string& name) {
    if (editor_test::GoldenUpdateRequested()) {
        ASSERT_TRUE(SavePng(scene, GoldenPath(name)));
        return;
    }
    std::ifstream file(GoldenPath(name), std::ios::binary);
    ASSERT_TRUE(file) << "missing golden picture " << GoldenPath(name);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    Surface golden;
    ASSERT_TRUE(DecodePng(bytes.data(), bytes.size(), golden));
    ASSERT_EQ(golden.Width(), scene.Width());
    ASSERT_EQ(golden.Height(), scene.Height());
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < scene.Height(); ++y)
        for (int x = 0; x < scene.Width(); ++x)
            if (golden.Pixel(x, y) != scene.Pixel(x, y) && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
    if (differing) SavePng(scene, "actual-" + name);
    EXPECT_EQ(differing, 0) << name << ": first difference at (" << firstX << ", " << firstY
                            << "); this build's picture is in actual-" << name;
}

// An opaque background with colour, brightness and a diagonal, so every blend mode shows.
Surface Backdrop(int width, int height) {
    Surface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface.SetPixel(x, y,
                             Premultiply(Color(255, (x * 255) / width, (y * 255) / height,
                                               ((x + y) % 16) * 12)));
    return surface;
}

// Three 20 x 20 frames, each a ring of soft alpha with its own colour.
Surface FramedImage() {
    Surface image(20, 60);
    const Color colours[3] = {Color(255, 255, 64, 32), Color(255, 64, 220, 255),
                              Color(255, 250, 250, 250)};
    for (int frame = 0; frame < 3; ++frame)
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                int d = (x - 10) * (x - 10) + (y - 10) * (y - 10);
                int alpha = d > 100 ? 0 : 255 - d * 2;
                Color c = colours[frame];
                c.a = static_cast<std::uint8_t>(alpha);
                image.SetPixel(x, frame * 20 + y, Premultiply(c));
            }
    return image;
}

} // namespace

TEST(GoldenRender, FrameOfAMultiFrameImageInEachBlendModeAndWeight) {
    Surface scene = Backdrop(150, 60);
    Surface image = FramedImage();
    const BlendMode modes[3] = {BlendMode::Normal, BlendMode::Additive, BlendMode::ColorDodge};
    for (int m = 0; m < 3; ++m) {
        DrawFrame(scene, image, 3, 2, Rect(5 + 50 * m, 5, 25 + 50 * m, 25), Blend(modes[m], 1.0));
        DrawFrame(scene, image, 3, 2, Rect(25 + 50 * m, 5, 45 + 50 * m, 25), Blend(modes[m], 0.5));
        DrawFrame(scene, image, 3, 3, Rect(5 + 50 * m, 32, 25 + 50 * m, 52), Blend(modes[m], 1.0));
        DrawFrame(scene, image, 3, 1, Rect(25 + 50 * m, 32, 45 + 50 * m, 52), Blend(modes[m], 0.5));
    }
    ExpectMatchesGolden(scene, "blend_modes.png");
}

TEST(GoldenRender, TextInEachStyleAndAlignment) {
    Surface scene(240, 150);
    scene.Clear(Color(255, 40, 44, 52));
    struct Line {
        const char* font;
        int size;
        Color colour;
        const char* text;
    };
    const Line lines[] = {
        {"Arial", 10, Color(128, 255, 255, 255), "v.1.1.1.N"},
        {"Arial", 13, Color(192, 220, 220, 220), "PASTE"},
        {"Arial", 14, Color(255, 64, 255, 64), "-12.50"},
        {"Courier New", 16, Color(192, 255, 128, 64), "Brass 7"},
        {"Courier New", 14, Color(255, 0, 0, 0), "E.Piano"},
    };
    const TextAlign aligns[3] = {TextAlign::Left, TextAlign::Center, TextAlign::Right};
    int y = 4;
    for (const Line& line : lines) {
        for (int a = 0; a < 3; ++a) {
            Rect rect(4 + 78 * a, y, 78 + 78 * a, y + 22);
            if (line.colour.r == 0) scene.FillRect(rect, Color(255, 255, 255, 255), 1.0);
            DrawText(scene, rect, line.text,
                     TextStyle(line.font, line.size, line.colour, aligns[a]));
        }
        y += 24;
    }
    // A text longer than its rectangle, clipped.
    DrawText(scene, Rect(4, 126, 120, 140), "Send all parameters via SysEx to the module",
             TextStyle("Arial", 14, Color(255, 255, 200, 0), TextAlign::Left));
    ExpectMatchesGolden(scene, "text_styles.png");
}

TEST(GoldenRender, CirclesAndRectanglesWithAlpha) {
    Surface scene = Backdrop(100, 50);
    FillCircle(scene, 20, 20, 11, Color(160, 64, 64, 64), 0.6);
    FillCircle(scene, 60, 25, 18, Color(255, 255, 128, 32), 1.0);
    FillCircle(scene, 85, 40, 7, Color(255, 255, 255, 255), 0.3);
    scene.FillRect(Rect(5, 35, 45, 48), Color(160, 255, 128, 32), 1.0);
    ExpectMatchesGolden(scene, "circles.png");
}
