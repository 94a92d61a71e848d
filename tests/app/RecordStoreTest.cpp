#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CCrc32.h"
#include "HostFile.h"
#include "RecordStore.h"
#include "TempAppDirectory.h"

namespace {

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
    EXPECT_FALSE(directory.Exists("temp.dat"));
}

TEST_F(RecordStoreTest, MissingRecordsLoadEmptyAndDeleteHarmlessly) {
    EXPECT_EQ(LoadRecord(4).length(), 0);
    DeleteRecord(4);
    EXPECT_FALSE(RecordExists(4));
    ASSERT_TRUE(SaveRecord(4, Bytes({3})));
    DeleteRecord(4);
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
    const HostFile::Op failures[] = {HostFile::Op::Write, HostFile::Op::Open, HostFile::Op::Move};
    for (HostFile::Op op : failures) {
        FailOn(op, "temp.dat");
        EXPECT_FALSE(SaveRecord(0, Bytes({0, 0, 0})));
        HostFile::SetFaultHook(nullptr);
        EXPECT_EQ(directory.ReadFile("mchvx2_save0.dat"), std::vector<uint8_t>({1}));
        EXPECT_FALSE(directory.Exists("temp.dat"));
    }
    EXPECT_TRUE(asserts.Logged("could not be written"));
}

TEST_F(RecordStoreTest, RecordThatCannotBeReadWholeIsNoRecord) {
    directory.WriteFile("mchvx2_save1.dat", std::vector<uint8_t>{5, 0, 0, 0});
    FailOn(HostFile::Op::Read, "mchvx2_save1.dat");
    EXPECT_EQ(LoadRecord(1).length(), 0);
    EXPECT_TRUE(asserts.Logged("could not be read whole"));
}

}  // namespace
