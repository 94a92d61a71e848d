#include "ArchiveTestData.h"
#include "AssertCounter.h"
#include "BigArchiveWriter.h"
#include "CAggregateResource.h"
#include "CArrayInputStream.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "ResourcePackWriter.h"
#include "TempAppDirectory.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using namespace ArchiveTestData;

class EntryStreamTest : public ::testing::Test {
protected:
    void Add(uint32_t id, const Bytes& payload, bool deflate, uint16_t headerSize = 4) {
        std::string error;
        ASSERT_TRUE(m_writer.AddPayload(id, 0, payload, deflate, headerSize, error)) << error;
    }
    void AddRaw(uint32_t id, const Bytes& entry) {
        std::string error;
        ASSERT_TRUE(m_writer.Add(id, 0, entry, error)) << error;
    }
    void OpenArchive() {
        Bytes archive;
        std::string error;
        ASSERT_TRUE(m_writer.Build(archive, error)) << error;
        m_directory.WriteFile("test.big", archive);
        ASSERT_TRUE(m_reader.Open(m_directory.EnginePathOf("test.big").c_str()));
    }
    Bytes ReadAll(CBigFileResourceInputStream& stream) {
        Bytes bytes(stream.Available());
        stream.Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_FALSE(stream.HasError());
        return bytes;
    }

    TempAppDirectory m_directory;
    BigArchiveWriter m_writer{IdTableForm::List};
    CBigFileReader m_reader;
};

TEST_F(EntryStreamTest, StoredEntriesDeliverThePayloadBehindTheirHeader) {
    Add(1, Text("four-byte header"), false, 4);
    Add(2, Text("six-byte header"), false, 6);
    OpenArchive();
    CBigFileResourceInputStream stream;
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 1, true));
    EXPECT_EQ(stream.Available(), 16u);
    EXPECT_FALSE(stream.IsCompressed());
    EXPECT_EQ(ReadAll(stream), Text("four-byte header"));
    stream.Close();
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 2, true));
    EXPECT_EQ(stream.GetEntryId(), 2u);
    EXPECT_EQ(ReadAll(stream), Text("six-byte header"));
}

TEST_F(EntryStreamTest, DeflatedEntryReadsInOddChunksWithSkipsAndTypedValues) {
    const Bytes payload = Mixed(70000, 7);
    Add(5, payload, true);
    OpenArchive();
    CBigFileResourceInputStream stream;
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 5, true));
    EXPECT_TRUE(stream.IsCompressed());
    ASSERT_EQ(stream.Available(), payload.size());
    size_t position = 0;
    const uint32_t steps[] = {1, 7, 255, 256, 257, 5000, 3, 9000, 4096, 12, 20000};
    for (size_t i = 0; position < payload.size(); ++i) {
        const uint32_t step = std::min<uint32_t>(steps[i % 11], static_cast<uint32_t>(payload.size() - position));
        if (i % 3 == 2) {
            stream.Skip(step);
        } else {
            Bytes chunk(step);
            stream.Read(chunk.data(), step);
            ASSERT_EQ(chunk, Bytes(payload.begin() + position, payload.begin() + position + step)) << position;
        }
        position += step;
        ASSERT_EQ(stream.Available(), payload.size() - position);
    }
    EXPECT_FALSE(stream.HasError());

    ASSERT_TRUE(stream.OpenEntry(&m_reader, 5, true));
    stream.Skip(1000);
    const uint32_t little = stream.ReadUInt32();
    EXPECT_EQ(little, U32At(payload, 1000));
    stream.SetSwapBytes(1);
    EXPECT_EQ(stream.ReadUInt16(), payload[1004] << 8 | payload[1005]);
}

TEST_F(EntryStreamTest, SkipsOverLongRunsThatNeedMuchInputPerWindow) {
    // Incompressible bytes first: every window needs fresh input.
    Bytes payload(300000);
    uint32_t seed = 99;
    for (uint8_t& byte : payload) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 23);
    }
    std::fill(payload.begin() + 200000, payload.end(), 0x41);
    payload.back() = 0x42;
    Add(9, payload, true);
    OpenArchive();
    CBigFileResourceInputStream stream;
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 9, true));
    stream.Skip(150000);
    EXPECT_EQ(stream.ReadUInt8(), payload[150000]);
    stream.Skip(static_cast<uint32_t>(payload.size()) - 150002);
    EXPECT_EQ(stream.ReadUInt8(), 0x42);
    EXPECT_FALSE(stream.HasError());
    EXPECT_EQ(stream.Available(), 0u);
}

