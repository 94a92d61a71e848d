// A menu page repainted from the copy of its still part kept from an
// earlier repaint is the page painted whole: on the same page, after the
// selection moved, and on the next page opened. A repaint that would draw
// what the screen already shows draws nothing; one with another subtitle,
// or with the soft keys to be left out once, does not.

#include <vector>

#include "AppServices.h"
#include "CGameInput.h"
#include "CGraphics.h"
#include "CHud.h"
#include "CRenderSurface.h"
#include "GameKeys.h"
#include "JGraphics.h"
#include "ScreensFixture.h"

namespace {

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kOptionsRow = 1;
constexpr uint32_t kScribble = 0xFF123456;

}  // namespace

class MenuBackdropTest : public ScreensFixture {
protected:
    void SetUp() override {
        ScreensFixture::SetUp();
        BootToMainMenu();
    }
    // The screen scribbled over first, so that what the repaint leaves
    // unpainted shows.
    std::vector<uint32_t> Repainted() {
        JGraphics& g = m_app->GetGame()->GetGraphics();
        resetClip(g);
        fillScreen(g, kScribble);
        m_app->GetGame()->repaintPending = 1;
        Frame();
        return Pixels();
    }
    // Repainted without anything drawn over the screen first.
    std::vector<uint32_t> RepaintedAsItIs() {
        m_app->GetGame()->repaintPending = 1;
        Frame();
        return Pixels();
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) pixels.push_back(ScreenRgb(x, y));
        }
        return pixels;
    }
    static uint64_t ScreenSerial() { return GetGraphics()->GetCurrentSurface()->GetChangeSerial(); }
    // Pictures loaded afresh leave nothing kept to copy back.
    std::vector<uint32_t> PaintedWhole() {
        States().FreeMenuFrame();
        States().LoadMenuFrame();
        return Repainted();
    }
};

TEST_F(MenuBackdropTest, ARepaintedMenuPageIsThePagePaintedWhole) {
    Repainted();
    const std::vector<uint32_t> menu = Repainted();
    EXPECT_EQ(menu, PaintedWhole());

    Press(EngineKey::kDown);
    Repainted();
    const std::vector<uint32_t> moved = Repainted();
    EXPECT_NE(moved, menu);
    EXPECT_EQ(moved, PaintedWhole());

    Choose(kOptionsRow);
    ASSERT_EQ(State(), CStates::kOptions);
    const std::vector<uint32_t> options = Repainted();
    EXPECT_NE(options, moved);
    EXPECT_EQ(options, PaintedWhole());
}

TEST_F(MenuBackdropTest, ARepaintThatWouldDrawWhatIsShownDrawsNothing) {
    Repainted();
    const std::vector<uint32_t> menu = Repainted();
    const uint64_t serial = ScreenSerial();
    EXPECT_EQ(RepaintedAsItIs(), menu);
    EXPECT_EQ(ScreenSerial(), serial);

    // One pixel drawn by something else is painted over again.
    JGraphics& g = m_app->GetGame()->GetGraphics();
    g.setColor(kScribble);
    g.fillRect(kScreenW / 2, kScreenH / 2, 1, 1);
    EXPECT_EQ(RepaintedAsItIs(), menu);
    EXPECT_NE(ScreenSerial(), serial);

    // So is a moved selection.
    RepaintedAsItIs();
    Press(EngineKey::kDown);
    const std::vector<uint32_t> moved = RepaintedAsItIs();
    EXPECT_NE(moved, menu);
    EXPECT_EQ(moved, PaintedWhole());
}

TEST_F(MenuBackdropTest, ARepaintOfAnotherSubtitleOrWithoutTheSoftKeysIsDrawn) {
    Repainted();
    const std::vector<uint32_t> menu = Repainted();
    CHud* hud = CGame::GetHud();
    hud->SetTitle(hud->title, JString("Subtitle"));
    const std::vector<uint32_t> subtitled = RepaintedAsItIs();
    EXPECT_NE(subtitled, menu);
    EXPECT_EQ(subtitled, PaintedWhole());

    // The soft keys' one-shot skip belongs to the repaint: a rehearsal of
    // the page must not use it up.
    RepaintedAsItIs();
    CGameInput* input = CGame::GetInput();
    input->skipSoftKeyPaint = true;
    const std::vector<uint32_t> withoutSoftKeys = RepaintedAsItIs();
    EXPECT_FALSE(input->skipSoftKeyPaint);
    EXPECT_NE(withoutSoftKeys, subtitled);
    input->skipSoftKeyPaint = true;
    EXPECT_EQ(withoutSoftKeys, PaintedWhole());
}
