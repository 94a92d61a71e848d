#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AssertCounter.h"
#include "CMemory.h"
#include "CRuntime.h"
#include "WideStr.h"

namespace {

// Upper case of a Latin-1 unit, from the code chart rather than the code.
WChar Latin1Upper(WChar unit) {
    if (unit >= u'a' && unit <= u'z') return static_cast<WChar>(unit - 0x20);
    if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) return static_cast<WChar>(unit - 0x20);
    if (unit == 0xB5) return 0x39C;  // micro sign to capital mu
    if (unit == 0xFF) return 0x178;  // y diaeresis lives outside Latin-1 in upper case
    return unit;
}

}  // namespace

TEST(CRuntime, SafeStrCopyTruncatesAndTerminates) {
    char buffer[6];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(SafeStrCopy(buffer, "abc", 0), buffer);
    EXPECT_EQ(buffer[0], 'x');  // n = 0 writes nothing, not even a terminator
    SafeStrCopy(buffer, "abcdefgh", 4);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'x');
    SafeStrCopy(buffer, "ab", sizeof(buffer));
    EXPECT_STREQ(buffer, "ab");
}

TEST(CRuntime, NarrowFromWideKeepsLatin1AndMarksTheRest) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof(buffer));
    NarrowFromWide(buffer, u"a", 0);
    EXPECT_EQ(buffer[0], 'x');
    NarrowFromWide(buffer, u"\u00E9\u20ACz", sizeof(buffer));
    EXPECT_EQ(std::string(buffer), std::string("\xE9?z"));
    NarrowFromWide(buffer, u"abcdef", 3);
    EXPECT_STREQ(buffer, "ab");
}

TEST(CRuntime, WideToUpperOverLatin1) {
    WChar text[0x100];
    for (int unit = 1; unit < 0x100; ++unit) text[unit - 1] = static_cast<WChar>(unit);
    text[0xFF] = 0;
    WideToUpper(text);
    for (int unit = 1; unit < 0x100; ++unit) {
        EXPECT_EQ(text[unit - 1], Latin1Upper(static_cast<WChar>(unit))) << "unit " << unit;
    }
}

TEST(CMemory, ZeroAndOverflowingRequestsGiveNoBlock) {
    EXPECT_EQ(MemAllocNonZero(0), nullptr);
    EXPECT_EQ(MemAllocRaw(0), nullptr);
    void* one = MemAllocNonZero(1);
    EXPECT_NE(one, nullptr);
    MemFree(one);

    AssertCounter checks;
    EXPECT_EQ(ArrayBytes(0x80000000u, 2), 0u);
    EXPECT_EQ(MemAllocArrayOf(0x80000000u, 2), nullptr);
    EXPECT_EQ(MemAllocArrayOf(SIZE_MAX, 8), nullptr);
    EXPECT_TRUE(checks.Logged("do not fit"));
    void* array = MemAllocArrayOf(3, 4);
    ASSERT_NE(array, nullptr);
    MemSet(array, 0xAB, 12);  // the whole size is there
    MemFreeArray(array);
}
