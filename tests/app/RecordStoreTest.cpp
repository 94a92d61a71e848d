#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CCrc32.h"
#include "HostFile.h"
#include "HostSaveTemporary.h"
#include "RecordStore.h"
#include "TempAppDirectory.h"

namespace {

namespace fs = std::filesystem;

// The file this process's saves fill before their rename.
std::string Temporary() { return HostSaveTemporary::Name(); }

std::string Narrow(const JString& text) {
    std::string out;
    for (int32_t i = 0; i < text.length(); ++i) out.push_back(static_cast<char>(text.charAt(i)));
    return out;
}

RecordBytes Bytes(const std::vector<uint8_t>& bytes) {
    return MakeRecordBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::vector<uint8_t> Vector(const RecordBytes& bytes) {
    if (bytes.getData() == nullptr) return {};
    return std::vector<uint8_t>(bytes.getData(), bytes.getData() + bytes.length());
}

// Makes the named host call fail for every path that contains the text.
struct FailingCall {
    static inline HostFile::Op op;
    static inline std::string pathPart;
    static bool Hook(HostFile::Op called, const std::string& path) {
        return called == op && path.find(pathPart) != std::string::npos;
    }
};

class RecordStoreTest : public ::testing::Test {
protected:
    ~RecordStoreTest() override { HostFile::SetFaultHook(nullptr); }

    void FailOn(HostFile::Op op, const std::string& pathPart) {
        FailingCall::op = op;
        FailingCall::pathPart = pathPart;
        HostFile::SetFaultHook(&FailingCall::Hook);
    }

    TempAppDirectory directory;
    AssertCounter asserts;
};

TEST_F(RecordStoreTest, FileNamesCarryTheNumberInDecimal) {
    EXPECT_EQ(Narrow(MakeRecordFileName(0)), "mchvx2_save0.dat");
    EXPECT_EQ(Narrow(MakeRecordFileName(12)), "mchvx2_save12.dat");
    EXPECT_EQ(Narrow(MakeRecordFileName(-1)), "mchvx2_save-1.dat");
}

TEST_F(RecordStoreTest, RecordsAreWrittenWholeAndReadBack) {
    ASSERT_TRUE(SaveRecord(0, Bytes({1})));
    EXPECT_EQ(directory.ReadFile("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
    ASSERT_TRUE(SaveRecord(1, Bytes({5, 0, 0, 0, 9, 9})));
    ASSERT_TRUE(SaveRecord(1, Bytes({7, 1})));
    EXPECT_EQ(directory.ReadFile("mchvx2_save1.dat"), std::vector<uint8_t>({7, 1}));
    EXPECT_EQ(Vector(LoadRecord(1)), std::vector<uint8_t>({7, 1}));
    EXPECT_TRUE(RecordExists(1));
    EXPECT_FALSE(directory.Exists(Temporary()));
}

TEST_F(RecordStoreTest, MissingRecordsLoadEmptyAndDeleteHarmlessly) {
    EXPECT_EQ(LoadRecord(4).length(), 0);
    EXPECT_TRUE(DeleteRecord(4));
    EXPECT_FALSE(RecordExists(4));
    ASSERT_TRUE(SaveRecord(4, Bytes({3})));
    EXPECT_TRUE(DeleteRecord(4));
    EXPECT_FALSE(directory.Exists("mchvx2_save4.dat"));
    EXPECT_EQ(LoadRecord(4).length(), 0);
}

TEST_F(RecordStoreTest, EmptyArrayDeletesTheRecord) {
    ASSERT_TRUE(SaveRecord(2, Bytes({1, 2})));
    EXPECT_TRUE(SaveRecord(2, RecordBytes()));
    EXPECT_FALSE(directory.Exists("mchvx2_save2.dat"));
}

TEST_F(RecordStoreTest, FailedWriteKeepsTheOldRecordAndLeavesNoTemporary) {
    ASSERT_TRUE(SaveRecord(0, Bytes({1})));
    // A sync or close that fails may leave the bytes off the disk.
    const HostFile::Op failures[] = {HostFile::Op::Write, HostFile::Op::Open, HostFile::Op::Move,
                                     HostFile::Op::Flush, HostFile::Op::Close};
    for (HostFile::Op op : failures) {
        FailOn(op, Temporary());
        EXPECT_FALSE(SaveRecord(0, Bytes({0, 0, 0})));
        HostFile::SetFaultHook(nullptr);
        EXPECT_EQ(directory.ReadFile("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
        EXPECT_FALSE(directory.Exists(Temporary()));
    }
    EXPECT_TRUE(asserts.Logged("could not be written"));
}

// Temporary() is made anew for every save: a leftover second name of a file
// elsewhere (a hard link) is neither written through nor made the record.
TEST_F(RecordStoreTest, TheTemporaryIsMadeAnewNeverThroughAHardLink) {
    const std::vector<uint8_t> elsewhere = {7, 7};
    directory.WriteFile("elsewhere.dat", elsewhere);
    fs::create_hard_link(directory.HostPathOf("elsewhere.dat"), directory.HostPathOf(Temporary()));
    ASSERT_TRUE(SaveRecord(1, Bytes({2, 0, 0, 0})));
    EXPECT_EQ(directory.ReadFile("elsewhere.dat"), elsewhere);
    EXPECT_EQ(fs::hard_link_count(directory.HostPathOf("mchvx2_save1.dat")), 1u);
    // One that is there again once the leftover is gone fails the save.
    fs::create_hard_link(directory.HostPathOf("elsewhere.dat"), directory.HostPathOf(Temporary()));
    FailOn(HostFile::Op::Delete, Temporary());
    EXPECT_FALSE(SaveRecord(1, Bytes({3, 0, 0, 0})));
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(directory.ReadFile("elsewhere.dat"), elsewhere);
    EXPECT_EQ(Vector(LoadRecord(1)), std::vector<uint8_t>({2, 0, 0, 0}));
}

// Two instances on one folder without an instance lock: one saves its
// progress again and again while the other boots as often (the storage
// test writes its 100-byte record and deletes it). Neither renames the
// other's file: the progress record holds one of its own values at every
// moment, and every save succeeds.
TEST_F(RecordStoreTest, TwoProcessesWithoutALockNeverSaveOverEachOther) {
    constexpr int kRounds = 400;
    ASSERT_TRUE(SaveRecord(RecordId::kProgress, Bytes({0, 0, 0, 0})));
    const pid_t saver = fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        bool saved = true;
        for (int i = 1; i <= kRounds; ++i) {
            saved = SaveRecord(RecordId::kProgress, Bytes({static_cast<uint8_t>(i % 9), 0, 0, 0})) && saved;
        }
        _exit(saved ? 0 : 1);
    }
    const pid_t booter = fork();
    ASSERT_GE(booter, 0);
    if (booter == 0) {
        const std::vector<uint8_t> zeros(kLongestRecordBytes, 0);
        bool checked = true;
        for (int i = 0; i < kRounds; ++i) {
            checked = SaveRecord(RecordId::kStorageTest, Bytes(zeros)) && DeleteRecord(RecordId::kStorageTest) &&
                      checked;
        }
        _exit(checked ? 0 : 1);
    }
    int foreign = 0;
    int status = 0;
    while (waitpid(saver, &status, WNOHANG) == 0) {
        const std::vector<uint8_t> progress = Vector(LoadRecord(RecordId::kProgress));
        if (progress.size() != 4 || progress[0] > 8) ++foreign;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(waitpid(booter, &status, 0), booter);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(foreign, 0);
    EXPECT_EQ(Vector(LoadRecord(RecordId::kProgress)), std::vector<uint8_t>({kRounds % 9, 0, 0, 0}));
    EXPECT_FALSE(RecordExists(RecordId::kStorageTest));
}

// Only a record that is not there is no record. One that is there but
// cannot be read is said on standard error, by name and why, and is left
// as it was.
TEST_F(RecordStoreTest, RecordThatIsThereButCannotBeReadIsToldApart) {
    bool unreadable = true;
    EXPECT_EQ(LoadRecord(1, &unreadable).length(), 0);
    EXPECT_FALSE(unreadable);
    const std::string path = directory.HostPathOf("mchvx2_save1.dat");
    directory.WriteFile("plain.dat", std::vector<uint8_t>{1});
    // A link's own target, or a fault on a regular record.
    const struct {
        const char* why;
        std::string linkTo;
        HostFile::Op fault;
    } cases[] = {
        {"leads to no file", "nowhere", HostFile::Op::Open},
        {"leads to no file", path, HostFile::Op::Open},
        {"leads to no file", directory.HostPathOf("plain.dat") + "/record", HostFile::Op::Open},
        {"permission denied", "", HostFile::Op::Open},
        {"could not be read whole", "", HostFile::Op::Read},
    };
    for (const auto& c : cases) {
        fs::remove(path);
        if (c.linkTo.empty()) {
            directory.WriteFile("mchvx2_save1.dat", std::vector<uint8_t>{5, 0, 0, 0});
            FailOn(c.fault, "mchvx2_save1.dat");
        } else {
            fs::create_symlink(c.linkTo, path);
        }
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(LoadRecord(1, &unreadable).length(), 0) << c.why;
        const std::string said = ::testing::internal::GetCapturedStderr();
        HostFile::SetFaultHook(nullptr);
        EXPECT_TRUE(unreadable) << c.why;
        EXPECT_NE(said.find(path + " cannot be read"), std::string::npos) << said;
        EXPECT_NE(said.find(c.why), std::string::npos) << said;
        EXPECT_EQ(fs::is_symlink(path), !c.linkTo.empty());
        if (c.linkTo.empty()) {
            EXPECT_EQ(directory.ReadFile("mchvx2_save1.dat"), std::vector<uint8_t>({5, 0, 0, 0}));
        }
    }
}

// No record is longer than the longest the game writes: of a longer file
// no more is read, and its readers find their bytes at its start.
TEST_F(RecordStoreTest, RecordLongerThanAnyIsReadFromItsStart) {
    directory.WriteFile("mchvx2_save1.dat", std::vector<uint8_t>(kLongestRecordBytes, 1));
    EXPECT_EQ(LoadRecord(1).length(), kLongestRecordBytes);
    std::vector<uint8_t> longer(kLongestRecordBytes + 50, 1);
    longer[0] = 5;
    directory.WriteFile("mchvx2_save1.dat", longer);
    bool unreadable = true;
    const std::vector<uint8_t> read = Vector(LoadRecord(1, &unreadable));
    EXPECT_EQ(read, std::vector<uint8_t>(longer.begin(), longer.begin() + kLongestRecordBytes));
    EXPECT_FALSE(unreadable);
}

}  // namespace
