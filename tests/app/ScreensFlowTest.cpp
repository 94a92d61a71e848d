// The screens as a player meets them, on the compiled content: the boot
// through the sound question, splash and intro to the main menu, every
// page and message box of the menu and back, checked by the states the
// game passes and by pixels of each screen, with a screenshot of each.

#include "ScreensFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "CGameInput.h"
#include "CGameProgress.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HostFile.h"
#include "HostInput.h"
#include "JFont.h"
#include "RecordStore.h"
#include "ResourceText.h"

namespace {

using StateList = std::vector<int32_t>;

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr uint32_t kRed = 0xFF0000;

// The letters' ink, kept in 5 or 6 bits a channel.
bool FailWrites(HostFile::Op op, const std::string&) { return op == HostFile::Op::Write; }
// Makes the delete of the one file named fail.
struct FailingDelete {
    static inline std::string name;
    static bool Hook(HostFile::Op op, const std::string& path) {
        return op == HostFile::Op::Delete && std::filesystem::path(path).filename() == name;
    }
};

bool IsWhite(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) >= 0xE0 && ((rgb >> 8) & 0xFF) >= 0xE0 && (rgb & 0xFF) >= 0xE0;
}

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
    // The middle of a row of a framed menu, where a tap meets it.
    int32_t RowMiddle(int32_t row) const {
        const CHud& hud = Hud();
        return hud.rowsTop + hud.rowHeight / 2 + row * hud.rowHeight - hud.scroll;
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
    // The box over black still shows the confirm key's icon.
    EXPECT_NE(CGame::GetInput()->GetLeftSoftKeyIcon(), CGameInput::kNoIcon);

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

// Each page of the main menu opens by select and closes by back, which
// returns to the main menu with the item that opened it selected.
TEST_F(ScreensFlowTest, EveryMenuPageOpensAndReturnsToItsItem) {
    BootToMainMenu();
    struct Page {
        int32_t row;
        int32_t state;
        const char* shot;
    };
    for (const Page& page : {Page{kOptionsRow, CStates::kOptions, "07-options"}, Page{kHelpRow, CStates::kHelp, "08-help"},
                             Page{kAboutRow, CStates::kAbout, "09-about"}}) {
        Mark();
        Choose(page.row);
        Frame();
        EXPECT_EQ(State(), page.state);
        EXPECT_EQ(States().stackDepth, 1);
        SaveScreenshot(page.shot);
        // Every page lies on the menu frame, which covers the screen's edge.
        EXPECT_TRUE(Hud().laidOut);
        EXPECT_NE(ScreenRgb(2, kScreenH / 2), 0u);
        Press(EngineKey::kBack);
        EXPECT_EQ(StatesSinceMark(), (StateList{page.state, CStates::kMainMenu}));
        EXPECT_EQ(Hud().selected, page.row);
        EXPECT_EQ(States().stackDepth, 0);
    }
    // The right soft key is a second back key.
    Choose(kOptionsRow);
    Press(EngineKey::kSoftRight);
    EXPECT_EQ(State(), CStates::kMainMenu);
}

// A tap pressed and let go within one game step chooses the row tapped,
// and back returns to that row.
TEST_F(ScreensFlowTest, AQuickTapChoosesTheRowTapped) {
    BootToMainMenu();
    ASSERT_EQ(Hud().selected, kPlayRow);
    const uint32_t point = static_cast<uint32_t>(kScreenW / 2) | static_cast<uint32_t>(RowMiddle(kHelpRow)) << 16;
    Event(EngineEvent::kMouseButtonDown, 0, point);
    Event(EngineEvent::kMouseButtonUp, 0, point);
    Frame();
    EXPECT_EQ(State(), CStates::kHelp);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_EQ(Hud().selected, kHelpRow);
}

TEST_F(ScreensFlowTest, TheAboutPageFillsItsPlaceholders) {
    BootToMainMenu();
    Choose(kAboutRow);
    ASSERT_EQ(State(), CStates::kAbout);
    JString text;
    for (int32_t i = 0; i < Hud().lines.size(); ++i) text += Hud().lines.elementAt(i);
    EXPECT_GE(text.indexOf(JString("MECHAVOX")), 0);
    EXPECT_GE(text.indexOf(JString("9.1.0")), 0);
    EXPECT_LT(text.indexOf(JString("%")), 0);
    // The build line names the program, not a keyword left unexpanded.
    EXPECT_GE(text.indexOf(JString("MCHVX2 9.1.0")), 0);
    EXPECT_LT(text.indexOf(JString("$")), 0);
}

TEST_F(ScreensFlowTest, QuitAsksAndNoReturnsWhileYesSaysGoodbyeAndEnds) {
    BootToMainMenu();
    // Back in the main menu asks the same question as the quit item.
    Press(EngineKey::kBack);
    ASSERT_EQ(State(), CStates::kMessageBox);
    EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextQuitQuestion));
    Frame();
    SaveScreenshot("10-quit-question");
    // Over the frame's black, the box's rows: "no" is selected.
    EXPECT_EQ(Hud().selected, kNoRow);
    Choose(kNoRow);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_EQ(Hud().selected, kPlayRow);

    Choose(kQuitRow);
    ASSERT_EQ(State(), CStates::kMessageBox);
    Mark();
    Choose(kYesRow);
    EXPECT_EQ(State(), CStates::kGoodbye);
    Frame();
    SaveScreenshot("11-goodbye");
    // Each of its two lines is centred, its white letters as far from both
    // sides of the screen.
    const int32_t lineHeight = Hud().font->getHeight();
    for (int32_t line = 0; line < 2; ++line) {
        const int32_t top = Hud().boxY + line * lineHeight;
        int32_t left = kScreenW;
        int32_t right = -1;
        for (int32_t y = top; y < top + lineHeight; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) {
                if (!IsWhite(ScreenRgb(x, y))) continue;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        ASSERT_GE(right, left) << "line " << line;
        EXPECT_NEAR(left + right, kScreenW, 3) << "line " << line;
    }
    // Wider than the other text pages, so that its first line stays whole,
    // yet within the screen.
    const JString goodbye = GetUpperText(CStates::kTextGoodbye);
    EXPECT_EQ(Hud().lines.elementAt(0), goodbye.substring(0, goodbye.indexOf(u'\n')));
    EXPECT_GT(Hud().boxX, 0);
    EXPECT_LT(Hud().boxX + Hud().boxWidth, kScreenW);
    EXPECT_FALSE(m_app->IsExitRequested());
    Press(EngineKey::kSelect);
    EXPECT_EQ(StatesSinceMark(), (StateList{CStates::kGoodbye, CStates::kQuit}));
    EXPECT_TRUE(m_app->IsExitRequested());
}

