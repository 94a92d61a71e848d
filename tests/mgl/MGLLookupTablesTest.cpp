#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "MGLLookupTables.h"

namespace {

constexpr int32_t ONE = 0x10000;

class MGLLookupTablesTest : public ::testing::Test {
protected:
    std::unique_ptr<MGLLookupTables> tables = std::make_unique<MGLLookupTables>();
};

TEST_F(MGLLookupTablesTest, TablesHoldTheSinglePrecisionValues) {
    const int32_t* recip4 = tables->RecipTable4();
    EXPECT_EQ(recip4[0], 0);
    EXPECT_EQ(recip4[1], 0x40000000);
    EXPECT_EQ(recip4[3], 357913952);  // not 357913941: the quotient is a float
    EXPECT_EQ(recip4[4095], 262208);
    const std::tuple<int32_t, int32_t, int32_t> rounded[] = {{1, 16384, 14}, {3, 21845, 16}, {4095, 16388, 26}};
    for (auto [i, entry, shift] : rounded) {
        EXPECT_EQ(tables->RecipTable()[i], entry) << i;
        EXPECT_EQ(tables->RecipShiftTable()[i], shift) << i;
    }
    const std::pair<int32_t, int32_t> cosines[] = {{0, 0}, {1, 65534}, {128, 46340}, {255, 401}, {256, 0}};
    for (auto [i, value] : cosines) EXPECT_EQ(tables->CosTable()[i], value) << i;
    EXPECT_EQ(tables->SqrtTable()[2], 92681);
    EXPECT_EQ(tables->SqrtTable()[4095], 4193792);  // single precision rounds up
}

TEST_F(MGLLookupTablesTest, SinCosCoversEveryQuadrant) {
    const std::tuple<int32_t, int32_t, int32_t> cases[] = {
        {0, ONE, 0},     {256, 0, ONE},       {512, -ONE, 0},        {768, 0, -ONE},    {1024, ONE, 0},
        {-256, 0, -ONE}, {128, 46340, 46340}, {640, -46340, -46340}, {1 << 30, ONE, 0},
    };
    for (auto [angle, cosine, sine] : cases) {
        int32_t c = 7, s = 7;
        tables->SinCos(angle, &c, &s);
        EXPECT_EQ(c, cosine) << angle;
        EXPECT_EQ(s, sine) << angle;
    }
    // Everywhere within a few units of the real functions.
    for (int32_t angle = 0; angle < 1024; ++angle) {
        int32_t c = 0, s = 0;
        tables->SinCos(angle, &c, &s);
        const double radians = angle * 2 * M_PI / 1024;
        EXPECT_NEAR(c, ONE * std::cos(radians), 3) << angle;
        EXPECT_NEAR(s, ONE * std::sin(radians), 3) << angle;
    }
}

TEST_F(MGLLookupTablesTest, ReciprocalsAtTheEdges) {
    struct Case {
        int32_t v;
        int32_t entry;
        int32_t shift;
    };
    const Case cases[] = {
        {0, 0, 14},
        {1, 0x40000000, 14},
        {-1, -0x40000000, 14},
        {4095, 262208, 14},
        {4096, 524288, 15},       // scaled by 2: slot 2048
        {0x20000, 524288, 20},    // 2.0
        {INT32_MAX, 32768, 30},   // scale 20, entry cut by 4 bits
        {INT32_MIN, -32768, 30},  // the magnitude taken unsigned
    };
    for (const Case& c : cases) {
        const MGLReciprocal reciprocal = tables->Reciprocal(c.v);
        EXPECT_EQ(reciprocal.entry, c.entry) << c.v;
        EXPECT_EQ(reciprocal.shift, c.shift) << c.v;
    }
    EXPECT_EQ(ApplyReciprocal(3 * ONE, tables->Reciprocal(0x20000)), 3 * ONE / 2);
    EXPECT_EQ(ApplyReciprocal(ONE, tables->Reciprocal(INT32_MIN)), -2);
}

// Division through the reciprocal, against real division: the slot index of
// a scaled magnitude is rounded to 12 bits, so the quotient is within about
// 1/4096 of its value, plus a unit of truncation.
TEST_F(MGLLookupTablesTest, ReciprocalDivisionMatchesRealDivision) {
    std::mt19937 random(102);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    double worstRelative = 0;
    for (int32_t i = 0; i < 20000; ++i) {
        const int32_t v = any(random) >> (random() % 31);
        const int32_t x = any(random) >> (random() % 31);
        const double quotient = double(x) * 65536.0 / double(v);
        if (v == 0 || std::fabs(quotient) > 1e9) continue;
        const int32_t result = ApplyReciprocal(x, tables->Reciprocal(v));
        const double error = std::fabs(result - quotient);
        ASSERT_LE(error, std::fabs(quotient) / 4096 + 2) << x << " / " << v;
        if (std::fabs(quotient) > 1e5) worstRelative = std::max(worstRelative, error / std::fabs(quotient));
    }
    RecordProperty("worst_relative_error_x1e6", static_cast<int>(worstRelative * 1e6));
}

}  // namespace
