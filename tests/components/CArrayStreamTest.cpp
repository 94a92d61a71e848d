#include "CArrayInputStream.h"
#include "CArrayOutputStream.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CArrayInputStream, ShortReadIsStickyAndYieldsZeros) {
    const uint8_t bytes[3] = {0x11, 0x22, 0x33};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    AssertCounter counter;
    EXPECT_EQ(stream.ReadUInt32(), 0u);
    EXPECT_TRUE(stream.HasError());
    EXPECT_EQ(stream.Available(), 0u);
    // One byte would be there, but the error flag stays set.
    EXPECT_EQ(stream.ReadUInt8(), 0u);
    uint8_t out[2] = {0xAA, 0xBB};
    stream.Read(out, 2);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[1], 0u);
    EXPECT_GE(counter.Count(), 3);
    // Only a new Open clears it.
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    EXPECT_FALSE(stream.HasError());
    EXPECT_EQ(stream.ReadUInt8(), 0x11u);
    // A failed big-endian read is zero too, not a partly assembled value.
    CArrayInputStream big(1);
    ASSERT_TRUE(big.Open(bytes, 1));
    EXPECT_EQ(big.ReadUInt16(), 0u);
    EXPECT_TRUE(big.HasError());
}

TEST(CArrayInputStream, TypedReadsFollowTheSwapFlag) {
    const uint8_t bytes[] = {0x12, 0x34, 0x01, 0x02, 0x03, 0x04, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
    CArrayInputStream little;
    ASSERT_TRUE(little.Open(bytes, sizeof(bytes)));
    EXPECT_EQ(little.ReadUInt16(), 0x3412u);
    EXPECT_EQ(little.ReadUInt32(), 0x04030201u);
    EXPECT_EQ(little.ReadUInt64(), 0x8807060504030201ull);
    EXPECT_EQ(little.Available(), 0u);

    CArrayInputStream big(1);
    ASSERT_TRUE(big.Open(bytes, sizeof(bytes)));
    EXPECT_EQ(big.ReadUInt16(), 0x1234u);
    EXPECT_EQ(big.ReadInt32(), 0x01020304);
    EXPECT_EQ(big.ReadInt64(), static_cast<int64_t>(0x0102030405060788ull));

    const uint8_t negative[] = {0xFE, 0xFF, 0x80};
    CArrayInputStream signedStream;
    ASSERT_TRUE(signedStream.Open(negative, sizeof(negative)));
    EXPECT_EQ(signedStream.ReadInt16(), -2);
    EXPECT_EQ(signedStream.ReadInt8(), -128);
}

TEST(CArrayInputStream, OpenCloseAndSkip) {
    CArrayInputStream stream;
    EXPECT_TRUE(stream.Open(nullptr, 0));
    EXPECT_EQ(stream.Available(), 0u);
    EXPECT_FALSE(stream.HasError());
    {
        AssertCounter counter;
        EXPECT_FALSE(stream.Open(nullptr, 4));
        EXPECT_TRUE(stream.HasError());
    }
    const uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    EXPECT_EQ(stream.GetSize(), 6u);
    stream.Skip(0);
    stream.Skip(4);
    EXPECT_EQ(stream.Available(), 2u);
    EXPECT_EQ(stream.ReadUInt8(), 5u);
    stream.Skip(2);
    EXPECT_TRUE(stream.HasError());
    stream.Close();
    EXPECT_TRUE(stream.HasError());
    EXPECT_EQ(stream.GetSize(), 0u);
}

TEST(CArrayInputStream, ReadUtfUsesABigEndianCountWhateverTheSwapFlag) {
    const uint8_t bytes[] = {0x00, 0x03, 'a', 'b', 'c', 0x00, 0x02, 0xC3, 0xA9};
    for (uint32_t swap = 0; swap < 2; ++swap) {
        CArrayInputStream stream(swap);
        ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
        WChar text[8];
        EXPECT_EQ(stream.ReadUTF(text, 8), 3);
        EXPECT_EQ(std::u16string(text), u"abc");
        EXPECT_EQ(stream.GetPosition(), 5u);
        EXPECT_EQ(stream.GetSwapBytes(), swap != 0);
        EXPECT_EQ(stream.ReadUTF(text, 8), 1);
        EXPECT_EQ(text[0], 0x00E9);
        EXPECT_FALSE(stream.HasError());
    }
    // A count past the end fails and leaves an empty text.
    const uint8_t cut[] = {0x00, 0x09, 'a', 'b'};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(cut, sizeof(cut)));
    WChar text[4] = {'x', 'x', 'x', 0};
    EXPECT_EQ(stream.ReadUTF(text, 4), 0);
    EXPECT_EQ(text[0], 0);
    EXPECT_TRUE(stream.HasError());
}