TEST_F(ScreensFlowTest, BackDuringTheSplashEndsTheGame) {
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    Choose(kNoRow);
    ASSERT_TRUE(RunUntil(CStates::kLogoPieces));
    EXPECT_FALSE(m_app->IsExitRequested());
    Press(EngineKey::kBack);
    EXPECT_TRUE(m_app->IsExitRequested());
}

// Select and a tap alike skip the logo to the title and the wipe to the
// intro pictures, and move those on one at a time.
class SplashSkipTest : public ScreensFlowTest, public ::testing::WithParamInterface<bool> {
protected:
    void Skip() {
        if (!GetParam()) {
            Press(EngineKey::kSelect);
            return;
        }
        const uint32_t point = static_cast<uint32_t>(kScreenW / 2) | static_cast<uint32_t>(kScreenH / 2) << 16;
        Event(EngineEvent::kMouseButtonDown, 0, point);
        Event(EngineEvent::kMouseButtonUp, 0, point);
        Frame();
    }
};

TEST_P(SplashSkipTest, TheLogoTheWipeAndEachIntroPictureGiveWay) {
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    Choose(kNoRow);
    ASSERT_TRUE(RunUntil(CStates::kLogoSlide));
    Frames(3);
    Mark();
    Skip();
    Frame();
    EXPECT_EQ(StatesSinceMark(), (StateList{CStates::kTitle, CStates::kLogoWipe}));
    Skip();
    ASSERT_EQ(State(), CStates::kIntroImage);
    Frame();
    Mark();
    Skip();
    EXPECT_EQ(StatesSinceMark(), StateList{CStates::kIntroImage});
    EXPECT_EQ(States().introIndex, 2);
}

