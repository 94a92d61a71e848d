#include "BigArchiveReader.h"
#include "BigArchiveWriter.h"
#include "BigTool.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "ScratchDirectory.h"
#include "TempAppDirectory.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <sstream>

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void AppendU32(Bytes& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An archive laid out by hand: the 32-byte header, the id table words as
// given (ranges are pairs {first id, count | first entry << 16}), the entry
// table and the entries, each entry a stored "eN" payload.
Bytes HandMadeArchive(bool ranges, const std::vector<uint32_t>& idWords, uint32_t idCount, uint32_t entries) {
    Bytes out(32, 0);
    out[6] = ranges ? BigArchiveWriter::kRangesFlag : 0;
    PutU32(out, 8, 32);
    PutU32(out, 12, idCount);
    for (uint32_t word : idWords) AppendU32(out, word);
    const uint32_t entryTable = static_cast<uint32_t>(out.size());
    PutU32(out, 16, entryTable);
    PutU32(out, 20, entries);
    uint32_t offset = entryTable + (entries + 1) * 8;
    for (uint32_t i = 0; i <= entries; ++i) {
        AppendU32(out, 0x100 + i);
        AppendU32(out, offset);
        offset += 6;
    }
    for (uint32_t i = 0; i < entries; ++i) {
        const Bytes entry = {4, 0, 0, 0, 'e', static_cast<uint8_t>('A' + i % 26)};
        out.insert(out.end(), entry.begin(), entry.end());
    }
    return out;
}

// A deflated entry: header, unpacked size, packed size, zlib data.
Bytes DeflatedEntry(const Bytes& payload, size_t trailerBytesDropped = 0) {
    uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
    Bytes packed(packedSize);
    EXPECT_EQ(compress2(packed.data(), &packedSize, payload.data(), static_cast<uLong>(payload.size()), 9), Z_OK);
    packed.resize(packedSize - trailerBytesDropped);
    Bytes entry = {4, 0, 0x80, 0};
    AppendU32(entry, static_cast<uint32_t>(payload.size()));
    AppendU32(entry, static_cast<uint32_t>(packed.size()));
    entry.insert(entry.end(), packed.begin(), packed.end());
    return entry;
}

class BigToolTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return m_scratch.PathOf(name); }

    void WriteText(const std::string& name, const std::string& text) const {
        std::string error;
        ASSERT_TRUE(ToolFiles::Write(Path(name), Bytes(text.begin(), text.end()), error)) << error;
    }

    std::string ReadText(const std::string& name) const {
        Bytes bytes;
        std::string error;
        EXPECT_TRUE(ToolFiles::Read(Path(name), bytes, error)) << error;
        return std::string(bytes.begin(), bytes.end());
    }

    int Run(const std::vector<std::string>& args) {
        m_out.str("");
        m_err.str("");
        BigTool tool(m_out, m_err);
        return tool.Run(args);
    }

    ScratchDirectory m_scratch{"bigtool-test"};
    std::ostringstream m_out;
    std::ostringstream m_err;
};

// The same test run at the same time from another checkout: a fixture of
// its own, through its whole life.
class OtherRunOfBigToolTest : public BigToolTest {
public:
    void TestBody() override {}
    using BigToolTest::Path;
    using BigToolTest::SetUp;
    using BigToolTest::TearDown;
    using BigToolTest::WriteText;
};

TEST_F(BigToolTest, AnotherRunOfTheSameTestKeepsToAFolderOfItsOwn) {
    WriteText("mine.txt", "kept");
    {
        OtherRunOfBigToolTest other;
        other.SetUp();
        EXPECT_NE(other.Path("mine.txt"), Path("mine.txt"));
        other.WriteText("mine.txt", "theirs");
        other.TearDown();
    }
    EXPECT_EQ(ReadText("mine.txt"), "kept");
}

