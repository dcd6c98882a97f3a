// The editor at 200 % is drawn at its size, not blown up from the 100 % picture: most of its
// aligned 2 x 2 blocks that carry an edge are uneven (BlockEdges.h). The counter itself is checked
// first: it must reject the 100 % picture pixel-doubled and accept anti-aliased drawing at 200 %.

#include "BlockEdges.h"
#include "VornEditorSupport.h"

#include "graphics/Drawing.h"
#include "graphics/PngCodec.h"
#include "graphics/TextRenderer.h"

#include <gtest/gtest.h>

using editor_test::BlockEdgeCount;
using editor_test::CountBlockEdges;
using editor_test::DrawnAtTheSize;
using editor_test::EditorInstance;

TEST(BlockEdges, CountsUnevenBlocksAndUniformBlocksBesideAnotherColour) {
    // 6 x 4 pixels, three blocks wide and two high: a white block, a block with one grey pixel,
    // and the rest black.
    graphics::Surface picture(6, 4);
    picture.Clear(graphics::Color(255, 0, 0, 0));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) picture.SetPixel(x, y, 0xFFFFFFFFu);
    picture.SetPixel(5, 3, 0xFF808080u);
    const BlockEdgeCount count = CountBlockEdges(picture);
    EXPECT_EQ(count.uneven, 1);
    // The white block's edges to the black blocks right of it and below it; the other black
    // blocks only meet black and the uneven block.
    EXPECT_EQ(count.uniformEdges, 2);

    // One colour everywhere: no edge at all.
    graphics::Surface plain(8, 8);
    plain.Clear(graphics::Color(255, 10, 20, 30));
    const BlockEdgeCount none = CountBlockEdges(plain);
    EXPECT_EQ(none.uneven, 0);
    EXPECT_EQ(none.uniformEdges, 0);
    EXPECT_FALSE(DrawnAtTheSize(none));
}

TEST(BlockEdges, RejectsTheEditorPixelDoubledAndAcceptsTextAndCirclesDrawnAt200Percent) {
    EditorInstance e;
    const graphics::Surface base = e.view().RenderAll();
    ASSERT_EQ(base.Width(), 968);
    const BlockEdgeCount doubled = CountBlockEdges(editor_test::PixelDoubled(base));
    EXPECT_EQ(doubled.uneven, 0);
    EXPECT_GT(doubled.uniformEdges, 10000);
    EXPECT_FALSE(DrawnAtTheSize(doubled));

    // Texts and circles are drawn at the size: their edges fall inside blocks.
    graphics::Surface sharp(400, 200);
    sharp.SetScale(200);
    sharp.Clear(graphics::Color(255, 30, 30, 40));
    graphics::DrawText(sharp, graphics::Rect(4, 4, 196, 30), "Brass 7 E.Piano -12.50",
                       graphics::TextStyle("Arial", 14, graphics::Color(255, 230, 230, 230),
                                           graphics::TextAlign::Left));
    graphics::FillCircle(sharp, 40, 65, 25, graphics::Color(255, 250, 160, 40), 1.0);
    graphics::FillCircle(sharp, 130, 65, 17, graphics::Color(255, 60, 200, 250), 1.0);
    const BlockEdgeCount drawn = CountBlockEdges(sharp);
    EXPECT_GT(drawn.uneven, 100);
    EXPECT_TRUE(DrawnAtTheSize(drawn))
        << drawn.uneven << " uneven, " << drawn.uniformEdges << " uniform edge blocks";
}

// The whole editor at 200 %: its texts, circles and images drawn at the size. The picture is
// left beside the test as sharpness-200.png.
TEST(ScaledEditorPicture, At200PercentMostEdgeBlocksAreUneven) {
    EditorInstance e;
    e.ReopenAtScale(200);
    const graphics::Surface& picture = e.view().RenderAll();
    ASSERT_EQ(picture.Width(), 1936);
    ASSERT_EQ(picture.Height(), 1280);
    graphics::SavePng(picture, "sharpness-200.png");
    const BlockEdgeCount count = CountBlockEdges(picture);
    RecordProperty("uneven_blocks", static_cast<int>(count.uneven));
    RecordProperty("grid_edges", static_cast<int>(count.uniformEdges));
    ASSERT_GT(count.uneven + count.uniformEdges, 10000) << "the picture has hardly an edge";
    EXPECT_TRUE(DrawnAtTheSize(count))
        << count.uneven << " uneven blocks against " << count.uniformEdges
        << " uniform blocks at an edge: the picture looks blown up";
}
