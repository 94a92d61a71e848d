#include <gtest/gtest.h>

#include <cstdlib>

#include "BlitFormats.h"
#include "CArrayInputStream.h"
#include "CGameWorld.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceAttribute.h"
#include "JImage.h"
#include "LevelFixture.h"

namespace {

using namespace leveltest;

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kPicture = 0x30A050;

void ExpectNear(uint32_t actual, uint32_t expected) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>(actual >> shift & 0xFF);
        const int e = static_cast<int>(expected >> shift & 0xFF);
        EXPECT_LE(std::abs(a - e), 3) << std::hex << actual << " vs " << expected;
    }
}

// The main layer shows tile 0 (red) but in row 11, tile 1 (blue), and row
// 12, a code past the tileset (nothing: the background colour). The camera
// rests at the map's bottom, 40 pixels down.
constexpr int32_t kBlueRow = 11;
constexpr int32_t kEmptyRow = 12;

Level PaintLevel() {
    Level level;
    level.map = FloorMap(20, 15, 48);
    for (uint16_t c = 0; c < 20; ++c) {
        level.map.tiles.cells[kBlueRow * 20 + c] = 1;
        level.map.tiles.cells[kEmptyRow * 20 + c] = 2;
    }
    level.scripts = OneScript({ScriptCommands::Bare(9)});
    return level;
}

class PlayFrameTest : public LevelFixture {
protected:
    void PaintFrame() {
        ClearScreen(0x123456);
        world->Paint(g);
    }
    // The screen point of a map pixel.
    int32_t ScreenX(int32_t mapX) const { return mapX - world->cameraX; }
    int32_t ScreenY(int32_t mapY) const { return mapY - world->cameraY; }
};

TEST_F(PlayFrameTest, TilesActorsHudAndFadeReachTheScreen) {
    MountAndLoad(PaintLevel());
    ASSERT_EQ(world->mainTileCount, 2);
    // The level starts behind a full fade.
    PaintFrame();
    ExpectNear(Pixel(120, 160), 0);
    for (int i = 0; i < 6; ++i) Frame();
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeNone);
    PaintFrame();
    ASSERT_EQ(world->cameraY, 40);
    ExpectNear(Pixel(100, ScreenY(kBlueRow * 24 - 12)), kRed);
    ExpectNear(Pixel(100, ScreenY(kBlueRow * 24 + 12)), kBlue);
    // Code 2 draws nothing: level 0's background colour (black) shows.
    ExpectNear(Pixel(100, ScreenY(kEmptyRow * 24 + 12)), 0);
    // The player's picture: 4 x 4 at (-2, -4) from its position, drawn 12
    // pixels lower.
    const CActor* p = world->player;
    ASSERT_NE(p, nullptr);
    ExpectNear(Pixel(ScreenX(p->sprite->GetX()), ScreenY(p->sprite->GetY()) + 12 - 2), kPicture);
    // The health row: one picture a hit point, 4 pixels apart, at y 14.
    ASSERT_GT(p->hitPoints, 1);
    ExpectNear(Pixel(44, 14 - 2), kPicture);
    ExpectNear(Pixel(44 + 4 * (p->hitPoints - 1) + 1, 14 - 2), kPicture);

    // Half way through a fade from clear to black the tiles are darkened.
    world->StartFade(CGameWorld::kFadeUpDown, 0, CGameWorld::kWhite, 150);
    PaintFrame();
    const uint32_t alpha = 150 * 255 / 300;
    ExpectNear(Pixel(100, ScreenY(kBlueRow * 24 - 12)), ((255 * (255 - alpha) / 255) << 16));
}

TEST_F(PlayFrameTest, BlackAndOtherSubStatesPaintBlack) {
    MountAndLoad(PaintLevel());
    for (int i = 0; i < 6; ++i) Frame();
    world->subState = CGameWorld::kSubStateBlack;
    PaintFrame();
    ExpectNear(Pixel(100, 12), 0);
    world->subState = CGameWorld::kSubStateComplete;
    PaintFrame();
    ExpectNear(Pixel(10, 300), 0);
}

TEST_F(PlayFrameTest, PartnerModeWithoutAPartnerPaintsNoHud) {
    MountAndLoad(PaintLevel());
    for (int i = 0; i < 6; ++i) Frame();
    world->partnerMode = 1;
    CActor* partner = world->partner;
    world->partner = nullptr;
    PaintFrame();
    // The tiles are there, the health row is not.
    ExpectNear(Pixel(100, ScreenY(kBlueRow * 24 + 12)), kBlue);
    ExpectNear(Pixel(44, 14 - 2), kRed);
    world->partner = partner;
    world->partnerMode = 0;
}

