// The resampler of the editor's scales (graphics/ImageScaling.h) on made-up pictures: constant
// pictures stay constant, premultiplied pixels stay valid, a hard edge lands with the share of
// each pixel it covers, frames keep their sizes and never bleed into each other, the sizes of the
// twelve editor images at every scale, the choice between the twice-size picture and the
// fallback, and the same pixels in every build (a hash of fixed inputs, checked on Linux and in
// both DLL builds' test programs under Wine).

#include "graphics/ImageScaling.h"
#include "editor/ImageTable.h"
#include "graphics/Scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using graphics::AreaAverageFrames;
using graphics::BilinearFrames;
using graphics::FrameGrid;
using graphics::Surface;

std::uint32_t Pack(int a, int r, int g, int b) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

int ChannelOf(std::uint32_t pixel, int c) {
    return static_cast<int>((pixel >> (8 * c)) & 0xFF);
}

Surface Filled(int width, int height, std::uint32_t pixel) {
    Surface s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) s.SetPixel(x, y, pixel);
    return s;
}

// A reproducible picture of valid premultiplied pixels, alpha 0 and 255 among them.
Surface Noise(int width, int height, std::uint32_t seed) {
    Surface s(width, height);
    std::uint32_t state = seed;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>(state >> 24);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int a = next();
            if (a < 40) a = 0;
            if (a > 215) a = 255;
            const int r = a == 0 ? 0 : next() % (a + 1);
            const int g = a == 0 ? 0 : next() % (a + 1);
            const int b = a == 0 ? 0 : next() % (a + 1);
            s.SetPixel(x, y, Pack(a, r, g, b));
        }
    return s;
}

