#include "AppServices.h"
#include "CFileInputStream.h"
#include "CFileOutputStream.h"
#include "CFileUtil.h"
#include "CStrWChar.h"
#include "HostFile.h"
#include "HostSaveTemporary.h"
#include "ICFile.h"
#include "ICFileMgr.h"

#include "AssertCounter.h"
#include "TempAppDirectory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::u16string Text(const CStrWChar& s) {
    return s.GetBuffer() == nullptr ? std::u16string() : std::u16string(s.GetBuffer());
}

// Fails the chosen host call on paths that contain the chosen text, and
// remembers the source path of every rename.
struct Faults {
    static HostFile::Op op;
    static std::string pathPart;
    static std::vector<std::string> renamed;

    static bool Hook(HostFile::Op called, const std::string& path) {
        if (called == HostFile::Op::Move) {
            renamed.push_back(path);
        }
        return called == op && path.find(pathPart) != std::string::npos;
    }
};
HostFile::Op Faults::op = HostFile::Op::Open;
std::string Faults::pathPart;
std::vector<std::string> Faults::renamed;

class FileTest : public ::testing::Test {
protected:
    void TearDown() override { HostFile::SetFaultHook(nullptr); }

    void FailOn(HostFile::Op op, const std::string& pathPart) {
        Faults::op = op;
        Faults::pathPart = pathPart;
        Faults::renamed.clear();
        HostFile::SetFaultHook(Faults::Hook);
    }
    std::u16string Path(const std::string& name) const { return m_directory.EnginePathOf(name); }

    TempAppDirectory m_directory;
};

using CFileInputStreamTest = FileTest;

TEST_F(CFileInputStreamTest, OpenByNameNeedsANonEmptyFile) {
    m_directory.WriteFile("empty", std::string());
    CFileInputStream stream;
    EXPECT_FALSE(stream.OpenByName(Path("empty").c_str()));
    EXPECT_TRUE(stream.HasError());
    EXPECT_FALSE(stream.OpenByName(Path("missing").c_str()));
    EXPECT_FALSE(stream.OpenByName(nullptr));
    EXPECT_EQ(stream.Available(), 0u);
}

TEST_F(CFileInputStreamTest, ReadsTypedValuesAndFailsPastTheEnd) {
    m_directory.WriteFile("d", std::vector<uint8_t>{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    CFileInputStream stream(1);
    ASSERT_TRUE(stream.OpenByName(Path("d").c_str()));
    EXPECT_EQ(stream.GetSize(), 7u);
    EXPECT_EQ(stream.ReadUInt16(), 0x0102u);
    stream.Skip(1);
    EXPECT_EQ(stream.Available(), 4u);
    EXPECT_EQ(stream.ReadUInt32(), 0x04050607u);
    AssertCounter counter;
    uint8_t bytes[2] = {0xAA, 0xBB};
    stream.Read(bytes, 2);
    EXPECT_TRUE(stream.HasError());
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(counter.Count(), 1);
    // Skipping past the end fails as well, and reopening clears the flag.
    ASSERT_TRUE(stream.OpenByName(Path("d").c_str()));
    stream.Skip(8);
    EXPECT_TRUE(stream.HasError());
}

TEST_F(CFileInputStreamTest, OpenOnFileStartsAtTheFilesPositionAndLeavesItOpen) {
    std::vector<uint8_t> content(1000);
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<uint8_t>(i * 7);
    }
    m_directory.WriteFile("big", content);
    ICFileMgr* files = GetFileMgr();
    ICFile* file = files->Open(Path("big").c_str(), ICFileMgr::kRead);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Seek(100, ICFile::kFromStart));
    {
        CFileInputStream stream;
        ASSERT_TRUE(stream.OpenOnFile(file));
        EXPECT_EQ(stream.GetSize(), 1000u);
        EXPECT_EQ(stream.Available(), 900u);
        EXPECT_EQ(stream.ReadUInt8(), content[100]);
        stream.Close();
        EXPECT_EQ(stream.Available(), 0u);
    }
    // The borrowed file is still open and where the stream left it.
    EXPECT_TRUE(file->IsOpen());
    EXPECT_EQ(file->Tell(), 101u);
    EXPECT_TRUE(files->Close(file));

    CFileInputStream stream;
    EXPECT_FALSE(stream.OpenOnFile(nullptr));
}

using CFileOutputStreamTest = FileTest;

TEST_F(CFileOutputStreamTest, WritesAndKeepsAFailureSticky) {
    {
        CFileOutputStream stream;
        ASSERT_TRUE(stream.Open(Path("out").c_str()));
        stream.WriteUInt32(0x01020304);
        stream.WriteUInt8(9);
        EXPECT_FALSE(stream.HasError());
    }
    EXPECT_EQ(m_directory.ReadFile("out"), (std::vector<uint8_t>{0x04, 0x03, 0x02, 0x01, 9}));

    CFileOutputStream stream;
    ASSERT_TRUE(stream.Open(Path("out").c_str()));
    AssertCounter counter;
    FailOn(HostFile::Op::Write, "out");
    stream.WriteUInt8(1);
    EXPECT_TRUE(stream.HasError());
    HostFile::SetFaultHook(nullptr);
    stream.WriteUInt8(2);
    EXPECT_TRUE(stream.HasError());

    EXPECT_FALSE(stream.Open(Path("no-such-dir/out").c_str()));
    EXPECT_TRUE(stream.HasError());
    stream.WriteUInt8(3);
    EXPECT_TRUE(stream.HasError());
}

using CFileUtilTest = FileTest;

