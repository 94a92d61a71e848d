#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "JHashtable.h"
#include "JInteger.h"
#include "JString.h"
#include "RuntimeTestSupport.h"

namespace {

using Table = JHashtable<JInteger, uintptr_t>;

std::vector<int32_t> KeysOf(Table& table) {
    std::vector<int32_t> keys;
    JSmartPtr<JEnumeration> walk = table.keys();
    while (walk->hasMoreElements()) keys.push_back(static_cast<JInteger*>(walk->nextElement())->intValue());
    return keys;
}

TEST(JHashtableTest, GrowsAtTheThresholdAndKeepsEveryKey) {
    Table table;
    for (int32_t key = 1; key <= 8; ++key) table.put(JInteger(key), static_cast<uintptr_t>(key * 10));
    EXPECT_EQ(table.capacity(), 11);
    table.put(JInteger(9), 90);
    EXPECT_EQ(table.capacity(), 23);
    for (int32_t key = 10; key <= 36; ++key) table.put(JInteger(key), static_cast<uintptr_t>(key * 10));
    EXPECT_EQ(table.capacity(), 95);  // 23 -> 47 at the 18th key, 47 -> 95 at the 36th
    EXPECT_EQ(table.size(), 36);
    for (int32_t key = 1; key <= 36; ++key) EXPECT_EQ(table.get(JInteger(key)), static_cast<uintptr_t>(key * 10));
    EXPECT_EQ(table.get(JInteger(37)), 0u);
}

TEST(JHashtableTest, OneBucketTableGrowsBeforeItsFirstKey) {
    Table table(0);
    EXPECT_EQ(table.capacity(), 1);
    table.put(JInteger(5), 1);
    EXPECT_EQ(table.capacity(), 3);
    EXPECT_EQ(table.get(JInteger(5)), 1u);
}

TEST(JHashtableTest, ReplacingAKeyReturnsTheOldValue) {
    Table table;
    EXPECT_EQ(table.put(JInteger(-7), 1), 0u);
    EXPECT_EQ(table.put(JInteger(-7), 2), 1u);
    EXPECT_EQ(table.size(), 1);
    EXPECT_EQ(table.get(JInteger(-7)), 2u);
}

TEST(JHashtableTest, EnumerationOrderIsBucketsDownwardsNewestFirst) {
    Table table;
    // 3 and 14 share bucket 3, 14 being newer; -1 masks to 0x7FFFFFFF,
    // bucket 0x7FFFFFFF % 11 = 1; 10 is in the top bucket.
    for (int32_t key : {3, 10, -1, 14}) table.put(JInteger(key), 1);
    EXPECT_EQ(KeysOf(table), (std::vector<int32_t>{10, 14, 3, -1}));
    Table empty;
    EXPECT_FALSE(empty.keys()->hasMoreElements());
}

TEST(JHashtableTest, ClearForgetsKeysAndKeepsCapacity) {
    Table table;
    for (int32_t key = 0; key < 20; ++key) table.put(JInteger(key), 5);
    table.clear();
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(table.capacity(), 47);
    EXPECT_EQ(table.get(JInteger(3)), 0u);
    EXPECT_TRUE(KeysOf(table).empty());
}

TEST(JHashtableTest, WalkPastTheEndIsReported) {
    AssertCounter counter;
    Table table;
    JSmartPtr<JEnumeration> walk = table.keys();
    EXPECT_EQ(walk->nextElement(), nullptr);
    EXPECT_TRUE(counter.Logged(CheckSite("JHashtable", 61)));
}

// A walk over a table that then grows or is cleared stops instead of
// reading moved or freed entries; puts that do not grow the table leave it
// walking.
TEST(JHashtableTest, EnumerationWhileTheTableChanges) {
    AssertCounter counter;
    Table table;
    for (int32_t key = 0; key < 8; ++key) table.put(JInteger(key), 1);
    JSmartPtr<JEnumeration> walk = table.keys();
    ASSERT_TRUE(walk->hasMoreElements());
    walk->nextElement();
    table.put(JInteger(3), 2);  // replaces a value: the walk goes on
    EXPECT_TRUE(walk->hasMoreElements());
    table.put(JInteger(100), 1);  // the ninth key grows the table
    EXPECT_FALSE(walk->hasMoreElements());
    EXPECT_TRUE(counter.Logged("ended early"));

    JSmartPtr<JEnumeration> second = table.keys();
    table.clear();
    EXPECT_FALSE(second->hasMoreElements());
    {
        Table shortLived;
        shortLived.put(JInteger(1), 1);
        walk = shortLived.keys();
    }
    EXPECT_FALSE(walk->hasMoreElements());
}

// Random puts against a standard map as the model, with an enumeration
// checked after each round.
TEST(JHashtableTest, AgreesWithAModelUnderRandomPuts) {
    std::mt19937 random(1234);
    JHashtable<JString, uintptr_t> table;
    std::map<std::u16string, uintptr_t> model;
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 50; ++i) {
            const JString key = JString::valueOf(static_cast<int32_t>(random() % 400) - 200);
            const uintptr_t value = random();
            const auto found = model.find(Units(key));
            EXPECT_EQ(table.put(key, value), found == model.end() ? 0u : found->second);
            model[Units(key)] = value;
        }
        std::set<std::u16string> walked;
        JSmartPtr<JEnumeration> walk = table.keys();
        while (walk->hasMoreElements()) walked.insert(Units(*static_cast<JString*>(walk->nextElement())));
        ASSERT_EQ(walked.size(), model.size());
        for (const auto& [key, value] : model) {
            EXPECT_TRUE(walked.count(key));
            EXPECT_EQ(table.get(JString(key.c_str())), value);
        }
    }
    EXPECT_EQ(table.size(), static_cast<int32_t>(model.size()));
}

}  // namespace
