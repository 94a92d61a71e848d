#include "CSyncRand.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

namespace {

TEST(CSyncRand, CutsValuesOutOfTheSeedInItsBitOrder) {
    CSyncRand rand;
    const uint8_t nibbles[] = {0xB4};  // 1011 0100: bits 0-3, then 4-7, then wrap
    ASSERT_TRUE(rand.Init(nibbles, 1, 4));
    EXPECT_EQ(rand.NextBits(), 4u);
    EXPECT_EQ(rand.NextBits(), 11u);
    EXPECT_EQ(rand.NextBits(), 4u);

    const uint8_t halves[] = {0x0F, 0xF0};  // the first bits taken form the high part
    ASSERT_TRUE(rand.Init(halves, 2, 8));
    rand.SetPosition(4);
    EXPECT_EQ(rand.NextBits(), 0x00u);
    rand.SetPosition(0);
    EXPECT_EQ(rand.NextBits(), 0x0Fu);

    // 0xA5 = 1010 0101, 0x3C = 0011 1100, five bits per value: bits 0-4 of A5;
    // bits 5-7 of A5 then 0-1 of 3C; bits 2-6 of 3C; bit 7 of 3C then, after
    // the wrap, bits 0-3 of A5.
    const uint8_t fives[] = {0xA5, 0x3C};
    ASSERT_TRUE(rand.Init(fives, 2, 5));
    EXPECT_EQ(rand.NextBits(), 0b00101u);
    EXPECT_EQ(rand.NextBits(), 0b10100u);
    EXPECT_EQ(rand.NextBits(), 0b01111u);
    EXPECT_EQ(rand.NextBits(), 0b00101u);
}

TEST(CSyncRand, BitsBeyondThirtyTwoFallAway) {
    // 40 bits: byte 0 would land at bit 32 and must not wrap onto bit 0;
    // bytes 3 and 4 make the low 16 bits that are returned.
    const uint8_t seed[] = {0xAB, 0x11, 0x22, 0x33, 0x44, 0x55};
    CSyncRand rand;
    ASSERT_TRUE(rand.Init(seed, 6, 40));
    EXPECT_EQ(rand.NextBits(), 0x3344u);
}

TEST(CSyncRand, NextIntRejectsTheIncompleteTopBucket) {
    CSyncRand rand;
    AssertCounter counter;
    // Two-bit draws 3, 1, 2, 3 (from the low bits up): 1110 0111.
    const uint8_t mixed[] = {0xE7};
    ASSERT_TRUE(rand.Init(mixed, 1, 2));
    EXPECT_EQ(rand.NextInt(3), 1u);  // 3 rejected, then 1
    EXPECT_EQ(rand.NextInt(3), 2u);
    EXPECT_EQ(rand.NextInt(3), 1u);  // 3, 3 (after the wrap) rejected, then 1
    // When every draw is rejected the loop still ends, taking the draw 3 as it is.
    const uint8_t allHigh[] = {0xFF};
    ASSERT_TRUE(rand.Init(allHigh, 1, 2));
    EXPECT_EQ(rand.NextInt(3), 0u);
    // 32 bits per value: the low 16 bits come from bytes 2 and 3 (0x0005).
    const uint8_t wide[] = {0x00, 0x00, 0x00, 0x05, 0x00};
    ASSERT_TRUE(rand.Init(wide, 5, 32));
    EXPECT_EQ(rand.NextInt(10), 5u);
    EXPECT_EQ(counter.Count(), 0);
}

TEST(CSyncRand, RefusesWhatItCannotServe) {
    const uint8_t seed[] = {0x12, 0x34};
    CSyncRand rand;
    AssertCounter counter;
    EXPECT_FALSE(rand.Init(nullptr, 2, 4));
    EXPECT_FALSE(rand.Init(seed, 2, 16));
    EXPECT_FALSE(rand.Init(seed, 0, 0));
    EXPECT_EQ(counter.Count(), 3);
    EXPECT_EQ(rand.NextBits(), 0u);  // nothing to cut from, nothing read
    EXPECT_EQ(counter.Count(), 4);

    uint8_t copied[] = {0x12, 0x34};
    ASSERT_TRUE(rand.Init(copied, 2, 8));
    copied[0] = 0xFF;  // the generator keeps its own copy
    rand.SetPosition(16);
    EXPECT_EQ(counter.Count(), 5);
    EXPECT_EQ(rand.NextBits(), 0x12u);  // the position stayed at 0
    rand.Release();
    EXPECT_EQ(rand.NextBits(), 0u);
    EXPECT_EQ(counter.Count(), 6);
}

TEST(CSyncRand, DrawingPastTheBudgetIsReportedButStillAnswers) {
    const uint8_t seed[] = {0x5A};
    CSyncRand rand;
    ASSERT_TRUE(rand.Init(seed, 1, 1));
    AssertCounter counter;
    for (int i = 0; i < 8; ++i) rand.NextBits();
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(rand.NextBits(), 0u);  // bit 0 of 0101 1010 again
    EXPECT_EQ(counter.Count(), 1);
}

}  // namespace
