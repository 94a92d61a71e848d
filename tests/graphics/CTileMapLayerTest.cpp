#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CTileMapLayer.h"
#include "DrawingScope.h"

namespace {

typedef CTileMapLayer::TileRecord TileRecord;
typedef CTileMapLayer::AnimationRecord AnimationRecord;

constexpr int kTile = 4;
constexpr int kSheetColumns = 4;  // a 16x8 sheet of 4x4 images: 8 images
constexpr int kColumns = 5;
constexpr int kRows = 3;

uint32_t SheetPixel(int x, int y) { return static_cast<uint32_t>((x * 13) << 16 | (y * 17) << 8 | 0x55); }

TileRecord Tile(int32_t base, int32_t overlay0 = 0, int32_t overlay1 = 0, int32_t overlay2 = 0, uint8_t flags = 0) {
    TileRecord record{};
    record.baseImage = base;
    record.overlayImages[0] = overlay0;
    record.overlayImages[1] = overlay1;
    record.overlayImages[2] = overlay2;
    record.cornerFlags = flags;
    return record;
}

AnimationRecord Animation(int8_t mode, uint8_t delay, int32_t first, int32_t end) {
    AnimationRecord record{};
    record.mode = mode;
    record.delay = delay;
    record.countdown = static_cast<int8_t>(delay);
    record.current = first;
    record.first = first;
    record.end = end;
    return record;
}

// A 5x3 grid of 4x4 tiles over a 16x8 sheet, drawn into a 12x8 view. Tile 2
// has an overlay; tile 3 names an image beyond the sheet, which is skipped.
class TileLayerTest : public ::testing::Test {
protected:
    TileLayerTest()
        : m_scope(12, 8),
          m_cells({1, 2, 0, 3, 1,  //
                   2, -1, 1, 0, 2,  //
                   3, 1, 2, 1, -1}),
          m_tiles({Tile(5), Tile(1), Tile(2, 6), Tile(7, 0, 9)}),
          m_animations({Animation(0, 1, 0, 0), Animation(CTileMapLayer::kModeLoopForward, 1, 0, 3)}),
          m_frames({1, 2, 3}) {
        m_sheet = m_scope.MakeImage(16, 8, SheetPixel);
        m_view.Set(0, 0, 12, 8);
    }

    void SetUp() override {
        ASSERT_TRUE(m_layer.Load(m_sheet, kTile, kTile, 0x10000, m_cells.data(), kColumns, kRows, m_tiles.data(),
                                 static_cast<int32_t>(m_tiles.size()), m_animations.data(),
                                 static_cast<int32_t>(m_animations.size()), m_frames.data(),
                                 static_cast<int32_t>(m_frames.size())));
    }

    int32_t TileOf(int column, int row) const {
        const int16_t cell = m_cells[static_cast<size_t>(row) * kColumns + column];
        return cell >= 0 ? cell : m_frames[static_cast<size_t>(m_animations[-cell].current)];
    }

    // The whole grid (and with wrap its repeats) drawn at the scroll
    // position, clipped to the view.
    std::vector<uint32_t> Expected(int px, int py, uint32_t passMask, bool wrap) const {
        ExpectedFrame frame(12, 8, 0);
        const int repeats = wrap ? 3 : 1;
        for (int ky = 0; ky < repeats; ++ky) {
            for (int kx = 0; kx < repeats; ++kx) {
                for (int r = 0; r < kRows; ++r) {
                    for (int c = 0; c < kColumns; ++c) {
                        const int tile = TileOf(c, r);
                        if (tile <= 0) continue;
                        const int x = (c + kx * kColumns) * kTile - px;
                        const int y = (r + ky * kRows) * kTile - py;
                        const TileRecord& record = m_tiles[static_cast<size_t>(tile)];
                        std::vector<int32_t> images;
                        if ((passMask & 1) != 0) images.push_back(record.baseImage);
                        if ((passMask & 2) != 0) {
                            images.insert(images.end(), record.overlayImages, record.overlayImages + 3);
                        }
                        for (int32_t m : images) {
                            if (m <= 0 || m >= 8) continue;
                            frame.Blit(SheetPixel, (m % kSheetColumns) * kTile, (m / kSheetColumns) * kTile, kTile,
                                       kTile, x, y);
                        }
                    }
                }
            }
        }
        return frame.pixels;
    }

    std::vector<uint32_t> Draw(int32_t scrollX, int32_t scrollY, uint32_t passMask) {
        m_scope.FillFrame(0);
        m_layer.Draw(m_view, scrollX, scrollY, passMask);
        return m_scope.ReadFrame();
    }

    DrawingScope m_scope;
    CRenderSurface* m_sheet = nullptr;
    CRect m_view;
    std::vector<int16_t> m_cells;
    std::vector<TileRecord> m_tiles;
    std::vector<AnimationRecord> m_animations;
    std::vector<int16_t> m_frames;
    CTileMapLayer m_layer;
};

}  // namespace

