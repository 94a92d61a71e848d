#include <gtest/gtest.h>

#include <cstdlib>

#include "JInteger.h"
#include "RuntimeTestSupport.h"

namespace {

TEST(JIntegerTest, ParsesEveryRadixAtTheLimits) {
    struct Case {
        const char16_t* text;
        int32_t radix;
        int32_t expected;
    };
    const Case cases[] = {
        {u"123", 10, 123},          {u"-123", 10, -123},        {u"ff", 16, 255},
        {u"FF", 16, 255},           {u"z", 36, 35},             {u"Z", 36, 35},
        {u"2147483647", 10, INT32_MAX}, {u"-2147483648", 10, INT32_MIN},
        {u"7fffffff", 16, INT32_MAX}, {u"-80000000", 16, INT32_MIN},
        {u"-1111111111111111111111111111111", 2, -INT32_MAX}, {u"zik0zj", 36, INT32_MAX},
        {u"00000000000000000000000000042", 10, 42},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JInteger::parseInt(JString(c.text), c.radix), c.expected) << std::string(c.text, c.text + 1);
    }
}

TEST(JIntegerTest, MalformedTextsAreReportedAndGiveZero) {
    struct Case {
        const char16_t* text;
        int32_t radix;
        int line;
    };
    const Case cases[] = {
        {u"1", 1, 36},           {u"1", 37, 36},          {u"", 10, 91},
        {u"-", 10, 103},         {u"12a", 10, 77},        {u"+5", 10, 64},
        {u"2147483648", 10, 83}, {u"-2147483649", 10, 83}, {u"21474836470", 10, 77},
        {u"80000000", 16, 77},   {u"19", 8, 77},          {u"-x", 10, 64},
    };
    for (const Case& c : cases) {
        AssertCounter counter;
        EXPECT_EQ(JInteger::parseInt(JString(c.text), c.radix), 0) << c.line;
        EXPECT_EQ(counter.Count(), 1) << c.line;
        EXPECT_TRUE(counter.Logged(CheckSite("JInteger", c.line))) << c.line;
    }
}

// Round trip against the C library's formatting and parsing of random values
// in random radixes.
TEST(JIntegerTest, FormatAndParseAgreeWithAReference) {
    uint32_t seed = 0x12345u;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int32_t value = static_cast<int32_t>(seed ^ (seed << 7));
        const int32_t radix = 2 + static_cast<int32_t>(seed >> 27) % 35;
        const JString text = JInteger::toString(value, radix, true);
        ASSERT_EQ(JInteger::parseInt(text, radix), value) << value << " radix " << radix;
        const std::u16string units = Units(text);
        const std::string narrow(units.begin(), units.end());
        ASSERT_EQ(std::strtoll(narrow.c_str(), nullptr, radix), value);
    }
}

TEST(JIntegerTest, Formatting) {
    EXPECT_EQ(Units(JInteger::toString(255, 16, true)), u"ff");
    EXPECT_EQ(Units(JInteger::toString(-255, 16, true)), u"-ff");
    EXPECT_EQ(Units(JInteger::toString(-1, 2, false)), std::u16string(32, u'1'));
    EXPECT_EQ(Units(JInteger::toBinaryString(5)), u"101");
    EXPECT_EQ(Units(JInteger::toString(0, 10, true)), u"0");
    EXPECT_EQ(Units(JInteger::toString(INT32_MIN, 10, true)), u"-2147483648");
    EXPECT_EQ(Units(JInteger::toString(INT32_MIN, 36, false)), u"zik0zk");
    EXPECT_EQ(Units(JInteger::toHexString(-1)), u"ffffffff");
    EXPECT_EQ(Units(JInteger::toOctalString(8)), u"10");
    EXPECT_EQ(Units(JInteger(-42).toString()), u"-42");

    AssertCounter counter;
    EXPECT_EQ(Units(JInteger::toString(12, 0, true)), u"12");
    EXPECT_TRUE(counter.Logged(CheckSite("JInteger", 115)));
}

TEST(JIntegerTest, Digits) {
    EXPECT_EQ(JInteger::digit(u'7', 8), 7);
    EXPECT_EQ(JInteger::digit(u'8', 8), -1);
    EXPECT_EQ(JInteger::digit(u'A', 11), 10);
    EXPECT_EQ(JInteger::digit(u'A', 10), -1);
    EXPECT_EQ(JInteger::digit(u'\u00C1', 36), 10);  // Latin-1 letters by their low bits
    EXPECT_EQ(JInteger::digit(u'\u00D7', 36), -1);  // the multiplication sign is no letter
    EXPECT_EQ(JInteger::digit(u'5', 37), -1);
    EXPECT_EQ(JInteger::digit(u'/', 36), -1);
}

TEST(JIntegerTest, KeysOfEqualValueAreEqualAndHashAlike) {
    EXPECT_TRUE(JInteger(9) == JInteger(9));
    EXPECT_EQ(JInteger(9).hashCode(), JInteger(9).hashCode());
    EXPECT_EQ(JInteger::valueOf(JString(u"-9"), 10).intValue(), -9);
}

}  // namespace