TEST_F(BigToolTest, HelpAndUsageErrors) {
    EXPECT_EQ(Run({"--help"}), BigTool::kExitOk);
    EXPECT_NE(m_out.str().find("Usage: bigtool"), std::string::npos);
    EXPECT_EQ(Run({}), BigTool::kExitUsage);
    EXPECT_EQ(Run({"frobnicate"}), BigTool::kExitUsage);
    EXPECT_NE(m_err.str().find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(Run({"create", "a.bin"}), BigTool::kExitUsage);  // no -o
    EXPECT_EQ(Run({"create", "-o", Path("x.big"), "--type", "0xZZ", "a.bin"}), BigTool::kExitUsage);
    EXPECT_EQ(Run({"create", "-o", Path("x.big"), "--bogus", "a.bin"}), BigTool::kExitUsage);
    EXPECT_EQ(Run({"create", "-o"}), BigTool::kExitUsage);
    EXPECT_EQ(Run({"list"}), BigTool::kExitUsage);
    EXPECT_EQ(Run({"extract"}), BigTool::kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(Path("x.big")));
}

TEST_F(BigToolTest, BadInputFailsWithAMessage) {
    EXPECT_EQ(Run({"list", Path("missing.big")}), BigTool::kExitFailure);
    EXPECT_NE(m_err.str().find("missing.big"), std::string::npos);
    WriteText("short.big", "0123456789");
    EXPECT_EQ(Run({"list", Path("short.big")}), BigTool::kExitFailure);
    EXPECT_NE(m_err.str().find("header"), std::string::npos);
    WriteText("empty.bin", "");
    EXPECT_EQ(Run({"create", "-o", Path("x.big"), Path("empty.bin")}), BigTool::kExitFailure);
    EXPECT_NE(m_err.str().find("empty"), std::string::npos);
    WriteText("bad.txt", "entry 1 2 a.bin\nmember 2 3 b.bin\n");
    EXPECT_EQ(Run({"create", "-o", Path("x.big"), "-m", Path("bad.txt")}), BigTool::kExitFailure);
    EXPECT_NE(m_err.str().find("bad.txt:2:"), std::string::npos);
    WriteText("open.txt", "pack 1 2\nmember 2 3 a.bin\n");
    EXPECT_EQ(Run({"create", "-o", Path("x.big"), "-m", Path("open.txt")}), BigTool::kExitFailure);
    EXPECT_NE(m_err.str().find("no 'end'"), std::string::npos);
}

TEST_F(BigToolTest, CreateFromFilesGivesConsecutiveIds) {
    WriteText("a.bin", "alpha");
    WriteText("b.bin", std::string(1000, 'b'));
    ASSERT_EQ(Run({"create", "-o", Path("f.big"), "--ranges", "--deflate", "--type", "0x374F8659",
                   "--first-id", "0x10", Path("a.bin"), Path("b.bin")}),
              BigTool::kExitOk)
        << m_err.str();
    BigArchiveReader reader;
    std::string error;
    ASSERT_TRUE(reader.Load(Path("f.big"), error)) << error;
    EXPECT_EQ(reader.Form(), IdTableForm::Ranges);
    ASSERT_NE(reader.Find(0x11), nullptr);
    EXPECT_EQ(reader.Find(0x11)->typeWord, 0x374F8659u);
    DecodedEntry decoded;
    ASSERT_TRUE(reader.Decode(*reader.Find(0x11), decoded, error));
    EXPECT_TRUE(decoded.compressed);
    EXPECT_EQ(std::string(decoded.payload.begin(), decoded.payload.end()), std::string(1000, 'b'));
}

TEST_F(BigToolTest, ManifestArchiveListsExtractsAndRebuildsIdentically) {
    WriteText("one.bin", "first entry");
    WriteText("two name.txt", std::string(600, 't'));
    WriteText("m.txt",
              "# a pack and two plain entries\n"
              "entry 1 0x374F8659 one.bin header=6\n"
              "entry 2 0x374F8659 \"two name.txt\" deflate\n"
              "pack 0x30 0x521B2402 deflate ids=listed\n"
              "  member 40 0x11 one.bin\n"
              "  member 44 0x22 \"two name.txt\" deflate\n"
              "end\n");
    ASSERT_EQ(Run({"create", "-o", Path("m.big"), "-m", Path("m.txt")}), BigTool::kExitOk) << m_err.str();

    ASSERT_EQ(Run({"list", Path("m.big")}), BigTool::kExitOk);
    const std::string listing = m_out.str();
    EXPECT_NE(listing.find("0x0030  0x521B2402"), std::string::npos) << listing;
    EXPECT_NE(listing.find("0x002C  0x00000022"), std::string::npos) << listing;
    EXPECT_NE(listing.find("deflated 600"), std::string::npos) << listing;

    ASSERT_EQ(Run({"extract", Path("m.big"), "-d", Path("out")}), BigTool::kExitOk) << m_err.str();
    EXPECT_EQ(ReadText("out/0x0001.bin"), "first entry");
    EXPECT_EQ(ReadText("out/0x0002.bin"), std::string(600, 't'));
    ASSERT_EQ(Run({"create", "-o", Path("again.big"), "-m", Path("out/manifest.txt")}), BigTool::kExitOk)
        << m_err.str();
    EXPECT_EQ(ReadText("again.big"), ReadText("m.big"));

    EXPECT_EQ(Run({"extract", Path("m.big"), "-d", Path("some"), "2", "0x7777"}), BigTool::kExitFailure);
    EXPECT_EQ(ReadText("some/0x0002.bin"), std::string(600, 't'));
    EXPECT_NE(m_err.str().find("no entry with id 0x7777"), std::string::npos);
}

TEST_F(BigToolTest, BrokenOrUnrebuildableArchivesFailWithAReason) {
    std::string error;
    BigArchiveWriter broken(IdTableForm::List);
    Bytes corrupt = DeflatedEntry(Bytes(3000, 'c'));
    corrupt[14] ^= 0x5A;
    ASSERT_TRUE(broken.Add(1, 0, DeflatedEntry(Bytes(100, 'a')), error)) << error;
    ASSERT_TRUE(broken.Add(2, 0, corrupt, error)) << error;
    Bytes archive;
    ASSERT_TRUE(broken.Build(archive, error)) << error;
    ASSERT_TRUE(ToolFiles::Write(Path("broken.big"), archive, error));

    BigArchiveWriter empty(IdTableForm::List);
    ASSERT_TRUE(empty.Add(1, 0, DeflatedEntry(Bytes(100, 'a')), error)) << error;
    ASSERT_TRUE(empty.Add(2, 0, DeflatedEntry(Bytes()), error)) << error;
    ASSERT_TRUE(empty.Build(archive, error)) << error;
    ASSERT_TRUE(ToolFiles::Write(Path("empty.big"), archive, error));

    // Three entries, but the id list names only the first two.
    ASSERT_TRUE(ToolFiles::Write(Path("unreached.big"), HandMadeArchive(false, {0, 1}, 2, 3), error));
    Bytes impossible = HandMadeArchive(false, {0}, 1, 1);
    PutU32(impossible, 20, 0xFFFFFFFFu);
    ASSERT_TRUE(ToolFiles::Write(Path("impossible.big"), impossible, error));

    const struct {
        const char* archive;
        bool listFails;
        const char* reason;
    } cases[] = {{"broken.big", true, "broken"},
                 {"empty.big", false, "no payload"},
                 {"unreached.big", false, "no id that reaches it"},
                 {"impossible.big", true, "entry count 4294967295"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        EXPECT_EQ(Run({"list", Path(c.archive)}), c.listFails ? BigTool::kExitFailure : BigTool::kExitOk);
        if (c.listFails) {
            EXPECT_NE(m_err.str().find(c.reason), std::string::npos) << m_err.str();
        }
        const std::string out = std::string("out_") + c.archive;
        EXPECT_EQ(Run({"extract", Path(c.archive), "-d", Path(out)}), BigTool::kExitFailure);
        EXPECT_NE(m_err.str().find(c.reason), std::string::npos) << m_err.str();
        EXPECT_FALSE(std::filesystem::exists(Path(out + "/manifest.txt")));
    }
}

// The tool must show the entries the engine would load: every 15-bit id,
// looked up in both, reaches the same entry or none.
TEST_F(BigToolTest, IdLookupAnswersAsTheEngine) {
    const auto range = [](uint32_t count, uint32_t firstEntry) { return count | firstEntry << 16; };
    const struct {
        const char* name;
        bool ranges;
        std::vector<uint32_t> words;
    } cases[] = {
        {"ranges wrapping past 2^32", true, {0xFFFFFFF0u, range(40, 0), 5, range(10, 30), 0x7FF0, range(100, 2)}},
        {"ranges reaching entries beyond the table", true, {3, range(4, 45), 0, range(10, 0)}},
        {"list out of order", false, {9, 3, 12, 1, 7, 30, 2, 25, 4, 40}},
        {"list with duplicates", false, {1, 4, 4, 4, 8, 9, 9, 20}},
        {"list with ids from 2^31 up", false, {2, 6, 11, 0x80000000u, 0x80000006u, 0xFFFFFFFFu}},
    };
    TempAppDirectory directory;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t idCount = static_cast<uint32_t>(c.ranges ? c.words.size() / 2 : c.words.size());
        const Bytes archive = HandMadeArchive(c.ranges, c.words, idCount, 48);
        BigArchiveReader tool;
        std::string error;
        ASSERT_TRUE(tool.Parse(archive, error)) << error;
        directory.WriteFile("case.big", archive);
        CBigFileReader engine;
        ASSERT_TRUE(engine.Open(directory.EnginePathOf("case.big").c_str()));
        for (uint32_t id = 0; id <= BigArchiveWriter::kMaxId; ++id) {
            const ArchiveEntryInfo* entry = tool.Find(id);
            const int32_t index = engine.FindEntry(id);
            const int32_t engineIndex = index >= 0 && index < 48 ? index : -1;
            ASSERT_EQ(entry != nullptr ? static_cast<int32_t>(entry->index) : -1, engineIndex) << "id " << id;
        }
    }
}

// The engine reads the stated number of bytes and never looks for the
// stream's Adler-32 trailer; the tool must read such an entry too.
TEST_F(BigToolTest, DeflatedEntriesWithoutTheirTrailerReadAsTheEngineReadsThem) {
    for (size_t size : {size_t{100}, size_t{6000}}) {
        SCOPED_TRACE(size);
        Bytes payload(size);
        for (size_t i = 0; i < size; ++i) payload[i] = static_cast<uint8_t>(i * 7 + i / 13);
        const Bytes entry = DeflatedEntry(payload, 4);
        DecodedEntry decoded;
        std::string error;
        ASSERT_TRUE(ArchiveEntryCodec::Decode(entry.data(), entry.size(), decoded, error)) << error;
        EXPECT_EQ(decoded.payload, payload);

        BigArchiveWriter writer(IdTableForm::List);
        ASSERT_TRUE(writer.Add(3, 0, entry, error)) << error;
        Bytes archive;
        ASSERT_TRUE(writer.Build(archive, error)) << error;
        TempAppDirectory directory;
        directory.WriteFile("t.big", archive);
        CBigFileReader engine;
        ASSERT_TRUE(engine.Open(directory.EnginePathOf("t.big").c_str()));
        CBigFileResourceInputStream stream;
        ASSERT_TRUE(stream.OpenEntry(&engine, 3, true));
        Bytes read(stream.Available());
        stream.Read(read.data(), static_cast<uint32_t>(read.size()));
        EXPECT_FALSE(stream.HasError());
        EXPECT_EQ(read, payload);
    }
}

}  // namespace
