#include "CLinkList.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item : CLinkListNode {
    explicit Item(int32_t v = 0) : value(v) {}
    int32_t value;
};

// Values from head to tail, checked against the walk from tail to head.
std::vector<int32_t> Walk(const CLinkList& list) {
    std::vector<int32_t> forward;
    for (CLinkListNode* node = list.GetHead(); node != nullptr; node = node->GetNext()) {
        EXPECT_EQ(node->GetOwner(), &list);
        forward.push_back(static_cast<Item*>(node)->value);
    }
    std::vector<int32_t> backward;
    for (CLinkListNode* node = list.GetTail(); node != nullptr; node = node->GetPrevious()) {
        backward.insert(backward.begin(), static_cast<Item*>(node)->value);
    }
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(static_cast<int32_t>(forward.size()), list.GetCount());
    return forward;
}

int32_t AscendingByValue(CLinkListNode* existing, void* item) {
    return static_cast<Item*>(item)->value - static_cast<Item*>(existing)->value;
}

bool HasValue(CLinkListNode* node, const void* key) {
    return static_cast<Item*>(node)->value == *static_cast<const int32_t*>(key);
}

TEST(CLinkList, InsertsAroundAnchorsAndRemovesFromAnyPosition) {
    CLinkList list;
    Item a(1), b(2), c(3), d(4), e(5);
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddHead(&c);
    list.InsertAfter(&a, &d, nullptr);
    list.InsertBefore(&b, &e, nullptr);
    list.InsertAfter(nullptr, nullptr, nullptr);
    EXPECT_EQ(a.GetPayload(), &a);
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{3, 1, 4, 5, 2}));
    list.Remove(&c);
    list.Remove(&b);
    d.Unlink();
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{1, 5}));
    EXPECT_EQ(d.GetOwner(), nullptr);
    EXPECT_EQ(d.GetNext(), nullptr);
    list.Remove(&d);
    EXPECT_EQ(list.GetCount(), 2);
    list.RemoveAll();
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    EXPECT_EQ(a.GetOwner(), nullptr);
    EXPECT_EQ(e.GetOwner(), nullptr);
}

TEST(CLinkList, RemoveThroughTheWrongListReachesTheOwner) {
    CLinkList owner, other;
    Item a(1), b(2);
    owner.AddTail(&a);
    owner.AddTail(&b);
    other.Remove(&a);
    EXPECT_EQ(Walk(owner), (std::vector<int32_t>{2}));
    EXPECT_EQ(other.GetCount(), 0);
    owner.RemoveAll();
}

TEST(CLinkList, SortedInsertGoesInFrontOfItsEquals) {
    CLinkList list;
    Item first(5), low(1), high(9), equal(5);
    list.InsertSorted(AscendingByValue, &first, nullptr);
    list.InsertSorted(AscendingByValue, &high, nullptr);
    list.InsertSorted(AscendingByValue, &low, nullptr);
    list.InsertSorted(AscendingByValue, &equal, nullptr);
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{1, 5, 5, 9}));
    EXPECT_EQ(low.GetNext(), &equal);
    EXPECT_EQ(equal.GetNext(), &first);
    list.RemoveAll();
}

TEST(CLinkList, FindsByPredicateOrPayload) {
    CLinkList list;
    Item a(1), b(2), c(1);
    int32_t owner = 0;
    list.AddTail(&a);
    list.AddTail(&b, &owner);
    list.AddTail(&c);
    const int32_t one = 1;
    EXPECT_EQ(list.Find(nullptr, HasValue, &one), &a);
    EXPECT_EQ(list.Find(&b, HasValue, &one), &c);
    EXPECT_EQ(list.Find(nullptr, nullptr, &owner), &b);
    EXPECT_EQ(list.Find(nullptr, nullptr, &c), &c);
    EXPECT_EQ(list.Find(nullptr, nullptr, &b), nullptr);
    EXPECT_EQ(list.Find(nullptr, HasValue, nullptr), nullptr);
    list.RemoveAll();
}

TEST(CLinkList, RefusesNodesThatAreAlreadyLinkedAndForeignAnchors) {
    CLinkList list, other;
    Item a(1), b(2), stranger(3);
    list.AddTail(&a);
    other.AddTail(&stranger);
    AssertCounter counter;
    list.AddTail(&a);
    list.InsertAfter(&stranger, &b, nullptr);
    EXPECT_EQ(counter.Count(), 2);
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{1}));
    EXPECT_EQ(Walk(other), (std::vector<int32_t>{3}));
    EXPECT_EQ(b.GetOwner(), nullptr);
}

TEST(CLinkList, DestroyedNodesAndListsLeaveNoDanglingLinks) {
    CLinkList list;
    Item kept(1);
    list.AddTail(&kept);
    {
        Item temporary(2);
        list.AddTail(&temporary);
    }
    EXPECT_EQ(Walk(list), (std::vector<int32_t>{1}));
    Item survivor(3);
    {
        CLinkList shortLived;
        shortLived.AddTail(&survivor);
    }
    EXPECT_EQ(survivor.GetOwner(), nullptr);
    list.RemoveAll();
}

}  // namespace
