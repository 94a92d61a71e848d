#include "CGenUtil.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <vector>

namespace {

TEST(CGenUtil, ParseHexStopsAtTheFirstNonDigit) {
    EXPECT_EQ(CGenUtil::ParseHex("1aF"), 0x1AFu);
    EXPECT_EQ(CGenUtil::ParseHex("12g4"), 0x12u);
    EXPECT_EQ(CGenUtil::ParseHex("x1"), 0u);
    EXPECT_EQ(CGenUtil::ParseHex(""), 0u);
    EXPECT_EQ(CGenUtil::ParseHex(nullptr), 0u);
    EXPECT_EQ(CGenUtil::ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(CGenUtil::ParseHex("123456789"), 0x23456789u);
}

TEST(CGenUtil, BinarySearchFindsEveryElementAndNothingElse) {
    EXPECT_EQ(CGenUtil::BinarySearch(nullptr, 3, 1), -1);
    std::vector<int32_t> values;
    for (int32_t v = -1000; v <= 1000; v += 7) values.push_back(v);
    const int32_t count = static_cast<int32_t>(values.size());
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_EQ(CGenUtil::BinarySearch(values.data(), count, values[i]), i);
        EXPECT_EQ(CGenUtil::BinarySearch(values.data(), count, values[i] + 1), -1);
    }
    EXPECT_EQ(CGenUtil::BinarySearch(values.data(), count, INT32_MIN), -1);
    EXPECT_EQ(CGenUtil::BinarySearch(values.data(), 0, values[0]), -1);
}

struct SpanCase {
    int16_t start, length, pos, len, wantPos, wantLen;
};

TEST(CGenUtil, ClipSpanKeepsTheOverlapOrNothing) {
    const SpanCase cases[] = {
        {0, 100, -10, 30, 0, 20},  {0, 100, 90, 30, 90, 10}, {0, 100, 100, 5, 100, 0},
        {0, 100, -5, 5, -5, 0},    {0, 100, 20, 30, 20, 30}, {0, 100, -10, 200, 0, 100},
        {0, 100, 50, -10, 50, -10},
        // A clip of negative length would flip the sign of the result.
        {10, -5, 0, 20, 10, 0},
    };
    for (const SpanCase& c : cases) {
        int16_t pos = c.pos;
        int16_t len = c.len;
        CGenUtil::ClipSpan(c.start, c.length, &pos, &len);
        EXPECT_EQ(pos, c.wantPos) << "clip " << c.start << "+" << c.length << " span " << c.pos << "+" << c.len;
        EXPECT_EQ(len, c.wantLen) << "clip " << c.start << "+" << c.length << " span " << c.pos << "+" << c.len;
    }
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& plain) {
    uLongf size = compressBound(plain.size());
    std::vector<uint8_t> packed(size);
    EXPECT_EQ(compress(packed.data(), &size, plain.data(), plain.size()), Z_OK);
    packed.resize(size);
    return packed;
}

TEST(CGenUtil, UncompressDemandsTheExactSize) {
    std::vector<uint8_t> plain(3000);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7 / 5);
    const std::vector<uint8_t> packed = Deflate(plain);
    const uint32_t packedSize = static_cast<uint32_t>(packed.size());

    std::vector<uint8_t> out(plain.size() + 10, 0);
    EXPECT_TRUE(CGenUtil::Uncompress(packed.data(), packedSize, out.data(), 3000));
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out.begin()));
    EXPECT_FALSE(CGenUtil::Uncompress(packed.data(), packedSize, out.data(), 3010));
    EXPECT_FALSE(CGenUtil::Uncompress(packed.data(), packedSize, out.data(), 2999));
    EXPECT_FALSE(CGenUtil::Uncompress(packed.data(), packedSize - 4, out.data(), 3000));
    std::vector<uint8_t> corrupt = packed;
    corrupt[0] ^= 0xFF;
    EXPECT_FALSE(CGenUtil::Uncompress(corrupt.data(), packedSize, out.data(), 3000));

    EXPECT_TRUE(CGenUtil::Uncompress(nullptr, 10, out.data(), 3000));
    EXPECT_TRUE(CGenUtil::Uncompress(packed.data(), 0, out.data(), 3000));
    AssertCounter counter;
    EXPECT_FALSE(CGenUtil::Uncompress(packed.data(), packedSize, nullptr, 3000));
    EXPECT_EQ(counter.Count(), 1);
}

TEST(CGenUtil, FixedColourScalesTheLowByteOfEachChannel) {
    RSBFormat_ARGB_fixed colour{};
    MakeColorARGBFixed(&colour, 0x1FF, 0x80, 0x100, 255);
    EXPECT_EQ(colour.a, 0xFFFF);
    EXPECT_EQ(colour.r, 0x80 * 257);
    EXPECT_EQ(colour.g, 0);
    EXPECT_EQ(colour.b, 0xFFFF);
}

}  // namespace