TEST_F(TileLayerTest, DrawsTheCellsUnderTheView) {
    for (uint32_t passes : {1u, 2u, 3u}) EXPECT_EQ(Draw(5, 3, passes), Expected(5, 3, passes, false)) << passes;
}

TEST_F(TileLayerTest, ScrollingToAndPastTheEdgeReadsNothingOutsideTheGrid) {
    // The last column ends exactly at the view's right edge, then one pixel short.
    EXPECT_EQ(Draw(8, 4, 3), Expected(8, 4, 3, false));
    EXPECT_EQ(Draw(9, 5, 3), Expected(9, 5, 3, false));
    const std::vector<uint32_t> empty(12 * 8, 0);
    EXPECT_EQ(Draw(20, 0, 3), empty);
    EXPECT_EQ(Draw(0, 12, 3), empty);
    // Starting beyond the last column or row, not just at it: no index ever
    // equals the count there, and the cells of the next row, or past the
    // grid's end, must not be read.
    EXPECT_EQ(Draw(24, 0, 3), empty);
    EXPECT_EQ(Draw(0, 16, 3), empty);
    EXPECT_EQ(Draw(31, 13, 3), empty);
    // A layer scrolled twice as fast starts past the grid sooner.
    m_layer.SetScrollFactors(0x20000, 0x10000);
    EXPECT_EQ(Draw(6, 0, 3), Expected(12, 0, 3, false));
    EXPECT_EQ(Draw(10, 0, 3), empty);
    EXPECT_EQ(Draw(14, 0, 3), empty);
}

TEST_F(TileLayerTest, WrapRepeatsTheGrid) {
    m_layer.SetWrap(true);
    EXPECT_EQ(Draw(18, 10, 3), Expected(18, 10, 3, true));
    // 20 x 12 pixels later the picture is the same.
    EXPECT_EQ(Draw(38, 22, 3), Expected(18, 10, 3, true));
}

TEST_F(TileLayerTest, AnimatedCellsAdvanceWithTime) {
    m_layer.UpdateAnimations(99);
    EXPECT_EQ(m_layer.GetTileAt(1, 1), 1);
    m_layer.UpdateAnimations(1);
    EXPECT_EQ(m_layer.GetTileAt(1, 1), 2);
    EXPECT_EQ(Draw(0, 0, 3), Expected(0, 0, 3, false));
    m_layer.UpdateAnimations(200);
    EXPECT_EQ(m_layer.GetTileAt(4, 2), 1);  // looped back to the first frame
}

TEST_F(TileLayerTest, BadAnimationReferencesGiveNoTile) {
    AssertCounter checks;
    m_animations[1].current = 7;  // beyond the three frames
    EXPECT_EQ(m_layer.GetTileAt(1, 1), 0);
    m_animations[1].current = -1;
    EXPECT_EQ(m_layer.GetTileAt(1, 1), 0);
    // Such cells draw as empty ones.
    const std::vector<uint32_t> drawn = Draw(0, 0, 3);
    m_cells[6] = 0;
    m_cells[14] = 0;
    m_animations[1].current = 0;
    EXPECT_EQ(drawn, Expected(0, 0, 3, false));
    m_cells[0] = -5;  // animation 5 does not exist
    EXPECT_EQ(m_layer.GetTileAt(0, 0), 0);
    EXPECT_EQ(m_layer.GetTileRecordAt(0, 0), nullptr);
    EXPECT_GT(checks.Count(), 0);
}

TEST_F(TileLayerTest, SetCellTakesOnlyKnownTilesAndAnimations) {
    m_layer.SetCell(2, 0, 3);
    EXPECT_EQ(m_layer.GetTileAt(2, 0), 3);
    m_layer.SetCell(2, 0, 4);  // the tile count itself
    m_layer.SetCell(2, 0, -2);
    m_layer.SetCell(9, 0, 1);
    m_layer.SetCell(-1, 0, 1);
    EXPECT_EQ(m_cells[2], 3);
    m_animations[1].current = 2;
    m_layer.SetCell(2, 0, -1);
    EXPECT_EQ(m_cells[2], -1);
    EXPECT_EQ(m_animations[1].current, 0);  // restarted
    EXPECT_EQ(m_layer.GetTileAt(5, 0), 0);
    EXPECT_EQ(m_layer.GetTileAt(0, -1), 0);
    ASSERT_NE(m_layer.GetTileRecordAt(0, 2), nullptr);
    EXPECT_EQ(m_layer.GetTileRecordAt(0, 2)->baseImage, 7);
}

TEST_F(TileLayerTest, OverlayPassCallsTheDrawHook) {
    struct Call {
        int32_t index;
        CRect scroll;
        uintptr_t data;
        int count = 0;
    };
    static Call call;
    call = Call{};
    m_layer.SetIndex(3);
    m_layer.SetDrawHook(
        [](int32_t index, const CRect&, const CRect& scroll, int32_t, int32_t, uintptr_t data) {
            call.index = index;
            call.scroll = scroll;
            call.data = data;
            ++call.count;
        },
        0x1234);
    Draw(5, 6, 1);
    EXPECT_EQ(call.count, 0);
    Draw(5, 6, 2);
    EXPECT_EQ(call.count, 1);
    EXPECT_EQ(call.index, 3);
    EXPECT_EQ(call.scroll.y, 6);
    EXPECT_EQ(call.data, 0x1234u);
}

