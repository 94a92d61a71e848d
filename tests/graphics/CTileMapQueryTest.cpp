#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "AssertCounter.h"
#include "CTileMapLayer.h"
#include "DrawingScope.h"

namespace {

typedef CTileMapLayer::CellRef CellRef;
typedef CTileMapLayer::TileRecord TileRecord;
typedef std::tuple<int32_t, int32_t, int32_t> CellAndTag;  // column, row, tag

constexpr int32_t kOne = 0x10000;

CVector2d Px(int32_t x, int32_t y) { return CVector2d(x * kOne, y * kOne); }

TileRecord Flags(uint8_t flags) {
    TileRecord record{};
    record.cornerFlags = flags;
    return record;
}

// A 20 x 4 grid of 16-pixel tiles. Tile 1 is solid (top-left and
// bottom-right corners), tile 2 has only the bottom-left flag, tile 3 none.
class TileQueryTest : public ::testing::Test {
protected:
    TileQueryTest()
        : m_scope(16, 16),
          m_cells(20 * 4, 3),
          m_tiles({Flags(0), Flags(0x01 | 0x08), Flags(0x04), Flags(0)}) {}

    void SetUp() override { ASSERT_TRUE(Load(&m_layer, 16)); }

    bool Load(CTileMapLayer* layer, int32_t tile) {
        return layer->Load(m_scope.MakeImage(32, 32, [](int, int) { return 0u; }), tile, tile, 0x8000,
                           m_cells.data(), 20, 4, m_tiles.data(), 4, nullptr, 0, nullptr, 0);
    }

    std::vector<CellAndTag> Cells(const std::vector<CellRef>& refs, int32_t count) const {
        std::vector<CellAndTag> out;
        for (int32_t i = 0; i < count; ++i) {
            EXPECT_EQ(refs[static_cast<size_t>(i)].layer, &m_layer);
            out.emplace_back(refs[static_cast<size_t>(i)].column, refs[static_cast<size_t>(i)].row,
                             refs[static_cast<size_t>(i)].tag);
        }
        return out;
    }

    DrawingScope m_scope;
    std::vector<int16_t> m_cells;
    std::vector<TileRecord> m_tiles;
    CTileMapLayer m_layer;
};

}  // namespace

TEST_F(TileQueryTest, CellLookupsInsideAndOutside) {
    CellRef cell{};
    m_layer.GetCellAtPixel(20, 5, &cell);
    EXPECT_EQ(std::make_tuple(cell.column, cell.row, cell.centreX, cell.centreY, cell.tag),
              std::make_tuple(1, 0, 24, 8, 0));
    m_layer.GetCellAtPixel(319, 63, &cell);
    EXPECT_EQ(std::make_tuple(cell.column, cell.row), std::make_tuple(19, 3));
    for (const auto& [x, y] : {std::pair{-1, 0}, std::pair{320, 0}, std::pair{0, 64}}) {
        m_layer.GetCellAtPixel(x, y, &cell);
        EXPECT_EQ(std::make_tuple(cell.column, cell.row, cell.centreX, cell.centreY), std::make_tuple(-1, -1, -1, -1));
        EXPECT_EQ(cell.layer, &m_layer);
    }
    m_layer.GetCell(2, 3, &cell);
    EXPECT_EQ(std::make_tuple(cell.column, cell.row, cell.centreX, cell.centreY), std::make_tuple(2, 3, 40, 56));
    m_layer.GetCell(20, 0, &cell);
    EXPECT_EQ(std::make_tuple(cell.column, cell.row, cell.centreX, cell.centreY), std::make_tuple(-1, -1, 0, 0));

    // With wrap, pixels fold back into the layer.
    m_layer.SetWrap(true);
    m_layer.GetCellAtPixel(-1, 64 + 17, &cell);
    EXPECT_EQ(std::make_tuple(cell.column, cell.row), std::make_tuple(19, 1));
}

TEST_F(TileQueryTest, SegmentsCollectEachCellOnce) {
    std::vector<CellRef> refs(32);
    // Wholly inside one cell, however many steps.
    EXPECT_EQ(m_layer.CollectCellsOnSegment(Px(2, 2), Px(13, 13), refs.data(), 32, 0), 1);
    EXPECT_EQ(Cells(refs, 1), (std::vector<CellAndTag>{{0, 0, 0}}));

    // A 3-4-5 diagonal of length 50 sampled every 8 pixels and at its end:
    // (4, 4), (8.8, 10.4), (13.6, 16.8), (18.4, 23.2), (23.2, 29.6), (28, 36),
    // (32.8, 42.4), (34, 44).
    const int32_t count = m_layer.CollectCellsOnSegment(Px(4, 4), Px(34, 44), refs.data(), 32, 0);
    EXPECT_EQ(Cells(refs, count), (std::vector<CellAndTag>{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 2, 0}, {2, 2, 0}}));

    // Longer than 181 pixels: across the whole layer.
    EXPECT_EQ(m_layer.CollectCellsOnSegment(Px(8, 40), Px(312, 40), refs.data(), 32, 0), 20);
    EXPECT_EQ(std::make_tuple(refs[19].column, refs[19].row), std::make_tuple(19, 2));

    // Cells outside the layer share one entry.
    EXPECT_EQ(m_layer.CollectCellsOnSegment(Px(8, -40), Px(8, -8), refs.data(), 32, 0), 1);
    EXPECT_EQ(refs[0].column, -1);

    // No room, or no length: nothing written.
    refs[3].column = 77;
    EXPECT_EQ(m_layer.CollectCellsOnSegment(Px(8, 8), Px(56, 8), refs.data(), 3, 3), 3);
    EXPECT_EQ(refs[3].column, 77);
    EXPECT_EQ(m_layer.CollectCellsOnSegment(Px(8, 8), Px(8, 8), refs.data(), 32, 0), 0);
    // The capacity stops the walk.
    EXPECT_EQ(m_layer.CollectCellsOnSegment(Px(8, 8), Px(312, 8), refs.data(), 5, 0), 5);
}

