// The picture checks' byte reader: little-endian fields inside its block,
// zeros for any read that would leave it, parts clipped to the block.
#include "picture/ByteReader.h"

#include <gtest/gtest.h>

namespace {

// Six bytes, the last two of them outside the reader's block.
const uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0xDD, 0xDD};
const TByteReader kBlock(kBytes, 4);

TEST(ByteReader, ReadsInsideTheBlockOnly)
{
    struct TCase {
        uint64_t at;
        uint16_t u16;
        uint32_t u32;
    };
    const TCase cases[] = {
        {0, 0x0201, 0x04030201},
        {2, 0x0403, 0},           // a 32-bit read would take the block's neighbours
        {3, 0, 0},
        {UINT64_MAX - 1, 0, 0},  // an offset whose end wraps around
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.at);
        EXPECT_EQ(c.u16, kBlock.U16(c.at));
        EXPECT_EQ(c.u32, kBlock.U32(c.at));
    }
    EXPECT_EQ(0x01020304u, kBlock.U32BigEndian(0));
    EXPECT_EQ(0u, kBlock.U8(4));
}

TEST(ByteReader, PartsStayInsideTheBlock)
{
    EXPECT_EQ(2u, kBlock.Part(2, 100).Size());
    EXPECT_EQ(0u, kBlock.From(5).Size());
    EXPECT_EQ(0u, kBlock.Part(1, 3).U32(1));  // the part's own end counts
    EXPECT_FALSE(kBlock.Matches(2, "\x03\x04\xDD", 3));
    EXPECT_TRUE(kBlock.Matches(2, "\x03\x04", 2));
}

}  // namespace
