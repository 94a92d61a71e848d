#include "ArchiveTestData.h"
#include "AssertCounter.h"
#include "BigArchiveWriter.h"
#include "CBigFileReader.h"
#include "TempAppDirectory.h"

#include <gtest/gtest.h>

namespace {

using namespace ArchiveTestData;

// Header fields by offset.
constexpr size_t kIdTableOffset = 8;
constexpr size_t kIdCount = 12;
constexpr size_t kEntryTableOffset = 16;
constexpr size_t kEntryCount = 20;

class CBigFileReaderTest : public ::testing::Test {
protected:
    Bytes Build(BigArchiveWriter& writer) {
        Bytes archive;
        std::string error;
        EXPECT_TRUE(writer.Build(archive, error)) << error;
        return archive;
    }

    bool Open(const Bytes& archive) {
        m_directory.WriteFile("test.big", archive);
        return m_reader.Open(m_directory.EnginePathOf("test.big").c_str());
    }

    // Ids 0..19 and 100..104 with payloads naming their id; entry i holds
    // the i-th id in ascending order.
    Bytes TwentyFive(IdTableForm form) {
        BigArchiveWriter writer(form);
        std::string error;
        for (uint32_t id = 0; id < 20; ++id) EXPECT_TRUE(writer.AddPayload(id, 0x100 + id, Text("id" + std::to_string(id)), false, 4, error));
        for (uint32_t id = 100; id < 105; ++id) EXPECT_TRUE(writer.AddPayload(id, 0x100 + id, Text("id" + std::to_string(id)), false, 4, error));
        return Build(writer);
    }

    std::string EntryPayload(uint32_t id) {
        Bytes bytes(m_reader.GetEntrySize(id));
        EXPECT_TRUE(m_reader.ReadEntry(id, bytes.data(), static_cast<uint32_t>(bytes.size())));
        return std::string(bytes.begin() + 4, bytes.end());
    }

