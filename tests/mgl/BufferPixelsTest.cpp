#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "CColor.h"
#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"
#include "MGLBufferTable.h"

namespace {

struct FormatCase {
    uint32_t format;
    std::vector<uint8_t> stored;  // bytes PackPixel writes for kColour
    ArgbPixel readBack;           // what those bytes read as
};

constexpr ArgbPixel kColour{0xC8, 0x8C, 0x44, 0xFF};

// Worked out by hand from the bit layouts of each format.
const std::vector<FormatCase> kFormats = {
    {RSBFormat_R4G4B4, {0x4F, 0xC8}, {255, 0x80, 0x40, 0xF0}},
    {RSBFormat_R5G6B5, {0x3F, 0x8A}, {255, 0x88, 0x44, 0xF8}},
    {RSBFormat_A1R5G5B5, {0x1F, 0xC5}, {255, 0x88, 0x40, 0xF8}},
    {RSBFormat_A4R4G4B4, {0x4F, 0xC8}, {0xC0, 0x80, 0x40, 0xF0}},
    {RSBFormat_X14R6G6B6, {0x7F, 0x34, 0x02, 0x00}, {255, 0x8C, 0x44, 0xFC}},
    {RSBFormat_R8G8B8, {0xFF, 0x44, 0x8C}, {255, 0x8C, 0x44, 0xFF}},
    {RSBFormat_A8R8G8B8, {0xFF, 0x44, 0x8C, 0xC8}, kColour},
    {RSBFormat_ARGB_FIXED, {0, 0xC8, 0, 0, 0, 0x8C, 0, 0, 0, 0x44, 0, 0, 0, 0xFF, 0, 0}, kColour},
    {RSBFormat_L8, {0x8C}, {255, 0x8C, 0x8C, 0x8C}},
    {RSBFormat_A8, {0xC8}, {0xC8, 0, 0, 0}},
    {RSBFormat_I8, {0x8C}, {0x8C, 0x8C, 0x8C, 0x8C}},
    {RSBFormat_A8L8, {0x8C, 0xC8}, {0xC8, 0x8C, 0x8C, 0x8C}},
    {RSBFormat_Z32, {0x00, 0x8C, 0x00, 0x00}, {255, 0x8C, 0x8C, 0x8C}},
};

class BufferPixelsTest : public ::testing::Test {
protected:
    int32_t Slot(int32_t w, int32_t h, uint32_t format) { return table->AllocBuffer(w, h, format, 0); }
    const uint8_t* Pixel(int32_t slot, int32_t x, int32_t y) {
        return BufferSlots::Of(*table).UsedSlot(slot)->PixelAt(x, y);
    }
    std::vector<uint8_t> Bytes(int32_t slot, int32_t x, int32_t y) {
        const int32_t bpp = BufferSlots::Of(*table).UsedSlot(slot)->BytesPerPixel();
        return {Pixel(slot, x, y), Pixel(slot, x, y) + bpp};
    }
    // One byte per pixel of an l8 slot, row by row.
    std::vector<uint8_t> Plane(int32_t slot) {
        const BufferRecord* record = BufferSlots::Of(*table).UsedSlot(slot);
        return {record->levels[0], record->levels[0] + record->width * record->height};
    }

    int32_t Inked(int32_t slot) {
        const BufferRecord* record = BufferSlots::Of(*table).UsedSlot(slot);
        const uint8_t* first = record->levels[0];
        return static_cast<int32_t>(std::count(first, first + record->width * record->height, 0x77));
    }

    std::unique_ptr<BufferTable> table{CreateBufferTable()};
};

TEST_F(BufferPixelsTest, EveryFormatStoresAndReadsItsOwnLayout) {
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format);
        const int32_t slot = Slot(3, 2, c.format);
        ASSERT_EQ(BufferSlots::Of(*table).UsedSlot(slot)->BytesPerPixel(), static_cast<int32_t>(c.stored.size()));
        PutBufferPixel(*table, slot, 2, 1, kColour);
        EXPECT_EQ(Bytes(slot, 2, 1), c.stored);
        ArgbPixel read{};
        EXPECT_TRUE(GetBufferPixel(*table, slot, 2, 1, &read));
        EXPECT_EQ(read, c.readBack);
        EXPECT_EQ(Bytes(slot, 1, 1), std::vector<uint8_t>(c.stored.size(), 0)) << "neighbour untouched";
    }
}