std::uint64_t Fnv(std::uint64_t hash, const Surface& s) {
    hash ^=
        static_cast<std::uint64_t>(s.Width()) * 0x10001u + static_cast<std::uint64_t>(s.Height());
    hash *= 1099511628211ull;
    for (std::uint32_t pixel : s.Pixels()) {
        for (int c = 0; c < 4; ++c) {
            hash ^= static_cast<std::uint64_t>(ChannelOf(pixel, c));
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

using Resampler = Surface (*)(const Surface&, const FrameGrid&, int, int);

struct Filter {
    const char* name;
    Resampler scale;
};
const Filter kFilters[] = {{"area average", AreaAverageFrames}, {"bilinear", BilinearFrames}};

} // namespace

TEST(ImageScaling, ConstantPicturesStayConstant) {
    const std::uint32_t colours[] = {Pack(255, 255, 138, 36), Pack(128, 100, 7, 128),
                                     Pack(1, 1, 0, 1), Pack(0, 0, 0, 0)};
    const int sizes[][2] = {{80, 80}, {30, 74}, {7, 3}, {1936, 40}};
    for (const Filter& filter : kFilters)
        for (std::uint32_t colour : colours)
            for (const auto& size : sizes)
                for (int percent : {50, 62, 75, 87, 100, 125, 150, 175, 200}) {
                    const Surface source = Filled(size[0], size[1] * 2, colour);
                    const FrameGrid from{2, size[0], size[1]};
                    const int w = graphics::ScaleLength(size[0], percent);
                    const int h = graphics::ScaleLength(size[1], percent);
                    const Surface result = filter.scale(source, from, w, h);
                    ASSERT_EQ(result.Width(), w);
                    ASSERT_EQ(result.Height(), h * 2);
                    for (std::uint32_t pixel : result.Pixels())
                        ASSERT_EQ(pixel, colour) << filter.name << " " << size[0] << "x" << size[1]
                                                 << " at " << percent << " %";
                }
}

TEST(ImageScaling, PremultipliedPixelsStayValid) {
    const Surface source = Noise(80, 148, 7);
    const FrameGrid from{2, 80, 74};
    for (const Filter& filter : kFilters)
        for (int percent : {50, 63, 100, 125, 150, 175, 200, 237}) {
            const Surface result = filter.scale(source, from, graphics::ScaleLength(80, percent),
                                                graphics::ScaleLength(74, percent));
            ASSERT_FALSE(result.Empty());
            for (std::uint32_t pixel : result.Pixels()) {
                const int a = ChannelOf(pixel, 3);
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(ChannelOf(pixel, c), a) << filter.name << " at " << percent << " %";
            }
        }
}

// An opaque white area over transparency, `cover` of the frame's `source` columns wide, scaled to
// `target` columns: every target pixel gets the share of its width that the area covers,
// rounded half up, in all four channels, on every row.
void ExpectEdgeShares(int source, int cover, int target) {
    const int height = 6;
    Surface picture(source, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < cover; ++x) picture.SetPixel(x, y, 0xFFFFFFFFu);
    const Surface result = AreaAverageFrames(picture, FrameGrid{1, source, height}, target, 4);
    ASSERT_EQ(result.Width(), target);
    for (int d = 0; d < target; ++d) {
        // Target pixel d spans [d * source, (d + 1) * source) in 1/target source pixels.
        const long long start = static_cast<long long>(d) * source;
        const long long end = start + source;
        const long long covered =
            std::max(0LL, std::min(end, static_cast<long long>(cover) * target) - start);
        const int expected = static_cast<int>((255 * covered + source / 2) / source);
        for (int y = 0; y < 4; ++y) {
            const std::uint32_t pixel = result.Pixel(d, y);
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ(ChannelOf(pixel, c), expected)
                    << source << " -> " << target << ", edge at " << cover << ", pixel " << d;
        }
    }
}

TEST(ImageScaling, AHardEdgeLandsWithItsCoveredShare) {
    // 8 -> 5: pixel 0 is covered whole, pixel 1 by 7/8 (223), pixel 2 not at all.
    ExpectEdgeShares(8, 3, 5);
    {
        Surface picture(8, 1);
        for (int x = 0; x < 3; ++x) picture.SetPixel(x, 0, 0xFFFFFFFFu);
        const Surface result = AreaAverageFrames(picture, FrameGrid{1, 8, 1}, 5, 1);
        EXPECT_EQ(result.Pixel(0, 0), 0xFFFFFFFFu);
        EXPECT_EQ(result.Pixel(1, 0), 0xDFDFDFDFu);
        EXPECT_EQ(result.Pixel(2, 0), 0u);
    }
    // The twice-size pictures of a 40-pixel frame at every scale below 200 %, the edge anywhere.
    for (int target : {50, 60, 70})
        for (int cover = 0; cover <= 80; ++cover) ExpectEdgeShares(80, cover, target);
    // An odd frame (15 pixels wide, the lever switch) and a wide one (the background).
    for (int target : {19, 23, 26})
        for (int cover = 0; cover <= 30; ++cover) ExpectEdgeShares(30, cover, target);
    ExpectEdgeShares(1936, 1001, 1694);
}

TEST(ImageScaling, AreaAverageKeepsTheTotalCoverage) {
    const Surface source = Noise(80, 80, 11);
    for (int target : {50, 60, 70, 80}) {
        const Surface result = AreaAverageFrames(source, FrameGrid{1, 80, 80}, target, target);
        double before = 0, after = 0;
        for (std::uint32_t pixel : source.Pixels()) before += ChannelOf(pixel, 3);
        for (std::uint32_t pixel : result.Pixels()) after += ChannelOf(pixel, 3);
        const double ratio = (80.0 * 80.0) / (target * target);
        // Each target pixel is rounded by at most half a step.
        EXPECT_NEAR(after * ratio, before, 0.5 * ratio * target * target) << target;
        if (target == 80) {
            EXPECT_EQ(result.Pixels(), source.Pixels()) << "the same size is a copy";
        }
    }
}

TEST(ImageScaling, FramesKeepTheirSizeAndNeverBleed) {
    // Three frames of different colours whose boundaries fall inside target pixels at most
    // scales: each target frame must hold its own colour only.
    const std::uint32_t colours[3] = {Pack(255, 255, 0, 0), Pack(255, 0, 0, 255),
                                      Pack(128, 0, 128, 0)};
    for (const int frameHeight : {37, 74, 22, 1}) {
        const int width = 15;
        Surface source(width, frameHeight * 3 + 1); // one row below the last frame, not a frame
        for (int f = 0; f < 3; ++f)
            for (int y = 0; y < frameHeight; ++y)
                for (int x = 0; x < width; ++x) source.SetPixel(x, f * frameHeight + y, colours[f]);
        for (int x = 0; x < width; ++x) source.SetPixel(x, frameHeight * 3, 0xFFFFFFFFu);
        const FrameGrid from{3, width, frameHeight};
        for (const Filter& filter : kFilters)
            for (int percent : {25, 100, 125, 150, 175, 200, 300}) {
                const int w = std::max(1, graphics::ScaleLength(width, percent));
                const int h = std::max(1, graphics::ScaleLength(frameHeight, percent));
                const Surface result = filter.scale(source, from, w, h);
                ASSERT_EQ(result.Width(), w);
                ASSERT_EQ(result.Height(), 3 * h);
                for (int f = 0; f < 3; ++f)
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            ASSERT_EQ(result.Pixel(x, f * h + y), colours[f])
                                << filter.name << ", frames of " << frameHeight << " at " << percent
                                << " %, frame " << f << " row " << y;
            }
    }
}

TEST(ImageScaling, BilinearEnlargesBetweenPixelCentres) {
    Surface source(2, 1);
    source.SetPixel(0, 0, 0u);
    source.SetPixel(1, 0, 0xFFFFFFFFu);
    const Surface result = BilinearFrames(source, FrameGrid{1, 2, 1}, 4, 2);
    // Sample positions -0.25 (held at 0), 0.25, 0.75 and 1.25 (held at 1): 0, 63.75, 191.25, 255.
    const int expected[4] = {0, 64, 191, 255};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 4; ++c) EXPECT_EQ(ChannelOf(result.Pixel(x, y), c), expected[x]);
}

TEST(ImageScaling, EmptyInputsGiveEmptyPictures) {
    const Surface source = Filled(10, 10, 0xFFFFFFFFu);
    for (const Filter& filter : kFilters) {
        EXPECT_TRUE(filter.scale(Surface(), FrameGrid{1, 10, 10}, 5, 5).Empty());
        EXPECT_TRUE(filter.scale(source, FrameGrid{1, 10, 10}, 0, 5).Empty());
        EXPECT_TRUE(filter.scale(source, FrameGrid{0, 10, 10}, 5, 5).Empty());
        EXPECT_TRUE(filter.scale(source, FrameGrid{3, 10, 10}, 5, 5).Empty()) << "frames beyond";
        EXPECT_TRUE(filter.scale(source, FrameGrid{1, 11, 10}, 5, 5).Empty()) << "wider";
    }
}

TEST(ImageScaling, TheTwelveImagesHaveTheExactSizesAtEveryScale) {
    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        const FrameGrid unit = graphics::FramesOf(Surface(info.width, info.height), info.frames);
        EXPECT_EQ(unit.count, info.frames);
        EXPECT_EQ(unit.width, info.FrameWidth());
        EXPECT_EQ(unit.height, info.FrameHeight());
        const Surface image = Filled(info.width, info.height, Pack(255, 9, 9, 9));
        const Surface twice = Filled(info.width * 2, info.height * 2, Pack(255, 9, 9, 9));
        for (int percent : graphics::kScalePercents) {
            SCOPED_TRACE(std::string(info.FileName()) + " at " + std::to_string(percent) + " %");
            const FrameGrid scaled = graphics::ScaledFrames(unit, percent);
            const int w = (info.FrameWidth() * percent + 50) / 100;
            const int h = (info.FrameHeight() * percent + 50) / 100;
            EXPECT_EQ(scaled.width, w);
            EXPECT_EQ(scaled.height, h);
            EXPECT_EQ(scaled.count, info.frames);
            for (const Surface* from : {&twice, static_cast<const Surface*>(nullptr)}) {
                const Surface result =
                    graphics::ImageForScale(image, from ? *from : Surface(), info.frames, percent);
                EXPECT_EQ(result.Width(), w);
                EXPECT_EQ(result.Height(), h * info.frames);
            }
        }
    }
    // A few written out: the knob, the lever switch and the background.
    const FrameGrid knob{65, 40, 40}, lever{2, 15, 37}, back{1, 968, 640};
    EXPECT_EQ(graphics::ScaledFrames(knob, 125).width, 50);
    EXPECT_EQ(graphics::ScaledFrames(knob, 175).height, 70);
    EXPECT_EQ(graphics::ScaledFrames(lever, 125).width, 19);  // 18.75
    EXPECT_EQ(graphics::ScaledFrames(lever, 125).height, 46); // 46.25
    EXPECT_EQ(graphics::ScaledFrames(lever, 150).width, 23);  // 22.5, half up
    EXPECT_EQ(graphics::ScaledFrames(lever, 175).height, 65); // 64.75
    EXPECT_EQ(graphics::ScaledFrames(back, 175).width, 1694);
    EXPECT_EQ(graphics::ScaledFrames(back, 175).height, 1120);
}

