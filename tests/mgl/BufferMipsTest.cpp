#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CColor.h"
#include "CPixelChannels.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"

namespace {

class BufferMipsTest : public ::testing::Test {
protected:
    // A plane whose bytes count up from `first`, so every pixel differs.
    int32_t CountingSlot(int32_t w, int32_t h, uint32_t format, uint8_t first = 1) {
        const int32_t slot = table->AllocBuffer(w, h, format, 0);
        const BufferRecord* record = BufferSlots::Of(*table).UsedSlot(slot);
        for (size_t i = 0; i < size_t(w * h * record->BytesPerPixel()); ++i) record->levels[0][i] = uint8_t(first + i);
        return slot;
    }
    const BufferRecord& Record(int32_t slot) { return *BufferSlots::Of(*table).UsedSlot(slot); }
    std::vector<uint8_t> Level0(int32_t slot) {
        const BufferRecord& record = Record(slot);
        return {record.levels[0], record.levels[0] + record.width * record.height * record.BytesPerPixel()};
    }

    std::unique_ptr<BufferTable> table{CreateBufferTable()};
};

// Channel-wise mean of a8r8g8b8 pixels given as words.
uint32_t Mean(std::initializer_list<uint32_t> pixels) {
    uint32_t result = 0;
    for (int32_t shift = 0; shift < 32; shift += 8) {
        uint32_t sum = 0;
        for (uint32_t p : pixels) sum += p >> shift & 0xFF;
        result |= (sum / uint32_t(pixels.size())) << shift;
    }
    return result;
}

uint32_t Word(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

TEST(Log2ExactTest, OnlyPowersOfTwoUpTo1024) {
    for (int32_t bits = 0; bits <= 10; ++bits) EXPECT_EQ(Log2Exact(1u << bits), bits);
    for (uint32_t n : {0u, 3u, 6u, 1023u, 2048u, 0x80000000u}) EXPECT_EQ(Log2Exact(n), 0) << n;
}

TEST_F(BufferMipsTest, FourByFourChainHoldsBoxAveragesInOneBlock) {
    const int32_t slot = CountingSlot(4, 4, RSBFormat_A8R8G8B8, 3);
    const std::vector<uint8_t> original = Level0(slot);
    auto pixel0 = [&](int32_t x, int32_t y) { return Word(&original[(y * 4 + x) * 4]); };
    BuildMipChain(*table, slot);
    const BufferRecord& record = Record(slot);
    EXPECT_EQ(record.miptype, kBufferMipChain);
    EXPECT_EQ(record.maxD, 2);
    EXPECT_EQ(record.blockBytes, size_t{64 + 16 + 4});
    EXPECT_EQ(record.levels[1], record.levels[0] + 64);
    EXPECT_EQ(record.levels[2], record.levels[0] + 80);
    EXPECT_EQ(record.levels[3], nullptr);
    EXPECT_EQ(Level0(slot), original);
    uint32_t level1[4];
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 2; ++x) {
            level1[y * 2 + x] = Mean({pixel0(2 * x, 2 * y), pixel0(2 * x + 1, 2 * y), pixel0(2 * x, 2 * y + 1),
                                      pixel0(2 * x + 1, 2 * y + 1)});
            EXPECT_EQ(Word(record.levels[1] + (y * 2 + x) * 4), level1[y * 2 + x]);
        }
    }
    EXPECT_EQ(Word(record.levels[2]), Mean({level1[0], level1[1], level1[2], level1[3]}));

    uint8_t* before = record.levels[0];
    BuildMipChain(*table, slot);
    EXPECT_EQ(record.levels[0], before);
}

// The spare top nibble of r4g4b4 carries no channel: the levels keep it
// clear, as a fill of level 0 leaves it.
TEST_F(BufferMipsTest, R4G4B4LevelsKeepTheSpareNibbleClear) {
    const int32_t slot = table->AllocBuffer(2, 2, RSBFormat_R4G4B4, 0);
    const BufferRecord& record = Record(slot);
    for (int32_t i = 0; i < 4; ++i) PixelChannels::Store16(record.levels[0] + 2 * i, 0x095A);
    BuildMipChain(*table, slot);
    ASSERT_EQ(record.maxD, 1);
    EXPECT_EQ(PixelChannels::Load16(record.levels[1]), 0x095Au);
}