TEST_F(PlayFrameTest, TileLayersNeverReadOutsideTheirCells) {
    MountAndLoad(PaintLevel());
    for (int i = 0; i < 6; ++i) Frame();
    LevelTileLayer small{2, 1, {0, 1}};
    ClearScreen(0x123456);
    world->PaintTileLayer(g, world->mainTileset.get(), world->mainTileSources, small, 2, world->mainTileOpaque, -30, -50,
                          240, 320, 0, 0);
    ExpectNear(Pixel(31, 51), kRed);
    ExpectNear(Pixel(55, 51), kBlue);
    ExpectNear(Pixel(80, 51), 0x123456);
    ExpectNear(Pixel(10, 10), 0x123456);
}

// A picture the size of the screen hides the background colour only while
// none of its pixels is keyed: through a keyed one the colour shows.
TEST_F(PlayFrameTest, AKeyedScreenSizedPictureShowsTheColourThroughIt) {
    MountAndLoad(PaintLevel());
    for (int i = 0; i < 6; ++i) Frame();
    m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
    const std::vector<uint8_t> attributes = imagetest::BuildAttributePairs(
        {{kSurfaceAttrWidth, playtest::kScreenWidth},
         {kSurfaceAttrHeight, playtest::kScreenHeight},
         {kSurfaceAttrColorFormat, RSBFormat_X8R8G8B8}});
    CArrayInputStream stream;
    ASSERT_TRUE(stream.Open(attributes.data(), static_cast<uint32_t>(attributes.size())));
    CResourceRenderSurface picture;
    ASSERT_NE(picture.Create(0, &stream, LevelResourceFactory::kImageType), CResource::kFailed);
    // On the empty row, where no tile covers the picture.
    const int32_t keyX = 100;
    const int32_t keyY = ScreenY(kEmptyRow * 24 + 12);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(picture.GetSurface()->Lock(&pixels, &pitch, 0, nullptr));
    for (int32_t y = 0; y < playtest::kScreenHeight; ++y) {
        for (int32_t x = 0; x < playtest::kScreenWidth; ++x) StorePixel32(pixels + y * pitch + x * 4, kPicture);
    }
    StorePixel32(pixels + keyY * pitch + keyX * 4, kColorKeyRGB24);
    picture.GetSurface()->Unlock(0);
    world->backgroundImage = std::make_unique<JImage>(&picture);

    PaintFrame();
    // Level 0's background colour, black.
    ExpectNear(Pixel(keyX, keyY), 0);
    ExpectNear(Pixel(keyX + 1, keyY), kPicture);
    world->backgroundImage.reset();
}

// A background layer of tile 1 (blue) in front of a picture (the tileset
// itself) over level `level`, whose main layer the caller gives. Tile 0 of
// the tileset gets one keyed pixel, so it does not hide what lies under it.
class BackgroundTilesTest : public PlayFrameTest {
protected:
    static constexpr int32_t kKeyX = 5;
    static constexpr int32_t kKeyY = 7;
    // The camera rests 40 pixels down: the first cell of row 2 lies at (0, 8).
    static constexpr size_t kCell = 2 * 20;
    static constexpr int32_t kCellY = 8;

    void LoadWithBackground(Level level) {
        MountAndLoad(level);
        for (int i = 0; i < 6; ++i) Frame();
        ASSERT_EQ(world->cameraX, 0);
        ASSERT_EQ(world->cameraY, 40);
        // As the application's frame draws.
        m_renderer->Enable(CGraphics2d_Lite::kCapColorKey);
        world->backgroundTileset = std::make_unique<JImage>(kTilesetImage, 0);
        world->backgroundImage = std::make_unique<JImage>(kTilesetImage, 0);
        CRenderSurface* tiles = world->backgroundTileset->getSurface();
        ASSERT_NE(tiles, nullptr);
        ASSERT_EQ(tiles->GetFormat(), static_cast<uint32_t>(RSBFormat_X8R8G8B8));
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        ASSERT_TRUE(tiles->Lock(&pixels, &pitch, 0, nullptr));
        StorePixel32(pixels + kKeyY * pitch + kKeyX * 4, kColorKeyRGB24);
        tiles->Unlock(0);
        world->backgroundTileOpaque = world->backgroundTileset->opaqueSquares(CGameWorld::kTileSize);
        world->mainTileOpaque = world->backgroundTileOpaque;
        world->backgroundTileSources = world->backgroundTileset->squareSources(CGameWorld::kTileSize);
        world->backgroundTileCount = 2;
        world->backgroundLayer = {20, 15, std::vector<uint8_t>(20 * 15, 1)};
    }
};