// Palette formats, and x8r8g8b8, which is no buffer format, are neither
// read nor written by any pixel operation.
TEST_F(BufferPixelsTest, FormatsThatAreNoBufferFormatsAndPixelsOutsideThePlaneAreLeftAlone) {
    ArgbPixel untouched{1, 2, 3, 4};
    const int32_t other = Slot(2, 2, RSBFormat_A8R8G8B8);
    PutBufferPixel(*table, other, 0, 0, kColour);
    for (const uint32_t format : {RSBFormat_P256A8R8G8B8, RSBFormat_X8R8G8B8}) {
        SCOPED_TRACE(testing::Message() << std::hex << format);
        const int32_t refused = Slot(2, 2, format);
        const BufferRecord& record = *BufferSlots::Of(*table).UsedSlot(refused);
        PutBufferPixel(*table, refused, 0, 0, kColour);
        FillBufferRect(*table, refused, 0, 0, 2, 2, 255, 255, 255, 255);
        DrawBufferLine(*table, refused, 0, 0, 1, 1, 255, 255, 255, 255);
        CopyBufferRect(*table, refused, other, 0, 0, -1, -1, 0, 0);
        EXPECT_EQ(std::vector<uint8_t>(record.levels[0], record.levels[0] + record.blockBytes),
                  std::vector<uint8_t>(record.blockBytes, 0));
        EXPECT_FALSE(GetBufferPixel(*table, refused, 0, 0, &untouched));
        EXPECT_EQ(untouched, (ArgbPixel{1, 2, 3, 4}));
        record.levels[0][0] = 9;
        CopyBufferRect(*table, other, refused, 0, 0, -1, -1, 0, 1);
        EXPECT_EQ(Bytes(other, 0, 1), std::vector<uint8_t>(4, 0));
    }

    const int32_t slot = Slot(2, 2, RSBFormat_L8);
    for (auto [x, y] : {std::pair{-1, 0}, {2, 0}, {0, 2}, {0, -1}, {INT32_MIN, INT32_MAX}}) {
        PutBufferPixel(*table, slot, x, y, kColour);
        EXPECT_FALSE(GetBufferPixel(*table, slot, x, y, &untouched));
    }
    PutBufferPixel(*table, 99, 0, 0, kColour);
    EXPECT_EQ(Plane(slot), std::vector<uint8_t>(4, 0));
}

// Expected fill coverage straight from the rule: the corners ordered, far
// edges exclusive, whatever lies in the plane.
std::vector<uint8_t> FillReference(int32_t w, int32_t h, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    std::vector<uint8_t> plane(static_cast<size_t>(w * h), 0);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const bool in =
                std::min(x0, x1) <= x && x < std::max(x0, x1) && std::min(y0, y1) <= y && y < std::max(y0, y1);
            if (in) plane[y * w + x] = 0x5A;
        }
    }
    return plane;
}

TEST_F(BufferPixelsTest, FillsAreOrderedAndClippedOnEverySide) {
    const int32_t rects[][4] = {
        {0, 0, 10, 10}, {10, 10, 0, 0}, {-5, 2, -1, 8}, {-5, 2, 3, 8},    {12, -4, 30, 3},
        {3, 9, 7, 40},  {4, 4, 4, 9},   {5, 5, 6, 6},   {15, 11, 16, 12}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
    };
    for (const auto& r : rects) {
        SCOPED_TRACE(testing::Message() << r[0] << "," << r[1] << " " << r[2] << "," << r[3]);
        const int32_t slot = Slot(16, 12, RSBFormat_L8);
        FillBufferRect(*table, slot, r[0], r[1], r[2], r[3], 0, 0x5A, 0, 0);
        EXPECT_EQ(Plane(slot), FillReference(16, 12, r[0], r[1], r[2], r[3]));
        table->FreeBuffer(slot);
    }
}

