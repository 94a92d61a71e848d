#include "AppServices.h"
#include "CFileMgr_Win32.h"
#include "CFile_Win32.h"

#include "AssertCounter.h"
#include "TempAppDirectory.h"

#include <gtest/gtest.h>

namespace {

class CFileMgrWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        m_files = GetFileMgr();
        ASSERT_NE(m_files, nullptr);
    }

    std::u16string Path(const std::string& name) const { return m_directory.EnginePathOf(name); }

    TempAppDirectory m_directory;
    ICFileMgr* m_files = nullptr;
};

TEST_F(CFileMgrWin32, IsOneSingletonWithTheApplicationDirectory) {
    EXPECT_EQ(GetFileMgr(), m_files);
    EXPECT_EQ(CSingleton::GetInstance(ICFileMgr::kClassKey), m_files);
    EXPECT_EQ(m_files->GetClassKey(), 0x70FA1BDFu);
    EXPECT_EQ(std::u16string(m_files->GetAppDirectory()), m_directory.EngineDirectory());
    EXPECT_EQ(std::u16string(m_files->GetDataDirectory()), m_directory.EngineDirectory());
    EXPECT_EQ(std::u16string(m_files->GetPathSeparator()), u"\\");
    EXPECT_EQ(m_files->GetSpaceLimit(), 0x7FFFFFFFu);
}

TEST(GetFileMgr, IsNullWithoutASingletonTable) {
    EXPECT_EQ(GetFileMgr(), nullptr);
}

TEST_F(CFileMgrWin32, OpenModes) {
    EXPECT_EQ(m_files->Open(Path("missing").c_str(), ICFileMgr::kRead), nullptr);
    EXPECT_EQ(m_files->Open(nullptr, ICFileMgr::kWrite), nullptr);

    ICFile* file = m_files->Open(Path("f").c_str(), ICFileMgr::kWrite);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetClassKey(), 0x02D70FA5u);
    EXPECT_TRUE(file->IsOpen());
    EXPECT_EQ(file->Write("abcdef", 6), 6u);
    EXPECT_EQ(file->Read(nullptr, 0), 0u);
    EXPECT_TRUE(m_files->Close(file));
    EXPECT_EQ(m_directory.ReadFile("f"), std::vector<uint8_t>({'a', 'b', 'c', 'd', 'e', 'f'}));

    // Append mode keeps the content and writes from the start.
    file = m_files->Open(Path("f").c_str(), ICFileMgr::kAppend);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Tell(), 0u);
    EXPECT_EQ(file->Write("XY", 2), 2u);
    EXPECT_TRUE(m_files->Close(file));
    EXPECT_EQ(m_directory.ReadFile("f"), std::vector<uint8_t>({'X', 'Y', 'c', 'd', 'e', 'f'}));

    // Write mode truncates.
    EXPECT_TRUE(m_files->Close(m_files->Open(Path("f").c_str(), ICFileMgr::kWrite)));
    bool exists = false;
    EXPECT_TRUE(m_directory.ReadFile("f", &exists).empty());
    EXPECT_TRUE(exists);

    // Create-new mode makes a file only where nothing is.
    EXPECT_EQ(m_files->Open(Path("f").c_str(), ICFileMgr::kCreateNew), nullptr);
    file = m_files->Open(Path("g").c_str(), ICFileMgr::kCreateNew);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(m_files->Close(file));

    AssertCounter counter;
    EXPECT_EQ(m_files->Open(Path("f").c_str(), 4), nullptr);
    EXPECT_EQ(counter.Count(), 1);
}

