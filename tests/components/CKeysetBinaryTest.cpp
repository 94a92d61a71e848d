#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CBinary.h"
#include "CKeyset.h"
#include "CMedia.h"
#include "FailingStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CKeyset, LoadsLittleEndianKeys) {
    const uint8_t bytes[] = {2, 0, 0x78, 0x56, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    CKeyset keys;
    ASSERT_TRUE(keys.Load(stream));
    EXPECT_EQ(keys.GetCount(), 2u);
    EXPECT_EQ(keys.Get(0), 0x12345678u);
    EXPECT_EQ(keys.Get(1), 0xDEADBEEFu);
    EXPECT_EQ(keys.Get(2), 0u);
}

TEST(CKeyset, EmptySetLoadsAndShortSetIsLeftEmpty) {
    const uint8_t empty[] = {0, 0};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(empty, sizeof(empty)));
    CKeyset keys;
    EXPECT_TRUE(keys.Load(stream));
    EXPECT_EQ(keys.GetCount(), 0u);
    EXPECT_EQ(keys.GetData(), nullptr);

    // Three keys announced, eight bytes present.
    const uint8_t shortSet[] = {3, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    ASSERT_TRUE(stream.Open(shortSet, sizeof(shortSet)));
    AssertCounter counter;  // the array stream reports its failed read
    EXPECT_FALSE(keys.Load(stream));
    EXPECT_EQ(keys.GetCount(), 0u);
    EXPECT_EQ(keys.Get(0), 0u);
    EXPECT_EQ(keys.Get(2), 0u);
}

TEST(CBinary, TakesTheRestOfTheStream) {
    const uint8_t bytes[] = {9, 8, 7, 6, 5};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    stream.Skip(1);
    CBinary binary;
    ASSERT_TRUE(binary.Load(stream, 0x1234));
    ASSERT_EQ(binary.GetSize(), 4u);
    EXPECT_EQ(binary.GetData()[0], 8);
    EXPECT_EQ(binary.GetData()[3], 5);
    EXPECT_EQ(binary.GetTypeKey(), 0x1234u);

    // An empty stream empties the binary.
    EXPECT_FALSE(binary.Load(stream, 0x99));
    EXPECT_EQ(binary.GetData(), nullptr);
    EXPECT_EQ(binary.GetSize(), 0u);
    EXPECT_EQ(binary.GetTypeKey(), 0u);

    // Nor does a stream that cannot deliver what it claims.
    ASSERT_TRUE(stream.Open(bytes, sizeof(bytes)));
    ASSERT_TRUE(binary.Load(stream, 0x1234));
    FailingStream failing(4);
    EXPECT_FALSE(binary.Load(failing, 0x99));
    EXPECT_EQ(binary.GetData(), nullptr);
    EXPECT_EQ(binary.GetSize(), 0u);
}

TEST(CMedia, NonOggSoundsKeepTheirBytesAndType) {
    const std::vector<uint8_t> pcm = {1, 2, 3, 4, 5, 6};
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(pcm.data(), static_cast<uint32_t>(pcm.size())));
    CBinary binary;
    ASSERT_TRUE(CMedia::Load(binary, stream, CMedia::kRawPcmType));
    EXPECT_EQ(std::vector<uint8_t>(binary.GetData(), binary.GetData() + binary.GetSize()), pcm);
    EXPECT_EQ(binary.GetTypeKey(), CMedia::kRawPcmType);

    EXPECT_FALSE(CMedia::Load(binary, stream, CMedia::kRawPcmType));  // nothing left
    EXPECT_EQ(binary.GetSize(), 0u);
}

}  // namespace
