#include "CGameData.h"
#include "CHash.h"
#include "CSingleton.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

namespace {

class SingletonTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_table.Init(20, 20, true));
        CSingleton::SetTable(&m_table);
    }
    void TearDown() override { CSingleton::SetTable(nullptr); }

    CHash m_table;
};

TEST_F(SingletonTableTest, RegistersFindsAndReregisters) {
    EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), nullptr);
    CGameData* data = new CGameData();
    EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), data);
    EXPECT_EQ(data->IsPaintSuppressed(), 0);
    EXPECT_EQ(data->IsVolumeLocked(), 0);
    EXPECT_EQ(data->GetFlag3(), 0);
    EXPECT_EQ(data->GetWord(), 0u);
    // Each field keeps its own value.
    data->SetFlag3(7);
    data->SetWord(0xCAFEF00Du);
    data->SetVolumeLocked(1);
    EXPECT_EQ(data->IsPaintSuppressed(), 0);
    EXPECT_EQ(data->GetFlag3(), 7);
    EXPECT_EQ(data->GetWord(), 0xCAFEF00Du);
    EXPECT_EQ(data->IsVolumeLocked(), 1);
    delete data;
    EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), nullptr);
    AssertCounter counter;
    CGameData again;
    EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), &again);
    EXPECT_EQ(counter.Count(), 0);
}

TEST_F(SingletonTableTest, SecondInstanceIsReportedAndLeavesTheFirstInPlace) {
    CGameData first;
    AssertCounter counter;
    {
        CGameData second;
        EXPECT_EQ(counter.Count(), 1);
        EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), &first);
    }
    EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), &first);
}

TEST_F(SingletonTableTest, DeletingWhileWalkingTakesNextFirst) {
    new CGameData();
    for (int32_t b = 0; b < m_table.GetBucketCount(); ++b) {
        CHashNode* node = m_table.GetBucket(b);
        while (node != nullptr) {
            CHashNode* next = node->next;
            delete reinterpret_cast<CSingleton*>(node->value);
            node = next;
        }
    }
    EXPECT_EQ(CSingleton::GetInstance(CGameData::kClassKey), nullptr);
}

TEST(CSingletonWithoutTable, IsReported) {
    AssertCounter counter;
    EXPECT_EQ(CSingleton::GetInstance(1), nullptr);
    EXPECT_EQ(counter.Count(), 1);
}

}  // namespace