TEST_F(BufferMipsTest, ThinAndOddSidesAverageNeighbourPairsAndDropTheOddOne) {
    // 4 x 1: pairs along the row, then the last pair.
    const int32_t row = CountingSlot(4, 1, RSBFormat_A8R8G8B8, 10);
    const std::vector<uint8_t> rowPixels = Level0(row);
    BuildMipChain(*table, row);
    const BufferRecord& thin = Record(row);
    ASSERT_EQ(thin.maxD, 2);
    const uint32_t a = Mean({Word(&rowPixels[0]), Word(&rowPixels[4])});
    const uint32_t b = Mean({Word(&rowPixels[8]), Word(&rowPixels[12])});
    EXPECT_EQ(Word(thin.levels[1]), a);
    EXPECT_EQ(Word(thin.levels[1] + 4), b);
    EXPECT_EQ(Word(thin.levels[2]), Mean({a, b}));

    // 1 x 2 of l8: one vertical pair.
    const int32_t column = CountingSlot(1, 2, RSBFormat_L8, 100);
    BuildMipChain(*table, column);
    EXPECT_EQ(Record(column).maxD, 1);
    EXPECT_EQ(Record(column).levels[1][0], (100 + 101) / 2);

    // 6 x 4: level 1 is 3 x 2, level 2 averages its left 2 x 2 only.
    const int32_t odd = CountingSlot(6, 4, RSBFormat_L8, 0);
    BuildMipChain(*table, odd);
    const BufferRecord& record = Record(odd);
    ASSERT_EQ(record.maxD, 2);
    const uint8_t expected1[6] = {(0 + 1 + 6 + 7) / 4,     (2 + 3 + 8 + 9) / 4,     (4 + 5 + 10 + 11) / 4,
                                  (12 + 13 + 18 + 19) / 4, (14 + 15 + 20 + 21) / 4, (16 + 17 + 22 + 23) / 4};
    EXPECT_EQ(std::vector<uint8_t>(record.levels[1], record.levels[1] + 6),
              std::vector<uint8_t>(expected1, expected1 + 6));
    EXPECT_EQ(record.levels[2][0], (expected1[0] + expected1[1] + expected1[3] + expected1[4]) / 4);
}

// x8r8g8b8 averages as a8r8g8b8 does; palette indices have no channels to
// average, and each level keeps the first index of its pixel's source pixels.
TEST_F(BufferMipsTest, TextureFormatsWithoutAChannelRuleBuildLevelsToo) {
    const int32_t rgb = CountingSlot(2, 2, RSBFormat_X8R8G8B8, 0x20);
    const std::vector<uint8_t> pixels = Level0(rgb);
    BuildMipChain(*table, rgb);
    ASSERT_EQ(Record(rgb).maxD, 1);
    EXPECT_EQ(Word(Record(rgb).levels[1]),
              Mean({Word(&pixels[0]), Word(&pixels[4]), Word(&pixels[8]), Word(&pixels[12])}));

    const int32_t indexed = CountingSlot(4, 2, RSBFormat_P256X8R8G8B8, 7);
    BuildMipChain(*table, indexed);
    const BufferRecord& record = Record(indexed);
    ASSERT_EQ(record.maxD, 2);
    EXPECT_EQ(std::vector<uint8_t>(record.levels[1], record.levels[1] + 2), (std::vector<uint8_t>{7, 9}));
    EXPECT_EQ(record.levels[2][0], 7);
}

TEST_F(BufferMipsTest, SidesThatAreNoPowerOfTwoOnlyCopyLevel0) {
    const int32_t slot = CountingSlot(6, 6, RSBFormat_A8R8G8B8);
    const std::vector<uint8_t> original = Level0(slot);
    BuildMipChain(*table, slot);
    EXPECT_EQ(Record(slot).miptype, kBufferMipChain);
    EXPECT_EQ(Record(slot).maxD, 0);
    EXPECT_EQ(Record(slot).blockBytes, size_t{6 * 6 * 4});
    EXPECT_EQ(Level0(slot), original);
}

TEST_F(BufferMipsTest, FlatteningKeepsEveryByteOfLevel0) {
    for (auto [w, h, format] : {std::tuple{1, 1, RSBFormat_R8G8B8}, {3, 3, RSBFormat_L8}, {4, 2, RSBFormat_R8G8B8}}) {
        const int32_t slot = CountingSlot(w, h, format, 0x40);
        const std::vector<uint8_t> original = Level0(slot);
        BuildMipChain(*table, slot);
        FlattenBuffer(*table, slot);
        const BufferRecord& record = Record(slot);
        EXPECT_EQ(record.miptype, kBufferLevel0Only);
        EXPECT_EQ(record.maxD, 0);
        EXPECT_EQ(record.levels[1], nullptr) << "no pointer into the freed chain";
        EXPECT_EQ(Level0(slot), original);
    }
}

TEST_F(BufferMipsTest, WideRowsRoundTripWithoutLosingBits) {
    // Depth words would lose all but 8 bits through the channel conversion.
    const int32_t slot = CountingSlot(3, 2, RSBFormat_Z32, 0x11);
    const std::vector<uint8_t> original = Level0(slot);
    SetBufferWideLayout(*table, slot);
    const BufferRecord& record = Record(slot);
    EXPECT_EQ(record.miptype, kBufferWideRows);
    ASSERT_GE(record.blockBytes, size_t{2 * 3 * 2 * 4});
    // Row 1 now starts two widths in; the caller may write the whole wide row.
    EXPECT_EQ(std::vector<uint8_t>(record.levels[0] + 24, record.levels[0] + 36),
              std::vector<uint8_t>(original.begin() + 12, original.end()));
    record.levels[0][47] = 0xEE;
    SetBufferWideLayout(*table, slot);  // already wide: nothing moves
    EXPECT_EQ(record.levels[0][47], 0xEE);

    CompactWideBuffer(*table, slot);
    EXPECT_EQ(record.miptype, kBufferLevel0Only);
    EXPECT_EQ(Level0(slot), original);

    // A chain is flattened on the way to wide rows, and compacted before a new chain.
    BuildMipChain(*table, slot);
    SetBufferWideLayout(*table, slot);
    EXPECT_EQ(record.miptype, kBufferWideRows);
    BuildMipChain(*table, slot);
    EXPECT_EQ(record.miptype, kBufferMipChain);
    EXPECT_EQ(Level0(slot), original);
}

}  // namespace
