#include "CFixedWide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "AssertCounter.h"
#include "FixedTestUtil.h"

namespace {

using FixedTest::Wrap32;

// floor(product / 2^n) in 80-bit arithmetic, exact for 32-bit operands.
int32_t ReferenceMulShift(int32_t a, int32_t b, int n) {
    const long double product = static_cast<long double>(a) * static_cast<long double>(b);
    return Wrap32(static_cast<int64_t>(std::floor(std::ldexp(product, -n))));
}

TEST(FixedMulShift, RoundsTowardMinusInfinityForEveryShift) {
    EXPECT_EQ(FixedMul16(0x10000, 0x10000), 0x10000);
    EXPECT_EQ(FixedMul16(-1, 1), -1);
    EXPECT_EQ(FixedMul24(0x1000000, 123456789), 123456789);
    EXPECT_EQ(FixedMul30(0x40000000, -987654321), -987654321);
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i) {
        const int32_t a = static_cast<int32_t>(random());
        const int32_t b = static_cast<int32_t>(random());
        const int n = static_cast<int>(random() % 64);
        ASSERT_EQ(FixedMulShift(a, b, n), ReferenceMulShift(a, b, n)) << a << " " << b << " " << n;
    }
    EXPECT_EQ(FixedMulShift(INT32_MIN, INT32_MIN, 32), 0x40000000);
    EXPECT_EQ(FixedMulShift(INT32_MIN, INT32_MAX, 63), -1);
}

TEST(FixedMulShift, ShiftsOutsideTheRangeHaveADefinedResult) {
    EXPECT_EQ(FixedMulShift(-5, 7, 64), -1);
    EXPECT_EQ(FixedMulShift(5, 7, 200), 0);
    AssertCounter counter;
    EXPECT_EQ(FixedMulShift(5, 7, -3), 35);
    EXPECT_EQ(counter.Count(), 1);
}

TEST(FixedDot3Shift, SumsBeforeTheSingleShift) {
    EXPECT_EQ(FixedDot3Shift(0x8000, 1, 0x8000, 1, 0, 0, 16), 1);
    EXPECT_EQ(FixedMul16(0x8000, 1) + FixedMul16(0x8000, 1), 0);
    // Two products of 2^62 pass the signed 64-bit range on the way; the
    // third brings the sum back, and the shifted result fits.
    const long double wideSum = 2.0L * std::ldexp(1.0L, 62) - std::ldexp(1.0L, 31) * INT32_MAX;
    EXPECT_EQ(FixedDot3Shift(INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, 32),
              Wrap32(static_cast<int64_t>(std::floor(std::ldexp(wideSum, -32)))));
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        int32_t v[6];
        for (int32_t& value : v) value = static_cast<int32_t>(random()) >> (random() % 16);
        const int n = static_cast<int>(random() % 40);
        const long double sum = static_cast<long double>(v[0]) * v[1] + static_cast<long double>(v[2]) * v[3] +
                                static_cast<long double>(v[4]) * v[5];
        // Sums beyond 2^63 wrap; the reference only covers those that fit.
        if (std::fabs(sum) >= 9.2e18L) continue;
        const int32_t expected = Wrap32(static_cast<int64_t>(std::floor(std::ldexp(sum, -n))));
        ASSERT_EQ(FixedDot3Shift(v[0], v[1], v[2], v[3], v[4], v[5], n), expected);
    }
}

TEST(FixedTransformArray, FillsTheDestinationWordOfEveryRecordOnly) {
    constexpr int32_t kStride = 9;
    constexpr int32_t kCount = 4;
    std::vector<int32_t> records(kStride * kCount);
    for (size_t i = 0; i < records.size(); ++i) records[i] = static_cast<int32_t>(i * 0x8000 + 0x1234);
    const std::vector<int32_t> before = records;
    const int32_t rows[3][3] = {{0x10000, 0x8000, -0x4000}, {-0x20000, 0x1, 0x10000}, {0x7FFF, 0x7FFF, 0x7FFF}};
    const int32_t translation[3] = {5 << 16, -3, 0};
    for (int32_t k = 4; k <= 6; ++k) {
        const int32_t* m = rows[k - 4];
        FixedTransformArray(records.data(), kCount, kStride, k, m[0], m[1], m[2], translation[k - 4]);
    }
    for (int32_t r = 0; r < kCount; ++r) {
        const int32_t* in = &before[r * kStride];
        for (int32_t w = 0; w < kStride; ++w) {
            int32_t expected = in[w];
            if (w >= 4 && w <= 6) {
                const int32_t* m = rows[w - 4];
                const long double sum = static_cast<long double>(in[0]) * m[0] +
                                        static_cast<long double>(in[1]) * m[1] +
                                        static_cast<long double>(in[2]) * m[2];
                expected = Wrap32(static_cast<int64_t>(std::floor(sum / 65536.0L)) + translation[w - 4]);
            }
            EXPECT_EQ(records[r * kStride + w], expected) << "record " << r << " word " << w;
        }
    }
}

TEST(FixedTransformArray, TouchesNothingForNoRecordsOrABadShape) {
    std::vector<int32_t> records(8, 77);
    FixedTransformArray(records.data(), 0, 8, 4, 1, 2, 3, 4);
    FixedTransformArray(nullptr, 0, 8, 4, 1, 2, 3);
    EXPECT_EQ(records, std::vector<int32_t>(8, 77));
    AssertCounter counter;
    FixedTransformArray(records.data(), 1, 8, 8, 1, 2, 3);
    FixedTransformArray(records.data(), 1, 8, -1, 1, 2, 3);
    FixedTransformArray(records.data(), 2, 2, 1, 1, 2, 3);
    FixedTransformArray(nullptr, 1, 8, 4, 1, 2, 3);
    EXPECT_EQ(counter.Count(), 4);
    EXPECT_EQ(records, std::vector<int32_t>(8, 77));
}

TEST(CallGenerated, RefusesToEnterForeignMachineCode) {
    const uint32_t armReturn = 0xE12FFF1E;
    AssertCounter counter;
    EXPECT_EQ(CallGenerated(&armReturn, 1, 2, 3), 0u);
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_TRUE(counter.Logged("cannot run on this host"));
}

}  // namespace
