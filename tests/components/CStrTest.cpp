#include "CArrayInputStream.h"
#include "CStrChar.h"
#include "CStrWChar.h"
#include "FailingStream.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const CStrChar& s) {
    return s.GetBuffer() == nullptr ? std::string() : std::string(s.GetBuffer());
}

std::u16string Text(const CStrWChar& s) {
    return s.GetBuffer() == nullptr ? std::u16string() : std::u16string(s.GetBuffer());
}

TEST(CStrChar, AppendKeepsAnExactTerminatedBuffer) {
    CStrChar s;
    EXPECT_EQ(s.GetBuffer(), nullptr);
    s.Append(nullptr);
    EXPECT_EQ(s.GetBuffer(), nullptr);
    EXPECT_EQ(s.GetLength(), 0);
    s.Append("abc");
    s += "de";
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(Text(s), "abcde");
    EXPECT_EQ(s.GetClassKey(), 0x64365E6Eu);
    s.Release();
    EXPECT_EQ(s.GetBuffer(), nullptr);
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(CStrChar, SelfAppendAndSelfAssignmentUseTheOldText) {
    CStrChar s("ab");
    s += s;
    EXPECT_EQ(Text(s), "abab");
    s.Append(s.GetBuffer());
    EXPECT_EQ(Text(s), "abababab");
    s.Append(s.GetBuffer() + 6);
    EXPECT_EQ(Text(s), "ababababab");
    s = s.GetBuffer();
    EXPECT_EQ(Text(s), "ababababab");
    const CStrChar& same = s;
    s = same;
    EXPECT_EQ(Text(s), "ababababab");
    s = s.GetBuffer() + 8;
    EXPECT_EQ(Text(s), "ab");
    EXPECT_EQ(s.GetLength(), 2);
}

TEST(CStrChar, CopiesOwnTheirBuffers) {
    CStrChar a("xyz");
    CStrChar b(a);
    EXPECT_NE(a.GetBuffer(), b.GetBuffer());
    b += "!";
    EXPECT_EQ(Text(a), "xyz");
    EXPECT_EQ(Text(b), "xyz!");
    a = nullptr;
    EXPECT_EQ(a.GetBuffer(), nullptr);
}

TEST(CStrChar, ConcatenationWithEmptySides) {
    const CStrChar empty;
    const CStrChar ab("ab");
    EXPECT_EQ(Text(ab + empty), "ab");
    EXPECT_EQ(Text(empty + ab), "ab");
    EXPECT_EQ((empty + empty).GetBuffer(), nullptr);
    EXPECT_EQ(Text(ab + static_cast<const char*>(nullptr)), "ab");
    EXPECT_EQ(Text(static_cast<const char*>(nullptr) + ab), "ab");
    EXPECT_EQ(Text("x" + ab + "y"), "xaby");
    EXPECT_EQ(Text(ab + ab), "abab");
}

TEST(CStrChar, SubstringWalksBothWays) {
    EXPECT_EQ(Text(CStrChar("abcde").Substring(3, 1)), "dcb");
    EXPECT_EQ(Text(CStrChar("abc").Substring(1, 10)), "bc");
    EXPECT_EQ(Text(CStrChar("abc").Substring(5, 0)), "");
    EXPECT_EQ(Text(CStrChar("abc").Substring(-4, 1)), "ab");
    EXPECT_EQ(Text(CStrChar("abc").Substring(2, -2147483647 - 1)), "cba");
    EXPECT_EQ(Text(CStrChar("abc").Substring(0, 2147483647)), "abc");
    const CStrChar fromEmpty = CStrChar().Substring(0, 3);
    ASSERT_NE(fromEmpty.GetBuffer(), nullptr);
    EXPECT_EQ(fromEmpty.GetLength(), 0);
}

TEST(CStrChar, TrimRemovesTheFiveWhiteSpaceCharacters) {
    EXPECT_EQ(Text(CStrChar("  \t a b \r\n").Trim()), "a b");
    EXPECT_EQ(Text(CStrChar("\f x\f").Trim()), "x");
    EXPECT_EQ(CStrChar("   ").Trim().GetLength(), 0);
    EXPECT_EQ(CStrChar("").Trim().GetLength(), 0);
    EXPECT_EQ(CStrChar().Trim().GetLength(), 0);
    EXPECT_EQ(Text(CStrChar("\va\v").Trim()), "\va\v");
}

TEST(CStrChar, FindFindsEveryOccurrence) {
    const CStrChar abc("abc");
    EXPECT_EQ(abc.Find("", 2), 2);
    EXPECT_EQ(abc.Find("", 3), 3);
    EXPECT_EQ(abc.Find("", 4), -1);
    EXPECT_EQ(abc.Find("c", 0), 2);
    EXPECT_EQ(abc.Find("bc", 0), 1);
    EXPECT_EQ(abc.Find("abcd", 0), -1);
    EXPECT_EQ(CStrChar("aaab").Find("aab", 0), 1);
    EXPECT_EQ(CStrChar("a=b=c").Find("=", 2), 3);
    EXPECT_EQ(CStrChar("a=b").Find("=", -5), 1);
    EXPECT_EQ(CStrChar().Find("x", 0), -1);
    AssertCounter counter;
    EXPECT_EQ(abc.Find(nullptr, 0), -1);
    EXPECT_EQ(counter.Count(), 1);
}

TEST(CStrChar, CharQueries) {
    const CStrChar banana("banana");
    EXPECT_EQ(banana.FindChar(0, 'a'), 5);
    EXPECT_EQ(banana.FindChar(2, 'a'), 3);
    EXPECT_EQ(banana.FindChar(4, 'a'), -1);
    EXPECT_EQ(banana.FindChar(-1, 'a'), -1);
    EXPECT_EQ(banana.FindChar(0, 'z'), -1);
    const CStrChar spaces("  x");
    EXPECT_EQ(spaces.SpanNot(0, ' '), 2);
    EXPECT_EQ(spaces.SpanNot(3, ' '), -1);
    EXPECT_EQ(spaces.SpanNot(-7, ' '), 2);
    EXPECT_EQ(CStrChar("xx").SpanNot(0, 'x'), -1);
    const CStrChar high("\xE9");
    EXPECT_EQ(high.CharAt(0), -23);
    AssertCounter counter;
    EXPECT_EQ(high.CharAt(1), 0);
    EXPECT_EQ(high.CharAt(-1), 0);
    EXPECT_EQ(counter.Count(), 2);
}

TEST(CStrChar, LoadFromStreamTakesEveryByte) {
    const uint8_t bytes[] = {'k', '=', 'v'};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    CStrChar s("old");
    EXPECT_TRUE(s.LoadFromStream(stream, CStrChar::kClassKey));
    EXPECT_EQ(Text(s), "k=v");
    EXPECT_EQ(s.GetLength(), 3);
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    EXPECT_FALSE(s.LoadFromStream(stream, CStrWChar::kClassKey));
    EXPECT_EQ(s.GetBuffer(), nullptr);
    // The wrong type consumed nothing; an empty stream loads nothing.
    EXPECT_TRUE(s.LoadFromStream(stream, CStrChar::kClassKey));
    ASSERT_TRUE(stream.Open(bytes, 0));
    EXPECT_FALSE(s.LoadFromStream(stream, CStrChar::kClassKey));
    EXPECT_EQ(s.GetBuffer(), nullptr);
}

TEST(CStrWChar, NarrowTextIsWidenedByteForByte) {
    CStrWChar s("caf\xE9");
    EXPECT_EQ(Text(s), u"caf\u00E9");
    s += "!";
    s += u"\u20AC";
    EXPECT_EQ(Text(s), u"caf\u00E9!\u20AC");
    s = "x";
    EXPECT_EQ(Text(s), u"x");
    EXPECT_EQ(Text("<" + s + ">"), u"<x>");
    EXPECT_EQ(Text(u"<" + s + u">"), u"<x>");
    EXPECT_EQ(s.GetClassKey(), 0x43735EB4u);
}

TEST(CStrWChar, WideSearchesAndTrim) {
    const CStrWChar s(u"abab");
    EXPECT_EQ(s.FindChar(0, u'b'), 3u);
    EXPECT_EQ(s.FindChar(3, u'b'), CStrWChar::kNotFound);
    EXPECT_EQ(Text(CStrWChar(u" \u00E9 ").Trim()), u"\u00E9");
}

TEST(CStrWChar, LoadsRawLittleEndianText) {
    const uint8_t bytes[] = {'h', 0, 0xAC, 0x20, 0x7F};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    CStrWChar s;
    EXPECT_TRUE(s.LoadFromStream(stream, CStrWChar::kClassKey));
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_EQ(Text(s), u"h\u20AC");
}

TEST(CStrWChar, LoadsUtf8Text) {
    const uint8_t good[] = {'a', 0xC3, 0xA9, 0xE2, 0x82, 0xAC};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(good, sizeof(good)));
    CStrWChar s;
    EXPECT_TRUE(s.LoadFromStream(stream, CStrWChar::kUtf8TypeKey));
    EXPECT_EQ(Text(s), u"a\u00E9\u20AC");
    EXPECT_EQ(s.GetLength(), 3);

    const uint8_t bad[] = {'a', 0x80, 'b'};
    ASSERT_TRUE(stream.Open(bad, sizeof(bad)));
    EXPECT_TRUE(s.LoadFromStream(stream, CStrWChar::kUtf8TypeKey));
    EXPECT_EQ(s.GetLength(), 0);

    ASSERT_TRUE(stream.Open(good, sizeof(good)));
    EXPECT_FALSE(s.LoadFromStream(stream, 0x12345678));
    EXPECT_EQ(s.GetBuffer(), nullptr);
}

}  // namespace

// A corrupt deflated entry reads as zeros with the error flag set.
TEST(CStr, UnreadableDataLoadsNoText) {
    for (uint32_t typeKey : {CStrWChar::kClassKey, CStrWChar::kUtf8TypeKey}) {
        FailingStream stream(6);
        CStrWChar s(u"old");
        EXPECT_FALSE(s.LoadFromStream(stream, typeKey));
        EXPECT_EQ(s.GetBuffer(), nullptr);
    }
    FailingStream stream(6);
    CStrChar s("old");
    EXPECT_FALSE(s.LoadFromStream(stream, CStrChar::kClassKey));
    EXPECT_EQ(s.GetBuffer(), nullptr);
}

// Its decoded size passes 32 bits: no block may stand in for it.
TEST(CStrWChar, RefusesUtf8TextTooLargeToDecode) {
    AssertCounter checks;
    FailingStream stream(0x7FFFFFFFu);
    CStrWChar s(u"old");
    EXPECT_FALSE(s.LoadFromStream(stream, CStrWChar::kUtf8TypeKey));
    EXPECT_EQ(s.GetBuffer(), nullptr);
    EXPECT_TRUE(checks.Logged("do not fit"));
}
