#include <gtest/gtest.h>

#include <vector>

#include "AssertCounter.h"
#include "CTileMap.h"
#include "CTileMapLayer.h"
#include "DrawingScope.h"

namespace {

typedef CTileMapLayer::TileRecord TileRecord;
typedef CTileMapLayer::AnimationRecord AnimationRecord;

uint32_t SheetPixel(int x, int y) { return static_cast<uint32_t>(0x100000 + (x << 8) + y); }

// The colour the sheet shows for image m at a pixel of a 4x4 tile (a 16x4
// sheet of four images).
uint32_t ImageColour(int32_t m, int x, int y) { return SheetPixel(m * 4 + x, y); }

TileRecord Tile(int32_t base, int32_t overlay) {
    TileRecord record{};
    record.baseImage = base;
    record.overlayImages[0] = overlay;
    return record;
}

}  // namespace

TEST(CTileMap, ViewIsTheCurrentSurfaceAndScrollStaysInsideTheMap) {
    DrawingScope scope(240, 16);
    CTileMap map;
    map.SetMapSize(1000, 500);
    map.SetScroll(900, 3);
    EXPECT_EQ(map.GetScrollX(), 759);
    EXPECT_EQ(map.GetScrollY(), 3);
    EXPECT_FALSE(map.CanScrollRight());
    EXPECT_TRUE(map.CanScrollLeft());
    map.SetScroll(-5, 1000);
    EXPECT_EQ(map.GetScrollX(), 0);
    EXPECT_EQ(map.GetScrollY(), 483);
    EXPECT_FALSE(map.CanScrollLeft());

    // A map exactly as wide as the view never scrolls; SetMapSize resets the scroll.
    map.SetMapSize(240, 16);
    EXPECT_EQ(map.GetScrollY(), 0);
    map.SetScroll(50, 50);
    EXPECT_EQ(map.GetScrollX(), 0);
    EXPECT_FALSE(map.CanScrollRight());

    // The view rectangle's size counts from the next SetMapSize on.
    CRect view;
    view.Set(0, 0, 100, 10);
    map.SetViewRect(view);
    EXPECT_EQ(map.GetViewWidth(), 240);
    map.SetMapSize(50, 50);
    EXPECT_EQ(map.GetViewWidth(), 50);
    EXPECT_EQ(map.GetViewHeight(), 10);
}

TEST(CTileMap, HoldsSevenLayersAtMost) {
    AssertCounter checks;
    DrawingScope scope(8, 8);
    CTileMap map;
    std::vector<CTileMapLayer> layers(8);
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(map.AddLayer(&layers[static_cast<size_t>(i)]));
    EXPECT_EQ(layers[6].GetIndex(), 6);
    EXPECT_EQ(checks.Count(), 0);
    EXPECT_FALSE(map.AddLayer(&layers[7]));
    EXPECT_FALSE(map.AddLayer(nullptr));
    EXPECT_EQ(map.GetLayerCount(), 7);
    EXPECT_EQ(map.GetLayer(7), nullptr);
    EXPECT_EQ(checks.Count(), 3);
}

// Two layers of two 4x4 cells. Layer 0 has a base and an overlay image in
// both cells, layer 1 an animated cell on the right whose tile has a base
// image only, so the order of layers and passes shows in the frame.
TEST(CTileMap, DrawsVisibleLayersInOrderEachWithBothPasses) {
    DrawingScope scope(8, 4);
    CRenderSurface* sheet = scope.MakeImage(16, 4, SheetPixel);
    std::vector<int16_t> cellsBelow = {1, 1};
    std::vector<int16_t> cellsAbove = {0, -1};
    std::vector<TileRecord> tiles = {Tile(0, 0), Tile(1, 2), Tile(3, 0)};
    std::vector<AnimationRecord> animations(2);
    animations[1].mode = CTileMapLayer::kModeLoopForward;
    animations[1].delay = 1;
    animations[1].countdown = 1;
    animations[1].end = 2;
    std::vector<int16_t> frames = {2, 1};
    CTileMapLayer below;
    CTileMapLayer above;
    ASSERT_TRUE(below.Load(sheet, 4, 4, 0, cellsBelow.data(), 2, 1, tiles.data(), 3, nullptr, 0, nullptr, 0));
    ASSERT_TRUE(above.Load(sheet, 4, 4, 0, cellsAbove.data(), 2, 1, tiles.data(), 3, animations.data(), 2,
                           frames.data(), 2));
    CTileMap map;
    map.SetMapSize(8, 4);
    map.AddLayer(&below);
    map.AddLayer(&above);

    auto frameOf = [](int32_t left, int32_t right) {
        std::vector<uint32_t> frame;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 8; ++x) frame.push_back(ImageColour(x < 4 ? left : right, x % 4, y));
        }
        return frame;
    };

    scope.FillFrame(0);
    map.Draw();
    // Left: layer 0's overlay (image 2). Right: layer 1's tile 2 (image 3)
    // covers layer 0's overlay, which it would not if all bases came first.
    EXPECT_EQ(scope.ReadFrame(), frameOf(2, 3));

    scope.FillFrame(0);
    map.DrawLayerPass(0, CTileMapLayer::kPassBase);
    EXPECT_EQ(scope.ReadFrame(), frameOf(1, 1));

    // Animated layers advance even while hidden, and hidden layers are not drawn.
    above.SetVisible(false);
    map.Update(100);
    EXPECT_EQ(above.GetTileAt(1, 0), 1);
    scope.FillFrame(0);
    map.Draw();
    EXPECT_EQ(scope.ReadFrame(), frameOf(2, 2));
    above.SetVisible(true);
    scope.FillFrame(0);
    map.DrawLayer(1);
    map.DrawLayer(5);
    std::vector<uint32_t> expected = frameOf(2, 2);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) expected[static_cast<size_t>(y * 8 + x)] = 0;
    }
    EXPECT_EQ(scope.ReadFrame(), expected);
}