TEST_F(CFileUtilTest, SplitsPaths) {
    const struct {
        const WChar* path;
        const char16_t* directory;
        const char16_t* name;
    } cases[] = {{u"a\\b\\c.dat", u"a\\b", u"c.dat"}, {u"c.dat", u"", u"c.dat"}, {u"\\c.dat", u"\\", u"c.dat"},
                 {u"a\\b\\", u"a\\b", u""}};
    CStrWChar out;
    for (const auto& c : cases) {
        CFileUtil::GetDirectory(out, c.path);
        EXPECT_EQ(Text(out), c.directory);
        CFileUtil::GetFileName(out, c.path);
        EXPECT_EQ(Text(out), c.name);
    }
    CFileUtil::GetDirectory(out, nullptr);
    EXPECT_EQ(out.GetBuffer(), nullptr);
    CFileUtil::MakeAppPath(out, u"x.dat");
    EXPECT_EQ(Text(out), Path("x.dat"));
    CFileUtil::MakeDataPath(out, u"y.dat");
    EXPECT_EQ(Text(out), Path("y.dat"));
}

TEST_F(CFileUtilTest, WholeFileReadsAndWrites) {
    EXPECT_TRUE(CFileUtil::WriteDataFileDirect(u"w.dat", "abcd", 4));
    EXPECT_EQ(m_directory.ReadFile("w.dat"), Bytes("abcd"));
    EXPECT_FALSE(CFileUtil::WriteDataFileDirect(u"w.dat", "abcd", 0));
    EXPECT_FALSE(CFileUtil::WriteDataFileDirect(u"w.dat", nullptr, 4));
    EXPECT_EQ(m_directory.ReadFile("w.dat"), Bytes("abcd"));

    char buffer[5] = {};
    EXPECT_TRUE(CFileUtil::ReadAppFile(u"w.dat", buffer, 4));
    EXPECT_EQ(std::string(buffer), "abcd");
    EXPECT_FALSE(CFileUtil::ReadDataFile(u"w.dat", buffer, 5));
    EXPECT_FALSE(CFileUtil::ReadDataFile(u"missing.dat", buffer, 1));
    EXPECT_TRUE(CFileUtil::ReadDataFile(u"missing.dat", buffer, 0));
    EXPECT_TRUE(CFileUtil::ReadDataFile(u"missing.dat", nullptr, 4));
}

TEST_F(CFileUtilTest, SafeWriteReplacesThroughTempBesideTheFile) {
    m_directory.WriteFile("save.dat", std::string("old content"));
    FailOn(HostFile::Op::Open, "never");
    EXPECT_TRUE(CFileUtil::WriteDataFile(u"save.dat", "new", 3));
    EXPECT_EQ(m_directory.ReadFile("save.dat"), Bytes("new"));
    EXPECT_EQ(m_directory.List(), std::vector<std::string>{"save.dat"});
    ASSERT_EQ(Faults::renamed.size(), 1u);
    const std::filesystem::path renamed(Faults::renamed[0]);
    EXPECT_EQ(renamed.parent_path(), std::filesystem::path(m_directory.HostPathOf("save.dat")).parent_path());
    EXPECT_TRUE(HostSaveTemporary::IsTemporaryName(renamed.filename())) << renamed;

    // A new file is created the same way.
    EXPECT_TRUE(CFileUtil::WriteDataFile(u"fresh.dat", "f", 1));
    EXPECT_EQ(m_directory.ReadFile("fresh.dat"), Bytes("f"));

    // Writing nothing removes the file.
    EXPECT_TRUE(CFileUtil::WriteDataFile(u"save.dat", nullptr, 0));
    EXPECT_TRUE(CFileUtil::WriteDataFile(u"fresh.dat", "x", 0));
    EXPECT_TRUE(m_directory.List().empty());
    EXPECT_TRUE(CFileUtil::WriteDataFile(u"never-there.dat", nullptr, 0));
}

TEST_F(CFileUtilTest, FailedSafeWriteKeepsTheOldFileAndLeavesNoTemp) {
    const struct {
        HostFile::Op op;
        const char* path;
    } failures[] = {
        {HostFile::Op::Open, "temp-"},
        {HostFile::Op::Write, "temp-"},
        {HostFile::Op::Move, "temp-"},
    };
    for (const auto& failure : failures) {
        m_directory.WriteFile("save.dat", std::string("old content"));
        FailOn(failure.op, failure.path);
        EXPECT_FALSE(CFileUtil::WriteDataFile(u"save.dat", "new", 3)) << static_cast<int>(failure.op);
        HostFile::SetFaultHook(nullptr);
        EXPECT_EQ(m_directory.ReadFile("save.dat"), Bytes("old content")) << static_cast<int>(failure.op);
        EXPECT_EQ(m_directory.List(), std::vector<std::string>{"save.dat"}) << static_cast<int>(failure.op);
    }
    // Writing nothing deletes the file: a delete that fails is a failure.
    FailOn(HostFile::Op::Delete, "save.dat");
    EXPECT_FALSE(CFileUtil::WriteDataFile(u"save.dat", nullptr, 0));
    EXPECT_EQ(m_directory.ReadFile("save.dat"), Bytes("old content"));
}

TEST_F(CFileUtilTest, SafeWriteOfAPathWithoutDirectoryStaysInThatDirectory) {
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(m_directory.HostPathOf("").c_str()), 0);
    FailOn(HostFile::Op::Open, "never");
    const bool written = CFileUtil::SafeWriteFile(u"bare.dat", "b", 1);
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(written);
    ASSERT_EQ(Faults::renamed.size(), 1u);
    EXPECT_TRUE(HostSaveTemporary::IsTemporaryName(Faults::renamed[0])) << Faults::renamed[0];
    EXPECT_EQ(m_directory.List(), std::vector<std::string>{"bare.dat"});
}

}  // namespace
