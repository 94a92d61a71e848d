#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "AssertCounter.h"
#include "CColor.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"
#include "MGLGuestMemory.h"

namespace {

std::unique_ptr<BufferTable> NewTable(MGLGuestMemory* guest = nullptr) {
    return std::unique_ptr<BufferTable>(CreateBufferTable(guest, {}));
}

// Larger than any block a slot may have, but each side within 16 bits.
constexpr int32_t kHugeSide = 60000;

TEST(BufferTableTest, FreedSlotsAreReusedHighestFirstThenTheTableGrows) {
    auto table = NewTable();
    for (int32_t expected = 0; expected < 3; ++expected) {
        EXPECT_EQ(table->AllocBuffer(4, 4, RSBFormat_R5G6B5, 0), expected);
    }
    table->FreeBuffer(0);
    table->FreeBuffer(1);
    EXPECT_EQ(table->AllocBuffer(2, 2, RSBFormat_L8, 7), 1);
    EXPECT_EQ(table->AllocBuffer(2, 2, RSBFormat_L8, 7), 0);
    EXPECT_EQ(table->AllocBuffer(2, 2, RSBFormat_L8, 7), 3);
    EXPECT_EQ(table->Count(), 4);
    const BufferRecord* reused = BufferSlots::Of(*table).UsedSlot(1);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->format, RSBFormat_L8);
    EXPECT_EQ(reused->flags, 7);
    EXPECT_EQ(reused->width, 2);
    EXPECT_EQ(reused->miptype, kBufferLevel0Only);
}

TEST(BufferTableTest, SidesAreStoredIn16BitsWhileTheBlockHoldsTheFullSize) {
    auto table = NewTable();
    const int32_t slot = table->AllocBuffer(70000, 2, RSBFormat_A8R8G8B8, 0x12345);
    const BufferRecord* record = BufferSlots::Of(*table).UsedSlot(slot);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 4464);
    EXPECT_EQ(table->GetBufferWidth(slot), 4464);
    EXPECT_EQ(record->flags, 0x2345);
    EXPECT_GE(record->blockBytes, size_t{70000} * 2 * 4);
}

TEST(BufferTableTest, FreeingAFreeOrMissingSlotChangesNothing) {
    auto table = NewTable();
    const int32_t kept = table->AllocBuffer(3, 3, RSBFormat_A8, 0);
    const int32_t freed = table->AllocBuffer(3, 3, RSBFormat_A8, 0);
    table->FreeBuffer(freed);
    for (int32_t slot : {freed, -1, 2, BufferTable::kSlotCount, INT32_MIN}) table->FreeBuffer(slot);
    EXPECT_EQ(table->Count(), 2);
    EXPECT_NE(BufferSlots::Of(*table).UsedSlot(kept), nullptr);
    EXPECT_EQ(BufferSlots::Of(*table).UsedSlot(freed), nullptr);
    EXPECT_EQ(BufferSlots::Of(*table).Slot(2), nullptr);
    EXPECT_EQ(table->GetBufferWidth(-1), 0);
}

TEST(BufferTableTest, AFullTableRefusesTheNextSlot) {
    AssertCounter log;
    auto table = NewTable();
    for (int32_t i = 0; i < BufferTable::kSlotCount; ++i) ASSERT_EQ(table->AllocBuffer(1, 1, RSBFormat_L8, 0), i);
    EXPECT_EQ(table->AllocBuffer(1, 1, RSBFormat_L8, 0), -1);
    EXPECT_EQ(table->TryAllocBuffer(1, 1, RSBFormat_L8, 0), -1);
    EXPECT_EQ(table->Count(), BufferTable::kSlotCount);
    EXPECT_TRUE(log.Logged("slots are in use"));
    table->FreeBuffer(100);
    EXPECT_EQ(table->AllocBuffer(1, 1, RSBFormat_L8, 0), 100);
}

TEST(BufferTableTest, RefusedPixelsHandOutAFreeSlotOrNoneAtAll) {
    AssertCounter log;
    auto table = NewTable();
    table->AllocBuffer(2, 2, RSBFormat_L8, 0);
    table->FreeBuffer(0);
    // TryAllocBuffer leaves even the free slot's record alone.
    EXPECT_EQ(table->TryAllocBuffer(kHugeSide, kHugeSide, RSBFormat_A8R8G8B8, 0), -1);
    EXPECT_EQ(table->TryAllocBuffer(-1, 4, RSBFormat_A8R8G8B8, 0), -1);
    EXPECT_EQ(BufferSlots::Of(*table).Slot(0)->format, RSBFormat_L8);
    EXPECT_EQ(table->Count(), 1);
    const int32_t slot = table->AllocBuffer(kHugeSide, kHugeSide, RSBFormat_A8R8G8B8, 0);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(BufferSlots::Of(*table).UsedSlot(slot), nullptr);
    EXPECT_TRUE(log.Logged("refused a pixel block"));
}