    TempAppDirectory m_directory;
    CBigFileReader m_reader;
};

TEST_F(CBigFileReaderTest, RangeFormMapsTheLow15BitsOfIds) {
    const Bytes archive = TwentyFive(IdTableForm::Ranges);
    ASSERT_EQ(U32At(archive, kIdCount), 2u);
    ASSERT_TRUE(Open(archive));
    EXPECT_EQ(m_reader.FindEntry(103), 23);
    EXPECT_EQ(m_reader.FindEntry(0x00010067), 23);
    EXPECT_EQ(m_reader.FindEntry(0x8067), 23);
    EXPECT_EQ(m_reader.FindEntry(105), -1);
    EXPECT_EQ(m_reader.FindEntry(99), -1);
    EXPECT_EQ(EntryPayload(0x20000067), "id103");
    EXPECT_EQ(m_reader.GetEntryTypeWord(103), 0x100u + 103);
    EXPECT_EQ(m_reader.GetEntryTypeWord(105), 0u);
}

TEST_F(CBigFileReaderTest, OverlappingRangesFirstOneWins) {
    Bytes archive = TwentyFive(IdTableForm::Ranges);
    const size_t table = U32At(archive, kIdTableOffset);
    PutU32(archive, table, 101);  // first range {101, 20 ids, entry 0} now covers 101..120
    ASSERT_TRUE(Open(archive));
    EXPECT_EQ(m_reader.FindEntry(102), 1);
    EXPECT_EQ(m_reader.FindEntry(100), 20);
    EXPECT_EQ(m_reader.FindEntry(5), -1);
}

TEST_F(CBigFileReaderTest, ListFormSearchesTheSortedIds) {
    const Bytes archive = TwentyFive(IdTableForm::List);
    ASSERT_EQ(U32At(archive, kIdCount), 25u);
    ASSERT_TRUE(Open(archive));
    EXPECT_EQ(m_reader.FindEntry(0), 0);
    EXPECT_EQ(m_reader.FindEntry(19), 19);
    EXPECT_EQ(m_reader.FindEntry(104 | 0x40000000), 24);
    EXPECT_EQ(m_reader.FindEntry(50), -1);
    EXPECT_EQ(EntryPayload(7), "id7");
    EXPECT_EQ(EntryPayload(100), "id100");

    // A maximum below the entry's size reads just that much.
    char partial[3] = {};
    ASSERT_TRUE(m_reader.ReadEntry(100, partial, 2));
    EXPECT_EQ(partial[0], 4);  // the entry header's size field
    EXPECT_EQ(partial[2], 0);
}

// Ids are whole words: stored ids from 0x80000000 up sort after all others.
TEST_F(CBigFileReaderTest, ListFormComparesIdsUnsigned) {
    Bytes archive = TwentyFive(IdTableForm::List);
    const size_t table = U32At(archive, kIdTableOffset);
    for (uint32_t i = 20; i < 25; ++i) PutU32(archive, table + 4 * i, 0x80000000u + i);
    ASSERT_TRUE(Open(archive));
    for (uint32_t id = 0; id < 20; ++id) EXPECT_EQ(m_reader.FindEntry(id), static_cast<int32_t>(id)) << id;
    EXPECT_EQ(m_reader.FindEntry(100), -1);
    EXPECT_EQ(m_reader.FindEntry(20), -1);
}

TEST_F(CBigFileReaderTest, EmptyIdTableAndEntriesBeyondTheTableAreAbsent) {
    Bytes noIds = TwentyFive(IdTableForm::List);
    PutU32(noIds, kIdCount, 0);
    ASSERT_TRUE(Open(noIds));
    EXPECT_EQ(m_reader.FindEntry(0), -1);
    EXPECT_FALSE(m_reader.SeekToEntry(0));

    // The id list still names 25 entries, the entry table only 24.
    Bytes shortTable = TwentyFive(IdTableForm::List);
    PutU32(shortTable, kEntryCount, 24);
    ASSERT_TRUE(Open(shortTable));
    EXPECT_EQ(m_reader.FindEntry(104), 24);
    EXPECT_FALSE(m_reader.SeekToEntry(104));
    EXPECT_EQ(m_reader.GetEntrySize(104), 0u);
    EXPECT_TRUE(m_reader.SeekToEntry(103));
}

TEST_F(CBigFileReaderTest, TruncatedOrInconsistentArchivesDoNotOpen) {
    AssertCounter counter;
    const Bytes good = TwentyFive(IdTableForm::List);
    EXPECT_FALSE(Open(Bytes()));
    EXPECT_FALSE(Open(Bytes(good.begin(), good.begin() + 31)));
    EXPECT_TRUE(counter.Logged("too short for the archive header"));
    EXPECT_FALSE(Open(Bytes(good.begin(), good.begin() + 32 + 50)));  // id table cut
    EXPECT_FALSE(Open(Bytes(good.begin(), good.begin() + U32At(good, kEntryTableOffset) + 20)));

    // Counts whose table sizes wrap to small numbers in 32 bits.
    Bytes wrappingIds = good;
    PutU32(wrappingIds, kIdCount, 0x40000001);
    EXPECT_FALSE(Open(wrappingIds));
    Bytes wrappingEntries = good;
    PutU32(wrappingEntries, kEntryCount, 0x1FFFFFFF);  // (count + 1) * 8 wraps to 0
    EXPECT_FALSE(Open(wrappingEntries));
    Bytes maxEntries = good;
    PutU32(maxEntries, kEntryCount, 0xFFFFFFFF);
    EXPECT_FALSE(Open(maxEntries));
    Bytes farTable = good;
    PutU32(farTable, kEntryTableOffset, 0xFFFFFFF0);
    EXPECT_FALSE(Open(farTable));
    EXPECT_TRUE(counter.Logged("runs past"));

    EXPECT_FALSE(m_reader.Open(u"\\no\\such\\archive.big"));
    EXPECT_FALSE(m_reader.Open(nullptr));
    EXPECT_EQ(m_reader.FindEntry(1), -1);
    EXPECT_FALSE(m_reader.SeekToEntry(1));
    EXPECT_EQ(counter.Count(), 0);
}

TEST_F(CBigFileReaderTest, EntriesRunningBackwardsOrPastTheFileAreAbsent) {
    Bytes archive = TwentyFive(IdTableForm::List);
    const size_t table = U32At(archive, kEntryTableOffset);
    // Entry 3 ends before it starts.
    PutU32(archive, table + 4 * 8 + 4, U32At(archive, table + 3 * 8 + 4) - 1);
    // The end record points past the file.
    PutU32(archive, table + 25 * 8 + 4, static_cast<uint32_t>(archive.size() + 1));
    AssertCounter counter;
    ASSERT_TRUE(Open(archive));
    EXPECT_EQ(m_reader.GetEntrySize(3), 0u);
    EXPECT_FALSE(m_reader.SeekToEntry(3));
    char byte = 0;
    EXPECT_FALSE(m_reader.ReadEntry(3, &byte, 1));
    EXPECT_EQ(m_reader.GetEntrySize(104), 0u);
    EXPECT_TRUE(counter.Logged("outside the"));
    EXPECT_EQ(m_reader.GetEntrySize(2), 7u);
    EXPECT_EQ(EntryPayload(2), "id2");
}

// The whole archive's entries all lie inside it; cut by its last byte, or
// with one entry running backwards, it still opens but they do not. The
// first entry counts as much as any: an archive of one entry, cut short.
TEST_F(CBigFileReaderTest, EntriesInsideTheFileAreCheckedWithoutReadingThem) {
    BigArchiveWriter single(IdTableForm::List);
    std::string error;
    ASSERT_TRUE(single.AddPayload(7, 0x107, Text("id7"), false, 4, error)) << error;
    const Bytes one = Build(single);
    ASSERT_TRUE(Open(Bytes(one.begin(), one.end() - 1)));
    EXPECT_FALSE(m_reader.EntriesInsideFile());
    ASSERT_TRUE(Open(one));
    EXPECT_TRUE(m_reader.EntriesInsideFile());

    const Bytes whole = TwentyFive(IdTableForm::Ranges);
    ASSERT_TRUE(Open(whole));
    EXPECT_TRUE(m_reader.EntriesInsideFile());
    const Bytes cut(whole.begin(), whole.end() - 1);
    ASSERT_TRUE(Open(cut));
    EXPECT_FALSE(m_reader.EntriesInsideFile());
    Bytes backwards = whole;
    const size_t table = U32At(backwards, kEntryTableOffset);
    PutU32(backwards, table + 4 * 8 + 4, U32At(backwards, table + 3 * 8 + 4) - 1);
    ASSERT_TRUE(Open(backwards));
    EXPECT_FALSE(m_reader.EntriesInsideFile());
}

}  // namespace
