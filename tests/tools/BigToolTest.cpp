#include "BigArchiveReader.h"
#include "BigTool.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using Bytes = std::vector<uint8_t>;

class BigToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = std::filesystem::temp_directory_path() / ("bigtool_test_" + name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

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

    std::filesystem::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

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

}  // namespace