TEST_F(TileQueryTest, SweptSegmentsTagCellsWithTheirStep) {
    std::vector<CellRef> refs(32);
    const int32_t count = m_layer.CollectCellsSweptSegment(Px(8, 8), Px(8, 24), Px(32, 0), refs.data(), 32, 0);
    EXPECT_EQ(Cells(refs, count), (std::vector<CellAndTag>{{0, 0, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 1}, {2, 0, 3},
                                                            {2, 1, 3}}));
    EXPECT_EQ(m_layer.CollectCellsSweptSegment(Px(8, 8), Px(8, 24), CVector2d(), refs.data(), 32, 0), 0);
}

TEST_F(TileQueryTest, SweptDiscsCoverTheirDiameterAndReachTheSolidTiles) {
    m_cells[1 * 20 + 2] = 1;
    m_cells[1 * 20 + 4] = 2;
    m_cells[1 * 20 + 5] = 1;
    std::vector<CellRef> refs(32);
    // A disc of radius 4 at (24, 24) moving 16 to the right sweeps x 24..44, y 20..28.
    int32_t count = m_layer.CollectCellsSweptCircle(Px(24, 24), 4 * kOne, Px(16, 0), refs.data(), 32, 0);
    EXPECT_EQ(Cells(refs, count), (std::vector<CellAndTag>{{1, 1, 0}, {2, 1, 1}}));
    EXPECT_TRUE(m_layer.IsSolidTile(m_layer.GetTileAt(refs[1].column, refs[1].row)));

    // Further along it meets tile 2, which is not solid, then a solid tile.
    count = m_layer.CollectCellsSweptCircle(Px(56, 24), 4 * kOne, Px(24, 0), refs.data(), 32, 0);
    std::vector<int32_t> solid;
    for (int32_t i = 0; i < count; ++i) solid.push_back(m_layer.IsSolidTile(m_layer.GetTileAt(refs[i].column, 1)));
    EXPECT_EQ(Cells(refs, count), (std::vector<CellAndTag>{{3, 1, 0}, {4, 1, 1}, {5, 1, 3}}));
    EXPECT_EQ(solid, (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(m_layer.CollectCellsSweptCircle(Px(24, 24), 4 * kOne, CVector2d(), refs.data(), 32, 0), 0);
}

TEST_F(TileQueryTest, SolidShapesFromTheCornerFlags) {
    EXPECT_TRUE(m_layer.IsSolidTile(1));
    EXPECT_FALSE(m_layer.IsSolidTile(2));  // 0x04 alone
    EXPECT_FALSE(m_layer.IsSolidTile(3));
    EXPECT_FALSE(m_layer.IsSolidTile(0));
    EXPECT_FALSE(m_layer.IsSolidTile(4));
    EXPECT_EQ(m_layer.GetSolidRadius(1), 8 * kOne);  // 16 x 0.5
    EXPECT_EQ(m_layer.GetSolidRadius(2), 0);

    CVector2d half(5, 5);
    m_layer.GetSolidHalfExtents(1, &half);
    EXPECT_EQ(std::make_pair(half.x, half.y), std::make_pair(8 * kOne, 8 * kOne));
    m_layer.GetSolidHalfExtents(3, &half);
    EXPECT_EQ(std::make_pair(half.x, half.y), std::make_pair(0, 0));

    CVector2d corners[4];
    int32_t count = 4;
    m_layer.GetSolidCorners(1, corners, &count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(std::make_pair(corners[0].x, corners[0].y), std::make_pair(-8 * kOne, -8 * kOne));
    EXPECT_EQ(std::make_pair(corners[1].x, corners[1].y), std::make_pair(8 * kOne, 8 * kOne));
    count = 4;
    m_layer.GetSolidCorners(2, corners, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::make_pair(corners[0].x, corners[0].y), std::make_pair(-8 * kOne, 8 * kOne));
    count = 4;
    m_layer.GetSolidCorners(4, corners, &count);
    EXPECT_EQ(count, 0);

    AssertCounter checks;
    count = 3;
    m_layer.GetSolidCorners(1, corners, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(checks.Count(), 1);
}

TEST_F(TileQueryTest, OddTilesRoundTheirHalvesBothWays) {
    CTileMapLayer odd;
    ASSERT_TRUE(Load(&odd, 15));
    CVector2d half;
    odd.GetSolidHalfExtents(1, &half);
    EXPECT_EQ(half.x, 7 * kOne);
    CVector2d corners[4];
    int32_t count = 4;
    odd.GetSolidCorners(1, corners, &count);
    EXPECT_EQ(corners[1].x, 8 * kOne);
    CellRef cell{};
    odd.GetCell(1, 1, &cell);
    EXPECT_EQ(std::make_pair(cell.centreX, cell.centreY), std::make_pair(23, 23));
}
