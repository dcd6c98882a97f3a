// The drawing library: integer blending, image frames, circles, text placement and clipping, PNG
// decoding and encoding, and what bad input does (nothing, never a crash).

#include "graphics/Drawing.h"
#include "graphics/ImageCache.h"
#include "graphics/PngCodec.h"
#include "graphics/TextRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

using namespace graphics;

namespace {

std::uint32_t Argb(int a, int r, int g, int b) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

Surface Filled(int w, int h, Color color) {
    Surface surface(w, h);
    surface.Clear(color);
    return surface;
}

// Pixels that differ from the fill colour.
int Changed(const Surface& surface, Color fill, const Rect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += surface.Pixel(x, y) != Premultiply(fill);
    return count;
}

// The bounding box of the pixels that differ from the fill colour.
Rect Painted(const Surface& surface, Color fill) {
    Rect box(surface.Width(), surface.Height(), 0, 0);
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.Pixel(x, y) != Premultiply(fill))
                box = Rect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1));
    return box;
}

} // namespace

TEST(Blending, NormalAdditiveAndDodgeGiveExactIntegerResults) {
    Surface s = Filled(1, 1, Color(255, 0, 0, 255));
    s.BlendPixel(0, 0, Premultiply(Color(128, 255, 0, 0)), BlendMode::Normal, 256);
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 128, 0, 127));
    s = Filled(1, 1, Color(255, 0, 0, 255));
    s.BlendPixel(0, 0, Premultiply(Color(128, 255, 0, 0)), BlendMode::Normal, WeightOf(0.5));
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 64, 0, 191));

    s = Filled(1, 1, Color(255, 100, 100, 100));
    s.BlendPixel(0, 0, Argb(255, 200, 10, 0), BlendMode::Additive, 256);
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 255, 110, 100));
    s = Filled(1, 1, Color(255, 100, 100, 100));
    s.BlendPixel(0, 0, Argb(255, 200, 10, 0), BlendMode::Additive, WeightOf(0.5));
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 200, 105, 100));

    s = Filled(1, 1, Color(255, 100, 100, 100));
    s.BlendPixel(0, 0, Argb(255, 128, 0, 255), BlendMode::ColorDodge, 256);
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 201, 100, 255));
    s = Filled(1, 1, Color(255, 100, 100, 100));
    s.BlendPixel(0, 0, Argb(255, 128, 0, 255), BlendMode::ColorDodge, WeightOf(0.5));
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 150, 100, 177));

    // Weight 0 and a transparent source change nothing.
    s = Filled(1, 1, Color(255, 100, 100, 100));
    s.BlendPixel(0, 0, Argb(255, 200, 10, 0), BlendMode::Normal, 0);
    s.BlendPixel(0, 0, 0, BlendMode::Normal, 256);
    EXPECT_EQ(s.Pixel(0, 0), Argb(255, 100, 100, 100));
}

TEST(Blending, WeightsAndAlphasOutsideZeroToOneAreLimited) {
    EXPECT_EQ(WeightOf(-3.0), 0);
    EXPECT_EQ(WeightOf(std::nan("")), 0);
    EXPECT_EQ(WeightOf(7.0), 256);
    EXPECT_EQ(AlphaByte(0.6), 153);
    EXPECT_EQ(AlphaByte(2.0), 255);
    EXPECT_EQ(AlphaByte(std::nan("")), 0);
}

