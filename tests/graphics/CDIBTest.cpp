#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CArrayInputStream.h"
#include "CDIB.h"
#include "CDIBCursor.h"
#include "ImageFileBuilder.h"

using imagetest::BmpSpec;
using imagetest::BuildBmp;
using imagetest::IndexedBmp;

namespace {

bool Read(CDIB* dib, const std::vector<uint8_t>& bytes) {
    CArrayInputStream stream;
    stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return dib->ReadFromStream(&stream, 0);
}

uint32_t StepRgb(int32_t x, int32_t y) {
    return 0x102030u * static_cast<uint32_t>(x + 1) + static_cast<uint32_t>(y);
}

BmpSpec TrueColour(int32_t width, int32_t height) { return imagetest::TrueColourBmp(width, height, StepRgb); }

}  // namespace

TEST(CDIB, PaletteSizesFollowTheBitCount) {
    BmpSpec four = IndexedBmp(5, 2, 4, 16);
    four.colorsUsed = 0;
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(four)));
    EXPECT_EQ(dib.GetPaletteSize(), 64u);
    EXPECT_EQ(dib.GetStride(), -4);

    BmpSpec eight = IndexedBmp(3, 2, 8, 256);
    eight.colorsUsed = 0;
    ASSERT_TRUE(Read(&dib, BuildBmp(eight)));
    EXPECT_EQ(dib.GetPaletteSize(), 1024u);

    ASSERT_TRUE(Read(&dib, BuildBmp(TrueColour(3, 2))));
    EXPECT_EQ(dib.GetPaletteSize(), 0u);
    EXPECT_EQ(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.GetStride(), -12);

    // Few colours used: only those are stored.
    ASSERT_TRUE(Read(&dib, BuildBmp(IndexedBmp(4, 1, 8, 3))));
    EXPECT_EQ(dib.GetPaletteSize(), 12u);
}

TEST(CDIB, SixteenBitBitFieldsKeepTheirMasks) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bitCount = 16;
    spec.compression = CDIB::kCompressionBitFields;
    spec.palette = {0xF800, 0x07E0, 0x001F};  // the three masks take the palette's place
    spec.colorsUsed = 0;
    spec.rows = {{0x1234, 0x5678}};
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(spec)));
    EXPECT_EQ(dib.GetPaletteSize(), 12u);
    EXPECT_EQ(dib.GetPalette()[4], 0xE0);
    EXPECT_EQ(dib.GetPixels()[0], 0x34);
    EXPECT_EQ(dib.GetPixels()[3], 0x56);
    spec.compression = 0;
    spec.palette.clear();
    ASSERT_TRUE(Read(&dib, BuildBmp(spec)));
    EXPECT_EQ(dib.GetPaletteSize(), 0u);
}

TEST(CDIB, RowsAreAddressedFromTheTop) {
    const BmpSpec spec = IndexedBmp(5, 3, 4, 16);
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(spec)));
    CDIBCursor cursor(&dib, 0, 0);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            ASSERT_EQ(cursor.IndexAt(x), static_cast<int32_t>(spec.rows[y][x])) << x << "," << y;
            ASSERT_EQ(cursor.ColorAt(x), spec.palette[spec.rows[y][x]]);
        }
        if (y < 2) {
            ASSERT_TRUE(cursor.MoveRows(1));
        }
    }
    // Odd x reads the low nibble of the byte it shares.
    EXPECT_EQ(dib.GetPixels()[0] & 0x0F, static_cast<int32_t>(spec.rows[0][1]));
    uint8_t run[4] = {};
    ASSERT_TRUE(cursor.SetPosition(0, 1));
    ASSERT_TRUE(cursor.ReadIndicesAlong(1, 4, run));
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(run[i], spec.rows[1][1 + i]);
    uint8_t column[3] = {};
    ASSERT_TRUE(cursor.SetPosition(3, 0));
    ASSERT_TRUE(cursor.ReadIndicesDown(3, column));
    for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(column[y], spec.rows[y][3]);
    EXPECT_TRUE(cursor == CDIBCursor(&dib, 3, 0));  // reading down leaves the cursor where it was
    EXPECT_FALSE(cursor == CDIBCursor(&dib, 3, 1));
}

TEST(CDIB, TrueColourPixelsAndPaddingBytes) {
    const BmpSpec spec = TrueColour(3, 2);
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(spec)));
    CDIBCursor cursor(&dib, 0, 1);
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(cursor.ColorAt(x), spec.rows[1][x]);
    EXPECT_EQ(cursor.IndexAt(0), -1);
    uint8_t run[3] = {};
    ASSERT_TRUE(cursor.ReadIndicesAlong(0, 3, run));
    EXPECT_EQ(run[2], 255);
}

