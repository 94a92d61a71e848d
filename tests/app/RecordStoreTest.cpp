#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include <filesystem>
#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CCrc32.h"
#include "HostFaults.h"
#include "HostFile.h"
#include "HostInstanceLock.h"
#include "HostSaveTemporary.h"
#include "RecordStore.h"
#include "TempAppDirectory.h"

namespace {

namespace fs = std::filesystem;

// What the host's file calls are given for a save's temporary, and none
// other in the test's folder.
constexpr char kTemporaryPart[] = "/temp";

// The saves' temporaries left in the folder.
int Temporaries(const TempAppDirectory& directory) {
    const std::vector<std::string> names = directory.List();
    return static_cast<int>(std::count_if(names.begin(), names.end(), &HostSaveTemporary::IsTemporaryName));
}

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
    EXPECT_EQ(Temporaries(directory), 0);
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
        FailOn(op, kTemporaryPart);
        EXPECT_FALSE(SaveRecord(0, Bytes({0, 0, 0})));
        HostFile::SetFaultHook(nullptr);
        EXPECT_EQ(directory.ReadFile("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
        EXPECT_EQ(Temporaries(directory), 0);
    }
    EXPECT_TRUE(asserts.Logged("could not be written"));
}

// Runs `work` as pid 1 of a pid namespace of its own, where the test may
// make one (a user namespace lends an ordinary user the right), in a child
// whose id is returned. It exits 0 when `work` succeeded, kNoNamespace when
// no namespace could be made.
constexpr int kNoNamespace = 77;

bool WriteProcFile(const std::string& name, const std::string& text) {
    std::ofstream out("/proc/self/" + name);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

bool EnterOwnPidNamespace() {
    if (unshare(CLONE_NEWPID) == 0) return true;
    const std::string user = std::to_string(geteuid());
    const std::string group = std::to_string(getegid());
    return unshare(CLONE_NEWUSER | CLONE_NEWPID) == 0 && WriteProcFile("setgroups", "deny") &&
           WriteProcFile("uid_map", user + " " + user + " 1") && WriteProcFile("gid_map", group + " " + group + " 1");
}

template <typename Work>
pid_t StartInOwnPidNamespace(Work work) {
    const pid_t child = fork();
    if (child != 0) return child;
    if (!EnterOwnPidNamespace()) _exit(kNoNamespace);
    const pid_t first = fork();
    if (first == 0) _exit(getpid() == 1 && work() ? 0 : 1);
    int status = 0;
    _exit(first > 0 && waitpid(first, &status, 0) == first && WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

// How the folder keeps locks for the instances on it.
enum class Locks { Working, None, OfEachHostOnly };

// An instance of the game on the folder, holding the instance lock or
// running without one: it starts (removes what ended saves and checks
// left, and writes and deletes the storage test's record) and saves its own
// record, again and again. True when every step succeeded.
bool StartAndSave(int32_t record, int rounds, const std::string& folder, bool locked) {
    if (locked && !HostInstanceLock::Claim(u"mchvx2")) return false;
    const std::vector<HostSaveTemporary::PrivateName> checks = {
        {kRecordFilePrefix + std::to_string(RecordId::kStorageTest), kRecordFileSuffix}};
    const std::vector<uint8_t> zeros(kLongestRecordBytes, 0);
    bool ok = true;
    for (int i = 1; i <= rounds; ++i) {
        int64_t folderNow = 0;
        ok = HostSaveTemporary::FolderTime(folder, &folderNow) && ok;
        HostSaveTemporary::RemoveLeftovers(folder, folderNow, checks);
        ok = SaveRecord(RecordId::kStorageTest, Bytes(zeros)) && DeleteRecord(RecordId::kStorageTest) && ok;
        ok = SaveRecord(record, Bytes({static_cast<uint8_t>(record), static_cast<uint8_t>(i), 0, 0})) && ok;
    }
    return ok;
}

// Whether the record holds its first value or one its own instance saved.
bool HoldsItsOwn(int32_t record) {
    const std::vector<uint8_t> bytes = Vector(LoadRecord(record));
    return bytes.size() == 4 && (bytes[0] == record || bytes == std::vector<uint8_t>({0, 0, 0, 0}));
}

// Two instances on one folder that the instance lock does not keep apart,
// each pid 1 of a pid namespace of its own, so that any name made of a
// process id is the same for both, start and save at overlapping moments:
// running without the instance lock, where locks work on the saves'
// temporaries and where the file system keeps none; and each holding it,
// and every lock it takes, as hosts sharing the folder that each keep their
// own locks. Each record
// holds its first value or one of its own instance's at every moment,
// never the other's bytes, and every start and save succeeds.
TEST_F(RecordStoreTest, InstancesThatDoNotKeepEachOtherOutNeverSaveOverEachOther) {
    constexpr int kRounds = 150;
    const std::string folder = directory.HostPathOf("");
    for (Locks locks : {Locks::Working, Locks::None, Locks::OfEachHostOnly}) {
        HostFaults::Set(HostFault::FileLock, locks == Locks::None);
        HostFaults::Set(HostFault::RecordLock, locks == Locks::None);
        HostFaults::Set(HostFault::LocksOfThisHostOnly, locks == Locks::OfEachHostOnly);
        ASSERT_TRUE(SaveRecord(RecordId::kProgress, Bytes({0, 0, 0, 0})));
        ASSERT_TRUE(SaveRecord(RecordId::kLevelState, Bytes({0, 0, 0, 0})));
        pid_t instances[2] = {};
        for (int32_t record : {RecordId::kProgress, RecordId::kLevelState}) {
            instances[record - RecordId::kProgress] =
                StartInOwnPidNamespace(
                [&]() { return StartAndSave(record, kRounds, folder, locks == Locks::OfEachHostOnly); });
        }
        int foreign = 0;
        int running = 2;
        int statuses[2] = {-1, -1};
        while (running > 0) {
            foreign += (HoldsItsOwn(RecordId::kProgress) ? 0 : 1) + (HoldsItsOwn(RecordId::kLevelState) ? 0 : 1);
            for (int i = 0; i < 2; ++i) {
                if (statuses[i] == -1 && waitpid(instances[i], &statuses[i], WNOHANG) == instances[i]) --running;
            }
        }
        HostFaults::Clear();
        const int mode = static_cast<int>(locks);
        for (int status : statuses) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace) GTEST_SKIP() << "no pid namespace can be made";
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "locks " << mode << ", " << status;
        }
        EXPECT_EQ(foreign, 0) << "locks " << mode;
        EXPECT_EQ(Vector(LoadRecord(RecordId::kProgress)), std::vector<uint8_t>({1, kRounds, 0, 0}));
        EXPECT_EQ(Vector(LoadRecord(RecordId::kLevelState)), std::vector<uint8_t>({2, kRounds, 0, 0}));
        EXPECT_EQ(Temporaries(directory), 0);
    }
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