TEST(CTileMapLayer, LoadRefusesUnusableGeometry) {
    AssertCounter checks;
    DrawingScope scope(8, 8);
    CRenderSurface* sheet = scope.MakeImage(8, 8, SheetPixel);
    std::vector<int16_t> cells(4, 1);
    std::vector<TileRecord> tiles(2, Tile(1));
    CTileMapLayer layer;
    EXPECT_FALSE(layer.Load(sheet, 0, 4, 0, cells.data(), 2, 2, tiles.data(), 2, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(layer.Load(sheet, 4, -4, 0, cells.data(), 2, 2, tiles.data(), 2, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(layer.Load(sheet, 4, 4, 0, cells.data(), -2, 2, tiles.data(), 2, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(layer.Load(nullptr, 4, 4, 0, cells.data(), 2, 2, tiles.data(), 2, nullptr, 0, nullptr, 0));
    EXPECT_EQ(checks.Count(), 1);
    EXPECT_TRUE(layer.Load(sheet, 4, 4, 0, cells.data(), 2, 2, tiles.data(), 2, nullptr, 0, nullptr, 0));
}

TEST(CTileMapLayer, AnimationModesStepAsTheirTablesSay) {
    struct Case {
        int8_t mode;
        int32_t first;
        int32_t end;
        std::vector<int32_t> positions;  // after each tick
        std::vector<int8_t> modes;
        bool stopsAtEnd;
    };
    const Case cases[] = {
        {CTileMapLayer::kModeLoopForward, 0, 3, {1, 2, 0, 1}, {1, 1, 1, 1}, false},
        {CTileMapLayer::kModeLoopBackward, 0, 3, {2, 1, 0, 2}, {2, 2, 2, 2}, false},
        {CTileMapLayer::kModeOnceThenFirst, 2, 5, {3, 4, 2, 2}, {3, 3, 3, 3}, true},
        {CTileMapLayer::kModeOnceThenHold, 0, 3, {1, 2, 2, 2}, {4, 4, 4, 4}, false},
        {CTileMapLayer::kModePingPongForward, 0, 3, {1, 2, 2, 1, 0, 0, 1}, {5, 5, 6, 6, 6, 5, 5}, false},
        {CTileMapLayer::kModeStop, 1, 3, {1, 1}, {0, 0}, true},
    };
    std::vector<int16_t> cells(1, 0);
    std::vector<TileRecord> tiles(1);
    std::vector<int16_t> frames(8, 1);
    DrawingScope scope(4, 4);
    CRenderSurface* sheet = scope.MakeImage(4, 4, SheetPixel);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        std::vector<AnimationRecord> animations = {Animation(0, 1, 0, 0), Animation(c.mode, 1, c.first, c.end)};
        if (c.mode == CTileMapLayer::kModeLoopBackward) animations[1].current = 0;
        CTileMapLayer layer;
        ASSERT_TRUE(layer.Load(sheet, 4, 4, 0, cells.data(), 1, 1, tiles.data(), 1, animations.data(), 2,
                               frames.data(), 8));
        for (size_t tick = 0; tick < c.positions.size(); ++tick) {
            layer.UpdateAnimations(100);
            EXPECT_EQ(animations[1].current, c.positions[tick]) << "tick " << tick;
            EXPECT_EQ(animations[1].mode, c.modes[tick]) << "tick " << tick;
        }
        EXPECT_EQ(animations[1].countdown == CTileMapLayer::kStopped, c.stopsAtEnd);
    }
}

TEST(CTileMapLayer, OneAccumulatorServesEveryAnimation) {
    std::vector<int16_t> cells(1, 0);
    std::vector<TileRecord> tiles(1);
    std::vector<int16_t> frames(16, 1);
    std::vector<AnimationRecord> animations = {Animation(0, 1, 0, 0), Animation(1, 1, 0, 16), Animation(1, 1, 0, 16)};
    DrawingScope scope(4, 4);
    CTileMapLayer layer;
    ASSERT_TRUE(layer.Load(scope.MakeImage(4, 4, SheetPixel), 4, 4, 0, cells.data(), 1, 1, tiles.data(), 1,
                           animations.data(), 3, frames.data(), 16));
    layer.UpdateAnimations(250);
    EXPECT_EQ(animations[1].current, 2);  // 250: two ticks, 50 left over
    EXPECT_EQ(animations[2].current, 3);  // 50 + 250: three ticks

    // Without a period nothing runs (and nothing spins).
    layer.SetAnimationPeriod(0);
    layer.UpdateAnimations(1000);
    EXPECT_EQ(animations[1].current, 2);
    layer.SetAnimationPeriod(50);
    layer.UpdateAnimations(50);
    EXPECT_EQ(animations[1].current, 3);
    EXPECT_EQ(animations[2].current, 4);
}
