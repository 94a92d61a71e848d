// The soft-key icons as the game paints them over its screen: the strip's
// frames at the bottom corners, the corner decoration that lifts them, the
// insets of softkey.conf and the one frame that skips painting.

#include "GameAppFixture.h"

#include <cstdlib>

#include "CGame.h"
#include "CGameInput.h"
#include "CStates.h"

namespace {

// The strip: four frames of 8 x 10, each its own colour.
constexpr int32_t kFrameW = 8;
constexpr int32_t kBarH = 10;
constexpr int32_t kCornerW = 12;
constexpr int32_t kCornerH = 14;
constexpr uint32_t kFrameRgb[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
constexpr uint32_t kCornerRgb = 0xFFFF00;
constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kLeftInset = 5;
constexpr int32_t kRightInset = 7;

uint32_t StripAt(int32_t x, int32_t) { return kFrameRgb[x / kFrameW]; }
uint32_t CornerAt(int32_t, int32_t) { return kCornerRgb; }

// The nearest of the test's colours (the screen may hold fewer bits).
uint32_t Nearest(uint32_t rgb) {
    const uint32_t candidates[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFFFF00};
    uint32_t best = 0;
    int32_t bestDistance = INT32_MAX;
    for (uint32_t c : candidates) {
        int32_t distance = 0;
        for (int shift : {0, 8, 16}) {
            distance += std::abs(static_cast<int32_t>((rgb >> shift) & 0xFF) - static_cast<int32_t>((c >> shift) & 0xFF));
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}

}  // namespace

class SoftKeyPaintTest : public GameAppFixture {
protected:
    void SetUp() override {
        apptest::ArchiveSpec spec;
        spec.images = {{CGameInput::kSoftKeyStripImage, 4 * kFrameW, kBarH, StripAt},
                       {CGameInput::kCornerImage, kCornerW, kCornerH, CornerAt}};
        WriteFile("softkey.conf", "LSK_PORTRAIT_X=5\nRSK_PORTRAIT_X=7\n");
        StartRunning(spec);
        // The screens stand still in a state without a step or a screen.
        CGame::GetStateMachine()->state = 0;
        m_app->GetGame()->CheckStorage(true);
    }

    // Paints one frame on a cleared screen.
    void PaintWith(uint32_t flags, bool corners) {
        CGameInput& input = *CGame::GetInput();
        input.cornerImagesEnabled = corners;
        input.SetSoftKeys(flags);
        m_app->GetGame()->repaintPending = 1;
        Frame();
    }
    // The colour of the block of w x h pixels at (x, y), or 1 when it is
    // not one colour.
    uint32_t Block(int32_t x, int32_t y, int32_t w, int32_t h) const {
        const uint32_t colour = Nearest(ScreenRgb(x, y));
        for (int32_t dy = 0; dy < h; ++dy) {
            for (int32_t dx = 0; dx < w; ++dx) {
                if (Nearest(ScreenRgb(x + dx, y + dy)) != colour) return 1;
            }
        }
        return colour;
    }
};

TEST_F(SoftKeyPaintTest, IconsSitInTheCornersWithTheInsets) {
    ASSERT_EQ(CGame::GetInput()->GetSoftKeyBarHeight(), 0);
    PaintWith(0x03, false);
    EXPECT_EQ(CGame::GetInput()->GetSoftKeyBarHeight(), kBarH);
    EXPECT_EQ(Block(kLeftInset, kScreenH - kBarH, kFrameW, kBarH), kFrameRgb[0]);
    EXPECT_EQ(Nearest(ScreenRgb(kLeftInset - 1, kScreenH - 1)), 0x000000u);
    const int32_t rightX = kScreenW - kFrameW - kRightInset;
    EXPECT_EQ(Block(rightX, kScreenH - kBarH, kFrameW, kBarH), kFrameRgb[1]);
    EXPECT_EQ(Nearest(ScreenRgb(rightX + kFrameW, kScreenH - 1)), 0x000000u);
}

TEST_F(SoftKeyPaintTest, CornersLiftTheIconsButNotFrameThree) {
    PaintWith(0x03, true);
    const int32_t iconY = kScreenH - kBarH - 6;
    EXPECT_EQ(Block(kLeftInset + 24, iconY, kFrameW, kBarH), kFrameRgb[0]);
    EXPECT_EQ(Block(kLeftInset, kScreenH - kCornerH, 4, kCornerH), kCornerRgb);
    EXPECT_EQ(Block(kScreenW - kFrameW - 24 - kRightInset, iconY, kFrameW, kBarH), kFrameRgb[1]);
    EXPECT_EQ(Block(kScreenW - kCornerW - kRightInset, kScreenH - kCornerH, 4, kCornerH), kCornerRgb);

    // Frame 3 stays on the bottom edge even beside a corner.
    PaintWith(0x12, true);
    EXPECT_EQ(Block(kLeftInset + 24, kScreenH - kBarH, kFrameW, kBarH), kFrameRgb[3]);
    EXPECT_EQ(Block(kScreenW - kFrameW - 24 - kRightInset, iconY, kFrameW, kBarH), kFrameRgb[1]);
}

TEST_F(SoftKeyPaintTest, NoIconsForNoFlagsAndOneFrameSkipped) {
    PaintWith(0x08, false);
    EXPECT_EQ(Block(kScreenW - kFrameW - kRightInset, kScreenH - kBarH, kFrameW, kBarH), kFrameRgb[2]);
    EXPECT_EQ(Block(0, kScreenH - kBarH, 40, kBarH), 0x000000u);
    CGame::GetInput()->skipSoftKeyPaint = true;
    PaintWith(0x03, false);
    EXPECT_EQ(Block(0, kScreenH - kBarH, kScreenW, kBarH), 0x000000u);
    EXPECT_FALSE(CGame::GetInput()->skipSoftKeyPaint);
    PaintWith(0xFFFFFFFF, true);
    EXPECT_EQ(Block(0, kScreenH - 20, kScreenW, 20), 0x000000u);
}
