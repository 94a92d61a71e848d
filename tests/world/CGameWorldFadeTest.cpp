#include <cstdlib>

#include "../actors/PlayFixture.h"

namespace playtest {
namespace {

using FadeTest = PlayFixture;

// colour over background with an alpha of 0..255, per channel.
uint32_t Mixed(uint32_t background, uint32_t colour, uint32_t alpha) {
    uint32_t mixed = 0;
    for (int32_t shift = 0; shift <= 16; shift += 8) {
        const uint32_t b = background >> shift & 0xFF;
        const uint32_t c = colour >> shift & 0xFF;
        mixed |= ((b * (255 - alpha) + c * alpha + 127) / 255) << shift;
    }
    return mixed;
}

void ExpectNear(uint32_t actual, uint32_t expected) {
    for (int32_t shift = 0; shift <= 16; shift += 8) {
        const int32_t a = static_cast<int32_t>(actual >> shift & 0xFF);
        const int32_t e = static_cast<int32_t>(expected >> shift & 0xFF);
        EXPECT_LE(std::abs(a - e), 2) << std::hex << actual << " vs " << expected;
    }
}

TEST_F(FadeTest, BlendColourMovesEachChannelWithTruncation) {
    EXPECT_EQ(CGameWorld::BlendColour(0x102030, 0xF0E0D0, 0, 300), 0x102030u);
    EXPECT_EQ(CGameWorld::BlendColour(0x102030, 0xF0E0D0, 300, 300), 0xF0E0D0u);
    EXPECT_EQ(CGameWorld::BlendColour(0x102030, 0xF0E0D0, 400, 300), 0xF0E0D0u);
    // 0x10 + 0xE0 * 100 / 300 = 16 + 74; green 32 + 64; blue 48 + 53 (160 / 3 truncated).
    EXPECT_EQ(CGameWorld::BlendColour(0x102030, 0xF0E0D0, 100, 300), (90u << 16) | (96u << 8) | 101u);
    // Downwards the truncation goes towards zero too: 255 - 255 / 3 = 170.
    EXPECT_EQ(CGameWorld::BlendColour(0xFF, 0x00, 100, 300), 170u);
    EXPECT_EQ(CGameWorld::BlendColour(0, 255, 150, 300), 127u);
}

TEST_F(FadeTest, TheModesRunTheirTimelines) {
    // Up then down: 300 ms to black, 300 ms back.
    world->StartFade(CGameWorld::kFadeUpDown, 0, 0xFFFFFF, 0);
    for (int32_t i = 0; i < 5; ++i) world->UpdateFade(60);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeUpDown);
    EXPECT_EQ(world->fadeTime, 300);
    world->UpdateFade(60);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeDown);
    EXPECT_EQ(world->fadeTime, 300);
    for (int32_t i = 0; i < 4; ++i) world->UpdateFade(60);
    EXPECT_EQ(world->fadeTime, 60);
    world->UpdateFade(60);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeNone);
    EXPECT_EQ(world->fadeTime, 0);
    EXPECT_EQ(world->fadeSpan, 300);
    // Up and hold at 100 ms until another fade starts.
    world->StartFade(CGameWorld::kFadeUpHold, 0xFFFFFF, 0, 0);
    for (int32_t i = 0; i < 10; ++i) world->UpdateFade(60);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeUpHold);
    EXPECT_EQ(world->fadeTime, 100);
    EXPECT_EQ(world->fadeSpan, 100);
    EXPECT_EQ(CGameWorld::BlendColour(0, 255, world->fadeTime, 300), 85u);
    // The flash of colour fades out.
    world->StartFade(CGameWorld::kFadeDownFromColour, 0xFF0000, 0xFFFFFF, 250);
    for (int32_t i = 0; i < 5; ++i) world->UpdateFade(50);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeNone);
    // No fade: nothing moves.
    world->UpdateFade(60);
    EXPECT_EQ(world->fadeTime, 0);
}

TEST_F(FadeTest, ThePaintedFadeDarkensTheWholeScreenByItsTime) {
    ClearScreen(0xFFFFFF);
    world->StartFade(CGameWorld::kFadeDown, 0, 0xFFFFFF, 150);
    world->PaintFade(g);
    const uint32_t expected = Mixed(0xFFFFFF, 0, 127);
    for (auto [x, y] : {std::pair{0, 0}, {239, 319}, {120, 160}}) ExpectNear(Pixel(x, y), expected);
    // Full time: black.
    ClearScreen(0xFFFFFF);
    world->StartFade(CGameWorld::kFadeDown, 0, 0xFFFFFF, 300);
    world->PaintFade(g);
    ExpectNear(Pixel(10, 10), 0);
    // Held darkening: alpha 85.
    ClearScreen(0x80C0FF);
    world->StartFade(CGameWorld::kFadeUpHold, 0xFFFFFF, 0, 100);
    world->PaintFade(g);
    ExpectNear(Pixel(5, 300), Mixed(0x80C0FF, 0, 85));
}

TEST_F(FadeTest, ModeFourFadesFromItsOwnColour) {
    ClearScreen(0x000000);
    world->StartFade(CGameWorld::kFadeDownFromColour, 0xFF0000, 0xFFFFFF, 300);
    world->PaintFade(g);
    ExpectNear(Pixel(50, 50), 0xFF0000);
    ClearScreen(0x0000FF);
    world->StartFade(CGameWorld::kFadeDownFromColour, 0x00FF00, 0xFFFFFF, 200);
    world->PaintFade(g);
    ExpectNear(Pixel(50, 50), Mixed(0x0000FF, 0x00FF00, 170));
}

TEST_F(FadeTest, TheAlphaRectangleCoversItsAreaOnly) {
    ClearScreen(0x000000);
    world->FillRectAlpha(g, 0xFFFFFFFF, 10, 20, 30, 40);
    EXPECT_EQ(world->fadeFill, 0xFFFFFFFFu);
    ExpectNear(Pixel(10, 20), 0xFFFFFF);
    ExpectNear(Pixel(39, 59), 0xFFFFFF);
    EXPECT_EQ(Pixel(40, 30), 0u);
    EXPECT_EQ(Pixel(20, 60), 0u);
    EXPECT_EQ(Pixel(9, 30), 0u);
}

}  // namespace
}  // namespace playtest
