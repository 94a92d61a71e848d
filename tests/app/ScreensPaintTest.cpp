// What the screens and the HUD draw, probed on the compiled content: the
// notice box's top, the dialogue's line pattern and where its text starts
// with and without a speaker's name, the panel behind a page in play, and
// the logo wipe that covers the logo.

#include "ScreensFixture.h"

#include "CGameWorld.h"
#include "CHud.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "JFont.h"
#include "JImage.h"

namespace {

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr uint32_t kClear = 0x2040F8;
// Text pages keep this far from either side of the screen.
constexpr int32_t kTextSide = 20;

}  // namespace

class ScreensPaintTest : public ScreensFixture {
protected:
    void SetUp() override {
        ScreensFixture::SetUp();
        BootToMainMenu();
        // A state that paints nothing of its own, on a screen of one colour.
        States().state = 0;
        m_app->GetGame()->clearColour = kClear;
    }
    CHud& Hud() const { return *CGame::GetHud(); }
    void Repaint() {
        m_app->GetGame()->repaintPending = 1;
        Frame();
    }
    // The first row from `top` down to `bottom` with white ink between the
    // columns; -1 when there is none.
    int32_t FirstInkRow(int32_t top, int32_t bottom, int32_t left, int32_t right) const {
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) {
                if (NearRgb(ScreenRgb(x, y), 0xFFFFFF)) return y;
            }
        }
        return -1;
    }
    // A page of one line at (20, 100), 200 x 60, in the mode of a dialogue
    // or of a page in play.
    void ShowPage(int32_t mode, int32_t speaker) {
        CHud& hud = Hud();
        hud.SetBoxFlags(false, false);
        hud.SetFrameStyle(false, false, false, false);
        hud.ShowPopup(20, 100, 200, 60, 0);
        hud.ShowList(JString("HELLO THERE"), JString(), JString());
        hud.mode = mode;
        hud.speaker = speaker;
        Repaint();
    }
    void ShowDialogue(int32_t speaker) { ShowPage(CHud::kDialogue, speaker); }
};

TEST_F(ScreensPaintTest, TheNoticeBoxNeverStartsAboveEight) {
    CHud& hud = Hud();
    hud.SetMode(CHud::kMenu);
    hud.titleLines.removeAllElements();
    for (int32_t i = 0; i < 40; ++i) hud.titleLines.addElement(JString("LINE"));
    hud.titleLineCount = 40;
    hud.noticeBox = true;
    hud.laidOut = true;
    Repaint();
    EXPECT_TRUE(NearRgb(ScreenRgb(4, 3), 0x5E5C58));
    EXPECT_TRUE(NearRgb(ScreenRgb(4, 2), kClear));
    EXPECT_TRUE(NearRgb(ScreenRgb(6, 5), 0x670E01));
    // One line sits in the middle.
    hud.titleLineCount = 1;
    Repaint();
    const int32_t top = (kScreenH - hud.font->getHeight()) / 2;
    EXPECT_TRUE(NearRgb(ScreenRgb(4, top - 5), 0x5E5C58));
    EXPECT_TRUE(NearRgb(ScreenRgb(4, top - 6), kClear));
}

// The storage notice's message is longer than the screen is wide: it is
// wrapped, and no line runs off either side.
TEST_F(ScreensPaintTest, TheStorageNoticeKeepsItsMessageOnTheScreen) {
    States().ReportSaveFailure();
    Repaint();
    SaveScreenshot("31-storage-notice");
    ASSERT_EQ(State(), CStates::kMessageBox);
    const int32_t boxTop = Hud().boxY;
    const int32_t margin = CHud::kTitleMargin / 2;
    EXPECT_NE(FirstInkRow(0, boxTop, margin, kScreenW - margin), -1);
    EXPECT_EQ(FirstInkRow(0, boxTop, 0, margin), -1);
    EXPECT_EQ(FirstInkRow(0, boxTop, kScreenW - margin, kScreenW), -1);
}