TEST(BufferTableTest, ResizeAndReformatDropTheMipChain) {
    auto table = NewTable();
    const int32_t slot = table->AllocBuffer(8, 8, RSBFormat_A8R8G8B8, 3);
    BuildMipChain(*table, slot);
    ASSERT_EQ(BufferSlots::Of(*table).UsedSlot(slot)->miptype, kBufferMipChain);

    uint8_t* pixels = table->ResizeBuffer(slot, 5, 3);
    const BufferRecord* record = BufferSlots::Of(*table).UsedSlot(slot);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->levels[0], pixels);
    EXPECT_EQ(record->width, 5);
    EXPECT_EQ(record->height, 3);
    EXPECT_EQ(record->flags, 3);
    EXPECT_EQ(record->miptype, kBufferLevel0Only);
    EXPECT_EQ(record->maxD, 0);
    EXPECT_EQ(record->levels[1], nullptr);
    EXPECT_GE(record->blockBytes, size_t{5 * 3 * 4});

    table->ReformatBuffer(slot, RSBFormat_ARGB_FIXED, 2, 2);
    EXPECT_EQ(record->format, RSBFormat_ARGB_FIXED);
    EXPECT_GE(record->blockBytes, size_t{2 * 2 * 16});
    PutBufferPixel(*table, slot, 1, 1, {1, 2, 3, 4});
    ArgbPixel back{};
    EXPECT_TRUE(GetBufferPixel(*table, slot, 1, 1, &back));
    EXPECT_EQ(back, (ArgbPixel{1, 2, 3, 4}));
    EXPECT_EQ(table->ResizeBuffer(-1, 2, 2), nullptr);
}

TEST(BufferTableTest, EveryBlockIsMappedInGuestMemoryWhileItLives) {
    MGLGuestMemory guest;
    {
        auto table = NewTable(&guest);
        const int32_t a = table->AllocBuffer(4, 4, RSBFormat_R5G6B5, 0);
        const int32_t b = table->AllocBuffer(2, 2, RSBFormat_A8R8G8B8, 0);
        EXPECT_EQ(guest.RegionCount(), 2u);
        const BufferRecord* record = BufferSlots::Of(*table).UsedSlot(a);
        EXPECT_EQ(guest.ToHost(record->guestBase, 32), record->levels[0]);
        EXPECT_EQ(guest.ToHost(record->guestBase, 33), nullptr);

        BuildMipChain(*table, a);  // the chain block replaces the plane's mapping
        EXPECT_EQ(guest.RegionCount(), 2u);
        EXPECT_EQ(guest.ToGuest(record->levels[2]), record->guestBase + 40);

        table->FreeBuffer(b);
        EXPECT_EQ(guest.RegionCount(), 1u);
        table->ResizeBuffer(a, 1, 1);
        EXPECT_EQ(guest.RegionCount(), 1u);
        EXPECT_EQ(guest.ToHost(record->guestBase, 2), record->levels[0]);
        table->AllocBuffer(3, 3, RSBFormat_L8, 0);
    }
    EXPECT_EQ(guest.RegionCount(), 0u);
}

}  // namespace

// A slot's record bounds every pixel access of the slot: the renderer's
// own code reads it, and only the table changes it.
static_assert(std::is_same_v<decltype(std::declval<BufferSlots&>().UsedSlot(0)), const BufferRecord*>);
static_assert(std::is_same_v<decltype(std::declval<BufferSlots&>().Slot(0)), const BufferRecord*>);
template <typename Slots>
concept AdoptsIntoAnyRecord = requires(Slots& slots, BufferRecord& record) { slots.AdoptBlock(record, PixelBlock{}); };
static_assert(!AdoptsIntoAnyRecord<BufferSlots>);

// A block is adopted by a slot of the table that adopts it, named by
// index: never by a record held elsewhere (another table's, or a copy).
TEST(BufferTableTest, AdoptBlockTakesOnlyASlotOfItsOwnTable) {
    MGLGuestMemory guest;
    auto table = NewTable(&guest);
    BufferSlots& slots = BufferSlots::Of(*table);
    const int32_t slot = table->AllocBuffer(4, 4, RSBFormat_R5G6B5, 0);
    const BufferRecord before = *slots.UsedSlot(slot);
    slots.AdoptBlock(slot + 1, BufferSlots::NewPixelBlock(64));
    slots.AdoptBlock(-1, BufferSlots::NewPixelBlock(64));
    EXPECT_EQ(table->Count(), 1);
    EXPECT_EQ(slots.UsedSlot(slot)->levels[0], before.levels[0]);
    EXPECT_NE(guest.ToHost(before.guestBase, 32), nullptr);

    const PixelBlock block = BufferSlots::NewPixelBlock(128);
    slots.AdoptBlock(slot, block);
    const BufferRecord* after = slots.UsedSlot(slot);
    EXPECT_EQ(after->levels[0], block.data);
    EXPECT_EQ(after->blockBytes, block.bytes);
    EXPECT_EQ(guest.ToHost(after->guestBase, 128), block.data);
}