// Background tiles that hide the screen leave nothing of the colour or the
// picture to show: the picture is not drawn.
TEST_F(BackgroundTilesTest, BackgroundTilesThatHideTheScreenDrawNoPicture) {
    Level level = PaintLevel();
    level.map.tiles.cells.assign(level.map.tiles.cells.size(), 2);
    LoadWithBackground(level);
    EXPECT_EQ(world->backgroundTileOpaque, (std::vector<bool>{false, true}));

    EXPECT_TRUE(world->CollectBackgroundTiles(0, 40));
    // Ten columns of fourteen rows in view, all opaque: copied whole.
    EXPECT_EQ(world->opaqueTilePieces.size(), 140u);
    EXPECT_TRUE(world->tilePieces.empty());
    PaintFrame();
    ExpectNear(Pixel(12, 12), kBlue);
    // A cell without a tile leaves a gap: the picture (its red half) shows.
    world->backgroundLayer.cells[kCell] = 9;
    EXPECT_FALSE(world->CollectBackgroundTiles(0, 40));
    PaintFrame();
    ExpectNear(Pixel(12, 12), kRed);
    // So it does through the keyed pixel of tile 0.
    world->backgroundLayer.cells[kCell] = 0;
    EXPECT_FALSE(world->CollectBackgroundTiles(0, 40));
    PaintFrame();
    ExpectNear(Pixel(kKeyX, kCellY + kKeyY), kRed);
}

// On the main layer's grid (no parallax), a background cell that a main
// tile hides needs neither its own tile nor the picture.
TEST_F(BackgroundTilesTest, BackgroundCellsUnderHidingMainTilesAreLeftOut) {
    Level level = PaintLevel();
    level.map.tiles.cells.assign(level.map.tiles.cells.size(), 2);
    level.map.tiles.cells[kCell] = 1;
    level.map.tiles.cells[kCell + 1] = 0;
    LoadWithBackground(level);
    world->backgroundLayer.cells[kCell] = 9;
    world->level = 2;
    ASSERT_TRUE(world->CollectBackgroundTiles(0, 40));
    // Ten columns of fourteen rows in view, less the hidden cell.
    EXPECT_EQ(world->opaqueTilePieces.size() + world->tilePieces.size(), 139u);
    PaintFrame();
    ExpectNear(Pixel(12, kCellY + 12), kBlue);
    // The keyed main tile beside it shows the background tile under it.
    ExpectNear(Pixel(24 + kKeyX, kCellY + kKeyY), kBlue);
    ExpectNear(Pixel(24 + 12, kCellY + 12), kRed);
    // With parallax the layers' grids part: the gap shows.
    world->level = 0;
    EXPECT_FALSE(world->CollectBackgroundTiles(0, 40));
}

}  // namespace

namespace {

class LetterboxTest : public leveltest::LevelFixture {};

TEST_F(LetterboxTest, TheLetterboxGrowsToAnEighthAndShrinksAway) {
    MountAndLoad(PaintLevel());
    for (int i = 0; i < 6; ++i) Frame();
    world->letterbox = 1;
    world->letterboxMode = 1;
    const int32_t h = playtest::kScreenHeight;
    for (int i = 0; i < 20; ++i) world->PaintHud(g);
    EXPECT_EQ(world->letterboxSize, h >> 3);
    ClearScreen(0xFFFFFF);
    world->PaintHud(g);
    EXPECT_EQ(Pixel(120, 2), 0u);
    EXPECT_EQ(Pixel(120, h - 3), 0u);
    EXPECT_NE(Pixel(120, h / 2), 0u);
    world->letterboxMode = 2;
    for (int i = 0; i < 20 && world->letterbox != 0; ++i) world->PaintHud(g);
    EXPECT_EQ(world->letterbox, 0);
    EXPECT_EQ(world->letterboxSize, 0);
}

}  // namespace
