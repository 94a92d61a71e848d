#include "DemoScene.h"

#include "CDrawUtil.h"
#include "CGraphics2d_Lite.h"

namespace {

constexpr uint32_t kFrameColor = 0xFF8090A0;
constexpr uint32_t kDiagonalColor = 0xFF405060;
constexpr uint32_t kSliderColor = 0xFFFFB000;
constexpr uint32_t kTrackColor = 0xFF00C0FF;
constexpr uint32_t kCrossHairColor = 0xFFFF4040;
constexpr uint32_t kKeyColor = 0xFFFFFFFF;

constexpr int32_t kSliderWidth = 24;
constexpr int32_t kSliderHeight = 16;
// The slider moves one pixel every this many milliseconds.
constexpr uint32_t kMsPerPixel = 8;
constexpr int32_t kCrossHairArm = 6;
constexpr int32_t kDigitScale = 3;

// Digits 0 to 9 as 3 x 5 cells, row by row from the top, the leftmost
// cell of a row in its highest bit.
constexpr uint16_t kDigitCells[10] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111,
    0b101'101'111'001'001, 0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'001'001,
    0b111'101'111'101'111, 0b111'101'111'001'111,
};

int32_t ToFixed(int32_t pixels) { return static_cast<int32_t>(static_cast<uint32_t>(pixels) << 16); }

}  // namespace

void DemoScene::Draw(CGraphics2d_Lite* renderer, const DemoState& state, int32_t width, int32_t height) {
    CRect screen;
    screen.SetFromInts(0, 0, width, height);
    CDrawUtil::DrawRectFrame(screen, kFrameColor, 2, 0);
    CDrawUtil::DrawLine(0, 0, width - 1, height - 1, kDiagonalColor);
    CDrawUtil::DrawLine(width - 1, 0, 0, height - 1, kDiagonalColor);
    DrawSlider(renderer, state.elapsedMs, width, height);
    if (state.stylusX != DemoState::kNone) DrawCrossHair(state.stylusX, state.stylusY);
    if (state.lastKey != DemoState::kNone) {
        DrawNumber(6, 6, static_cast<uint32_t>(state.lastKey), kDigitScale, kKeyColor);
    }
}

// The rectangle is drawn at the origin under a translation, so the
// renderer's matrix stack places it.
void DemoScene::DrawSlider(CGraphics2d_Lite* renderer, uint32_t elapsedMs, int32_t width, int32_t height) {
    const int32_t travel = width > kSliderWidth ? width - kSliderWidth : 1;
    const int32_t phase = static_cast<int32_t>((elapsedMs / kMsPerPixel) % static_cast<uint32_t>(2 * travel));
    const int32_t x = phase < travel ? phase : 2 * travel - phase;
    const int32_t y = (height - kSliderHeight) / 2;
    CDrawUtil::DrawLine(0, y + kSliderHeight / 2, width - 1, y + kSliderHeight / 2, kTrackColor);
    renderer->PushMatrix();
    renderer->Translate(ToFixed(x), ToFixed(y));
    CDrawUtil::FillRect(0, 0, kSliderWidth, kSliderHeight, kSliderColor);
    renderer->PopMatrix();
}

void DemoScene::DrawCrossHair(int32_t x, int32_t y) {
    CDrawUtil::DrawLine(x - kCrossHairArm, y, x + kCrossHairArm, y, kCrossHairColor);
    CDrawUtil::DrawLine(x, y - kCrossHairArm, x, y + kCrossHairArm, kCrossHairColor);
    CRect box;
    box.SetFromInts(x - kCrossHairArm / 2, y - kCrossHairArm / 2, kCrossHairArm + 1, kCrossHairArm + 1);
    CDrawUtil::DrawRectFrame(box, kCrossHairColor, 1, 0);
}

void DemoScene::DrawNumber(int32_t x, int32_t y, uint32_t number, int32_t scale, uint32_t color) {
    uint32_t digits = 1;
    for (uint32_t rest = number / 10; rest != 0; rest /= 10) ++digits;
    const int32_t advance = 4 * scale;
    for (uint32_t place = digits; place > 0; --place, number /= 10) {
        DrawDigit(x + static_cast<int32_t>(place - 1) * advance, y, number % 10, scale, color);
    }
}

void DemoScene::DrawDigit(int32_t x, int32_t y, uint32_t digit, int32_t scale, uint32_t color) {
    const uint16_t cells = kDigitCells[digit % 10];
    for (int32_t row = 0; row < 5; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            const int32_t bit = 14 - (row * 3 + column);
            if ((cells >> bit & 1) == 0) continue;
            const int32_t left = x + column * scale;
            const int32_t top = y + row * scale;
            CDrawUtil::FillRect(left, top, left + scale, top + scale, color);
        }
    }
}