TEST(ImageScaling, ImageForScaleUsesTheTwiceSizePictureOnlyWhenItFits) {
    const Surface image = Noise(15, 74, 3);
    const Surface twice = Noise(30, 148, 5);
    // 100 %: the image itself.
    EXPECT_EQ(graphics::ImageForScale(image, twice, 2, 100).Pixels(), image.Pixels());
    // 200 %: the twice-size picture as it is.
    EXPECT_EQ(graphics::ImageForScale(image, twice, 2, 200).Pixels(), twice.Pixels());
    // Between: the twice-size picture scaled down frame by frame.
    for (int percent : {125, 150, 175}) {
        const Surface made = graphics::ImageForScale(image, twice, 2, percent);
        const Surface expected =
            AreaAverageFrames(twice, FrameGrid{2, 30, 74}, graphics::ScaleLength(15, percent),
                              graphics::ScaleLength(37, percent));
        EXPECT_EQ(made.Pixels(), expected.Pixels()) << percent;
        EXPECT_EQ(made.Height(), expected.Height()) << percent;
    }
    // Missing (empty) or of any other size: the image enlarged bilinearly.
    for (const Surface& wrong : {Surface(), Noise(30, 147, 1), Noise(31, 148, 1), Noise(15, 74, 1)})
        for (int percent : {125, 150, 175, 200}) {
            const Surface made = graphics::ImageForScale(image, wrong, 2, percent);
            const Surface expected =
                BilinearFrames(image, FrameGrid{2, 15, 37}, graphics::ScaleLength(15, percent),
                               graphics::ScaleLength(37, percent));
            EXPECT_EQ(made.Pixels(), expected.Pixels()) << percent;
        }
    // A scale that is not offered is taken as 100 %.
    EXPECT_EQ(graphics::ImageForScale(image, twice, 2, 130).Pixels(), image.Pixels());
    EXPECT_TRUE(graphics::IsTwiceSizeOf(twice, image));
    EXPECT_FALSE(graphics::IsTwiceSizeOf(image, image));
    EXPECT_FALSE(graphics::IsTwiceSizeOf(Surface(), Surface()));
}

// The resampler's pixels for fixed inputs, hashed. The same test runs in the Linux build and in
// the test programs of both DLLs under Wine, so every build must make these very pixels.
TEST(ImageScaling, EveryBuildMakesTheSamePixels) {
    std::uint64_t area = 1469598103934665603ull, linear = 1469598103934665603ull;
    const Surface twice = Noise(100, 176, 2024); // two frames of 100 x 88
    const Surface image = Noise(50, 88, 2025);   // two frames of 50 x 44
    for (int percent : graphics::kScalePercents) {
        const int w = graphics::ScaleLength(50, percent), h = graphics::ScaleLength(44, percent);
        area = Fnv(area, AreaAverageFrames(twice, FrameGrid{2, 100, 88}, w, h));
        linear = Fnv(linear, BilinearFrames(image, FrameGrid{2, 50, 44}, w, h));
    }
    EXPECT_EQ(area, 0x3e3fba156cb6be7eull);
    EXPECT_EQ(linear, 0x0ff5654f5c9e477aull);
}