INSTANTIATE_TEST_SUITE_P(KeysAndTaps, SplashSkipTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Tap" : "Select");
                         });

TEST_F(ScreensFlowTest, SoundIsToggledInTheOptionsWithTheSameItemSelected) {
    BootToMainMenu(kYesRow);
    ASSERT_EQ(Sound().soundOn, 1);
    Choose(kOptionsRow);
    ASSERT_EQ(State(), CStates::kOptions);
    // Sound and reset progress are listed; vibration is not.
    ASSERT_EQ(Hud().lineCount, 2);
    EXPECT_EQ(Hud().itemIndexes.elementAt(1), 2);
    const JString on = GetUpperText(CStates::kTextSound) + JString(" ") + GetUpperText(CStates::kTextOn);
    const JString off = GetUpperText(CStates::kTextSound) + JString(" ") + GetUpperText(CStates::kTextOff);
    EXPECT_EQ(Hud().lines.elementAt(0), on);
    Choose(0);
    EXPECT_EQ(State(), CStates::kOptions);
    EXPECT_EQ(Sound().soundOn, 0);
    EXPECT_EQ(Sound().loopingId, CSoundManager::kNoLoop);
    EXPECT_EQ(Hud().lines.elementAt(0), off);
    EXPECT_EQ(Hud().selected, 0);
    Choose(0);
    EXPECT_EQ(Sound().soundOn, 1);
    EXPECT_EQ(Hud().lines.elementAt(0), on);
    // The jingle plays once: it is no loop.
    EXPECT_TRUE(Sound().IsPlaying());
    EXPECT_EQ(Sound().loopingId, CSoundManager::kNoLoop);
    EXPECT_EQ(States().stackDepth, 1);
}

TEST_F(ScreensFlowTest, ResetProgressDeletesTheRecordsAndReturnsToTheOptions) {
    BootToMainMenu();
    Progress().highestLevel = 4;
    ASSERT_TRUE(m_app->GetGame()->SaveProgress());
    ASSERT_TRUE(m_app->GetGame()->SaveSettings());
    const uint8_t levelState[] = {1, 2, 3};
    ASSERT_TRUE(SaveRecord(RecordId::kLevelState, MakeRecordBytes(levelState, 3)));
    Choose(kOptionsRow);
    Mark();
    Choose(1);
    ASSERT_EQ(State(), CStates::kMessageBox);
    Frame();
    SaveScreenshot("12-reset-question");
    // Declining keeps everything.
    Choose(kNoRow);
    EXPECT_EQ(State(), CStates::kOptions);
    EXPECT_EQ(Hud().selected, 1);
    EXPECT_TRUE(RecordExists(RecordId::kProgress));
    Choose(1);
    Choose(kYesRow);
    EXPECT_EQ(StatesSinceMark(),
              (StateList{CStates::kMessageBox, CStates::kOptions, CStates::kMessageBox, CStates::kOptions}));
    EXPECT_EQ(Hud().selected, 1);
    EXPECT_EQ(Progress().highestLevel, 0);
    for (int32_t record : {RecordId::kSettings, RecordId::kProgress, RecordId::kLevelState}) {
        EXPECT_FALSE(RecordExists(record)) << record;
    }
    // Back in the main menu, play starts the first level at once.
    Press(EngineKey::kBack);
    Choose(kPlayRow);
    EXPECT_EQ(State(), CStates::kLoadLevel);
    EXPECT_EQ(Progress().level, 0);
}