TEST(ImageFrames, DrawsOnlyTheChosenFrameClippedToTheRectangle) {
    // Three 2 x 2 frames: red, green, blue.
    Surface image(2, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 2; ++x)
            image.SetPixel(x, y,
                           y < 2   ? Argb(255, 255, 0, 0)
                           : y < 4 ? Argb(255, 0, 255, 0)
                                   : Argb(255, 0, 0, 255));
    Color black(255, 0, 0, 0);
    Surface target = Filled(8, 8, black);
    DrawFrame(target, image, 3, 2, Rect(3, 3, 5, 5), Blend());
    EXPECT_EQ(target.Pixel(3, 3), Argb(255, 0, 255, 0));
    EXPECT_EQ(target.Pixel(4, 4), Argb(255, 0, 255, 0));
    EXPECT_EQ(Changed(target, black, target.Bounds()), 4);

    // A rectangle smaller than the frame cuts it; larger leaves the rest alone.
    target = Filled(8, 8, black);
    DrawFrame(target, image, 3, 3, Rect(0, 0, 1, 8), Blend());
    EXPECT_EQ(Changed(target, black, target.Bounds()), 2);
    EXPECT_EQ(target.Pixel(0, 1), Argb(255, 0, 0, 255));

    // Bad requests draw nothing.
    target = Filled(8, 8, black);
    DrawFrame(target, image, 3, 0, Rect(0, 0, 8, 8), Blend());
    DrawFrame(target, image, 3, 4, Rect(0, 0, 8, 8), Blend());
    DrawFrame(target, image, 0, 1, Rect(0, 0, 8, 8), Blend());
    DrawFrame(target, image, 7, 1, Rect(0, 0, 8, 8), Blend()); // frames taller than the image
    DrawFrame(target, image, 3, 1, Rect(4, 4, 4, 9), Blend());
    DrawFrame(target, image, 3, 1, Rect(6, 6, 2, 2), Blend());
    DrawFrame(target, Surface(), 1, 1, Rect(0, 0, 8, 8), Blend());
    // Partly or wholly outside the surface: clipped.
    DrawFrame(target, image, 3, 1, Rect(-1, -1, 1, 1), Blend());
    DrawFrame(target, image, 3, 1, Rect(100, 100, 200, 200), Blend());
    EXPECT_EQ(Changed(target, black, target.Bounds()), 1);
    EXPECT_EQ(target.Pixel(0, 0), Argb(255, 255, 0, 0));
}

TEST(Circles, AreSymmetricSolidInsideAndTouchNothingOutside) {
    Color black(255, 0, 0, 0);
    Surface target = Filled(40, 40, black);
    FillCircle(target, 20, 20, 11, Color(255, 255, 255, 255), 1.0);
    EXPECT_EQ(target.Pixel(20, 20), Argb(255, 255, 255, 255));
    EXPECT_EQ(target.Pixel(10, 19), Argb(255, 255, 255, 255)); // 9.5 from the centre
    EXPECT_EQ(Painted(target, black), Rect(9, 9, 31, 31));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(target.Pixel(x, y), target.Pixel(39 - x, y));
            ASSERT_EQ(target.Pixel(x, y), target.Pixel(y, x));
        }
    // An edge pixel is partly covered.
    std::uint32_t edge = target.Pixel(12, 12);
    EXPECT_NE(edge, Argb(255, 255, 255, 255));
    EXPECT_NE(edge, Argb(255, 0, 0, 0));

    // Alpha scales the colour's alpha; radius 0 or alpha 0 draws nothing.
    target = Filled(40, 40, black);
    FillCircle(target, 20, 20, 11, Color(160, 64, 64, 64), 0.6);
    EXPECT_EQ(target.Pixel(20, 20), Argb(255, 24, 24, 24));
    target = Filled(40, 40, black);
    FillCircle(target, 20, 20, 0, Color(255, 255, 255, 255), 1.0);
    FillCircle(target, 20, 20, 5, Color(255, 255, 255, 255), 0.0);
    FillCircle(target, -100, -100, 5, Color(255, 255, 255, 255), 1.0);
    EXPECT_EQ(Changed(target, black, target.Bounds()), 0);
}

TEST(Rectangles, FillWithAlphaAndClipToTheSurface) {
    Color black(255, 0, 0, 0);
    Surface target = Filled(10, 10, black);
    target.FillRect(Rect(-5, -5, 2, 2), Color(255, 255, 255, 255), 0.5);
    EXPECT_EQ(target.Pixel(0, 0), Argb(255, 128, 128, 128));
    EXPECT_EQ(Changed(target, black, target.Bounds()), 4);
    target.FillRect(Rect(5, 5, 5, 9), Color(255, 255, 255, 255), 1.0);
    target.FillRect(Rect(9, 9, 3, 3), Color(255, 255, 255, 255), 1.0);
    EXPECT_EQ(Changed(target, black, target.Bounds()), 4);
}

