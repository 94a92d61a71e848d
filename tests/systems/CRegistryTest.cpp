#include "CIdAllocator.h"
#include "CRegistry.h"
#include "CRegistryAccelerateHandleQuery.h"

#include "AssertCounter.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<int32_t> PrioritiesOf(const CRegistry& registry) {
    std::vector<int32_t> priorities;
    for (CRegistryItem* item = registry.Begin(); item != registry.End(); item = item->GetNext()) {
        priorities.push_back(item->GetPriority());
    }
    return priorities;
}

TEST(CRegistry, KeepsDescendingPriorityWithEqualsInArrivalOrder) {
    CRegistry registry;
    CRegistryItem a(1, 0, 5), b(2, 0, 9), c(3, 0, 5), d(4, 0, 1);
    for (CRegistryItem* item : {&a, &b, &c, &d}) registry.Register(item);
    EXPECT_EQ(PrioritiesOf(registry), (std::vector<int32_t>{9, 5, 5, 1}));
    EXPECT_EQ(registry.Begin(), &b);
    EXPECT_EQ(b.GetNext(), &a);
    EXPECT_EQ(a.GetNext(), &c);
    // Negative priorities compare as signed values.
    CRegistryItem negative(5, 0, -1);
    registry.Register(&negative);
    EXPECT_EQ(PrioritiesOf(registry), (std::vector<int32_t>{9, 5, 5, 1, -1}));
}

TEST(CRegistry, UnregistersHeadMiddleTailAndTheLastItem) {
    CRegistry registry;
    CRegistryItem a(1, 0, 3), b(2, 0, 2), c(3, 0, 1);
    for (CRegistryItem* item : {&a, &b, &c}) registry.Register(item);
    EXPECT_TRUE(registry.Unregister(&b));
    EXPECT_EQ(PrioritiesOf(registry), (std::vector<int32_t>{3, 1}));
    EXPECT_TRUE(registry.Unregister(&c));
    EXPECT_EQ(PrioritiesOf(registry), (std::vector<int32_t>{3}));
    // A new lowest item must go behind the remaining tail.
    registry.Register(&c);
    EXPECT_EQ(PrioritiesOf(registry), (std::vector<int32_t>{3, 1}));
    EXPECT_TRUE(registry.Unregister(&a));
    EXPECT_TRUE(registry.Unregister(&c));
    EXPECT_TRUE(registry.IsEmpty());
    CRegistryItem* found = &a;
    EXPECT_FALSE(registry.Find(0, 3, &found));
    EXPECT_EQ(found, nullptr);
}

TEST(CRegistry, FindMatchesTypeIdOrBoth) {
    CRegistry registry;
    CRegistryItem a(7, 100, 3), b(7, 200, 2), c(8, 200, 1);
    for (CRegistryItem* item : {&a, &b, &c}) registry.Register(item);
    CRegistryItem* found = nullptr;
    ASSERT_TRUE(registry.Find(200, 7, &found));
    EXPECT_EQ(found, &b);
    ASSERT_TRUE(registry.Find(0, 7, &found));
    EXPECT_EQ(found, &a);
    ASSERT_TRUE(registry.Find(200, 0, &found));
    EXPECT_EQ(found, &b);
    CRegistryItem* untouched = &c;
    EXPECT_FALSE(registry.Find(0, 0, &untouched));
    EXPECT_EQ(untouched, &c);
}