TEST_F(EntryStreamTest, ReadingPastThePayloadFailsAndZeroFills) {
    Add(3, Mixed(1000, 3), true);
    OpenArchive();
    CBigFileResourceInputStream stream;
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 3, true));
    stream.Skip(990);
    Bytes tail(11, 0xEE);
    AssertCounter counter;
    stream.Read(tail.data(), 11);
    EXPECT_TRUE(stream.HasError());
    EXPECT_EQ(tail, Bytes(11, 0));
    EXPECT_EQ(stream.Available(), 0u);
    EXPECT_EQ(stream.ReadUInt8(), 0);
    EXPECT_GE(counter.Count(), 1);
    EXPECT_TRUE(counter.Logged("read of 11 bytes failed in entry 3"));
}

TEST_F(EntryStreamTest, CompressedEntryWithOnlyItsSizeWords) {
    Bytes entry = {4, 0, 0x80, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    AddRaw(4, entry);
    Add(6, Text("deflated"), true);
    OpenArchive();
    AssertCounter counter;
    CBigFileResourceInputStream stream;
    EXPECT_FALSE(stream.OpenEntry(&m_reader, 4, true));
    EXPECT_TRUE(stream.HasError());
    EXPECT_EQ(stream.Available(), 0u);
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 4, false));
    EXPECT_EQ(ReadAll(stream), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));

    // Without inflation a deflated entry gives its size words and zlib data.
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 6, false));
    const Bytes raw = ReadAll(stream);
    ASSERT_GT(raw.size(), 8u);
    EXPECT_EQ(U32At(raw, 0), 8u);
    Bytes inflated(8);
    uLongf size = 8;
    ASSERT_EQ(uncompress(inflated.data(), &size, raw.data() + 8, U32At(raw, 4)), Z_OK);
    EXPECT_EQ(inflated, Text("deflated"));
    EXPECT_EQ(counter.Count(), 0);
}

TEST_F(EntryStreamTest, PackedSizeIsHeldInsideTheEntry) {
    // Entry 1 lacks the end of its deflate data and claims more packed bytes
    // than it holds; entry 2, right behind it, holds exactly the missing
    // bytes. Reading entry 1 must not borrow them.
    const Bytes payload = Mixed(5000, 11);
    const Bytes whole = Entry(payload, true);
    const size_t cut = whole.size() - 10;
    AddRaw(1, Bytes(whole.begin(), whole.begin() + cut));
    AddRaw(2, Bytes(whole.begin() + cut, whole.end()));
    OpenArchive();
    AssertCounter counter;
    CBigFileResourceInputStream stream;
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 1, true));
    EXPECT_TRUE(counter.Logged("claims"));
    Bytes out(payload.size());
    stream.Read(out.data(), static_cast<uint32_t>(out.size()));
    EXPECT_TRUE(stream.HasError());
}

TEST_F(EntryStreamTest, BrokenDeflateDataAndLyingSizesSetTheErrorFlag) {
    Bytes broken = Entry(Mixed(3000, 5), true);
    broken[20] ^= 0x55;
    broken[21] ^= 0xAA;
    AddRaw(1, broken);
    Bytes longer = Entry(Mixed(3000, 5), true);
    PutU32(longer, 4, 3001);  // one byte more than inflates
    AddRaw(2, longer);
    Bytes shorter = Entry(Mixed(3000, 5), true);
    PutU32(shorter, 4, 2000);
    AddRaw(3, shorter);
    OpenArchive();

    AssertCounter counter;
    CBigFileResourceInputStream stream;
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 1, true));
    Bytes out(3000, 0xEE);
    stream.Read(out.data(), 3000);
    EXPECT_TRUE(stream.HasError());
    EXPECT_EQ(out, Bytes(3000, 0));
    EXPECT_TRUE(counter.Logged("inflate failed"));

    stream.Close();
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 2, true));
    out.assign(3001, 0);
    stream.Read(out.data(), 3001);
    EXPECT_TRUE(stream.HasError());

    stream.Close();
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 3, true));
    EXPECT_EQ(stream.Available(), 2000u);
    out.assign(2000, 0);
    stream.Read(out.data(), 2000);
    EXPECT_FALSE(stream.HasError());
    const Bytes payload = Mixed(3000, 5);
    EXPECT_EQ(out, Bytes(payload.begin(), payload.begin() + 2000));
}

