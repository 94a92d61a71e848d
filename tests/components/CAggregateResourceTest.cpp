#include "ArchiveTestData.h"
#include "AssertCounter.h"
#include "CAggregateResource.h"
#include "CArrayInputStream.h"

#include <gtest/gtest.h>

namespace {

using namespace ArchiveTestData;

// Little-endian pack tables written by hand, independent of the tool.
class PackBytes {
public:
    PackBytes& U16(uint16_t value) {
        m_bytes.push_back(static_cast<uint8_t>(value));
        m_bytes.push_back(static_cast<uint8_t>(value >> 8));
        return *this;
    }
    PackBytes& U32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(static_cast<uint8_t>(value >> shift));
        return *this;
    }
    PackBytes& Raw(const std::string& text) {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    const Bytes& Get() const { return m_bytes; }

private:
    Bytes m_bytes;
};

bool Load(CAggregateResource& pack, const Bytes& block) {
    CArrayInputStream stream;
    EXPECT_TRUE(stream.Open(block.data(), static_cast<uint32_t>(block.size())));
    return pack.Load(stream, 0);
}

std::string Member(const CAggregateResource& pack, uint32_t id) {
    std::string text(pack.GetEntrySize(id), '\0');
    EXPECT_TRUE(pack.CopyEntry(id, text.data()));
    return text;
}

TEST(CAggregateResource, ConsecutiveIdsFromABaseWithNarrowOffsets) {
    // flags bit 15 | bit 13, three entries from id 40; table 6 + 3 * 2 + 4 + 3 * 4 = 28 bytes.
    const Bytes block = PackBytes()
                            .U16(0xA000).U16(3).U16(40)
                            .U16(28).U16(31).U16(33).U32(36)
                            .U32(0x111).U32(0x222).U32(0x333)
                            .Raw("abc").Raw("de").Raw("fgh")
                            .Get();
    CAggregateResource pack;
    ASSERT_TRUE(Load(pack, block));
    EXPECT_EQ(pack.GetEntryCount(), 3u);
    EXPECT_EQ(pack.FindIndex(40), 0);
    EXPECT_EQ(pack.FindIndex(42), 2);
    EXPECT_EQ(pack.FindIndex(0x20008029), 1);  // only the low 15 bits count
    EXPECT_FALSE(pack.Contains(43));
    EXPECT_EQ(Member(pack, 40), "abc");
    EXPECT_EQ(Member(pack, 41), "de");
    EXPECT_EQ(Member(pack, 42), "fgh");
    EXPECT_EQ(pack.GetEntryWord(42), 0x333u);
    EXPECT_EQ(pack.GetEntryWord(43), 0u);
    EXPECT_EQ(pack.GetEntrySize(43), 0u);
    CArrayInputStream stream;
    ASSERT_TRUE(pack.OpenEntryStream(41, stream));
    EXPECT_EQ(stream.Available(), 2u);
    EXPECT_EQ(stream.ReadUInt8(), 'd');
}

TEST(CAggregateResource, ListedIdsWideOffsetsAndNoWords) {
    const Bytes block = PackBytes()
                            .U16(0x4000).U16(2)
                            .U16(7).U32(20).U16(3).U32(24).U32(26)
                            .Raw("wxyz").Raw("uv")
                            .Get();
    CAggregateResource pack;
    ASSERT_TRUE(Load(pack, block));
    EXPECT_EQ(Member(pack, 7), "wxyz");
    EXPECT_EQ(Member(pack, 3), "uv");
    EXPECT_EQ(pack.GetEntryWord(7), 0u);
}

TEST(CAggregateResource, EmptyPackLoadsAndAnswersNothing) {
    CAggregateResource pack;
    ASSERT_TRUE(Load(pack, PackBytes().U16(0x2000).U16(0).Get()));
    EXPECT_EQ(pack.GetEntryCount(), 0u);
    EXPECT_FALSE(pack.Contains(0));
    EXPECT_FALSE(CAggregateResource::IsPackHandle(0x1FFFFFFF));
    EXPECT_TRUE(CAggregateResource::IsPackHandle(0x20000000));
}

TEST(CAggregateResource, OffsetsOutsideTheBlockMakeEntriesEmpty) {
    // Entry 2 ends past the block and entry 3 runs backwards; entry 1 is sound.
    const Bytes block = PackBytes()
                            .U16(0x0000).U16(3)
                            .U16(1).U16(20).U16(2).U16(21).U16(3).U16(500).U32(22)
                            .Raw("ok").Get();
    AssertCounter counter;
    CAggregateResource pack;
    ASSERT_TRUE(Load(pack, block));
    char sink[8] = {};
    CArrayInputStream stream;
    EXPECT_EQ(pack.GetEntrySize(1), 1u);
    EXPECT_EQ(pack.GetEntrySize(2), 0u);
    EXPECT_FALSE(pack.CopyEntry(2, sink));
    EXPECT_FALSE(pack.OpenEntryStream(2, stream));
    EXPECT_EQ(pack.GetEntrySize(3), 0u);
    EXPECT_FALSE(pack.CopyEntry(3, sink));
    EXPECT_TRUE(counter.Logged("outside the"));
}

TEST(CAggregateResource, TableRunningPastTheBlockFailsAndLeavesItEmpty) {
    AssertCounter counter;
    CAggregateResource pack;
    EXPECT_FALSE(Load(pack, PackBytes().U16(0x0000).U16(100).U16(1).U16(8).Get()));
    EXPECT_EQ(pack.GetEntryCount(), 0u);
    EXPECT_FALSE(pack.Contains(1));
    EXPECT_FALSE(Load(pack, Bytes()));
}

}  // namespace
