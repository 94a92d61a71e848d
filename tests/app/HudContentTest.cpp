// The HUD inside the running game, on an archive with its row, side and
// arrow images and with texts shown by their ids: layout from the images'
// sizes, the scroll arrows, and the compact notice box.

#include "GameAppFixture.h"

#include <memory>

#include "CGame.h"
#include "CGameInput.h"
#include "CHud.h"
#include "EngineEvents.h"
#include "JFont.h"
#include "ResourceText.h"

namespace {

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kBarH = 20;
constexpr int32_t kRowH = 32;
constexpr int32_t kSideW = 6;
constexpr int32_t kArrow = 10;

uint32_t Grey(int32_t, int32_t) { return 0x808080; }

JVector<JString> Labels(int32_t count) {
    JVector<JString> labels;
    for (int32_t i = 0; i < count; ++i) labels.addElement(JString("ROW") + i);
    return labels;
}

}  // namespace

class HudContentTest : public GameAppFixture {
protected:
    void SetUp() override {
        apptest::ArchiveSpec spec;
        spec.properties = "Kiv-Test-Localisation=true\n";
        spec.images = {{CHud::kBarTileImage, 8, kBarH, Grey},
                       {CHud::kRowFrameLeftImage, 12, kRowH, Grey},
                       {CHud::kSideTileImage, kSideW, 40, Grey},
                       {CHud::kScrollArrowImage, kArrow, kArrow, Grey}};
        StartRunning(spec);
        hud = CGame::GetHud();
        // The font exists once the application has started.
        font = std::make_unique<JFont>(0);
        ASSERT_EQ(font->getHeight(), apptest::kLineHeight);
        hud->font = font.get();
    }
    void TearDown() override {
        hud->font = nullptr;
        GameAppFixture::TearDown();
    }
    void TapDown(int32_t x, int32_t y) {
        Event(EngineEvent::kMouseButtonDown, 0, static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16);
        Frame();
        Event(EngineEvent::kMouseButtonUp, 0, static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16);
        Frame();
    }

    std::unique_ptr<JFont> font;
    CHud* hud = nullptr;
};

TEST_F(HudContentTest, RowHeightsAndTheSideFrameComeFromTheImages) {
    hud->LoadFrameImages();
    hud->SetFrameStyle(false, true, true, false);
    hud->ShowPopup(0, 40, kScreenW, 3 * kBarH, 0);
    hud->ShowMenu(Labels(2), 3, JString(), JString());
    EXPECT_EQ(hud->barHeight, kBarH);
    EXPECT_EQ(hud->rowHeight, kRowH);
    EXPECT_EQ(hud->sideWidth, kSideW);
    EXPECT_EQ(hud->menuX, (kScreenW - kSideW) / 2);
    EXPECT_EQ(hud->visibleLines, 2);
    EXPECT_EQ(hud->rowsTop, (40 + kBarH) / 2);
    EXPECT_EQ(hud->textHeight, 2 * kBarH);

    hud->SetFrameStyle(true, true, false, false);
    hud->ShowPopup(0, 0, kScreenW, 2 * kRowH, 0);
    hud->ShowMenu(Labels(5), 0x1F, JString(), JString());
    EXPECT_EQ(hud->visibleLines, 2);
    EXPECT_EQ(hud->rowsTop, CHud::kDefaultRowsTop);
    hud->Select(4);
    // Framed rows scroll by whole rows.
    EXPECT_EQ(hud->scroll, 5 * kRowH - 2 * kRowH);
}

TEST_F(HudContentTest, ScrollArrowsMoveTheSelectionOfALongList) {
    hud->LoadFrameImages();
    hud->ShowPopup(20, 40, 200, 3 * apptest::kLineHeight, 0);
    hud->ShowMenu(Labels(6), 0x3F, JString(), JString());
    ASSERT_EQ(hud->visibleLines, 3);
    const int32_t arrowTop = kScreenH - 60;
    TapDown(kScreenW / 2 + 20 + 1, arrowTop + 1);
    EXPECT_EQ(hud->selected, 1);
    TapDown(kScreenW / 2 - kArrow - 20, arrowTop + kArrow - 1);
    EXPECT_EQ(hud->selected, 0);
    TapDown(kScreenW / 2 - 20, arrowTop);
    EXPECT_EQ(hud->selected, 0);
}

TEST_F(HudContentTest, NoticeTitleOpensTheCompactBoxUnlaidOut) {
    const JString notice = GetUpperText(static_cast<int32_t>(CHud::kNoticeTitleText));
    ASSERT_GT(notice.length(), 0);
    hud->ShowMenu(Labels(2), 3, notice, JString("SUB"));
    EXPECT_TRUE(hud->noticeBox);
    EXPECT_TRUE(hud->laidOut);
    EXPECT_EQ(hud->visibleLines, 0);
    EXPECT_EQ(hud->boxWidth, kScreenW);
    EXPECT_GT(hud->loadingLabel.length(), 0);
    hud->ShowMenu(Labels(2), 3, JString("OTHER"), JString());
    EXPECT_FALSE(hud->noticeBox);
    EXPECT_EQ(hud->visibleLines, 2);
}