// The notice of a reset that could not delete every record says what
// became of the progress. Where its record stays, the next start reads it,
// and the run keeps the levels reached too, so that no later save writes
// less over it; where only the settings or the level state stay, the
// progress was reset. Either notice leads back to the options.
TEST_F(ScreensFlowTest, AFailedResetSaysAndKeepsWhatBecameOfTheProgress) {
    BootToMainMenu();
    Choose(kOptionsRow);
    const struct {
        const char* undeletable;
        int32_t text;
        int32_t highestLevel;
    } cases[] = {{"mchvx2_save1.dat", CStates::kTextResetFailed, 4},
                 {"mchvx2_save0.dat", CStates::kTextResetIncomplete, 0},
                 {"mchvx2_save2.dat", CStates::kTextResetIncomplete, 0}};
    const uint8_t levelState[] = {1, 2, 3};
    for (const auto& c : cases) {
        Progress().highestLevel = 4;
        ASSERT_TRUE(m_app->GetGame()->SaveProgress());
        ASSERT_TRUE(m_app->GetGame()->SaveSettings());
        ASSERT_TRUE(SaveRecord(RecordId::kLevelState, MakeRecordBytes(levelState, 3)));
        Choose(1);
        FailingDelete::name = c.undeletable;
        HostFile::SetFaultHook(&FailingDelete::Hook);
        Choose(kYesRow);
        HostFile::SetFaultHook(nullptr);
        ASSERT_EQ(State(), CStates::kMessageBox) << c.undeletable;
        EXPECT_EQ(States().messages.elementAt(0), GetUpperText(c.text)) << c.undeletable;
        EXPECT_EQ(Progress().highestLevel, c.highestLevel) << c.undeletable;
        EXPECT_EQ(RecordExists(RecordId::kProgress), c.highestLevel != 0) << c.undeletable;
        Choose(0);
        EXPECT_EQ(State(), CStates::kOptions);
    }
}

// The storage notice says what is wrong with the records and asks nothing:
// its one row, tapped, leads to the main menu.
TEST_F(ScreensFlowTest, TheStorageNoticeShowsOnceAfterTheSplashAndLeadsToTheMenu) {
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    Choose(kNoRow);
    // The records were read in state 3; as if one could not be.
    States().recordUnreadable = 1;
    ASSERT_TRUE(RunUntil(CStates::kSplashEnd, 1000));
    Frame();
    ASSERT_EQ(State(), CStates::kMessageBox);
    const JString text = GetUpperText(CStates::kTextRecordUnreadable);
    EXPECT_EQ(States().messages.elementAt(1), text.substring(0, text.indexOf(u'|')));
    ASSERT_EQ(Hud().lineCount, 1);
    EXPECT_EQ(Hud().lines.elementAt(0), GetUpperText(CStates::kTextOk));
    Frame();
    SaveScreenshot("13-storage-message");
    const uint32_t point = static_cast<uint32_t>(kScreenW / 2) | static_cast<uint32_t>(RowMiddle(0)) << 16;
    Event(EngineEvent::kMouseButtonDown, 0, point);
    Event(EngineEvent::kMouseButtonUp, 0, point);
    Frame();
    EXPECT_EQ(State(), CStates::kMainMenu);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kMessageBox);
    EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextQuitQuestion));
}

// Suspending stands every screen still; resuming goes on where it was.
TEST_F(ScreensFlowTest, SuspendAndResumeKeepTheScreen) {
    BootToMainMenu();
    for (int32_t row : {kOptionsRow, kHelpRow, kAboutRow, kQuitRow}) {
        Choose(row);
        const int32_t state = State();
        const int32_t selected = Hud().selected;
        Event(EngineEvent::kAppSuspend);
        Frames(3);
        EXPECT_EQ(State(), state);
        Event(EngineEvent::kAppResume);
        Frames(2);
        EXPECT_EQ(State(), state);
        EXPECT_EQ(Hud().selected, selected);
        EXPECT_TRUE(Hud().laidOut);
        Press(EngineKey::kBack);
        EXPECT_EQ(State(), CStates::kMainMenu);
    }
}

// Turned the wrong way in a menu, the game stands still under the
// orientation message; turned back, the page is where it was.
TEST_F(ScreensFlowTest, OrientationChangeInAMenuFreezesAndKeepsThePage) {
    UseProgramContent("KEYS=0\nORIENTATION_SUPPORT=PORTRAIT_ONLY\nORIENTATION_MESSAGE=TURN THE PHONE\n");
    BootToMainMenu();
    Choose(kOptionsRow);
    Press(EngineKey::kDown);
    const int32_t selected = Hud().selected;
    HostInput::Rotate();
    Event(EngineEvent::kDeviceOrientationChanged);
    Event(EngineEvent::kOrientationFollowUp);
    Frames(2);
    EXPECT_TRUE(m_app->IsOrientationMismatch());
    SaveScreenshot("14-orientation-message");
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kOptions);
    HostInput::Rotate();
    Event(EngineEvent::kDeviceOrientationChanged);
    Event(EngineEvent::kOrientationFollowUp);
    Frames(2);
    EXPECT_FALSE(m_app->IsOrientationMismatch());
    EXPECT_FALSE(m_app->IsExitRequested());
    EXPECT_EQ(State(), CStates::kOptions);
    EXPECT_EQ(Hud().selected, selected);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_EQ(Hud().selected, kOptionsRow);
}

