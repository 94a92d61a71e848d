#include "ArchiveEntryCodec.h"
#include "BigArchiveReader.h"
#include "BigArchiveWriter.h"
#include "ResourcePackReader.h"
#include "ResourcePackWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U32At(const Bytes& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

uint16_t U16At(const Bytes& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Encode(const Bytes& payload, bool deflate, uint16_t headerSize = 4) {
    Bytes entry;
    std::string error;
    EXPECT_TRUE(ArchiveEntryCodec::Encode(payload, deflate, headerSize, entry, error)) << error;
    return entry;
}

TEST(BigArchiveWriter, ListFormLaysOutHeaderTablesAndEntriesById) {
    BigArchiveWriter writer(IdTableForm::List);
    std::string error;
    ASSERT_TRUE(writer.AddPayload(9, 0xAAAA0001, Text("nine"), false, 4, error));
    ASSERT_TRUE(writer.AddPayload(3, 0xBBBB0002, Text("three!"), false, 6, error));
    Bytes archive;
    ASSERT_TRUE(writer.Build(archive, error));

    EXPECT_EQ(archive[6] & 0x80, 0);
    EXPECT_EQ(U32At(archive, 8), 32u);   // id table right behind the header
    EXPECT_EQ(U32At(archive, 12), 2u);
    EXPECT_EQ(U32At(archive, 16), 40u);  // two 4-byte ids
    EXPECT_EQ(U32At(archive, 20), 2u);
    EXPECT_EQ(U32At(archive, 32), 3u);  // ascending
    EXPECT_EQ(U32At(archive, 36), 9u);
    // Entry table: three records, the last marking the end of the file.
    const size_t data = 40 + 3 * 8;
    EXPECT_EQ(U32At(archive, 40), 0xBBBB0002u);
    EXPECT_EQ(U32At(archive, 44), data);
    EXPECT_EQ(U32At(archive, 48), 0xAAAA0001u);
    EXPECT_EQ(U32At(archive, 52), data + 6 + 6);
    EXPECT_EQ(U32At(archive, 60), archive.size());
    // Entry of id 3: header size 6, flags 0, two zero header bytes, payload.
    EXPECT_EQ(U16At(archive, data), 6);
    EXPECT_EQ(archive[data + 2], 0);
    EXPECT_EQ(std::string(archive.begin() + data + 6, archive.begin() + data + 12), "three!");
}

TEST(BigArchiveWriter, RangeFormGroupsConsecutiveIds) {
    BigArchiveWriter writer(IdTableForm::Ranges);
    std::string error;
    for (const uint32_t id : {21u, 5u, 6u, 20u, 7u}) {
        ASSERT_TRUE(writer.AddPayload(id, 0, Text("x"), false, 4, error));
    }
    Bytes archive;
    ASSERT_TRUE(writer.Build(archive, error));
    EXPECT_EQ(archive[6] & 0x80, 0x80);
    ASSERT_EQ(U32At(archive, 12), 2u);
    // {5, 3 ids, entry 0} and {20, 2 ids, entry 3}
    EXPECT_EQ(U32At(archive, 32), 5u);
    EXPECT_EQ(U16At(archive, 36), 3);
    EXPECT_EQ(U16At(archive, 38), 0);
    EXPECT_EQ(U32At(archive, 40), 20u);
    EXPECT_EQ(U16At(archive, 44), 2);
    EXPECT_EQ(U16At(archive, 46), 3);
}

TEST(BigArchiveWriter, RefusesIdsTheEngineCannotReachAndEmptyEntries) {
    BigArchiveWriter writer(IdTableForm::List);
    std::string error;
    EXPECT_FALSE(writer.AddPayload(0x8000, 0, Text("x"), false, 4, error));
    EXPECT_NE(error.find("15 bits"), std::string::npos);
    ASSERT_TRUE(writer.AddPayload(1, 0, Text("x"), false, 4, error));
    EXPECT_FALSE(writer.AddPayload(1, 0, Text("y"), false, 4, error));
    EXPECT_NE(error.find("twice"), std::string::npos);
    EXPECT_FALSE(writer.AddPayload(2, 0, Bytes(), false, 4, error));
    EXPECT_FALSE(writer.AddPayload(3, 0, Text("x"), false, 3, error));
}

TEST(ArchiveEntryCodec, DeflatedEntryCarriesSizesAndZlibData) {
    Bytes payload(5000);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i % 7);
    const Bytes entry = Encode(payload, true);
    EXPECT_EQ(U16At(entry, 0), 4);
    EXPECT_EQ(entry[2], 0x80);
    EXPECT_EQ(U32At(entry, 4), payload.size());
    const uint32_t packed = U32At(entry, 8);
    ASSERT_EQ(entry.size(), 12u + packed);
    Bytes inflated(payload.size());
    uLongf size = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &size, entry.data() + 12, packed), Z_OK);
    EXPECT_EQ(inflated, payload);

    DecodedEntry decoded;
    std::string error;
    ASSERT_TRUE(ArchiveEntryCodec::Decode(entry.data(), entry.size(), decoded, error)) << error;
    EXPECT_TRUE(decoded.compressed);
    EXPECT_EQ(decoded.payload, payload);
}