TEST(CDIB, CursorRefusesPositionsOutsideTheImage) {
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(IndexedBmp(4, 2, 8, 8))));
    CDIBCursor cursor(&dib, 0, 0);
    AssertCounter counter;
    EXPECT_FALSE(cursor.SetPosition(5, 0));
    EXPECT_FALSE(cursor.MoveRows(3));
    EXPECT_FALSE(cursor.MoveRows(-1));
    uint8_t run[8];
    EXPECT_FALSE(cursor.ReadIndicesAlong(2, 3, run));
    EXPECT_FALSE(cursor.ReadIndicesDown(3, run));
    EXPECT_EQ(counter.Count(), 5);
    // One past the last row is a valid place, but nothing is read there.
    ASSERT_TRUE(cursor.SetPosition(0, 2));
    EXPECT_EQ(cursor.IndexAt(0), -1);
    EXPECT_EQ(cursor.ColorAt(0), 0u);
}

TEST(CDIB, IndicesBeyondTheStoredColoursReadBlack) {
    BmpSpec spec = IndexedBmp(2, 1, 8, 2);
    spec.rows = {{1, 200}};
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(spec)));
    CDIBCursor cursor(&dib, 0, 0);
    EXPECT_EQ(cursor.ColorAt(0), spec.palette[1]);
    EXPECT_EQ(cursor.IndexAt(1), 200);
    EXPECT_EQ(cursor.ColorAt(1), 0u);
}

TEST(CDIB, LongInfoHeadersAreSkipped) {
    BmpSpec spec = IndexedBmp(3, 2, 8, 4);
    spec.infoSize = 124;
    spec.gap = 6;
    CDIB dib;
    ASSERT_TRUE(Read(&dib, BuildBmp(spec)));
    CDIBCursor cursor(&dib, 0, 1);
    EXPECT_EQ(cursor.ColorAt(2), spec.palette[spec.rows[1][2]]);
}

TEST(CDIB, HostileFilesAreRefusedAndLeaveNothing) {
    std::vector<std::vector<uint8_t>> files;
    BmpSpec spec = IndexedBmp(3, 2, 8, 4);
    spec.colorsUsed = 1000;
    files.push_back(BuildBmp(spec));
    spec = IndexedBmp(3, 2, 8, 4);
    spec.colorsUsed = -4;
    files.push_back(BuildBmp(spec));
    spec = IndexedBmp(3, 2, 8, 4);
    spec.storedHeight = -2;  // top-down rows
    files.push_back(BuildBmp(spec));
    spec = IndexedBmp(3, 2, 8, 4);
    spec.infoSize = 12;  // too short for the fields read
    files.push_back(BuildBmp(spec));
    spec = IndexedBmp(3, 2, 8, 4);
    spec.compression = 1;  // run-length rows
    files.push_back(BuildBmp(spec));
    spec = TrueColour(3, 2);
    spec.width = 0x40000000;  // rows overflow
    spec.rows.clear();
    files.push_back(BuildBmp(spec));
    spec = IndexedBmp(3, 2, 7, 4);
    spec.rows.clear();
    files.push_back(BuildBmp(spec));
    std::vector<uint8_t> truncated = BuildBmp(IndexedBmp(8, 8, 8, 4));
    truncated.resize(truncated.size() - 5);
    files.push_back(truncated);
    std::vector<uint8_t> overlapping = BuildBmp(IndexedBmp(3, 2, 8, 4));
    overlapping[10] = 20;  // pixel offset inside the headers
    files.push_back(overlapping);
    files.push_back({'B', 'M', 0, 0});
    std::vector<uint8_t> noSize = BuildBmp(IndexedBmp(3, 2, 8, 4));
    noSize[2] = noSize[3] = noSize[4] = noSize[5] = 0;
    files.push_back(noSize);

    for (size_t i = 0; i < files.size(); ++i) {
        AssertCounter counter;
        CDIB dib;
        EXPECT_FALSE(Read(&dib, files[i])) << "file " << i;
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(dib.GetPalette(), nullptr);
    }
}

TEST(CDIB, LaidOverMemoryWithoutCopying) {
    const BmpSpec spec = IndexedBmp(5, 3, 8, 16);
    const std::vector<uint8_t> bytes = BuildBmp(spec);
    CDIB dib(bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
    ASSERT_FALSE(dib.IsEmpty());
    EXPECT_EQ(dib.GetPalette(), bytes.data() + 54);
    CDIBCursor cursor(&dib, 0, 0);
    EXPECT_EQ(cursor.ColorAt(4), spec.palette[spec.rows[0][4]]);
    ASSERT_TRUE(cursor.MoveRows(2));
    EXPECT_EQ(cursor.IndexAt(1), static_cast<int32_t>(spec.rows[2][1]));

    // Offsets that reach past the block leave the object empty.
    std::vector<uint8_t> shortBlock(bytes.begin(), bytes.end() - 1);
    CDIB cut(shortBlock.data(), static_cast<uint32_t>(shortBlock.size()), 0);
    EXPECT_TRUE(cut.IsEmpty());
    AssertCounter counter;
    CDIB flagged(bytes.data(), static_cast<uint32_t>(bytes.size()), 1);
    EXPECT_EQ(counter.Count(), 1);
    // The block stays the caller's: releasing does not free it (ASan would tell).
    flagged.Release();
}
