// The editor's twelve embedded pictures at every scale, through the image cache: the twice-size
// versions are embedded at exactly twice the size, every id gives a picture of the right size at
// every scale with something in it, the scales between are made from the twice-size pictures,
// and the 200 % pictures are drawn at that size, not the 100 % pictures with doubled pixels.

#include "editor/ImageTable.h"
#include "graphics/ImageCache.h"
#include "graphics/ImageScaling.h"
#include "graphics/PngCodec.h"
#include "graphics/Scale.h"
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using graphics::Surface;

std::string TwiceKey(const editor::ImageInfo& info) {
    return std::string(info.key) + "@2x";
}

Surface DecodedTwice(const editor::ImageInfo& info) {
    Surface image;
    platform::Resource resource;
    if (!platform::FindResource("PNG", TwiceKey(info).c_str(), resource)) {
        ADD_FAILURE() << TwiceKey(info) << " is not embedded";
        return image;
    }
    EXPECT_TRUE(graphics::DecodePng(resource.data, resource.size, image)) << TwiceKey(info);
    return image;
}

int Channel(std::uint32_t pixel, int c) {
    return static_cast<int>((pixel >> (8 * c)) & 0xFF);
}

bool Differ(std::uint32_t a, std::uint32_t b) {
    for (int c = 0; c < 4; ++c)
        if (std::abs(Channel(a, c) - Channel(b, c)) >= 48) return true;
    return false;
}

// Of the 2 x 2 blocks of a 200 % picture that stand for a pixel of the 100 % picture at an edge
// (a clear step to its right or lower neighbour in the same frame), the share that holds one
// colour: 1 for a picture whose pixels were merely doubled.
double UniformEdgeBlockShare(const Surface& unit, int frameHeight, const Surface& doubled) {
    int edges = 0, uniform = 0;
    for (int y = 0; y < unit.Height(); ++y) {
        const bool lastRow = (y + 1) % frameHeight == 0;
        for (int x = 0; x < unit.Width(); ++x) {
            const std::uint32_t p = unit.Pixel(x, y);
            const bool edge = (x + 1 < unit.Width() && Differ(p, unit.Pixel(x + 1, y))) ||
                              (!lastRow && Differ(p, unit.Pixel(x, y + 1)));
            if (!edge) continue;
            ++edges;
            const std::uint32_t q = doubled.Pixel(2 * x, 2 * y);
            if (doubled.Pixel(2 * x + 1, 2 * y) == q && doubled.Pixel(2 * x, 2 * y + 1) == q &&
                doubled.Pixel(2 * x + 1, 2 * y + 1) == q)
                ++uniform;
        }
    }
    EXPECT_GT(edges, 100) << "too few edges to judge";
    return edges == 0 ? 1.0 : static_cast<double>(uniform) / edges;
}

Surface PixelsDoubled(const Surface& unit) {
    Surface doubled(unit.Width() * 2, unit.Height() * 2);
    for (int y = 0; y < doubled.Height(); ++y)
        for (int x = 0; x < doubled.Width(); ++x) doubled.SetPixel(x, y, unit.Pixel(x / 2, y / 2));
    return doubled;
}

} // namespace

TEST(ScaledImages, EveryTwiceSizePictureIsEmbeddedAtExactlyTwiceTheSize) {
    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        SCOPED_TRACE(TwiceKey(info));
        const Surface twice = DecodedTwice(info);
        EXPECT_EQ(twice.Width(), 2 * info.width);
        EXPECT_EQ(twice.Height(), 2 * info.height);
    }
}