TEST(ArchiveEntryCodec, DecodeRefusesEntriesWhoseSizesLie) {
    Bytes entry = Encode(Bytes(300, 1), true);
    DecodedEntry decoded;
    std::string error;
    Bytes longPacked = entry;
    longPacked[8] += 1;  // packed size one past the entry
    EXPECT_FALSE(ArchiveEntryCodec::Decode(longPacked.data(), longPacked.size(), decoded, error));
    Bytes hugeUnpacked = entry;
    hugeUnpacked[7] = 0x7F;
    EXPECT_FALSE(ArchiveEntryCodec::Decode(hugeUnpacked.data(), hugeUnpacked.size(), decoded, error));
    Bytes broken = entry;
    broken[12] ^= 0xFF;  // zlib header
    EXPECT_FALSE(ArchiveEntryCodec::Decode(broken.data(), broken.size(), decoded, error));
    Bytes headerOnly = {6, 0, 0, 0, 0, 0};
    EXPECT_FALSE(ArchiveEntryCodec::Decode(headerOnly.data(), headerOnly.size(), decoded, error));
    EXPECT_FALSE(ArchiveEntryCodec::Decode(entry.data(), 3, decoded, error));
}

TEST(ResourcePackWriter, ConsecutiveIdsWithNarrowOffsetsAndWords) {
    ResourcePackWriter pack(PackOptions{});
    std::string error;
    ASSERT_TRUE(pack.Add(40, 0x11, Encode(Text("a"), false), error));
    ASSERT_TRUE(pack.Add(41, 0x22, Encode(Text("bb"), false), error));
    ASSERT_TRUE(pack.Add(42, 0x33, Encode(Text("ccc"), false), error));
    Bytes block;
    ASSERT_TRUE(pack.Build(block, error));
    EXPECT_EQ(U16At(block, 0), 0x8000 | 0x2000);
    EXPECT_EQ(U16At(block, 2), 3);
    EXPECT_EQ(U16At(block, 4), 40);
    // Table: 6 bytes, three u16 offsets, u32 end, three words = 28 bytes.
    EXPECT_EQ(U16At(block, 6), 28);
    EXPECT_EQ(U16At(block, 8), 28 + 5);
    EXPECT_EQ(U16At(block, 10), 28 + 5 + 6);
    EXPECT_EQ(U32At(block, 12), block.size());
    EXPECT_EQ(U32At(block, 16), 0x11u);
    EXPECT_EQ(U32At(block, 24), 0x33u);
    EXPECT_EQ(block[28 + 5 + 6 + 4], 'c');
}

TEST(ResourcePackWriter, ListedIdsWideOffsetsAndNoWords) {
    PackOptions options;
    options.idForm = PackIdForm::Listed;
    options.offsets = PackOffsetWidth::Bits32;
    options.typeWords = false;
    ResourcePackWriter pack(options);
    std::string error;
    ASSERT_TRUE(pack.Add(7, 1, Encode(Text("seven"), false), error));
    ASSERT_TRUE(pack.Add(3, 2, Encode(Text("three"), false), error));
    Bytes block;
    ASSERT_TRUE(pack.Build(block, error));
    EXPECT_EQ(U16At(block, 0), 0x4000);
    EXPECT_EQ(U16At(block, 4), 7);
    EXPECT_EQ(U32At(block, 6), 4u + 2 * 6 + 4);
    EXPECT_EQ(U16At(block, 10), 3);
    EXPECT_EQ(U32At(block, 16), block.size());

    ResourcePackReader reader;
    ASSERT_TRUE(reader.Parse(block.data(), block.size(), error)) << error;
    ASSERT_EQ(reader.Members().size(), 2u);
    EXPECT_EQ(reader.Members()[1].id, 3u);
    EXPECT_EQ(reader.Members()[1].size, 9u);
    EXPECT_EQ(reader.Members()[1].typeWord, 0u);
}

