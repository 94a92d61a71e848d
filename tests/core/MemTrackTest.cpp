#include "CMemory.h"
#include "MemTrack.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Each test starts and ends with an empty record list.
class MemTrackTest : public ::testing::Test {
protected:
    void SetUp() override {
        MemTrackForgetAll();
        m_startBytes = MemTrackTotalBytes();
    }
    void TearDown() override { MemTrackForgetAll(); }

    size_t m_startBytes = 0;
};

TEST_F(MemTrackTest, AllocAndFreeBalanceTheBooks) {
    const uint32_t sequence = MemTrackSequence();
    void* first = MemTrackAlloc(10, "src\\game\\CActor.cpp");
    void* second = MemTrackAlloc(3, "CActor.cpp");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(MemTrackSequence(), sequence + 2);
    EXPECT_EQ(MemTrackTotalBytes(), m_startBytes + 13);
    EXPECT_EQ(MemTrackWalk(), 2u);
    std::memset(first, 0x5A, 10);  // every byte the caller asked for is usable
    AssertCounter counter;
    MemTrackFree(first, "CActor.cpp");
    EXPECT_EQ(MemTrackTotalBytes(), m_startBytes + 3);
    EXPECT_EQ(MemTrackWalk(), 1u);
    MemTrackFree(second, "CActor.cpp");
    EXPECT_EQ(MemTrackTotalBytes(), m_startBytes);
    EXPECT_EQ(MemTrackWalk(), 0u);
    EXPECT_EQ(counter.Count(), 0);
}

TEST_F(MemTrackTest, EveryGuardByteIsChecked) {
    // A stray write may touch any single byte of the guard.
    for (size_t offset = 0; offset < 4; ++offset) {
        uint8_t* block = static_cast<uint8_t*>(MemTrackAlloc(7, "a/b/Overrun.cpp"));
        ASSERT_NE(block, nullptr);
        block[7 + offset] ^= 0x01;
        AssertCounter counter;
        MemTrackFree(block, "a/b/Overrun.cpp");
        EXPECT_EQ(counter.Count(), 1) << "guard byte " << offset;
        EXPECT_TRUE(counter.Logged("Overrun.cpp"));
        EXPECT_FALSE(counter.Logged("a/b/"));
        EXPECT_EQ(MemTrackWalk(), 0u);
        EXPECT_EQ(MemTrackTotalBytes(), m_startBytes);
    }
}

TEST_F(MemTrackTest, UntrackKeepsTheBlockAndFreeTakesUntrackedOnes) {
    char* block = static_cast<char*>(MemTrackAlloc(6, "Keep.cpp"));
    void* other = MemTrackAlloc(5, "Keep.cpp");
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "kept!", 6);
    AssertCounter counter;
    MemTrackUntrack(block, "Keep.cpp");
    EXPECT_EQ(MemTrackWalk(), 1u);
    EXPECT_EQ(MemTrackTotalBytes(), m_startBytes + 5);
    EXPECT_STREQ(block, "kept!");  // still allocated: ASan would object otherwise
    MemTrackFree(block, "Keep.cpp");  // released without touching the list
    EXPECT_EQ(MemTrackWalk(), 1u);
    EXPECT_EQ(MemTrackTotalBytes(), m_startBytes + 5);
    EXPECT_EQ(counter.Count(), 0);
    MemTrackFree(other, "Keep.cpp");
}

TEST_F(MemTrackTest, MisuseIsReported) {
    AssertCounter counter;
    EXPECT_EQ(MemTrackAlloc(0, "Zero.cpp"), nullptr);
    EXPECT_EQ(counter.Count(), 1);
    EXPECT_TRUE(counter.Logged("Zero.cpp"));
    MemTrackFree(nullptr, nullptr);
    MemTrackUntrack(nullptr, "N.cpp");
    EXPECT_EQ(counter.Count(), 3);
    EXPECT_EQ(MemTrackWalk(), 0u);
}

TEST_F(MemTrackTest, ForgetAllDropsRecordsButNotBlocks) {
    void* blocks[3];
    for (void*& block : blocks) block = MemTrackAlloc(8, "F.cpp");
    EXPECT_EQ(MemTrackWalk(), 3u);
    MemTrackForgetAll();
    EXPECT_EQ(MemTrackWalk(), 0u);
    EXPECT_EQ(MemTrackTotalBytes(), m_startBytes);
    for (void* block : blocks) FreeMemory(block);
}

TEST(MemTrackBaseName, TakesWhatFollowsTheLastSeparator) {
    EXPECT_EQ(MemTrackBaseName(nullptr), nullptr);
    const char* plain = "CHash.cpp";
    EXPECT_EQ(MemTrackBaseName(plain), plain);
    EXPECT_STREQ(MemTrackBaseName("platform\\shared\\CHash.cpp"), "CHash.cpp");
    EXPECT_STREQ(MemTrackBaseName("/work/main/src/CGame.cpp"), "CGame.cpp");
    EXPECT_STREQ(MemTrackBaseName("dir\\"), "");
}

}  // namespace