TEST_F(BufferPixelsTest, FillValuesFollowEachFormat) {
    for (const FormatCase& c : kFormats) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format);
        const int32_t slot = Slot(4, 3, c.format);
        FillBufferRect(*table, slot, 1, 1, 3, 3, kColour.a, kColour.r, kColour.g, kColour.b);
        std::vector<uint8_t> expected = c.stored;
        if (c.format == RSBFormat_R4G4B4) expected[1] &= 0x0F;  // no alpha in the spare top bits
        EXPECT_EQ(Bytes(slot, 2, 2), expected);
        EXPECT_EQ(Bytes(slot, 3, 2), std::vector<uint8_t>(c.stored.size(), 0));
        table->FreeBuffer(slot);
    }
    const int32_t slot = Slot(2, 1, RSBFormat_A1R5G5B5);
    FillBufferRect(*table, slot, 0, 0, 1, 1, 127, 0, 0, 0);
    FillBufferRect(*table, slot, 1, 0, 2, 1, 128, 0, 0, 0);
    EXPECT_EQ(Bytes(slot, 0, 0), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(Bytes(slot, 1, 0), (std::vector<uint8_t>{0, 0x80}));
    // Channels are clamped, not wrapped.
    const int32_t argb = Slot(1, 1, RSBFormat_A8R8G8B8);
    FillBufferRect(*table, argb, 0, 0, 1, 1, 300, -5, 256, 0x1FF);
    EXPECT_EQ(Bytes(argb, 0, 0), (std::vector<uint8_t>{0xFF, 0xFF, 0x00, 0xFF}));
}

// The line walk exactly as stated, plotting what lies in the plane.
std::vector<uint8_t> LineReference(int32_t w, int32_t h, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    std::vector<uint8_t> plane(static_cast<size_t>(w * h), 0);
    auto plot = [&](int32_t x, int32_t y) {
        if (x >= 0 && y >= 0 && x < w && y < h) plane[y * w + x] = 0x77;
    };
    const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int32_t sx = (x1 > x0) - (x1 < x0), sy = (y1 > y0) - (y1 < y0);
    int32_t x = x0, y = y0;
    if (dy > dx) {
        for (int32_t e = 2 * dx - dy;; y += sy, e += 2 * dx) {
            plot(x, y);
            if (y == y1) break;
            if (e >= 0) e -= 2 * dy, x += sx;
        }
    } else {
        for (int32_t e = 2 * dy - dx;; x += sx, e += 2 * dy) {
            plot(x, y);
            if (x == x1) break;
            if (e >= 0) e -= 2 * dx, y += sy;
        }
    }
    return plane;
}

