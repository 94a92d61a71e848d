#include <gtest/gtest.h>

#include <functional>

#include "JString.h"
#include "JStringBuffer.h"
#include "RuntimeTestSupport.h"

namespace {

TEST(JStringTest, ConstructionClipsToTheText) {
    struct Case {
        int32_t offset, count;
        std::u16string expected;
    };
    const Case cases[] = {{1, -1, u"bc"}, {1, 10, u"bc"}, {0, 2, u"ab"}, {2, 0, u""}, {0, INT32_MAX, u"abc"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Units(JString(u"abc", c.offset, c.count)), c.expected) << c.offset << "," << c.count;
        EXPECT_EQ(Units(JString("abc", c.offset, c.count)), c.expected) << c.offset << "," << c.count;
    }
    EXPECT_EQ(JString(static_cast<const WChar*>(nullptr)).getBuffer(), nullptr);
    EXPECT_EQ(JString("").getBuffer(), nullptr);
    EXPECT_EQ(Units(JString("\xE9t\xE9")), u"\u00E9t\u00E9");  // bytes widen as Latin-1

    AssertCounter counter;
    EXPECT_EQ(JString(u"abc", 3, 1).length(), 0);
    EXPECT_TRUE(counter.Logged(CheckSite("JString", 37)));
    EXPECT_EQ(JString("abc", -1, 2).length(), 0);
    EXPECT_TRUE(counter.Logged(CheckSite("JString", 66)));
}

TEST(JStringTest, CopiesShareOneBufferAndSameResultsAllocateNothing) {
    const JString text(u"Hello");
    const JString copy = text;
    EXPECT_EQ(copy.getBuffer(), text.getBuffer());
    EXPECT_EQ(text.substring(0).getBuffer(), text.getBuffer());
    EXPECT_EQ(text.trim().getBuffer(), text.getBuffer());
    EXPECT_EQ(text.replace(u'z', u'y').getBuffer(), text.getBuffer());
    EXPECT_EQ(JString(u"ABC").toUpperCase().length(), 3);
    const JString upper(u"ABC");
    EXPECT_EQ(upper.toUpperCase().getBuffer(), upper.getBuffer());
    EXPECT_EQ(text.concat(JString()).getBuffer(), text.getBuffer());
    EXPECT_EQ(JString().concat(text).getBuffer(), text.getBuffer());

    JString receiver(u"x");
    const WChar* own = receiver.getBuffer();
    receiver = JString("x");
    EXPECT_EQ(receiver.getBuffer(), own);  // equal text keeps the receiver's buffer
    receiver = text;
    EXPECT_EQ(receiver.getBuffer(), text.getBuffer());
}

TEST(JStringTest, ComparisonAndHash) {
    EXPECT_LT(JString(u"abc").compareTo(JString(u"abd")), 0);
    EXPECT_LT(JString().compareTo(JString(u"a")), 0);
    EXPECT_GT(JString(u"ab").compareTo(JString(u"a")), 0);
    EXPECT_GT(JString(u"\uFF01").compareTo(JString(u"a")), 0);  // units compare unsigned
    // An empty string from an empty buffer equals the plain empty string.
    const JStringBuffer emptyBuffer(5);
    EXPECT_TRUE(emptyBuffer.toString().equals(JString()));
    EXPECT_EQ(emptyBuffer.toString().compareTo(JString()), 0);

    EXPECT_EQ(JString(u"ab").hashCode(), 3105);
    // Reference: the same rule in wrapping unsigned arithmetic.
    const std::u16string longText(200, u'\uFFFF');
    uint32_t expected = 0;
    for (char16_t unit : longText) expected = expected * 31u + unit;
    EXPECT_EQ(JString(longText.c_str()).hashCode(), static_cast<int32_t>(expected));

    EXPECT_TRUE(JString(u"\u00C9cole").equalsIgnoreCase(JString(u"\u00E9COLE")));
    EXPECT_FALSE(JString().equalsIgnoreCase(JString(u"a")));
    EXPECT_TRUE(JString().equalsIgnoreCase(JString()));
    EXPECT_TRUE(JString(u"abc").regionMatches(true, 0, JString(u"ABC"), 0, 3));
    EXPECT_FALSE(JString(u"abc").regionMatches(false, 0, JString(u"ABC"), 0, 3));
    EXPECT_FALSE(JString(u"abc").regionMatches(false, 2, JString(u"bc"), 0, 2));
    EXPECT_FALSE(JString(u"abc").regionMatches(false, -1, JString(u"bc"), 0, 1));
}

TEST(JStringTest, Searches) {
    const JString abc(u"abc");
    EXPECT_EQ(abc.indexOf(u'b', -5), 1);
    EXPECT_EQ(abc.indexOf(u'a', 3), -1);
    EXPECT_EQ(JString(u"aba").lastIndexOf(u'a', 99), 2);
    EXPECT_EQ(JString(u"aba").lastIndexOf(u'a', 1), 0);
    EXPECT_EQ(abc.lastIndexOf(u'a', -1), -1);
    EXPECT_EQ(JString(u"abcabc").indexOf(JString(u"ca"), 0), 2);
    EXPECT_EQ(JString(u"abcabc").indexOf(JString(u"bc"), 2), 4);
    EXPECT_EQ(abc.indexOf(JString(), 1), 1);
    EXPECT_EQ(abc.indexOf(JString(u"abcd"), 0), -1);
    EXPECT_EQ(JString().indexOf(u'a', 0), -1);

    EXPECT_FALSE(abc.endsWith(JString(u"xabc")));
    EXPECT_TRUE(abc.endsWith(JString(u"bc")));
    EXPECT_TRUE(abc.endsWith(JString()));
    EXPECT_FALSE(abc.startsWith(JString(u"c"), 3));
    EXPECT_TRUE(abc.startsWith(JString(u"c"), 2));
    EXPECT_FALSE(abc.startsWith(JString(u"b"), 0));
}

TEST(JStringTest, DerivedStrings) {
    EXPECT_EQ(JString(u"abc").substring(1, 1).length(), 0);
    EXPECT_EQ(Units(JString(u"abcd").substring(1, 3)), u"bc");
    EXPECT_EQ(Units(JString(u"  a b \n").trim()), u"a b");
    EXPECT_EQ(JString(u"   ").trim().length(), 0);
    EXPECT_EQ(Units(JString(u"a.b.c").replace(u'.', u'/')), u"a/b/c");
    EXPECT_EQ(Units(JString(u"Stra\u00DFe \u0430\u0431").toUpperCase()), u"STRA\u00DFE \u0410\u0411");
    EXPECT_EQ(Units(JString(u"\u00C0B\u0106").toLowerCase()), u"\u00E0b\u0107");

    JString text(u"score ");
    text += 42;
    text += JString(u"!");
    EXPECT_EQ(Units(text), u"score 42!");
    EXPECT_EQ(Units(JString(u"n=") + -3), u"n=-3");

    AssertCounter counter;
    EXPECT_EQ(JString(u"abc").substring(-1).length(), 0);
    EXPECT_TRUE(counter.Logged(CheckSite("JString", 210)));
    EXPECT_EQ(JString(u"abc").substring(2, 5).length(), 0);
    EXPECT_TRUE(counter.Logged(CheckSite("JString", 213)));
    EXPECT_EQ(JString(u"abc").charAt(3), 0);
    EXPECT_TRUE(counter.Logged(CheckSite("JString", 444)));
}

TEST(JStringTest, ValueOf) {
    EXPECT_EQ(Units(JString::valueOf(true)), u"true");
    EXPECT_EQ(Units(JString::valueOf(false)), u"false");
    EXPECT_EQ(Units(JString::valueOf(u'q')), u"q");
    EXPECT_EQ(JString::valueOf(WChar{0}).length(), 0);
    EXPECT_EQ(Units(JString::valueOf(-7)), u"-7");
    EXPECT_EQ(Units(JString::valueOf(INT32_MIN)), u"-2147483648");
    EXPECT_EQ(Units(JString::valueOf(int64_t{0})), u"0");
    EXPECT_EQ(Units(JString::valueOf(int64_t{-12345678901})), u"-12345678901");
    EXPECT_EQ(Units(JString::valueOf(INT64_MIN)), u"-9223372036854775808");
    EXPECT_EQ(Units(JString::valueOf(INT64_MAX)), u"9223372036854775807");
}

TEST(JStringBufferTest, CapacityRule) {
    JStringBuffer buffer;
    EXPECT_EQ(buffer.capacity(), 0);
    buffer.append(u"ab");
    EXPECT_EQ(buffer.capacity(), 8);
    EXPECT_EQ(buffer.length(), 2);

    JStringBuffer one(u"a");
    one.append(u"bcdefgh");
    EXPECT_EQ(one.length(), 8);
    EXPECT_EQ(one.capacity(), 16);

    JStringBuffer grown(u"a");
    grown.setLength(10);
    EXPECT_EQ(Units(grown.toString()), u"a");
    EXPECT_EQ(grown.capacity(), 16);
    grown.setLength(0);
    EXPECT_EQ(grown.length(), 0);

    // At the top of the range the rule gives 0x7FFFFFFF units, a block the
    // heap refuses: the buffer stays as it was.
    AssertCounter counter;
    JStringBuffer huge(u"keep");
    EXPECT_FALSE(huge.ensureCapacity(INT32_MAX - 3, true));
    EXPECT_EQ(huge.capacity(), 8);
    EXPECT_EQ(Units(huge.toString()), u"keep");
    EXPECT_TRUE(counter.Logged("2147483647"));
    huge.setLength(INT32_MAX);
    EXPECT_EQ(Units(huge.toString()), u"keep");
}

TEST(JStringBufferTest, Edits) {
    struct Case {
        std::function<void(JStringBuffer&)> edit;
        const char16_t* start;
        std::u16string expected;
    };
    const Case cases[] = {
        {[](JStringBuffer& b) { b.insert(0, u"x"); }, u"ab", u"xab"},
        {[](JStringBuffer& b) { b.insert(2, "x"); }, u"ab", u"abx"},
        {[](JStringBuffer& b) { b.insert(1, JString(u"--")); }, u"ab", u"a--b"},
        {[](JStringBuffer& b) { b.insert(0, -12); }, u"ab", u"-12ab"},
        {[](JStringBuffer& b) { b.insert(1, WChar{0}); }, u"ab", u"ab"},
        {[](JStringBuffer& b) { b.insert(0, '\xE9'); }, u"", u"\uFFE9"},  // sign-extended
        {[](JStringBuffer& b) { b.deleteRange(1, 99); }, u"abcd", u"a"},
        {[](JStringBuffer& b) { b.deleteRange(2, 2); }, u"abcd", u"abcd"},
        {[](JStringBuffer& b) { b.deleteCharAt(0); }, u"ab", u"b"},
        {[](JStringBuffer& b) { b.reverse(); }, u"abc", u"cba"},
        {[](JStringBuffer& b) { b.reverse(); }, u"abcd", u"dcba"},
        {[](JStringBuffer& b) { b.reverse(); }, u"ab", u"ba"},
        {[](JStringBuffer& b) { b.reverse(); }, u"a", u"a"},
        {[](JStringBuffer& b) { b.reverse(); }, u"", u""},
        {[](JStringBuffer& b) { b.setLength(1); }, u"abc", u"a"},
        {[](JStringBuffer& b) { b.append("wxyz", 1, 2); }, u"a", u"axy"},
        {[](JStringBuffer& b) { b.append(u"wxyz", 2); }, u"a", u"ayz"},
        {[](JStringBuffer& b) { b.append(INT32_MIN); }, u"", u"-2147483648"},
        {[](JStringBuffer& b) { b.append(static_cast<const WChar*>(nullptr)); }, u"q", u"q"},
        {[](JStringBuffer& b) { b.setCharAt(1, u'Z'); }, u"abc", u"aZc"},
        // The buffer's own text, moved by growing or by the shift.
        {[](JStringBuffer& b) { b.append(b.getBuffer(), 1); }, u"abcdefg", u"abcdefgbcdefg"},
        {[](JStringBuffer& b) { b.insert(2, b.getBuffer()); }, u"abc", u"ababcc"},
    };
    for (const Case& c : cases) {
        JStringBuffer buffer(c.start);
        c.edit(buffer);
        EXPECT_EQ(Units(buffer.toString()), c.expected);
        ASSERT_EQ(buffer.length(), static_cast<int32_t>(c.expected.size()));
        if (buffer.getBuffer() != nullptr) {
            EXPECT_EQ(buffer.getBuffer()[buffer.length()], 0);
        }
    }
}

TEST(JStringBufferTest, RepeatedInsertAtTheFrontGrowsFromNoStorage) {
    JStringBuffer digits;
    std::u16string model;
    for (int i = 0; i < 40; ++i) {
        const WChar unit = static_cast<WChar>(u'a' + i % 26);
        digits.insert(0, unit);
        model.insert(model.begin(), unit);
        ASSERT_EQ(Units(digits.toString()), model);
        ASSERT_LT(digits.length(), digits.capacity());
        ASSERT_EQ(digits.capacity() % 8, 0);
    }
}

TEST(JStringBufferTest, AssignmentAndEquality) {
    JStringBuffer target(u"old text");
    const JStringBuffer empty;
    target = empty;
    EXPECT_EQ(target.length(), 0);
    EXPECT_EQ(target.toString().length(), 0);
    EXPECT_EQ(target.getBuffer()[0], 0);
    target = JStringBuffer("new");
    EXPECT_TRUE(target.equals(JStringBuffer(u"new")));
    EXPECT_FALSE(target.equals(empty));
    const JStringBuffer copy(target);
    EXPECT_NE(copy.getBuffer(), target.getBuffer());
    EXPECT_EQ(Units(JStringBuffer(JString(u"from string")).toString()), u"from string");
}

TEST(JStringBufferTest, BadRangesAreReportedAndChangeNothing) {
    AssertCounter counter;
    JStringBuffer buffer(u"abc");
    struct Case {
        std::function<void()> call;
        int line;
    };
    const Case cases[] = {
        {[&] { buffer.deleteRange(3, 5); }, 60},
        {[&] { buffer.deleteRange(-1, 2); }, 60},
        {[&] { buffer.deleteCharAt(3); }, 68},
        {[&] { buffer.setCharAt(-1, u'x'); }, 88},
        {[&] { buffer.append(u"xy", 1, 2); }, 113},
        {[&] { buffer.append(u"xy", 0, -2); }, 113},
        {[&] { buffer.insert(4, u"x"); }, 148},
        {[&] { EXPECT_EQ(buffer.charAt(3), 0); }, 274},
    };
    for (const Case& c : cases) {
        counter.Reset();
        c.call();
        EXPECT_TRUE(counter.Logged(CheckSite("JStringBuffer", c.line))) << c.line;
    }
    EXPECT_EQ(Units(buffer.toString()), u"abc");
}

}  // namespace
