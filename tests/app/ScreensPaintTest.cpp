// What the screens and the HUD draw, probed on the compiled content: the
// notice box's top, the dialogue's line pattern and where its text starts
// with and without a speaker's name, the panel behind a page in play and
// its lines under a speaker's name, and the logo wipe that covers the logo.

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
// Where the test puts a dialogue's text, clear of the portrait.
constexpr int32_t kDialogueLeft = 60;
// The dialogue frame stands this far above the screen's bottom.
constexpr int32_t kDialogueBottom = 25;
// A page in play with a speaker is this high, and its speaker's name
// stands this far above its first line.
constexpr int32_t kSpeakerPageHeight = 50;
constexpr int32_t kNameGap = 20;

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
    // The last such row, or -1.
    int32_t LastInkRow(int32_t top, int32_t bottom, int32_t left, int32_t right) const {
        for (int32_t y = bottom - 1; y >= top; --y) {
            if (FirstInkRow(y, y + 1, left, right) == y) return y;
        }
        return -1;
    }
    // A page of one line at (20, 100), 200 x 60, in the mode of a dialogue
    // or of a page in play.
    void ShowPage(int32_t mode, int32_t speaker) { ShowPageIn(mode, speaker, 20, 200, 60, "HELLO THERE"); }
    void ShowPageIn(int32_t mode, int32_t speaker, int32_t x, int32_t width, int32_t height, const char* text) {
        CHud& hud = Hud();
        hud.SetBoxFlags(false, false);
        hud.SetFrameStyle(false, false, false, false);
        hud.ShowPopup(x, 100, width, height, 0);
        hud.ShowList(JString(text), JString(), JString());
        hud.mode = mode;
        hud.speaker = speaker;
        Repaint();
    }
    // A dialogue of a full page of four lines, right of the portrait.
    void ShowDialogue(int32_t speaker) {
        ShowPageIn(CHud::kDialogue, speaker, kDialogueLeft, kScreenW - kDialogueLeft - kTextSide,
                   4 * Hud().font->getHeight(),
                   "ONE TWO THREE FOUR FIVE SIX SEVEN EIGHT NINE TEN ELEVEN TWELVE "
                   "THIRTEEN FOURTEEN FIFTEEN SIXTEEN SEVENTEEN EIGHTEEN NINETEEN");
    }
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

// The storage notice reads as a text page: its title and, a blank row
// below, its message keep as far from the sides of the screen as the help.
TEST_F(ScreensPaintTest, TheStorageNoticeIsLaidOutAsATextPage) {
    States().ReportSaveFailure();
    Repaint();
    SaveScreenshot("31-storage-notice");
    ASSERT_EQ(State(), CStates::kMessageBox);
    const CHud& hud = Hud();
    const int32_t fh = hud.font->getHeight();
    ASSERT_EQ(hud.titleLines.size(), 1);
    ASSERT_GT(hud.subtitleLines.size(), 0);
    const int32_t top = FirstInkRow(0, kScreenH, 0, kScreenW);
    ASSERT_GT(top, 0);
    const int32_t gap = top + fh;
    const int32_t bottom = gap + (1 + hud.subtitleLines.size()) * fh;
    EXPECT_EQ(FirstInkRow(gap, gap + fh, 0, kScreenW), -1);
    EXPECT_EQ(FirstInkRow(gap + fh, bottom, kTextSide, kScreenW - kTextSide), gap + fh);
    EXPECT_EQ(FirstInkRow(top, bottom, 0, kTextSide), -1);
    EXPECT_EQ(FirstInkRow(top, bottom, kScreenW - kTextSide, kScreenW), -1);
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
    // The name and a full page stand in the frame with as much room above
    // the name as below the page's last line.
    const int32_t frameHeight = Hud().dialogHeight;
    ASSERT_GT(frameHeight, 0);
    const int32_t frameTop = kScreenH - kDialogueBottom - frameHeight;
    const int32_t frameBottom = frameTop + frameHeight;
    const int32_t nameTop = FirstInkRow(frameTop, frameBottom, kDialogueLeft, kScreenW);
    const int32_t textBottom = LastInkRow(frameTop, frameBottom, kDialogueLeft, kScreenW);
    ASSERT_GT(nameTop, frameTop);
    EXPECT_NEAR(nameTop - frameTop, frameBottom - 1 - textBottom, 1);
    // The narrator has no name: the page alone stands in the middle.
    ShowDialogue(9);
    const int32_t unnamedTop = FirstInkRow(frameTop, frameBottom, kDialogueLeft, kScreenW);
    EXPECT_GT(unnamedTop, nameTop);
    const int32_t unnamedBottom = LastInkRow(frameTop, frameBottom, kDialogueLeft, kScreenW);
    EXPECT_NEAR(unnamedTop - frameTop, frameBottom - 1 - unnamedBottom, 1);
    // A speaker without a name likewise.
    ShowDialogue(2);
    EXPECT_EQ(FirstInkRow(frameTop, frameBottom, kDialogueLeft, kScreenW), unnamedTop);
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

// Under its speaker's name a page in play holds only the lines that fit
// below the name: every line of a long text shows on one of its pages.
TEST_F(ScreensPaintTest, APageInPlayUnderANameShowsEveryLine) {
    CGameWorld& world = *CGame::GetWorld();
    JString names[11];
    names[1] = JString("VOX");
    JString* const worldNames = world.speakerNames;
    world.speakerNames = names;
    CHud& hud = Hud();
    hud.SetBoxFlags(false, false);
    hud.SetFrameStyle(false, false, false, false);
    hud.ShowPopup(kScreenW / 2, kScreenH / 2, kScreenW - 2 * kTextSide, kSpeakerPageHeight,
                  CHud::kCentreX | CHud::kCentreY);
    hud.speaker = 1;
    hud.ShowPlayPage(JString("ONE TWO THREE FOUR FIVE SIX SEVEN EIGHT NINE TEN ELEVEN TWELVE THIRTEEN FOURTEEN "
                             "FIFTEEN SIXTEEN SEVENTEEN EIGHTEEN NINETEEN TWENTY TWENTYONE TWENTYTWO"),
                     CHud::kPlayText);
    int32_t written = 0;
    for (int32_t i = 0; i < hud.lineCount; ++i) written += hud.lines.elementAt(i).length() > 0 ? 1 : 0;
    EXPECT_GT(written, 2);
    const int32_t fh = hud.font->getHeight();
    const int32_t textTop = hud.boxY + fh + kNameGap;
    int32_t shown = 0;
    for (int32_t page = 0; page < written && hud.mode == CHud::kPlayText; ++page) {
        Repaint();
        if (page == 0) SaveScreenshot("36-speaker-page");
        for (int32_t row = 0; row < hud.visibleLines; ++row) {
            const int32_t top = textTop + row * fh;
            if (FirstInkRow(top, top + fh, hud.boxX, hud.boxX + hud.boxWidth) >= 0) ++shown;
        }
        Press(EngineKey::kSoftLeft);
    }
    EXPECT_EQ(hud.mode, CHud::kClosed);
    EXPECT_EQ(shown, written);
    world.speakerNames = worldNames;
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
