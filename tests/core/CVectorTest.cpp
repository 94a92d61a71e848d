#include "CVector.h"

#include "AssertCounter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uintptr_t> Contents(const CVector& vector) {
    return std::vector<uintptr_t>(vector.GetData(), vector.GetData() + vector.Size());
}

void Fill(CVector& vector, int32_t count) {
    for (int32_t i = 0; i < count; ++i) ASSERT_EQ(vector.Add(static_cast<uintptr_t>(100 + i)), 0);
}

TEST(CVector, AppendingGrowsToTwiceTheSizeOnceHalfFull) {
    CVector vector;
    ASSERT_EQ(vector.Add(7), 0);
    EXPECT_EQ(vector.GetCapacity(), 10);
    for (int32_t i = 1; i < 10; ++i) EXPECT_EQ(vector.GetData()[i], 0u);
    const int32_t expected[] = {10, 10, 10, 10, 10, 12, 14};
    for (int32_t i = 2; i <= 7; ++i) {
        ASSERT_EQ(vector.Add(static_cast<uintptr_t>(i)), 0);
        EXPECT_EQ(vector.GetCapacity(), expected[i - 1]) << "after add " << i;
    }
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{7, 2, 3, 4, 5, 6, 7}));
}

TEST(CVector, RefillingAfterClearReusesTheStorageUntilPastHalf) {
    CVector vector;
    Fill(vector, 8);
    ASSERT_EQ(vector.GetCapacity(), 16);
    const uintptr_t* storage = vector.GetData();
    vector.Clear();
    EXPECT_TRUE(vector.IsEmpty());
    Fill(vector, 8);
    EXPECT_EQ(vector.GetData(), storage);
    EXPECT_EQ(vector.GetCapacity(), 16);
    ASSERT_EQ(vector.Add(1), 0);
    EXPECT_EQ(vector.GetCapacity(), 18);

    // An odd trimmed capacity: 15 holds appends up to size 7 (2 x 7 <= 15).
    CVector trimmed;
    Fill(trimmed, 15);
    trimmed.TrimToSize();
    ASSERT_EQ(trimmed.SetSize(6), 0);
    ASSERT_EQ(trimmed.Add(1), 0);
    EXPECT_EQ(trimmed.GetCapacity(), 15);
    ASSERT_EQ(trimmed.Add(2), 0);
    EXPECT_EQ(trimmed.GetCapacity(), 16);
    EXPECT_EQ(Contents(trimmed), (std::vector<uintptr_t>{100, 101, 102, 103, 104, 105, 1, 2}));
}

TEST(CVector, InsertAndRemoveShiftAndCheckTheirIndex) {
    CVector vector;
    Fill(vector, 3);
    EXPECT_EQ(vector.InsertAt(4, 1), 5);
    EXPECT_EQ(vector.InsertAt(-1, 1), 5);
    EXPECT_EQ(vector.InsertAt(0, 1), 0);
    EXPECT_EQ(vector.InsertAt(4, 2), 0);
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{1, 100, 101, 102, 2}));
    uintptr_t removed = 0;
    EXPECT_EQ(vector.RemoveAt(1, &removed), 0);
    EXPECT_EQ(removed, 100u);
    EXPECT_EQ(vector.RemoveAt(4, &removed), 5);
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{1, 101, 102, 2}));
    // The vacated last slot keeps what it held.
    EXPECT_EQ(vector.GetData()[4], 2u);
}

TEST(CVector, RemovalFromATrimmedVectorRegainsRoomAndKeepsContents) {
    CVector vector;
    Fill(vector, 8);
    ASSERT_EQ(vector.TrimToSize(), 0);
    EXPECT_EQ(vector.GetCapacity(), 8);
    uint32_t removed = 0;
    ASSERT_EQ(vector.RemoveAt(0, &removed), 0);
    EXPECT_EQ(removed, 100u);
    EXPECT_EQ(vector.GetCapacity(), 14);
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{101, 102, 103, 104, 105, 106, 107}));

    CVector small;
    Fill(small, 3);
    small.TrimToSize();
    small.RemoveAt(2, static_cast<uintptr_t*>(nullptr));
    EXPECT_EQ(small.GetCapacity(), 10);
    EXPECT_EQ(Contents(small), (std::vector<uintptr_t>{100, 101}));
}

