// The committed editor images are what the image generator draws today: it is run into a fresh
// folder and every picture is compared pixel for pixel with its file under resources/img, and
// every twice-size picture with its file under resources/img/2x, so that a change of the drawing
// code without regenerating the images (or the other way round) fails.

#include "ToolRunner.h"
#include "editor/ImageTable.h"
#include "graphics/PngCodec.h"

#include <gtest/gtest.h>

#include <set>

using namespace tooltest;

namespace {

bool Decode(const std::filesystem::path& path, graphics::Surface& picture) {
    std::vector<unsigned char> bytes = ReadBytes(path);
    return !bytes.empty() && graphics::DecodePng(bytes.data(), bytes.size(), picture);
}

std::set<std::string> PngFilesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".png") names.insert(entry.path().filename().string());
    return names;
}

// The pictures of one scale (1: resources/img, 2: its subfolder 2x) drawn into `drawnFolder`
// against the committed ones in `committed`: the twelve files and no others, each of the table's
// size times the scale, not blank, and equal pixel for pixel.
void ExpectCommittedPictures(const std::filesystem::path& drawnFolder,
                             const std::filesystem::path& committed, int scale) {
    SCOPED_TRACE(committed.string());
    std::set<std::string> expected;
    for (int i = 0; i < editor::kImageCount; ++i) expected.insert(editor::Images()[i].FileName());
    EXPECT_EQ(PngFilesIn(drawnFolder), expected);
    EXPECT_EQ(PngFilesIn(committed), expected) << committed << " holds other pictures";

    for (int i = 0; i < editor::kImageCount; ++i) {
        const editor::ImageInfo& info = editor::Images()[i];
        graphics::Surface drawn, stored;
        ASSERT_TRUE(Decode(drawnFolder / info.FileName(), drawn)) << info.FileName();
        ASSERT_TRUE(Decode(committed / info.FileName(), stored)) << info.FileName();
        EXPECT_EQ(drawn.Width(), info.width * scale) << info.FileName();
        EXPECT_EQ(drawn.Height(), info.height * scale) << info.FileName();
        // A picture, not an empty canvas: more than one colour and something opaque.
        std::set<std::uint32_t> colours(drawn.Pixels().begin(), drawn.Pixels().end());
        EXPECT_GT(colours.size(), 2u) << info.FileName() << " is blank";
        ASSERT_EQ(stored.Width(), drawn.Width()) << info.FileName();
        ASSERT_EQ(stored.Height(), drawn.Height()) << info.FileName();
        int differing = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < drawn.Height(); ++y)
            for (int x = 0; x < drawn.Width(); ++x)
                if (drawn.Pixel(x, y) != stored.Pixel(x, y) && differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
        EXPECT_EQ(differing, 0) << info.FileName() << " differs from what the generator draws in "
                                << differing << " pixels, the first at (" << firstX << ", "
                                << firstY << "); regenerate with the vorna_images target";
    }
}

} // namespace

TEST(ImageGenerator, CommittedImagesAreWhatTheGeneratorDraws) {
    WorkFolder folder("vorna-imagegen");
    ToolRun run = RunTool(folder, VORNA_IMAGEGEN, {folder.Path().string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::filesystem::path committed = VORNA_IMAGE_FOLDER;
    ExpectCommittedPictures(folder.Path(), committed, 1);
    // The twice-size pictures, drawn by the same painters into the subfolder 2x.
    ExpectCommittedPictures(folder.Path() / "2x", committed / "2x", 2);
}