// Loaders size their block by the claim: 4 GiB from a few hundred bytes
// must not get that far.
TEST_F(EntryStreamTest, UnpackedSizesDeflateCannotReachFailTheOpen) {
    const Bytes payload = Mixed(600, 3);
    Bytes lying = Entry(payload, true);
    PutU32(lying, 4, 0xFFFFFFF0u);
    AddRaw(1, lying);
    Bytes runs(64 * 1024, 'z');  // deflates about a thousandfold
    Add(2, runs, true);
    OpenArchive();
    AssertCounter counter;
    CBigFileResourceInputStream stream;
    EXPECT_FALSE(stream.OpenEntry(&m_reader, 1, true));
    EXPECT_EQ(stream.Available(), 0u);
    EXPECT_TRUE(counter.Logged("cannot inflate to 4294967280 bytes"));
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 2, true));
    EXPECT_EQ(ReadAll(stream), runs);
}

TEST_F(EntryStreamTest, AbsentEntriesAndMissingReadersFailToOpen) {
    Add(1, Text("x"), false);
    AddRaw(2, Bytes({9, 0, 0, 0, 1, 2}));  // header claims 9 bytes of 6
    AddRaw(3, Bytes({3, 0, 0}));           // shorter than any header
    AddRaw(4, Bytes({2, 0, 0, 0, 'a', 'b'}));  // header size below its own 4 bytes
    OpenArchive();
    AssertCounter counter;
    CBigFileResourceInputStream stream;
    EXPECT_FALSE(stream.OpenEntry(nullptr, 1, true));
    EXPECT_FALSE(stream.OpenEntry(&m_reader, 77, true));
    EXPECT_FALSE(stream.OpenEntry(&m_reader, 2, true));
    EXPECT_FALSE(stream.OpenEntry(&m_reader, 3, true));
    EXPECT_FALSE(stream.OpenEntry(&m_reader, 4, true));
    EXPECT_TRUE(stream.HasError());
    ASSERT_TRUE(stream.OpenEntry(&m_reader, 1, true));
    EXPECT_FALSE(stream.HasError());
    EXPECT_EQ(stream.ReadUInt8(), 'x');
    EXPECT_EQ(counter.Count(), 0);
}

TEST_F(EntryStreamTest, PackEntriesOpenFromMemory) {
    ResourcePackWriter packWriter(PackOptions{});
    std::string error;
    ASSERT_TRUE(packWriter.Add(40, 0xA, Entry(Text("stored member"), false), error));
    ASSERT_TRUE(packWriter.Add(41, 0xB, Entry(Mixed(4000, 1), true, 6), error));
    Bytes block;
    ASSERT_TRUE(packWriter.Build(block, error)) << error;
    Add(300, block, true);
    OpenArchive();

    CBigFileResourceInputStream entry;
    ASSERT_TRUE(entry.OpenEntry(&m_reader, 300, true));
    CAggregateResource pack;
    ASSERT_TRUE(pack.Load(entry, 0));
    EXPECT_EQ(pack.GetEntryWord(41), 0xBu);

    CBigFileResourceInputStream member;
    ASSERT_TRUE(member.OpenFromPack(&pack, 0x20000000 | 40, true));
    EXPECT_EQ(ReadAll(member), Text("stored member"));
    member.Close();
    ASSERT_TRUE(member.OpenFromPack(&pack, 41, true));
    EXPECT_TRUE(member.IsCompressed());
    EXPECT_EQ(ReadAll(member), Mixed(4000, 1));
    AssertCounter counter;
    EXPECT_FALSE(member.OpenFromPack(&pack, 42, true));
    EXPECT_FALSE(member.OpenFromPack(nullptr, 40, true));
}

}  // namespace
