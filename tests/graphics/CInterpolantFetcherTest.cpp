#include "CInterpolantFetcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AssertCounter.h"

namespace {

constexpr int32_t kUnset = 0x5A5A5A5A;

// Components of one vertex of `type`, converted with `shift`.
std::vector<int32_t> FetchOne(const void* data, uint32_t type, uint32_t count, int32_t shift) {
    std::vector<int32_t> out(6, kUnset);
    CInterpolantFetcher::Fetch(out.data(), 0, 1, 0, data, type, count, shift);
    return out;
}

TEST(CInterpolantFetcher, ConvertsEachElementTypeByItsShift) {
    const int16_t signed16[2] = {3, -2};
    std::vector<int32_t> out = FetchOne(signed16, 2, 2, 16);
    EXPECT_EQ(out[1], 0x30000);
    EXPECT_EQ(static_cast<uint32_t>(out[2]), 0xFFFE0000u);
    EXPECT_EQ(out[0], kUnset);
    EXPECT_EQ(out[3], kUnset);

    const uint8_t unsigned8 = 0xF0;
    EXPECT_EQ(FetchOne(&unsigned8, 9, 1, -4)[1], 0xF);
    const int8_t signed8 = -16;
    EXPECT_EQ(FetchOne(&signed8, 1, 1, -4)[1], -1);
    const uint16_t unsigned16 = 0x8000;
    EXPECT_EQ(FetchOne(&unsigned16, 10, 1, 1)[1], 0x10000);
    const uint32_t unsigned32 = 0x80000000u;
    EXPECT_EQ(FetchOne(&unsigned32, 12, 1, -31)[1], 1);
    EXPECT_EQ(FetchOne(&unsigned32, 4, 1, -31)[1], -1);
    // Shifts of the full width or more.
    EXPECT_EQ(FetchOne(&unsigned32, 4, 1, 32)[1], 0);
    EXPECT_EQ(FetchOne(&unsigned32, 4, 1, -40)[1], -1);
    EXPECT_EQ(FetchOne(&unsigned32, 12, 1, -40)[1], 0);
    // An unknown code reads signed 16-bit values.
    EXPECT_EQ(FetchOne(signed16, 7, 2, 0)[2], -2);
}

TEST(CInterpolantFetcher, ScaledTypesScaleTheirLastComponent) {
    const int8_t bytes[3] = {1, 2, 3};
    std::vector<int32_t> out = FetchOne(bytes, 17, 3, 16);
    EXPECT_EQ(out[1], 0x10000);
    EXPECT_EQ(out[2], 0x20000);
    EXPECT_EQ(out[3], 0x3000000);
    const int16_t words[2] = {5, -1};
    out = FetchOne(words, 18, 2, 4);
    EXPECT_EQ(out[1], 0x50);
    EXPECT_EQ(out[2], -0x10000);
    const int32_t longs[1] = {0x1234};
    EXPECT_EQ(FetchOne(longs, 20, 1, 16)[1], 0x1234);
}

TEST(CInterpolantFetcher, CountsOutsideOneToFourWriteNothing) {
    const int32_t values[5] = {1, 2, 3, 4, 5};
    for (uint32_t count : {0u, 5u}) {
        std::vector<int32_t> out = FetchOne(values, 4, count, 0);
        for (int32_t v : out) EXPECT_EQ(v, kUnset);
    }
    EXPECT_EQ(FetchOne(values, 4, 4, 0)[4], 4);
}

TEST(CInterpolantFetcher, VerticesAreFoundThroughStrideAndIndices) {
    // Three vertices of two int16 components, padded to a stride of 6 bytes.
    uint8_t data[18] = {};
    const int16_t coords[3][2] = {{1, 2}, {3, 4}, {5, 6}};
    for (int v = 0; v < 3; ++v) std::memcpy(data + 6 * v, coords[v], 4);
    CInterpolantFetcher fetcher;
    fetcher.Setup(data, 2, 2, 16, 0, 6);
    int32_t out[4] = {};
    fetcher.FetchVertex(out, 2, nullptr);
    EXPECT_EQ(out[0], 5 << 16);
    EXPECT_EQ(out[1], 6 << 16);

    const uint32_t wideIndices[2] = {2, 1};
    fetcher.SetIndices(wideIndices, 12);
    EXPECT_EQ(fetcher.LookupIndex(0), 2u);
    fetcher.FetchVertex(out, 1, nullptr);
    EXPECT_EQ(out[0], 3 << 16);
    const uint16_t shortIndices[2] = {0, 2};
    fetcher.SetIndices(shortIndices, 2);
    EXPECT_EQ(fetcher.LookupIndex(1), 2u);
    const uint8_t byteIndices[2] = {1, 0};
    fetcher.SetIndices(byteIndices, 9);
    EXPECT_EQ(fetcher.LookupIndex(0), 1u);
    fetcher.FetchVertexPlain(out, 1);
    EXPECT_EQ(out[1], 2 << 16);
}

TEST(CInterpolantFetcher, TwoComponentModeFlipsAndTransforms) {
    const int16_t uv[2] = {0x10, 0x20};
    CInterpolantFetcher fetcher;
    fetcher.Setup(uv, 2, 2, 8, 0, 4);
    EXPECT_EQ(fetcher.GetSecondShift(), 8);
    EXPECT_EQ(fetcher.GetTwoComponentMode(), -1);
    fetcher.SetTwoComponentMode(0, 4, false);
    int32_t out[2] = {};
    fetcher.FetchVertex(out, 0, nullptr);
    EXPECT_EQ(out[0], 0x1000);
    EXPECT_EQ(out[1], (1 << 12) - 0x200);
    // An exponent beyond 31 leaves 0 - v.
    fetcher.SetTwoComponentMode(0, 24, false);
    fetcher.FetchVertex(out, 0, nullptr);
    EXPECT_EQ(out[1], -(0x20 << 24));

    int32_t matrix[16] = {};
    matrix[0] = 0x20000;  // u × 2
    matrix[1] = 0x10000;  // + v
    matrix[4] = 0;
    matrix[5] = 0x8000;   // v / 2
    matrix[12] = 7;
    matrix[13] = -3;
    fetcher.SetTwoComponentMode(0, 4, true);
    fetcher.FetchVertex(out, 0, matrix);
    const int32_t u = 0x1000;
    const int32_t v = (1 << 12) - 0x200;
    EXPECT_EQ(out[0], 2 * u + v + 7);
    EXPECT_EQ(out[1], v / 2 - 3);

    AssertCounter asserts;
    fetcher.FetchVertex(out, 0, nullptr);
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_EQ(out[1], v);
}

}  // namespace