TEST(ResourcePackWriter, RefusesLayoutsItCannotHonour) {
    PackOptions consecutive;
    consecutive.idForm = PackIdForm::Consecutive;
    ResourcePackWriter gaps(consecutive);
    std::string error;
    ASSERT_TRUE(gaps.Add(1, 0, Encode(Text("a"), false), error));
    ASSERT_TRUE(gaps.Add(3, 0, Encode(Text("b"), false), error));
    Bytes block;
    EXPECT_FALSE(gaps.Build(block, error));

    PackOptions narrow;
    narrow.offsets = PackOffsetWidth::Bits16;
    ResourcePackWriter big(narrow);
    ASSERT_TRUE(big.Add(1, 0, Encode(Bytes(70000, 1), false), error));
    ASSERT_TRUE(big.Add(2, 0, Encode(Text("b"), false), error));
    EXPECT_FALSE(big.Build(block, error));

    ResourcePackWriter automatic(PackOptions{});
    ASSERT_TRUE(automatic.Add(1, 0, Encode(Bytes(70000, 1), false), error));
    ASSERT_TRUE(automatic.Add(2, 0, Encode(Text("b"), false), error));
    ASSERT_TRUE(automatic.Build(block, error));
    EXPECT_EQ(U16At(block, 0) & 0x4000, 0x4000);
}

TEST(ResourcePackReader, RefusesTablesAndMembersOutsideTheBlock) {
    ResourcePackWriter pack(PackOptions{});
    std::string error;
    ASSERT_TRUE(pack.Add(1, 0, Encode(Text("abc"), false), error));
    Bytes block;
    ASSERT_TRUE(pack.Build(block, error));
    ResourcePackReader reader;
    EXPECT_FALSE(reader.Parse(block.data(), 9, error));  // table cut short
    Bytes pastEnd = block;
    pastEnd[8] = 0xFF;  // end offset far past the block
    EXPECT_FALSE(reader.Parse(pastEnd.data(), pastEnd.size(), error));
}

TEST(BigArchiveReader, ListsWhatTheWriterWroteAndFlagsBrokenOffsets) {
    BigArchiveWriter writer(IdTableForm::Ranges);
    std::string error;
    ASSERT_TRUE(writer.AddPayload(100, 5, Text("hundred"), true, 4, error));
    ASSERT_TRUE(writer.AddPayload(101, 6, Text("hundred and one"), false, 4, error));
    Bytes archive;
    ASSERT_TRUE(writer.Build(archive, error));

    BigArchiveReader reader;
    ASSERT_TRUE(reader.Parse(archive, error)) << error;
    ASSERT_EQ(reader.Entries().size(), 2u);
    const ArchiveEntryInfo* entry = reader.Find(0x8065);  // only the low 15 bits count
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->typeWord, 6u);
    DecodedEntry decoded;
    ASSERT_TRUE(reader.Decode(reader.Entries()[0], decoded, error));
    EXPECT_EQ(decoded.payload, Text("hundred"));

    // Entry 0 now ends past the file and entry 1 ends before it starts.
    Bytes backwards = archive;
    const size_t entryTable = U32At(archive, 16);
    backwards[entryTable + 8 + 4] = 0xFF;
    backwards[entryTable + 8 + 5] = 0xFF;
    ASSERT_TRUE(reader.Parse(backwards, error));
    EXPECT_FALSE(reader.Entries()[0].inBounds);
    EXPECT_FALSE(reader.Decode(reader.Entries()[0], decoded, error));

    Bytes hugeCount = archive;
    hugeCount[23] = 0x40;
    EXPECT_FALSE(reader.Parse(hugeCount, error));
    EXPECT_FALSE(reader.Parse(Bytes(archive.begin(), archive.begin() + 31), error));
}

}  // namespace
