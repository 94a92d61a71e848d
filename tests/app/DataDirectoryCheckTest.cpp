#include "DataDirectoryCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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
        fs::permissions(m_directory, fs::perms::owner_all);
        fs::remove_all(m_directory);
    }

    std::string PathOf(const std::string& name) const { return m_directory + "/" + name; }
    std::string Contents(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string m_directory;
};

// A leftover check file that is a second name of a file elsewhere (a hard
// link) is removed, not emptied, and the check is made anew.
TEST_F(DataDirectoryCheckTest, ALeftoverIsRemovedNotWrittenThrough) {
    std::ofstream(PathOf("elsewhere"), std::ios::binary) << "kept";
    fs::create_hard_link(PathOf("elsewhere"), PathOf(DataDirectoryCheck::kProbeName));
    std::string error;
    EXPECT_TRUE(DataDirectoryCheck::Run(m_directory, &error)) << error;
    EXPECT_EQ(Contents("elsewhere"), "kept");
    EXPECT_FALSE(fs::exists(PathOf(DataDirectoryCheck::kProbeName)));
}

// Whoever runs it, a directory the program may not write in is said to be
// that, not taken for a missing one or a file in the way.
TEST_F(DataDirectoryCheckTest, ADirectoryWithoutWritePermissionIsNotWritable) {
    fs::permissions(m_directory, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    std::string error;
    {
        const OrdinaryFileAccess ordinary;
        EXPECT_FALSE(DataDirectoryCheck::Run(m_directory, &error));
    }
    EXPECT_EQ(error, "the data directory " + m_directory + " is not writable (permission denied)");
}

}  // namespace