TEST(ScaledImages, EveryImageHasItsSizeAndAPictureAtEveryScale) {
    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        const Surface* unit = graphics::CachedImage(info.id);
        ASSERT_NE(unit, nullptr) << info.FileName();
        for (int percent : graphics::kScalePercents) {
            SCOPED_TRACE(std::string(info.FileName()) + " at " + std::to_string(percent) + " %");
            const Surface* scaled = graphics::CachedImage(info.id, percent, info.frames);
            ASSERT_NE(scaled, nullptr);
            EXPECT_EQ(scaled->Width(), graphics::ScaleLength(info.FrameWidth(), percent));
            EXPECT_EQ(scaled->Height(),
                      graphics::ScaleLength(info.FrameHeight(), percent) * info.frames);
            // Kept: the same picture the next time.
            EXPECT_EQ(graphics::CachedImage(info.id, percent, info.frames), scaled);
            if (percent == 100) {
                EXPECT_EQ(scaled, unit);
            }
            // Something drawn: visible pixels of more than two colours, in every frame.
            std::set<std::uint32_t> colours(scaled->Pixels().begin(), scaled->Pixels().end());
            EXPECT_GT(colours.size(), 2u);
            const int frameHeight = scaled->Height() / info.frames;
            for (int f = 0; f < info.frames; ++f) {
                int visible = 0;
                for (int y = f * frameHeight; y < (f + 1) * frameHeight; ++y)
                    for (int x = 0; x < scaled->Width(); ++x)
                        if ((scaled->Pixel(x, y) >> 24) != 0) ++visible;
                EXPECT_GT(visible, 0) << "frame " << f + 1 << " is empty";
            }
        }
    }
}

TEST(ScaledImages, TheScalesBetweenAreMadeFromTheTwiceSizePicture) {
    for (int id : {editor::kImageKnob, editor::kImageSwitchV, editor::kImageBack}) {
        const editor::ImageInfo& info = *editor::FindImage(id);
        const Surface twice = DecodedTwice(info);
        const graphics::FrameGrid from{info.frames, 2 * info.FrameWidth(), 2 * info.FrameHeight()};
        for (int percent : {125, 150, 175}) {
            const Surface expected = graphics::AreaAverageFrames(
                twice, from, graphics::ScaleLength(info.FrameWidth(), percent),
                graphics::ScaleLength(info.FrameHeight(), percent));
            const Surface* scaled = graphics::CachedImage(id, percent, info.frames);
            ASSERT_NE(scaled, nullptr);
            EXPECT_TRUE(scaled->Pixels() == expected.Pixels()) << info.FileName() << " " << percent;
        }
        const Surface* full = graphics::CachedImage(id, 200, info.frames);
        ASSERT_NE(full, nullptr);
        EXPECT_TRUE(full->Pixels() == twice.Pixels()) << info.FileName() << " at 200 %";
    }
}

TEST(ScaledImages, The200PercentKnobAndBackgroundAreNotPixelDoubled) {
    for (int id : {editor::kImageKnob, editor::kImageBack}) {
        const editor::ImageInfo& info = *editor::FindImage(id);
        SCOPED_TRACE(info.FileName());
        const Surface* unit = graphics::CachedImage(id);
        const Surface* full = graphics::CachedImage(id, 200, info.frames);
        ASSERT_NE(unit, nullptr);
        ASSERT_NE(full, nullptr);
        // The measure itself: a picture with doubled pixels is uniform in every block.
        EXPECT_EQ(UniformEdgeBlockShare(*unit, info.FrameHeight(), PixelsDoubled(*unit)), 1.0);
        // The real 200 % picture: most blocks at an edge show the edge inside them.
        const double share = UniformEdgeBlockShare(*unit, info.FrameHeight(), *full);
        EXPECT_LT(share, 0.5) << share * 100 << " % of the edge blocks are uniform";
    }
}

TEST(ScaledImages, UnknownImagesAndScalesGiveWhatTheyHave) {
    EXPECT_EQ(graphics::CachedImage(987654, 150, 1), nullptr);
    const Surface* knob = graphics::CachedImage(editor::kImageKnob);
    EXPECT_EQ(graphics::CachedImage(editor::kImageKnob, 130, 65), knob) << "not an offered scale";
    // A frame count of 0 counts as 1.
    const Surface* whole = graphics::CachedImage(editor::kImageAlgorithm, 150, 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->Width(), 198);
    EXPECT_EQ(whole->Height(), 198);
}
