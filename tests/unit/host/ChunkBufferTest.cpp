#include "host/ChunkBuffer.h"
#include "host/ChunkVersion.h"

#include <gtest/gtest.h>

using host::ChunkBuffer;

TEST(ChunkBuffer, AppendsLittleEndianAndReadsBack) {
    ChunkBuffer buffer;
    buffer.AppendInt32(0x01020304);
    buffer.AppendDouble(-2.5);
    buffer.AppendByte(0xFE);
    buffer.AppendText("Piano");
    ASSERT_EQ(buffer.Size(), 4 + 8 + 1 + 4 + 5);
    EXPECT_EQ(buffer.Data()[0], 0x04);
    EXPECT_EQ(buffer.Data()[3], 0x01);

    std::int32_t i = 0;
    double d = 0;
    std::uint8_t b = 0;
    std::string text;
    int p = buffer.ReadInt32(i, 0);
    p = buffer.ReadDouble(d, p);
    p = buffer.ReadByte(b, p);
    p = buffer.ReadText(text, p);
    EXPECT_EQ(p, buffer.Size());
    EXPECT_EQ(i, 0x01020304);
    EXPECT_EQ(d, -2.5);
    EXPECT_EQ(b, 0xFE);
    EXPECT_EQ(text, "Piano");
}

TEST(ChunkBuffer, ReadsFailPastTheEndAndOnceFailedStayFailed) {
    ChunkBuffer buffer;
    buffer.AppendInt32(7);
    double d = 1.0;
    EXPECT_EQ(buffer.ReadDouble(d, 0), -1);
    EXPECT_EQ(d, 1.0);
    std::int32_t i = 0;
    EXPECT_EQ(buffer.ReadInt32(i, -1), -1);
    EXPECT_EQ(buffer.ReadInt32(i, 1), -1);
    std::uint8_t b = 0;
    EXPECT_EQ(buffer.ReadByte(b, 4), -1);
}

TEST(ChunkBuffer, LengthPrefixedTextEdgeCases) {
    ChunkBuffer negative;
    negative.AppendInt32(-5);
    std::string text = "keep";
    EXPECT_EQ(negative.ReadText(text, 0), -1);

    ChunkBuffer empty;
    empty.AppendInt32(0);
    EXPECT_EQ(empty.ReadText(text, 0), 4);
    EXPECT_EQ(text, "");

    ChunkBuffer truncated;
    truncated.AppendInt32(10);
    truncated.AppendBytes("abc", 3);
    text = "keep";
    EXPECT_EQ(truncated.ReadText(text, 0), -1);
    EXPECT_EQ(text, "keep");

    ChunkBuffer huge;
    huge.AppendInt32(0x7FFFFFFF);
    EXPECT_EQ(huge.ReadText(text, 0), -1);
}

TEST(ChunkVersion, HeaderIsWrittenAndRecognised) {
    ChunkBuffer buffer;
    buffer.AppendByte(9);
    host::StartChunkWithVersion(buffer);
    ASSERT_EQ(buffer.Size(), 8);
    const std::uint8_t expected[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(buffer.Data()[k], expected[k]);
    int position = 0;
    EXPECT_EQ(host::ReadChunkVersion(buffer, position), 0x10000);
    EXPECT_EQ(position, 8);

    ChunkBuffer plain;
    plain.AppendInt32(6);
    position = 0;
    EXPECT_EQ(host::ReadChunkVersion(plain, position), 0);
    EXPECT_EQ(position, 0);

    ChunkBuffer cut;
    cut.AppendInt32(host::kChunkMarker);
    position = 0;
    EXPECT_EQ(host::ReadChunkVersion(cut, position), 0);
    EXPECT_EQ(position, -1);
}