// A suspension at any point of the boot changes nothing of its course.
TEST_F(ScreensFlowTest, SuspendAndResumeInEveryBootStateKeepTheCourse) {
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    Choose(kNoRow);
    int32_t last = State();
    for (int32_t i = 0; i < 1000 && State() != CStates::kMainMenu; ++i) {
        if (State() != last) {
            last = State();
            Event(EngineEvent::kAppSuspend);
            Frames(2);
            EXPECT_EQ(State(), last);
            Event(EngineEvent::kAppResume);
        }
        Frame();
    }
    EXPECT_EQ(StatesSinceMark(),
              (StateList{CStates::kStartupChecks, CStates::kInterfaceSetup, CStates::kMessageBox, CStates::kSoundNo,
                         CStates::kLogoSlide, CStates::kLogoPieces, CStates::kLogoWhole, CStates::kTitle,
                         CStates::kLogoWipe, CStates::kIntroImage, CStates::kIntroImage, CStates::kSplashEnd,
                         CStates::kMainMenu}));
}

// The touch-screen notice shows once per installation, before the sound
// question; acknowledging it is kept in the settings record.
TEST_F(ScreensFlowTest, TheTouchNoticeShowsUntilAcknowledged) {
    UseProgramContent("KEYS=0\nTOUCHSCREEN_MESSAGE=Tap the screen to play.\n");
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kTouchNotice));
    Frame();
    SaveScreenshot("15-touch-notice");
    EXPECT_EQ(Hud().mode, CHud::kMessage);
    EXPECT_FALSE(RecordExists(RecordId::kSettings));
    Press(EngineKey::kSelect);
    EXPECT_EQ(StatesSinceMark(), (StateList{CStates::kStartupChecks, CStates::kInterfaceSetup, CStates::kTouchNotice,
                                            CStates::kMessageBox}));
    EXPECT_TRUE(m_app->GetGame()->IsTouchNoticeShown());
    EXPECT_TRUE(RecordExists(RecordId::kSettings));
    // The next start goes straight to the sound question.
    Stop();
    UseProgramContent("KEYS=0\nTOUCHSCREEN_MESSAGE=Tap the screen to play.\n");
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    EXPECT_EQ(StatesSinceMark(), (StateList{CStates::kStartupChecks, CStates::kInterfaceSetup, CStates::kMessageBox}));
}

// An answer that cannot be kept would bring the notice back at every start
// without a word: a notice says that the settings could not be stored, then
// the sound question comes, and the splash, whose storage test passed,
// leads to the main menu.
TEST_F(ScreensFlowTest, ATouchNoticeAnswerThatCannotBeKeptSaysTheSettingsCouldNotBeStored) {
    UseProgramContent("KEYS=0\nTOUCHSCREEN_MESSAGE=Tap the screen to play.\n");
    StartRunning();
    ASSERT_TRUE(RunUntil(CStates::kTouchNotice));
    HostFile::SetFaultHook(&FailWrites);
    Press(EngineKey::kSelect);
    HostFile::SetFaultHook(nullptr);
    ASSERT_EQ(State(), CStates::kMessageBox);
    EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextSettingsFailed));
    EXPECT_FALSE(RecordExists(RecordId::kSettings));
    Choose(0);
    ASSERT_EQ(State(), CStates::kMessageBox);
    EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextSoundQuestion));
    Choose(kNoRow);
    Mark();
    ASSERT_TRUE(RunUntil(CStates::kMainMenu, 1000));
    const StateList since = StatesSinceMark();
    EXPECT_EQ(std::count(since.begin(), since.end(), CStates::kMessageBox), 0);
}