TEST(CVector, SetSizeRevealsStorageUnlessItReallocates) {
    CVector roomy;
    ASSERT_EQ(roomy.EnsureCapacity(10), 0);
    ASSERT_EQ(roomy.GetCapacity(), 20);
    Fill(roomy, 8);
    ASSERT_EQ(roomy.SetSize(5), 0);
    EXPECT_EQ(roomy.GetCapacity(), 20);
    ASSERT_EQ(roomy.SetSize(8), 0);
    EXPECT_EQ(Contents(roomy), (std::vector<uintptr_t>{100, 101, 102, 103, 104, 105, 106, 107}));

    CVector tight;
    Fill(tight, 5);
    ASSERT_EQ(tight.GetCapacity(), 10);
    for (int32_t i = 5; i < 8; ++i) tight.GetData()[i] = 99;
    ASSERT_EQ(tight.SetSize(8), 0);
    EXPECT_EQ(tight.GetCapacity(), 16);
    EXPECT_EQ(Contents(tight), (std::vector<uintptr_t>{100, 101, 102, 103, 104, 0, 0, 0}));
}

TEST(CVector, ExactReserveTrimsFreesAndCutsTheSize) {
    CVector vector;
    Fill(vector, 5);
    ASSERT_EQ(vector.Reserve(2, true), 0);
    EXPECT_EQ(vector.GetCapacity(), 2);
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{100, 101}));
    vector.Clear();
    ASSERT_EQ(vector.TrimToSize(), 0);
    EXPECT_EQ(vector.GetData(), nullptr);
    EXPECT_EQ(vector.GetCapacity(), 0);
}

TEST(CVector, LookupsStayInsideTheElements) {
    CVector vector;
    for (uintptr_t value : {5, 6, 5, 7}) vector.Add(value);
    EXPECT_EQ(vector.IndexOf(5), 0);
    EXPECT_EQ(vector.IndexOf(5, 1), 2);
    EXPECT_EQ(vector.IndexOf(5, -4), 0);
    EXPECT_EQ(vector.IndexOf(5, 9), -1);
    EXPECT_EQ(vector.LastIndexOf(5), 2);
    EXPECT_EQ(vector.LastIndexOf(5, 1), 0);
    EXPECT_EQ(vector.LastIndexOf(7, 50), 3);
    EXPECT_EQ(vector.LastIndexOf(5, -1), -1);
    EXPECT_EQ(CVector().LastIndexOf(0), -1);
    // A start equal to the size begins at the last element, not at the slot
    // behind it, which still holds a value removed by shrinking.
    vector.Add(9);
    ASSERT_EQ(vector.SetSize(4), 0);
    EXPECT_EQ(vector.LastIndexOf(9, 4), -1);
    EXPECT_EQ(vector.LastIndexOf(7, 4), 3);

    uintptr_t out = 42;
    EXPECT_EQ(vector.GetAt(4, &out), 5);
    EXPECT_EQ(vector.GetAt(-1, &out), 5);
    EXPECT_EQ(out, 42u);
    EXPECT_EQ(vector.SetAt(4, 1), 5);
    EXPECT_EQ(vector.SetAt(3, 8), 0);
    EXPECT_EQ(vector.GetAt(3, &out), 0);
    EXPECT_EQ(out, 8u);

    EXPECT_EQ(vector.RemoveValue(9), 6);
    EXPECT_EQ(vector.RemoveValue(5), 0);
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{6, 5, 8}));
}

TEST(CVector, KeepsWholePointersAndHandsIdsBackAs32Bits) {
    CVector vector;
    const uintptr_t pointer = (static_cast<uintptr_t>(0x12345678u) << 32) | 0x9ABCDEF0u;
    vector.Add(pointer);
    uintptr_t wide = 0;
    uint32_t narrow = 0;
    ASSERT_EQ(vector.GetAt(0, &wide), 0);
    ASSERT_EQ(vector.GetAt(0, &narrow), 0);
    EXPECT_EQ(wide, pointer);
    EXPECT_EQ(narrow, 0x9ABCDEF0u);
    EXPECT_EQ(vector.IndexOf(pointer), 0);
    EXPECT_EQ(vector.IndexOf(0x9ABCDEF0u), -1);
}

TEST(CVector, RefusedCapacitiesLeaveTheVectorAlone) {
    CVector vector;
    Fill(vector, 3);
    EXPECT_EQ(vector.EnsureCapacity(-1), 3);
    // Far beyond what the heap may hand out: reported as out of memory.
    EXPECT_EQ(vector.EnsureCapacity(0x30000000), 2);
    EXPECT_EQ(vector.EnsureCapacity(INT32_MAX), 2);
    EXPECT_EQ(vector.GetCapacity(), 10);
    EXPECT_EQ(Contents(vector), (std::vector<uintptr_t>{100, 101, 102}));

    AssertCounter counter;
    EXPECT_EQ(vector.SetSize(-2), 3);
    EXPECT_EQ(vector.Reserve(-1, true), 3);
    EXPECT_EQ(counter.Count(), 2);
    EXPECT_EQ(vector.Size(), 3);
    EXPECT_EQ(vector.GetCapacity(), 10);
}

}  // namespace
