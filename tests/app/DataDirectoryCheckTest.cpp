#include "DataDirectoryCheck.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "HostFile.h"
#include "HostInstanceLock.h"
#include "HostPath.h"
#include "OrdinaryFileAccess.h"

namespace {

namespace fs = std::filesystem;

class DataDirectoryCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "data-check-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_directory = pattern;
    }
    void TearDown() override {
        HostFile::SetFaultHook(nullptr);
        fs::permissions(m_directory, fs::perms::owner_all);
        fs::remove_all(m_directory);
    }

    std::string PathOf(const std::string& name) const { return m_directory + "/" + name; }
    // The check of `directory` made the program's folder.
    static bool Check(const std::string& directory, std::string* error) {
        HostPath::SetAppDirectory(directory.c_str());
        const bool passed = DataDirectoryCheck::Run(error);
        HostPath::SetAppDirectory(nullptr);
        return passed;
    }
    std::string Contents(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string m_directory;
};

// The check file's name, while this process holds the instance lock of
// the test's folder or not.
std::string ProbeNameIn(const std::string& directory, bool locked) {
    HostPath::SetAppDirectory(directory.c_str());
    EXPECT_TRUE(!locked || HostInstanceLock::Claim(u"mchvx2"));
    const std::string name = DataDirectoryCheck::ProbeName();
    HostInstanceLock::ReleaseAll();
    HostPath::SetAppDirectory(nullptr);
    return name;
}

// Instances that start at the same moment each check with a name of their
// own, which no other process is given, under the instance lock too: hosts
// sharing the folder may each keep their own locks.
TEST_F(DataDirectoryCheckTest, EachInstanceChecksWithAFileOfItsOwnUnderTheLockToo) {
    const std::string own = ProbeNameIn(m_directory, false);
    EXPECT_EQ(ProbeNameIn(m_directory, true), own);
    EXPECT_EQ(own.rfind("mchvx2-write-check-", 0), 0u) << own;
    int names[2];
    ASSERT_EQ(pipe(names), 0);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        const std::string childOwn = ProbeNameIn(m_directory, false);
        _exit(write(names[1], childOwn.data(), childOwn.size()) == static_cast<ssize_t>(childOwn.size()) ? 0 : 1);
    }
    close(names[1]);
    char received[64] = {};
    EXPECT_GT(read(names[0], received, sizeof(received) - 1), 0);
    close(names[0]);
    ASSERT_EQ(waitpid(other, nullptr, 0), other);
    EXPECT_NE(std::string(received), own);
    EXPECT_EQ(std::string(received).rfind("mchvx2-write-check-", 0), 0u) << received;
}

// A leftover check file that is a second name of a file elsewhere (a hard
// link) is removed, not emptied, and the check is made anew.
TEST_F(DataDirectoryCheckTest, ALeftoverIsRemovedNotWrittenThrough) {
    const std::string probe = ProbeNameIn(m_directory, false);
    std::ofstream(PathOf("elsewhere"), std::ios::binary) << "kept";
    fs::create_hard_link(PathOf("elsewhere"), PathOf(probe));
    std::string error;
    EXPECT_TRUE(Check(m_directory, &error)) << error;
    EXPECT_EQ(Contents("elsewhere"), "kept");
    EXPECT_FALSE(fs::exists(PathOf(probe)));
}

// A check file whose close reports an error tells of a directory that may
// not keep what is written there.
TEST_F(DataDirectoryCheckTest, AFailedCloseFailsTheCheck) {
    HostFile::SetFaultHook([](HostFile::Op op, const std::string&) { return op == HostFile::Op::Close; });
    std::string error;
    EXPECT_FALSE(Check(m_directory, &error));
    EXPECT_NE(error.find("(the storage reported a write error)"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(PathOf(ProbeNameIn(m_directory, false))));
}

// Whoever runs it, a directory the program may not write in is said to be
// that, not taken for a missing one or a file in the way.
TEST_F(DataDirectoryCheckTest, ADirectoryWithoutWritePermissionIsNotWritable) {
    fs::permissions(m_directory, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    std::string error;
    {
        const OrdinaryFileAccess ordinary;
        EXPECT_FALSE(Check(m_directory, &error));
    }
    EXPECT_EQ(error, "the data directory " + m_directory + " is not writable (permission denied)");
}

// A file named as the data directory is said to be one, not a missing
// directory.
TEST_F(DataDirectoryCheckTest, AFileNamedAsTheDirectoryIsNotAFolder) {
    std::ofstream(PathOf("file"), std::ios::binary) << "kept";
    std::string error;
    EXPECT_FALSE(Check(PathOf("file"), &error));
    EXPECT_EQ(error, "the data directory " + PathOf("file") + " is not a folder");
    EXPECT_FALSE(Check(PathOf("missing"), &error));
    EXPECT_EQ(error, "the data directory " + PathOf("missing") + " is missing");
}

}  // namespace
