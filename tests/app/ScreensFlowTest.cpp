// The screens as a player meets them, on the compiled content: the boot
// through the sound question, splash and intro to the main menu, every
// page and message box of the menu and back, checked by the states the
// game passes and by pixels of each screen, with a screenshot of each.

#include "ScreensFixture.h"

#include <filesystem>
#include <fstream>

#include "CGameInput.h"
#include "CGameProgress.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HostInput.h"
#include "RecordStore.h"
#include "ResourceText.h"

namespace {

using StateList = std::vector<int32_t>;

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr uint32_t kRed = 0xFF0000;

// The main menu's rows.
constexpr int32_t kPlayRow = 0;
constexpr int32_t kOptionsRow = 1;
constexpr int32_t kHelpRow = 2;
constexpr int32_t kAboutRow = 3;
constexpr int32_t kQuitRow = 4;

}  // namespace

class ScreensFlowTest : public ScreensFixture {
protected:
    CHud& Hud() const { return *CGame::GetHud(); }
    CSoundManager& Sound() const { return *CGame::GetSound(); }
    CGameProgress& Progress() const { return *CGame::GetProgress(); }
    // The middle of the selection bar of a framed menu, in screen pixels.
    int32_t FramedBarMiddle() const {
        const CHud& hud = Hud();
        return hud.rowsTop + (hud.rowHeight - hud.barHeight) / 2 + 4 + hud.selected * hud.rowHeight +
               hud.barHeight / 2 - hud.scroll;
    }
    bool Exists(const std::string& name) const {
        return std::filesystem::exists(m_environment.Directory() + "/" + name);
    }
};

TEST_F(ScreensFlowTest, BootsThroughTheSoundQuestionSplashAndIntroToTheMainMenu) {
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    // The loading screens and the sound question over black.
    EXPECT_EQ(StatesSinceMark(), (StateList{CStates::kStartupChecks, CStates::kInterfaceSetup, CStates::kMessageBox}));
    Frame();
    SaveScreenshot("01-sound-question");
    EXPECT_TRUE(Hud().soundQuestion);
    EXPECT_EQ(Hud().mode, CHud::kMenu);
    EXPECT_EQ(Hud().lineCount, 2);
    EXPECT_EQ(Hud().visibleLines, 2) << Hud().boxX << "," << Hud().boxY << "," << Hud().boxWidth << "," << Hud().boxHeight << " bar " << Hud().barHeight << " top " << Hud().rowsTop << " sel " << Hud().selected;
    EXPECT_EQ(ScreenRgb(kScreenW / 2, Hud().rowsTop + Hud().barHeight / 2), kRed);
    EXPECT_EQ(ScreenRgb(2, 2), 0u);
    EXPECT_EQ(States().messages.elementAt(1), GetUpperText(CStates::kTextSoundQuestion).substring(0, 5));

    Choose(kYesRow);
    ASSERT_TRUE(RunUntil(CStates::kLogoSlide));
    EXPECT_EQ(Sound().soundOn, 1);
    EXPECT_EQ(Sound().vibrationOn, 0);
    EXPECT_FALSE(Hud().soundQuestion);
    Frames(8);
    SaveScreenshot("02-logo-slides-in");
    ASSERT_TRUE(RunUntil(CStates::kLogoWhole));
    Frame();
    SaveScreenshot("03-logo");
    ASSERT_TRUE(RunUntil(CStates::kLogoWipe));
    Frames(10);
    SaveScreenshot("04-logo-wipe");
    ASSERT_TRUE(RunUntil(CStates::kIntroImage));
    Frames(2);
    SaveScreenshot("05-intro-first");
    ASSERT_TRUE(RunUntil(CStates::kMainMenu, 1000));
    Frame();
    SaveScreenshot("06-main-menu");
    EXPECT_EQ(StatesSinceMark(),
              (StateList{CStates::kStartupChecks, CStates::kInterfaceSetup, CStates::kMessageBox, CStates::kSoundYes,
                      CStates::kLogoSlide, CStates::kLogoPieces, CStates::kLogoWhole, CStates::kTitle,
                      CStates::kLogoWipe, CStates::kIntroImage, CStates::kIntroImage, CStates::kSplashEnd,
                      CStates::kMainMenu}));
    EXPECT_EQ(States().menuShown, 1);
    EXPECT_EQ(States().logoSheet, nullptr);
    EXPECT_EQ(States().imageCount, 0);
    // The bar lies on the first row; the frame covers the screen's edges.
    EXPECT_EQ(Hud().selected, kPlayRow);
    const uint32_t onBar = ScreenRgb(60, FramedBarMiddle());
    EXPECT_NE(onBar, 0u);
    Press(EngineKey::kDown);
    Frame();
    EXPECT_NE(ScreenRgb(60, FramedBarMiddle() - Hud().rowHeight), onBar);
    EXPECT_EQ(ScreenRgb(60, FramedBarMiddle()), onBar);
    EXPECT_NE(ScreenRgb(2, kScreenH / 2), 0u);
}