TEST_F(ScreensPaintTest, TheDialogueDarkensEveryOtherRowAndNamesItsSpeaker) {
    CGameWorld& world = *CGame::GetWorld();
    JString names[11];
    names[1] = JString("VOX");
    JString* const worldNames = world.speakerNames;
    world.speakerNames = names;
    ShowDialogue(1);
    SaveScreenshot("30-dialogue");
    EXPECT_TRUE(NearRgb(ScreenRgb(10, 0), 0));
    EXPECT_TRUE(NearRgb(ScreenRgb(10, 1), kClear));
    EXPECT_TRUE(NearRgb(ScreenRgb(10, 40), 0));
    // The name stands 20 above the box, the text at its top.
    EXPECT_EQ(FirstInkRow(60, 100, 20, 220), 80);
    EXPECT_EQ(FirstInkRow(100, 160, 20, 220), 100);
    // The narrator has no name, and the text starts 8 higher.
    ShowDialogue(9);
    EXPECT_EQ(FirstInkRow(60, 160, 20, 220), 92);
    // A speaker without a name likewise.
    ShowDialogue(2);
    EXPECT_EQ(FirstInkRow(60, 160, 20, 220), 92);
    world.speakerNames = worldNames;
}

// A page of text in play stands on a panel of its own, whatever picture
// the level shows around it.
TEST_F(ScreensPaintTest, APageInPlayHasAPanelBehindItsText) {
    ShowPage(CHud::kPlayText, CHud::kNoSpeaker);
    SaveScreenshot("33-play-page");
    EXPECT_TRUE(NearRgb(ScreenRgb(200, 150), 0x141C2C));
    EXPECT_TRUE(NearRgb(ScreenRgb(14, 120), 0x34496A));
    EXPECT_TRUE(NearRgb(ScreenRgb(13, 120), kClear));
}

// The help runs past one screen: the arrows under its text show which way
// it scrolls, outside the box that clips the text.
TEST_F(ScreensPaintTest, TheHelpShowsItsScrollArrowsUnderItsText) {
    States().SetState(CStates::kHelp);
    Frame();
    SaveScreenshot("34-help-arrows");
    const CHud& hud = Hud();
    ASSERT_GT(hud.textHeight, hud.boxHeight);
    const int32_t top = kScreenH - 60;
    const int32_t cx = kScreenW / 2;
    EXPECT_EQ(FirstInkRow(top, top + 5, cx - 28, cx - 18), -1);
    EXPECT_EQ(FirstInkRow(top, top + 5, cx + 20, cx + 30), top);
    Press(EngineKey::kDown);
    EXPECT_EQ(FirstInkRow(top, top + 5, cx - 28, cx - 18), top);
}

// The help's topics stand a blank row apart, and its text keeps clear of
// the frame's rails, 20 from each side.
TEST_F(ScreensPaintTest, TheHelpSetsItsTopicsApartWithinTheFrame) {
    States().SetState(CStates::kHelp);
    Frame();
    SaveScreenshot("35-help-topics");
    const CHud& hud = Hud();
    int32_t blank = -1;
    for (int32_t i = 0; i < hud.visibleLines && blank < 0; ++i) {
        if (hud.lines.elementAt(i).length() == 0) blank = i;
    }
    ASSERT_GT(blank, 0);
    const int32_t fh = hud.font->getHeight();
    const int32_t top = hud.boxY;
    const int32_t bottom = hud.boxY + hud.boxHeight;
    EXPECT_EQ(FirstInkRow(top + blank * fh, top + (blank + 1) * fh, 0, kScreenW), -1);
    EXPECT_EQ(FirstInkRow(top, bottom, 0, kTextSide), -1);
    EXPECT_EQ(FirstInkRow(top, bottom, kScreenW - kTextSide, kScreenW), -1);
    EXPECT_EQ(FirstInkRow(top, bottom, kTextSide, kScreenW - kTextSide), top);
}

// The ten strips of the wipe cover the logo after 750 ms.
TEST_F(ScreensPaintTest, TheWipeCoversTheLogo) {
    CStates& states = States();
    states.SetupCommonUi();
    JImage* logo = states.logoSheet;
    ASSERT_NE(logo, nullptr);
    ASSERT_GT(logo->getHeight(), 0);
    states.restX = (kScreenW - logo->getWidth()) / 2;
    states.restY = (kScreenH - logo->getHeight()) / 2;
    states.SetState(CStates::kLogoWipe);
    Hud().SetMode(CHud::kClosed);
    Hud().clearScreen = false;
    auto inked = [&]() {
        int32_t count = 0;
        for (int32_t y = states.restY; y < states.restY + logo->getHeight(); ++y) {
            for (int32_t x = states.restX; x < states.restX + logo->getWidth(); ++x) {
                count += NearRgb(ScreenRgb(x, y), 0) ? 0 : 1;
            }
        }
        return count;
    };
    Frame();
    EXPECT_GT(inked(), 0);
    SaveScreenshot("31-wipe-start");
    while (states.stateTime < 750) Frame();
    Frame();
    SaveScreenshot("32-wipe-covered");
    EXPECT_EQ(inked(), 0);
}