TEST(Text, IsPlacedByAlignmentAndClippedToItsRectangle) {
    Color black(255, 0, 0, 0);
    TextStyle style("Arial", 14, Color(255, 255, 255, 255), TextAlign::Left);
    Rect rect(10, 5, 110, 25);

    Surface left = Filled(120, 30, black);
    DrawText(left, rect, "Vorna", style);
    Rect box = Painted(left, black);
    ASSERT_FALSE(box.Empty());
    EXPECT_LE(box.left, 12);
    EXPECT_GE(box.top, rect.top);

    style.align = TextAlign::Right;
    Surface right = Filled(120, 30, black);
    DrawText(right, rect, "Vorna", style);
    Rect rightBox = Painted(right, black);
    EXPECT_GE(rightBox.right, rect.right - 2);
    EXPECT_LE(rightBox.right, rect.right);
    EXPECT_NEAR(rightBox.Width(), box.Width(), 1); // a glyph may reach past the left edge

    style.align = TextAlign::Center;
    Surface centre = Filled(120, 30, black);
    DrawText(centre, rect, "Vorna", style);
    Rect centreBox = Painted(centre, black);
    EXPECT_NEAR((centreBox.left - rect.left) - (rect.right - centreBox.right), 0, 3);

    // A text longer than its rectangle stays inside it; so does one in a tiny rectangle.
    Surface clipped = Filled(120, 30, black);
    std::string longText(200, 'W');
    DrawText(clipped, Rect(20, 5, 60, 12), longText, style);
    Rect clippedBox = Painted(clipped, black);
    EXPECT_GE(clippedBox.left, 20);
    EXPECT_LE(clippedBox.right, 60);
    EXPECT_LE(clippedBox.bottom, 12);
    Surface nothing = Filled(120, 30, black);
    DrawText(nothing, Rect(20, 5, 20, 25), "Vorna", style);
    DrawText(nothing, rect, "", style);
    EXPECT_EQ(Changed(nothing, black, nothing.Bounds()), 0);

    // The monospaced font: every character as wide as the next.
    TextStyle mono("Courier New", 16, Color(255, 255, 255, 255), TextAlign::Left);
    EXPECT_EQ(TextWidth("iiii", mono), TextWidth("WWWW", mono));
    EXPECT_GT(TextWidth("WWWW", style), TextWidth("iiii", style));
    EXPECT_EQ(TextWidth("", style), 0);
}

TEST(Text, DecodesUtf8AndFallsBackToLatin1) {
    EXPECT_EQ(DecodeText("A\xC3\xA9"), (std::vector<unsigned>{'A', 0xE9}));
    EXPECT_EQ(DecodeText("\xE9t\xE9"), (std::vector<unsigned>{0xE9, 't', 0xE9}));
    EXPECT_EQ(DecodeText("\xE2\x82\xAC"), (std::vector<unsigned>{0x20AC}));
    // Overlong, truncated and surrogate sequences are bytes.
    EXPECT_EQ(DecodeText("\xC0\xAF"), (std::vector<unsigned>{0xC0, 0xAF}));
    EXPECT_EQ(DecodeText("\xE2\x82"), (std::vector<unsigned>{0xE2, 0x82}));
    EXPECT_EQ(DecodeText("\xED\xA0\x80"), (std::vector<unsigned>{0xED, 0xA0, 0x80}));
    EXPECT_EQ(FontResourceKey("Courier New"), std::string("LiberationMono-Regular"));
    EXPECT_EQ(FontResourceKey("Arial"), std::string("LiberationSans-Regular"));
    EXPECT_EQ(FontResourceKey("Unknown"), std::string("LiberationSans-Regular"));
}

TEST(Png, RoundTripsOpaqueAndTransparentPixelsExactly) {
    Surface image(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) image.SetPixel(x, y, Argb(255, x * 30, y * 50, (x * y) % 256));
    image.SetPixel(0, 0, 0);
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(EncodePng(image, png));
    Surface decoded;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), decoded));
    EXPECT_EQ(decoded.Width(), 7);
    EXPECT_EQ(decoded.Height(), 5);
    EXPECT_EQ(decoded.Pixels(), image.Pixels());
    EXPECT_FALSE(EncodePng(Surface(), png));
}