TEST_F(BufferPixelsTest, LinesMatchTheStatedWalkInEveryOctantAndAcrossTheEdges) {
    std::mt19937 random(25);
    std::uniform_int_distribution<int32_t> coordinate(-40, 60);
    const int32_t slot = Slot(32, 24, RSBFormat_L8);
    for (int32_t i = 0; i < 3000; ++i) {
        const int32_t x0 = coordinate(random), y0 = coordinate(random), x1 = coordinate(random),
                      y1 = coordinate(random);
        FillBufferRect(*table, slot, 0, 0, 32, 24, 0, 0, 0, 0);
        DrawBufferLine(*table, slot, x0, y0, x1, y1, 0, 0x77, 0, 0);
        ASSERT_EQ(Plane(slot), LineReference(32, 24, x0, y0, x1, y1)) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
}

TEST_F(BufferPixelsTest, LineEdgeCases) {
    const int32_t slot = Slot(16, 16, RSBFormat_L8);
    DrawBufferLine(*table, slot, 0, 5, 0, 0, 0, 0x77, 0, 0);
    EXPECT_EQ(Inked(slot), 6);
    EXPECT_EQ(Plane(slot), LineReference(16, 16, 0, 5, 0, 0));

    FillBufferRect(*table, slot, 0, 0, 16, 16, 0, 0, 0, 0);
    DrawBufferLine(*table, slot, 3, 3, 3, 3, 0, 0x77, 0, 0);
    EXPECT_EQ(Plane(slot), LineReference(16, 16, 3, 3, 3, 3));
    EXPECT_EQ(Inked(slot), 1);

    // Far-away end points: the whole row, and the whole diagonal.
    FillBufferRect(*table, slot, 0, 0, 16, 16, 0, 0, 0, 0);
    DrawBufferLine(*table, slot, INT32_MIN, 7, INT32_MAX, 7, 0, 0x77, 0, 0);
    DrawBufferLine(*table, slot, -1000000000, -1000000000, 1000000000, 1000000000, 0, 0x77, 0, 0);
    DrawBufferLine(*table, slot, INT32_MIN + 1, INT32_MIN + 1, INT32_MAX, INT32_MAX, 0, 0x77, 0, 0);
    std::vector<uint8_t> expected = LineReference(16, 16, 0, 7, 15, 7);
    for (int32_t i = 0; i < 16; ++i) expected[i * 16 + i] = 0x77;
    EXPECT_EQ(Plane(slot), expected);
}

TEST_F(BufferPixelsTest, CopiesConvertEveryPixelAndClipToBothPlanes) {
    std::mt19937 random(7);
    const int32_t src = Slot(9, 7, RSBFormat_A8R8G8B8);
    for (int32_t y = 0; y < 7; ++y) {
        for (int32_t x = 0; x < 9; ++x)
            PutBufferPixel(*table, src, x, y,
                           {uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random())});
    }
    struct Copy {
        int32_t srcX, srcY, w, h, dstX, dstY;
    };
    const Copy copies[] = {{0, 0, -1, -1, 0, 0},   {2, 1, 4, 3, 5, 6}, {-3, -2, 6, 5, 1, 1},
                           {1, 1, 20, 20, -2, -4}, {8, 6, 5, 5, 0, 0}, {0, 0, 3, 3, 12, 0}};
    for (const uint32_t dstFormat : {RSBFormat_R5G6B5, RSBFormat_A4R4G4B4, RSBFormat_R8G8B8, RSBFormat_I8}) {
        for (const Copy& c : copies) {
            SCOPED_TRACE(testing::Message()
                         << std::hex << dstFormat << std::dec << " from " << c.srcX << "," << c.srcY);
            const int32_t dst = Slot(10, 8, dstFormat);
            const BufferRecord& from = *BufferSlots::Of(*table).UsedSlot(src);
            const BufferRecord& to = *BufferSlots::Of(*table).UsedSlot(dst);
            std::vector<uint8_t> expected(to.levels[0], to.levels[0] + to.blockBytes);
            const int32_t w = c.w < 0 ? from.width : c.w, h = c.h < 0 ? from.height : c.h;
            for (int32_t row = 0; row < h; ++row) {
                for (int32_t column = 0; column < w; ++column) {
                    const uint8_t* in = from.PixelAt(c.srcX + column, c.srcY + row);
                    const int32_t x = c.dstX + column, y = c.dstY + row;
                    if (in == nullptr || to.PixelAt(x, y) == nullptr) continue;
                    ArgbPixel pixel;
                    UnpackPixel(in, from.format, &pixel);
                    PackPixel(&expected[(y * to.width + x) * to.BytesPerPixel()], to.format, pixel);
                }
            }
            CopyBufferRect(*table, dst, src, c.srcX, c.srcY, c.w, c.h, c.dstX, c.dstY);
            EXPECT_EQ(std::vector<uint8_t>(to.levels[0], to.levels[0] + to.blockBytes), expected);
            table->FreeBuffer(dst);
        }
    }
}

}  // namespace