TEST(CArrayOutputStream, OverflowDropsBytesAndTheFlagStaysSet) {
    uint8_t buffer[6] = {};
    CArrayOutputStream stream;
    ASSERT_TRUE(stream.Open(buffer, 6));
    stream.WriteUInt16(0x0102);
    const uint8_t five[5] = {9, 8, 7, 6, 5};
    {
        AssertCounter counter;
        stream.Write(five, 5);
        EXPECT_TRUE(stream.HasError());
        EXPECT_EQ(counter.Count(), 1);
        const uint8_t expected[6] = {0x02, 0x01, 9, 8, 7, 6};
        EXPECT_EQ(std::memcmp(buffer, expected, 6), 0);
        // A later write of nothing must not clear the earlier failure.
        stream.Write(five, 0);
        EXPECT_TRUE(stream.HasError());
    }
    ASSERT_TRUE(stream.Open(buffer, 4));
    stream.Write(five, 4);
    EXPECT_FALSE(stream.HasError());
    EXPECT_EQ(stream.GetPosition(), 4u);
}

TEST(CArrayOutputStream, TypedWritesRoundTripInBothOrders) {
    for (uint32_t swap = 0; swap < 2; ++swap) {
        uint8_t buffer[15] = {};
        CArrayOutputStream out(swap);
        ASSERT_TRUE(out.Open(buffer, sizeof(buffer)));
        out.WriteInt8(-3);
        out.WriteInt16(-1234);
        out.WriteUInt32(0xDEADBEEF);
        out.WriteInt64(-0x123456789ALL);
        EXPECT_FALSE(out.HasError());
        EXPECT_EQ(buffer[1], swap ? 0xFB : 0x2E);  // -1234 = 0xFB2E
        CArrayInputStream in(swap);
        ASSERT_TRUE(in.Open(buffer, sizeof(buffer)));
        EXPECT_EQ(in.ReadInt8(), -3);
        EXPECT_EQ(in.ReadInt16(), -1234);
        EXPECT_EQ(in.ReadUInt32(), 0xDEADBEEFu);
        EXPECT_EQ(in.ReadInt64(), -0x123456789ALL);
    }
}

TEST(CArrayOutputStream, NoBufferOrNullSourceIsAnError) {
    CArrayOutputStream stream;
    AssertCounter counter;
    stream.WriteUInt8(1);
    EXPECT_TRUE(stream.HasError());
    uint8_t buffer[2];
    ASSERT_TRUE(stream.Open(buffer, 2));
    stream.Write(nullptr, 1);
    EXPECT_TRUE(stream.HasError());
    EXPECT_FALSE(stream.Open(nullptr, 2));
}

TEST(CArrayOutputStream, WriteUtfEncodesModifiedUtf8) {
    const WChar text[] = u"h\u00E9\u20AC!";  // 1 + 2 + 3 + 1 bytes
    uint8_t buffer[9] = {};
    CArrayOutputStream out;
    ASSERT_TRUE(out.Open(buffer, sizeof(buffer)));
    EXPECT_EQ(out.WriteUTF(text, 4), 7);
    EXPECT_FALSE(out.HasError());
    const uint8_t expected[9] = {0x00, 0x07, 'h', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, '!'};
    EXPECT_EQ(std::memcmp(buffer, expected, 9), 0);
}

TEST(CArrayOutputStream, WriteUtfInShortRoomStoresWholeCharactersOnly) {
    const WChar text[] = u"a\u20ACb";
    // Room for the field, 'a' and two bytes: the euro sign does not fit.
    uint8_t buffer[6] = {0, 0, 0, 0, 0, 0x5A};
    CArrayOutputStream out;
    ASSERT_TRUE(out.Open(buffer, 5));
    AssertCounter counter;
    EXPECT_EQ(out.WriteUTF(text, 3), 1);
    EXPECT_TRUE(out.HasError());
    EXPECT_EQ(buffer[5], 0x5A);  // nothing past the capacity
    CArrayInputStream in;
    ASSERT_TRUE(in.Open(buffer, 5));
    WChar back[8];
    EXPECT_EQ(in.ReadUTF(back, 8), 1);
    EXPECT_EQ(std::u16string(back), u"a");
    EXPECT_FALSE(in.HasError());

    // Exactly the room needed, and no room at all.
    uint8_t exact[3] = {};
    ASSERT_TRUE(out.Open(exact, 3));
    EXPECT_EQ(out.WriteUTF(u"z", 1), 1);
    EXPECT_FALSE(out.HasError());
    EXPECT_EQ(exact[2], 'z');
    EXPECT_EQ(out.WriteUTF(u"z", 1), 0);
    EXPECT_TRUE(out.HasError());
    EXPECT_EQ(out.GetPosition(), 3u);
}

}  // namespace