namespace {

bool DecodeFile(const std::string& name, Surface& image) {
    std::ifstream file(std::string(VORNA_PNG_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    return DecodePng(bytes.data(), bytes.size(), image);
}

} // namespace

TEST(Png, EveryColourTypeBecomesPremultipliedArgb) {
    Surface image;
    ASSERT_TRUE(DecodeFile("gray1.png", image)); // 1-bit grey: 1 0 1 1 0 0 1 0
    EXPECT_EQ(image.Width(), 8);
    EXPECT_EQ(image.Pixel(0, 0), Argb(255, 255, 255, 255));
    EXPECT_EQ(image.Pixel(1, 3), Argb(255, 0, 0, 0));
    EXPECT_EQ(image.Pixel(6, 2), Argb(255, 255, 255, 255));
    ASSERT_TRUE(DecodeFile("palette_trns.png", image)); // red, half green, clear blue, white
    EXPECT_EQ(image.Pixel(0, 0), Argb(255, 255, 0, 0));
    EXPECT_EQ(image.Pixel(1, 0), Argb(128, 0, 128, 0));
    EXPECT_EQ(image.Pixel(2, 0), 0u);
    EXPECT_EQ(image.Pixel(3, 0), Argb(255, 255, 255, 255));
    ASSERT_TRUE(DecodeFile("rgb16.png", image)); // the high bytes of 16-bit samples
    EXPECT_EQ(image.Pixel(0, 0), Argb(255, 0, 2, 4));
    EXPECT_EQ(image.Pixel(2, 1), Argb(255, 112, 114, 116));
    ASSERT_TRUE(DecodeFile("gray_alpha.png", image));
    EXPECT_EQ(image.Pixel(1, 0), Argb(128, 25, 25, 25));
    EXPECT_EQ(image.Pixel(2, 0), 0u);
    ASSERT_TRUE(DecodeFile("rgba.png", image));
    EXPECT_EQ(image.Pixel(4, 4), Premultiply(Color(224, 160, 240, 128)));
    EXPECT_FALSE(DecodeFile("truncated.png", image));
}

TEST(Png, TruncatedCorruptOrForeignDataIsRefused) {
    Surface image(16, 16);
    image.Clear(Color(255, 1, 2, 3));
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(EncodePng(image, png));
    Surface decoded;
    EXPECT_FALSE(DecodePng(nullptr, 0, decoded));
    EXPECT_FALSE(DecodePng(png.data(), 0, decoded));
    // Every cut short of the end-of-image marker fails and leaves an empty image.
    for (std::size_t size = 1; size + 12 < png.size(); ++size) {
        ASSERT_FALSE(DecodePng(png.data(), size, decoded)) << size;
        ASSERT_TRUE(decoded.Empty());
    }
    std::vector<std::uint8_t> corrupt = png;
    corrupt[corrupt.size() / 2] ^= 0x55; // inside the image data: the CRC no longer matches
    EXPECT_FALSE(DecodePng(corrupt.data(), corrupt.size(), decoded));
    const char text[] = "GIF89a not a png at all";
    EXPECT_FALSE(DecodePng(reinterpret_cast<const unsigned char*>(text), sizeof text, decoded));

    // A valid header that claims a huge image is refused before anything is allocated.
    std::vector<std::uint8_t> huge = png;
    huge[16] = 0x00;
    huge[17] = 0x01;
    huge[18] = 0x00;
    huge[19] = 0x00;                             // width 65536
    uLong crc = crc32(0L, huge.data() + 12, 17); // "IHDR" and its data
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    EXPECT_FALSE(DecodePng(huge.data(), huge.size(), decoded));
    huge[16] = 0x00;
    huge[17] = 0x00;
    huge[18] = 0x10;
    huge[19] = 0x00; // 4096 x 16: allowed
    crc = crc32(0L, huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    // Header fine, but the image data is too short for that width: still refused.
    EXPECT_FALSE(DecodePng(huge.data(), huge.size(), decoded));
}

TEST(Png, SavingToAnImpossiblePathFails) {
    Surface image(2, 2);
    EXPECT_FALSE(SavePng(image, "/nonexistent-folder/deeper/out.png"));
    EXPECT_FALSE(SavePng(Surface(), "unused.png"));
}

TEST(ImageCache, MissingImagesAreNullAndStayCached) {
    EXPECT_EQ(CachedImage(987654), nullptr);
    EXPECT_EQ(CachedImage(987654), nullptr);
    EXPECT_EQ(CachedImage(-1), nullptr);
}
