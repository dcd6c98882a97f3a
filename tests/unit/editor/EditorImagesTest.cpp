// The twelve embedded editor images: present under their ids, the sizes and frame counts of the
// image table, an alpha channel, and transparency and frames that the controls depend on.

#include "EditorImageSupport.h"
#include "editor/ControlLayout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

using editor_test::Alpha;
using editor_test::DecodedImage;

// Colour type from the PNG header: 6 is RGBA, 4 grey with alpha; other types carry alpha only
// in a tRNS chunk.
bool PngHasAlpha(const unsigned char* data, std::size_t size) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < 33 || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4))
        return false;
    const int colourType = data[25];
    if (colourType == 6 || colourType == 4) return true;
    for (std::size_t i = 8; i + 8 <= size; ++i) {
        if (std::memcmp(data + i, "tRNS", 4) == 0) return true;
    }
    return false;
}

bool FramesEqual(const graphics::Surface& image, int frameHeight, int a, int b) {
    for (int y = 0; y < frameHeight; ++y) {
        if (std::memcmp(image.Row(a * frameHeight + y), image.Row(b * frameHeight + y),
                        sizeof(std::uint32_t) * image.Width()) != 0)
            return false;
    }
    return true;
}

TEST(EditorImages, TwelveImagesEmbeddedWithTheTableSizesAndAlpha) {
    std::set<int> ids;
    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        SCOPED_TRACE(info.path);
        ids.insert(info.id);
        ASSERT_GT(info.frames, 0);
        EXPECT_EQ(info.height % info.frames, 0) << "frames must split the height evenly";
        platform::Resource resource;
        ASSERT_TRUE(platform::FindResource("PNG", info.key, resource));
        EXPECT_TRUE(PngHasAlpha(resource.data, resource.size));
        const graphics::Surface image = DecodedImage(info.id);
        EXPECT_EQ(image.Width(), info.width);
        EXPECT_EQ(image.Height(), info.height);
    }
    EXPECT_EQ(ids.size(), 12u);
    EXPECT_EQ(*ids.begin(), 101);
    EXPECT_EQ(*ids.rbegin(), 112);
    // The frame sizes the controls are laid out with.
    EXPECT_EQ(editor::FindImage(editor::kImageKnob)->FrameHeight(), 40);
    EXPECT_EQ(editor::FindImage(editor::kImageKnob)->frames, 65);
    EXPECT_EQ(editor::FindImage(editor::kImageSwitch4)->FrameHeight(), 40);
    EXPECT_EQ(editor::FindImage(editor::kImageWaves)->FrameHeight(), 36);
    EXPECT_EQ(editor::FindImage(editor::kImageSwitchV)->FrameHeight(), 37);
    EXPECT_EQ(editor::FindImage(editor::kImageButton)->FrameHeight(), 22);
    EXPECT_EQ(editor::FindImage(999), nullptr);
}

TEST(EditorImages, EveryFrameOfAMultiFrameImageIsDistinct) {
    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        if (info.frames < 2) continue;
        SCOPED_TRACE(info.path);
        const graphics::Surface image = DecodedImage(info.id);
        ASSERT_EQ(image.Height(), info.height);
        for (int f = 1; f < info.frames; ++f) {
            EXPECT_FALSE(FramesEqual(image, info.FrameHeight(), f - 1, f)) << "frame " << f + 1;
        }
    }
}

TEST(EditorImages, KnobsAreRoundOnTransparencyAndBackgroundsAreOpaque) {
    for (int id : {editor::kImageKnob, editor::kImageSwitch4}) {
        const editor::ImageInfo& info = *editor::FindImage(id);
        const graphics::Surface image = DecodedImage(id);
        ASSERT_EQ(image.Height(), info.height);
        for (int f = 0; f < info.frames; ++f) {
            const int top = f * info.FrameHeight();
            EXPECT_EQ(Alpha(image.Pixel(0, top)), 0) << info.path << " frame " << f + 1;
            EXPECT_EQ(Alpha(image.Pixel(info.width - 1, top + info.FrameHeight() - 1)), 0);
            EXPECT_EQ(Alpha(image.Pixel(20, top + 20)), 255) << "the knob's centre is solid";
        }
    }
    const graphics::Surface back = DecodedImage(editor::kImageBack);
    int translucent = 0;
    for (std::uint32_t pixel : back.Pixels()) translucent += Alpha(pixel) != 255;
    EXPECT_EQ(translucent, 0) << "the main view's background must cover the window";

    // The browser covers the main view completely, apart from its rounded corners.
    const graphics::Surface browser = DecodedImage(editor::kImageBrowser);
    ASSERT_FALSE(browser.Empty());
    for (int y = 8; y < browser.Height() - 8; y += 3) {
        for (int x = 8; x < browser.Width() - 8; x += 3) {
            ASSERT_EQ(Alpha(browser.Pixel(x, y)), 255) << x << "," << y;
        }
    }
}

// The algorithm control fills the chosen hit rectangle behind the picture: the highlight must
// show through a good part of every cell.
TEST(EditorImages, AlgorithmPictureLetsTheHighlightShowInEveryCell) {
    const graphics::Surface algo = DecodedImage(editor::kImageAlgorithm);
    ASSERT_EQ(algo.Width(), 132);
    const graphics::Rect origin = editor::AlgorithmRect();
    for (const graphics::Rect& hit : editor::AlgorithmHitRects()) {
        const graphics::Rect cell = hit.Offset(-origin.left, -origin.top);
        int clear = 0, drawn = 0;
        for (int y = cell.top; y < cell.bottom; ++y) {
            for (int x = cell.left; x < cell.right; ++x) {
                const int a = Alpha(algo.Pixel(x, y));
                clear += a == 0;
                drawn += a == 255;
            }
        }
        const int area = cell.Width() * cell.Height();
        EXPECT_GT(clear, area / 3) << "cell at " << cell.left << "," << cell.top;
        EXPECT_GT(drawn, area / 10) << "cell at " << cell.left << "," << cell.top << " is empty";
    }
}

// The row of the brightest trace pixel in a column of a wave frame.
int TraceRow(const graphics::Surface& waves, int frame, int x) {
    int best = -1, bestRed = -1;
    for (int y = 3; y < 33; ++y) {
        const int red = (waves.Pixel(x, frame * 36 + y) >> 16) & 255;
        if (red > bestRed) {
            bestRed = red;
            best = y;
        }
    }
    return best;
}

// The waves are drawn from the operator wave rules: W1 is a full sine, W3 only its first half
// with the second half silent, W5 a whole sine squeezed into the first half.
TEST(EditorImages, WaveFramesShowTheOperatorWaves) {
    const graphics::Surface waves = DecodedImage(editor::kImageWaves);
    ASSERT_EQ(waves.Height(), 288);
    const int zero = TraceRow(waves, 2, 30); // silent second half of W3
    EXPECT_NEAR(zero, 18, 1);
    // W1: high in the first quarter, low in the third.
    EXPECT_LT(TraceRow(waves, 0, 11), zero - 8);
    EXPECT_GT(TraceRow(waves, 0, 25), zero + 8);
    // W3: high in the first quarter, flat in the third.
    EXPECT_LT(TraceRow(waves, 2, 11), zero - 8);
    EXPECT_NEAR(TraceRow(waves, 2, 25), zero, 1);
    // W5: its low half-wave falls into the second quarter, and the second half is flat.
    EXPECT_GT(TraceRow(waves, 4, 15), zero + 6);
    EXPECT_NEAR(TraceRow(waves, 4, 25), zero, 1);
}

} // namespace