TEST_F(CFileMgrWin32, SeekTellAndRead) {
    m_directory.WriteFile("d", std::string("0123456789"));
    ICFile* file = m_files->Open(Path("d").c_str(), ICFileMgr::kRead);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Seek(-4, ICFile::kFromEnd));
    EXPECT_EQ(file->Tell(), 6u);
    EXPECT_TRUE(file->Seek(-2, ICFile::kFromCurrent));
    char bytes[3] = {};
    EXPECT_EQ(file->Read(bytes, 3), 3u);
    EXPECT_EQ(std::string(bytes, 3), "456");
    EXPECT_FALSE(file->Seek(-100, ICFile::kFromCurrent));
    EXPECT_EQ(file->Tell(), 7u);
    EXPECT_TRUE(file->Seek(1, ICFile::kFromStart));
    EXPECT_EQ(file->Write("x", 1), 0u);
    {
        AssertCounter counter;
        EXPECT_TRUE(file->Seek(2, 9));  // taken as from the start
        EXPECT_EQ(counter.Count(), 1);
        EXPECT_EQ(file->Tell(), 2u);
    }
    EXPECT_TRUE(m_files->Close(file));
    EXPECT_TRUE(m_files->Close(nullptr));
}

TEST_F(CFileMgrWin32, ClosedFileAnswersNothing) {
    CFile_Win32* file = CFile_Win32::Create();
    ASSERT_NE(file, nullptr);
    char byte = 0;
    EXPECT_FALSE(file->IsOpen());
    EXPECT_FALSE(file->Seek(0, ICFile::kFromStart));
    EXPECT_EQ(file->Tell(), 0u);
    EXPECT_EQ(file->Read(&byte, 1), 0u);
    EXPECT_EQ(file->Write(&byte, 1), 0u);
    delete file;
}

TEST_F(CFileMgrWin32, ExistsSizeRenameDelete) {
    m_directory.WriteFile("empty", std::string());
    m_directory.WriteFile("three", std::string("abc"));
    EXPECT_EQ(m_files->GetFileSize(Path("missing").c_str()), 0u);
    EXPECT_EQ(m_files->GetFileSize(Path("empty").c_str()), 0u);
    EXPECT_EQ(m_files->GetFileSize(Path("three").c_str()), 3u);
    EXPECT_EQ(m_files->GetFileSize(nullptr), 0u);
    EXPECT_FALSE(m_files->Exists(Path("missing").c_str()));
    EXPECT_TRUE(m_files->Exists(Path("empty").c_str()));
    EXPECT_FALSE(m_files->Exists(nullptr));

    EXPECT_FALSE(m_files->Rename(nullptr, Path("x").c_str()));
    EXPECT_FALSE(m_files->Rename(Path("three").c_str(), nullptr));
    EXPECT_TRUE(m_files->Rename(Path("three").c_str(), Path("moved").c_str()));
    EXPECT_EQ(m_directory.List(), std::vector<std::string>({"empty", "moved"}));
    EXPECT_FALSE(m_files->Delete(nullptr));
    EXPECT_TRUE(m_files->Delete(Path("moved").c_str()));
    EXPECT_FALSE(m_files->Delete(Path("moved").c_str()));
}

TEST_F(CFileMgrWin32, UnsupportedOperationsAnswerZero) {
    AssertCounter counter;
    EXPECT_EQ(m_files->UnsupportedOp1(), 0);
    EXPECT_EQ(m_files->UnsupportedOp2(), 0);
    EXPECT_EQ(m_files->UnsupportedOp3(), 0);
    EXPECT_EQ(counter.Count(), 3);
}

TEST(CFileMgrWin32BaseDirectory, IsTheExecutablesDirectoryByDefault) {
    CHash table;
    ASSERT_TRUE(table.Init(20, 20, true));
    CSingleton::SetTable(&table);
    CFileMgr_Win32* files = CFileMgr_Win32::Create();
    ASSERT_NE(files, nullptr);
    char16_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::u16string path(module, length);
    EXPECT_EQ(std::u16string(files->GetAppDirectory()), path.substr(0, path.rfind(u'\\')));
    delete files;
    CSingleton::SetTable(nullptr);
}

}  // namespace