TEST(CRegistryAccelerateHandleQuery, IndexesExistingItemsAndChecksTypes) {
    CRegistry registry;
    CRegistryItem a(7, 100, 3), b(7, 200, 2), c(8, 200, 1);
    registry.Register(&a);
    registry.Register(&b);
    registry.SetQueryAccelerator(new CRegistryAccelerateHandleQuery(10, 4, true));
    registry.Register(&c);
    CRegistryItem* found = nullptr;
    // The index answers the latest registration of an id; the list the first.
    ASSERT_TRUE(registry.Find(0, 7, &found));
    EXPECT_EQ(found, &b);
    EXPECT_FALSE(registry.Find(300, 8, &found));
    EXPECT_EQ(found, nullptr);
    ASSERT_TRUE(registry.Find(200, 0, &found));
    EXPECT_EQ(found, &b);
    // Removing the older of two equal ids keeps the newer one indexed.
    EXPECT_TRUE(registry.Unregister(&a));
    ASSERT_TRUE(registry.Find(0, 7, &found));
    EXPECT_EQ(found, &b);
    EXPECT_TRUE(registry.Unregister(&b));
    EXPECT_FALSE(registry.Find(0, 7, &found));
    registry.Clear(0);
    EXPECT_TRUE(registry.IsEmpty());
    EXPECT_FALSE(registry.Find(0, 8, &found));
}

TEST(CRegistry, RefusesItemsItDoesNotHold) {
    AssertCounter checks;
    CRegistry registry, other;
    CRegistryItem a(1, 0, 3), b(2, 0, 2), stranger(3, 0, 1), elsewhere(4, 0, 1);
    registry.Register(&a);
    registry.Register(&b);
    other.Register(&elsewhere);
    // Never registered, registered in another list, already unregistered.
    EXPECT_FALSE(registry.Unregister(&stranger));
    EXPECT_FALSE(registry.Unregister(&elsewhere));
    EXPECT_TRUE(registry.Unregister(&b));
    EXPECT_FALSE(registry.Unregister(&b));
    EXPECT_EQ(checks.Count(), 3);
    EXPECT_TRUE(checks.Logged("not registered here"));
    EXPECT_EQ(PrioritiesOf(registry), (std::vector<int32_t>{3}));
    EXPECT_EQ(PrioritiesOf(other), (std::vector<int32_t>{1}));

    registry.SetQueryAccelerator(new CRegistryAccelerateHandleQuery(10, 4, true));
    EXPECT_FALSE(registry.Unregister(&stranger));
    EXPECT_EQ(checks.Count(), 4);
    CRegistryItem* found = nullptr;
    ASSERT_TRUE(registry.Find(0, 1, &found));
    EXPECT_EQ(found, &a);
}

// Many items of one id: each unregistration must take out that item's own
// index entry, however deep it lies among its equals.
TEST(CRegistryAccelerateHandleQuery, UnregisteredItemsAreNeverFound) {
    constexpr int kItems = 40;
    CRegistry registry;
    registry.SetQueryAccelerator(new CRegistryAccelerateHandleQuery(10, 4, true));
    std::vector<std::unique_ptr<CRegistryItem>> items;
    for (int i = 0; i < kItems; ++i) {
        items.push_back(std::make_unique<CRegistryItem>(7, 0, 1));
        registry.Register(items.back().get());
    }
    // Oldest first, so each removed item lies under all the newer ones.
    for (int i = 0; i < kItems; ++i) {
        ASSERT_TRUE(registry.Unregister(items[static_cast<size_t>(i)].get()));
        CRegistryItem* found = nullptr;
        const bool any = registry.Find(0, 7, &found);
        EXPECT_EQ(any, i + 1 < kItems);
        if (any) {
            EXPECT_EQ(found, items.back().get()) << "after removing " << i + 1;
        }
    }
    EXPECT_TRUE(registry.IsEmpty());
}

TEST(CIdAllocator, HandsOutRunTimeKeysFromTheApplication) {
    EXPECT_EQ(GetIdAllocator(), nullptr);
    TestApplication app;
    ASSERT_EQ(app.Init(), 0);
    CIdAllocator* allocator = GetIdAllocator();
    ASSERT_NE(allocator, nullptr);
    EXPECT_EQ(GetIdAllocator(), allocator);
    EXPECT_EQ(allocator->NextId(), 0x40000001u);
    EXPECT_EQ(allocator->NextId(), 0x40000002u);
    delete allocator;
    EXPECT_EQ(app.GetIdAllocatorCache(), nullptr);
    EXPECT_EQ(GetIdAllocator()->NextId(), 0x40000001u);
}

}  // namespace
