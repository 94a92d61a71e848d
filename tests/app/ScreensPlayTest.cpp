// Play control against the play world: loading with its bar, play, the
// pause page and its items, game over and retry, the end of a level, the
// interlude of the fourth level and the end of the last.

#include "ScreensFixture.h"

#include <algorithm>

#include "ActorTypes.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "GameRecordCodec.h"
#include "HostClock.h"
#include "HostFile.h"
#include "JFont.h"
#include "JImage.h"
#include "RecordStore.h"
#include "ResourceText.h"
#include "CSpriteInstance.h"
#include "HeadlessBackend.h"
#include "HostFrame.h"

namespace {

using StateList = std::vector<int32_t>;

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;
constexpr int32_t kPlayRow = 0;
constexpr int32_t kMainMenuHelpRow = 2;
// The one row of a notice.
constexpr int32_t kOkRow = 0;
// The pause page's rows.
constexpr int32_t kResumeRow = 0;
constexpr int32_t kRestartRow = 1;
constexpr int32_t kSoundRow = 2;
constexpr int32_t kHelpRow = 3;
constexpr int32_t kQuitToMenuRow = 4;
constexpr int32_t kRetryRow = 0;
// The level the second form runs through by itself, and its fuel's colour.
constexpr int32_t kRunningLevel = 4;
constexpr uint32_t kFuelColour = 0xF2B233;
// The event that sets the application's overlay mode, which hides the
// touch controls' pictures (its first argument: 1 hidden, 0 shown).
constexpr uint32_t kOverlayEvent = 0x02042EF2;
// The middles of the pad's up and right arrows (its origin at (3, 153)).
constexpr int32_t kPadUpX = 3 + 35 + 11;
constexpr int32_t kPadUpY = 153 + 5 + 11;
constexpr int32_t kPadRightX = 3 + 66 + 11;
constexpr int32_t kPadRightY = 153 + 36 + 11;
// The middle of the pause bars, the right soft key.
constexpr int32_t kPauseBarsX = kScreenW - CTouchButtonLayout::kSoftKeyWidth / 2;
constexpr int32_t kPauseBarsY = kScreenH - CTouchButtonLayout::kSoftKeyHeight / 2;
// A jump from standing, from its start to its landing, in frames.
constexpr int32_t kJumpFrames = 16;
// The first frames of play fade in from black.
constexpr int32_t kFadeInFrames = 8;
// The sun in the middle of the fourth level's interlude picture, and its
// colour; the picture has no black pixel.
constexpr int32_t kInterludeSunX = 120;
constexpr int32_t kInterludeSunY = 90;
constexpr uint32_t kInterludeSunColour = 0xF2B233;

bool FailWrites(HostFile::Op op, const std::string&) { return op == HostFile::Op::Write; }

}  // namespace

class ScreensPlayTest : public ScreensFixture {
protected:
    void SetUp() override {
        ScreensFixture::SetUp();
        BootToMainMenu();
    }

    CHud& Hud() const { return *CGame::GetHud(); }
    CGameProgress& Progress() const { return *CGame::GetProgress(); }
    CGameWorld& World() const { return *CGame::GetWorld(); }

    // From the main menu into play of the first level.
    void StartPlay() {
        Choose(kPlayRow);
        ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
        Frame();
    }
    // What the play world does at the end of a level: the next level, the
    // highest reached, saved, and the loading of the next.
    void FinishLevel() {
        ++Progress().level;
        if (Progress().level > Progress().highestLevel) Progress().highestLevel = Progress().level;
        ASSERT_TRUE(m_app->GetGame()->SaveProgress());
        States().SetState(CStates::kLoadLevel);
    }
    // The pixels of the last frame that a repaint without the touch
    // controls' pictures draws otherwise: 0 when they were not shown.
    int32_t TouchControlPixels() {
        const HostFrame shown = m_backend->LastFrame();
        Event(kOverlayEvent, 1);
        m_app->Paint();
        const HostFrame without = m_backend->LastFrame();
        Event(kOverlayEvent, 0);
        return PixelsApart(shown, without);
    }
    static int32_t PixelsApart(const HostFrame& a, const HostFrame& b) {
        int32_t count = 0;
        for (int32_t y = 0; y < a.Height(); ++y) {
            for (int32_t x = 0; x < a.Width(); ++x) count += a.PixelAt(x, y) != b.PixelAt(x, y) ? 1 : 0;
        }
        return count;
    }
    // The stylus down or up at (x, y) of the game's screen.
    void Stylus(uint32_t event, int32_t x, int32_t y) {
        Event(event, 0, static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16);
    }
    // The stylus down and up at (x, y) before the next frame, then that frame.
    void Tap(int32_t x, int32_t y) {
        Stylus(EngineEvent::kMouseButtonDown, x, y);
        Stylus(EngineEvent::kMouseButtonUp, x, y);
        Frame();
    }
    // The world ends the level, and its save fails.
    void EndLevelFailingToSave() {
        HostFile::SetFaultHook(&FailWrites);
        World().SetSubState(CGameWorld::kSubStateComplete);
        Frame();
        HostFile::SetFaultHook(nullptr);
    }
    // From the main menu into the loading of the fourth level, chosen from
    // the level list.
    void StartInterludeLevel() {
        Progress().level = CGameProgress::kInterludeLevel;
        Progress().highestLevel = CGameProgress::kInterludeLevel;
        Choose(kPlayRow);
        ASSERT_EQ(State(), CStates::kLevelSelect);
        Choose(CGameProgress::kInterludeLevel);
        ASSERT_TRUE(RunUntil(CStates::kPlayLoad));
    }
    int32_t BlackPixels() const {
        int32_t count = 0;
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) count += ScreenRgb(x, y) == 0 ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ScreensPlayTest, PlayLoadsTheLevelThenPlays) {
    Mark();
    const int32_t playRowMiddle = Hud().rowsTop + Hud().rowHeight / 2;
    Choose(kPlayRow);
    EXPECT_EQ(State(), CStates::kLoadLevel);
    EXPECT_EQ(States().frameHalf, nullptr);
    // The loading screen at once, no menu row left on black.
    EXPECT_EQ(Hud().mode, CHud::kLoading);
    EXPECT_EQ(ScreenRgb(kScreenW / 2, playRowMiddle), 0u);
    Frame();
    EXPECT_EQ(State(), CStates::kPlayLoad);
    EXPECT_EQ(Hud().mode, CHud::kLoading);
    Frame();
    SaveScreenshot("20-loading");
    // Black between the side frames, and the bar's unfilled end.
    EXPECT_EQ(ScreenRgb(kScreenW / 2, 40), 0u);
    EXPECT_EQ(ScreenRgb(kScreenW - 40, Hud().rowsTop + 17), 0u);
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    EXPECT_EQ(Hud().percent, CGameWorld::kLoaded);
    EXPECT_FALSE(Hud().laidOut);
    EXPECT_EQ(Hud().modal, 0);
    const StateList seen = StatesSinceMark();
    EXPECT_EQ(seen.front(), CStates::kLoadLevel);
    EXPECT_EQ(seen.back(), CStates::kPlay);
    EXPECT_EQ(States().stackDepth, 0);
}

// Where the first level starts, the player stands beside the touch pad and a
// jump from standing rises through it. In every frame of that jump most of
// the player's pixels (those that change when the player is hidden) must
// look as they do with the touch controls' pictures hidden.
TEST_F(ScreensPlayTest, ThePlayerShowsThroughTheTouchControlsAsItJumps) {
    StartPlay();
    Frames(kFadeInFrames);
    CSpriteInstance& sprite = *World().player->sprite;
    // The stylus jumps, so that the pictures stay.
    Stylus(EngineEvent::kMouseButtonDown, kPadUpX, kPadUpY);
    for (int32_t frame = 0; frame < kJumpFrames; ++frame) {
        Frame();
        const HostFrame shown = m_backend->LastFrame();
        Event(kOverlayEvent, 1);
        m_app->Paint();
        const HostFrame uncovered = m_backend->LastFrame();
        sprite.SetVisible(false);
        m_app->Paint();
        const HostFrame without = m_backend->LastFrame();
        sprite.SetVisible(true);
        Event(kOverlayEvent, 0);
        int32_t playerPixels = 0;
        int32_t seen = 0;
        for (int32_t y = 0; y < shown.Height(); ++y) {
            for (int32_t x = 0; x < shown.Width(); ++x) {
                if (uncovered.PixelAt(x, y) == without.PixelAt(x, y)) continue;
                ++playerPixels;
                if (shown.PixelAt(x, y) == uncovered.PixelAt(x, y)) ++seen;
            }
        }
        ASSERT_GT(playerPixels, 0) << "frame " << frame;
        ASSERT_GT(PixelsApart(shown, uncovered), 0) << "frame " << frame;
        EXPECT_GE(seen * 4, playerPixels * 3) << "frame " << frame << ": " << seen << " of " << playerPixels;
    }
    Stylus(EngineEvent::kMouseButtonUp, kPadUpX, kPadUpY);
}

// The touch pictures show while the stylus plays: from the level's start,
// gone at a key press, back at the next tap, which the pad answers all the
// same; from the very frame that play resumes in after the pause page, and
// again from the next level's start.
TEST_F(ScreensPlayTest, TheTouchPicturesShowWhileTheStylusPlays) {
    StartPlay();
    EXPECT_GT(TouchControlPixels(), 0);
    Press(EngineKey::kLeft);
    EXPECT_EQ(TouchControlPixels(), 0);
    Stylus(EngineEvent::kMouseButtonDown, kPadRightX, kPadRightY);
    Frame();
    EXPECT_TRUE(CGame::GetInput()->IsHeld(GameKey::kRight));
    EXPECT_GT(TouchControlPixels(), 0);
    Stylus(EngineEvent::kMouseButtonUp, kPadRightX, kPadRightY);
    Frame();
    EXPECT_GT(TouchControlPixels(), 0);

    Tap(kPauseBarsX, kPauseBarsY);
    ASSERT_EQ(State(), CStates::kPause);
    Tap(kScreenW / 2, Hud().rowsTop + Hud().rowHeight / 2);
    ASSERT_EQ(State(), CStates::kPlay);
    EXPECT_GT(TouchControlPixels(), 0);

    Press(EngineKey::kLeft);
    ASSERT_EQ(TouchControlPixels(), 0);
    // Paused by a key, resumed by a tap: the stylus plays from the first
    // frame of play.
    Press(EngineKey::kSoftRight);
    ASSERT_EQ(State(), CStates::kPause);
    Tap(kScreenW / 2, Hud().rowsTop + Hud().rowHeight / 2);
    ASSERT_EQ(State(), CStates::kPlay);
    EXPECT_GT(TouchControlPixels(), 0);

    Press(EngineKey::kLeft);
    ASSERT_EQ(TouchControlPixels(), 0);
    FinishLevel();
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    Frames(kFadeInFrames);
    EXPECT_GT(TouchControlPixels(), 0);
}

// The first level's title page, met a few steps from the start, stands in
// the middle of the screen as high as its lines, well below the HUD's rows.
TEST_F(ScreensPlayTest, TheTitlePageStandsInTheMiddleOfTheScreen) {
    StartPlay();
    Event(EngineEvent::kKeyPressed, EngineKey::kRight);
    for (int32_t frame = 0; frame < 200 && Hud().mode != CHud::kPlayText; ++frame) Frame();
    Event(EngineEvent::kKeyReleased, EngineKey::kRight);
    ASSERT_EQ(Hud().mode, CHud::kPlayText);
    Frame();
    SaveScreenshot("24-title-page");
    const CHud& hud = Hud();
    EXPECT_EQ(hud.speaker, CHud::kNoSpeaker);
    ASSERT_GT(hud.lineCount, 0);
    EXPECT_EQ(hud.boxHeight, hud.lineCount * hud.font->getHeight());
    EXPECT_NEAR(2 * hud.boxY + hud.boxHeight, kScreenH, 1);
}

TEST_F(ScreensPlayTest, PausePageResumesByItemAndByBack) {
    StartPlay();
    ASSERT_GT(TouchControlPixels(), 0);
    Press(EngineKey::kSoftRight);
    ASSERT_EQ(State(), CStates::kPause);
    // The play controls are gone from the page's first frame.
    EXPECT_EQ(TouchControlPixels(), 0);
    Frame();
    SaveScreenshot("21-pause");
    EXPECT_EQ(States().stackDepth, 1);
    EXPECT_EQ(Hud().lineCount, 5);
    // The five rows, the first one highlighted, lie between the borders of
    // their side frame (125 high).
    const CHud& hud = Hud();
    ASSERT_NE(hud.sideTop, nullptr);
    ASSERT_NE(hud.sideBottom, nullptr);
    EXPECT_GE(hud.rowsTop, hud.menuY + hud.sideTop->getHeight());
    EXPECT_LE(hud.rowsTop + hud.lineCount * hud.barHeight, hud.menuY + 125 - hud.sideBottom->getHeight());
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kPlay);
    EXPECT_EQ(Hud().modal, 0);
    // The back key pauses play too; resume is the first item.
    Press(EngineKey::kBack);
    ASSERT_EQ(State(), CStates::kPause);
    Choose(kResumeRow);
    EXPECT_EQ(State(), CStates::kPlay);
    EXPECT_EQ(States().stackDepth, 0);
}

TEST_F(ScreensPlayTest, HelpFromThePauseReturnsToThePauseWithHelpSelected) {
    StartPlay();
    Press(EngineKey::kSoftRight);
    Mark();
    Choose(kHelpRow);
    EXPECT_EQ(State(), CStates::kHelp);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kPause);
    EXPECT_EQ(Hud().selected, kHelpRow);
    Press(EngineKey::kBack);
    EXPECT_EQ(StatesSinceMark(), (StateList{CStates::kHelp, CStates::kPause, CStates::kPlay}));
    // The help page's arrows stay behind: a tap in play presses neither.
    EXPECT_FALSE(CGame::GetTouchButtons()->IsEnabled(CTouchButtonLayout::kGroupTextArrows));
}

// Opened from the pause page, the help lies on the main menu's frame: it
// scrolls down and back to the very picture of the help opened from the
// menu, none of the scrolled text left behind.
TEST_F(ScreensPlayTest, HelpFromThePauseScrollsOnTheMenusFrame) {
    Choose(kMainMenuHelpRow);
    ASSERT_EQ(State(), CStates::kHelp);
    // The page's first frame shows it whole, its scroll arrows too.
    const HostFrame first = m_backend->LastFrame();
    Frame();
    const HostFrame fromMenu = m_backend->LastFrame();
    EXPECT_EQ(PixelsApart(first, fromMenu), 0);
    Press(EngineKey::kBack);
    StartPlay();
    Press(EngineKey::kSoftRight);
    Choose(kHelpRow);
    ASSERT_EQ(State(), CStates::kHelp);
    for (int32_t i = 0; i < 4; ++i) Press(EngineKey::kDown);
    SaveScreenshot("22-help-from-pause");
    for (int32_t i = 0; i < 4; ++i) Press(EngineKey::kUp);
    EXPECT_EQ(Hud().scroll, 0);
    EXPECT_EQ(PixelsApart(m_backend->LastFrame(), fromMenu), 0);
    // Back over play, the frame goes again.
    Press(EngineKey::kBack);
    ASSERT_EQ(State(), CStates::kPause);
    EXPECT_EQ(States().frameHalf, nullptr);
}

TEST_F(ScreensPlayTest, SoundInThePauseRebuildsThePageOnTheSameRow) {
    StartPlay();
    Press(EngineKey::kSoftRight);
    const uint8_t before = CGame::GetSound()->soundOn;
    Choose(kSoundRow);
    EXPECT_EQ(State(), CStates::kPause);
    EXPECT_NE(CGame::GetSound()->soundOn, before);
    EXPECT_EQ(Hud().selected, kSoundRow);
    const int32_t onOff = CGame::GetSound()->soundOn != 0 ? CStates::kTextOn : CStates::kTextOff;
    EXPECT_EQ(Hud().lines.elementAt(kSoundRow),
              GetUpperText(CStates::kTextSound) + JString(" ") + GetUpperText(onOff));
}

TEST_F(ScreensPlayTest, RestartAsksFirstThenUnloadsAndLoadsAgain) {
    StartPlay();
    Press(EngineKey::kSoftRight);
    Choose(kRestartRow);
    ASSERT_EQ(State(), CStates::kMessageBox);
    EXPECT_EQ(States().restartPending, 1);
    Choose(kNoRow);
    EXPECT_EQ(State(), CStates::kPause);
    EXPECT_EQ(Hud().selected, kRestartRow);
    EXPECT_TRUE(World().loaded);
    Choose(kRestartRow);
    Mark();
    Choose(kYesRow);
    EXPECT_FALSE(World().loaded);
    EXPECT_EQ(States().restartPending, 0);
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    EXPECT_EQ(StatesSinceMark().front(), CStates::kLoadLevel);
    EXPECT_TRUE(World().loaded);
}

TEST_F(ScreensPlayTest, QuitToTheMenuUnloadsTheLevel) {
    StartPlay();
    Press(EngineKey::kSoftRight);
    Choose(kQuitToMenuRow);
    ASSERT_EQ(State(), CStates::kMessageBox);
    Choose(kYesRow);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_FALSE(World().loaded);
    EXPECT_EQ(Progress().closeRequested, 0);
    EXPECT_EQ(States().stackDepth, 0);
}

TEST_F(ScreensPlayTest, GameOverOffersRetryAndTheMenuButNoBack) {
    StartPlay();
    // The world asks for the game-over page.
    States().SetState(CStates::kPlayOver);
    Frame();
    ASSERT_EQ(State(), CStates::kGameOver);
    Frame();
    SaveScreenshot("22-game-over");
    EXPECT_EQ(States().stackDepth, 0);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kGameOver);
    Choose(kRetryRow);
    EXPECT_EQ(State(), CStates::kPlay);

    States().SetState(CStates::kPlayOver);
    Frame();
    Choose(1);
    ASSERT_EQ(State(), CStates::kMessageBox);
    Choose(kNoRow);
    EXPECT_EQ(State(), CStates::kGameOver);
    Choose(1);
    Choose(kYesRow);
    EXPECT_EQ(State(), CStates::kMainMenu);
}

TEST_F(ScreensPlayTest, LevelsFollowOneAnotherAndTheFourthHoldsItsInterlude) {
    StartPlay();
    FinishLevel();
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    EXPECT_EQ(Progress().level, 1);
    EXPECT_TRUE(RecordExists(RecordId::kProgress));
    FinishLevel();
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    // The fourth level holds for three seconds after loading (its image
    // comes with the world's loading steps).
    FinishLevel();
    ASSERT_TRUE(RunUntil(CStates::kPlayLoad));
    ASSERT_EQ(Progress().level, CGameProgress::kInterludeLevel);
    int32_t loadedFrames = 0;
    while (State() == CStates::kPlayLoad && loadedFrames < 200) {
        HostClock::Advance(CGame::kStepMs);
        Frame();
        if (Hud().percent == CGameWorld::kLoaded) ++loadedFrames;
    }
    EXPECT_EQ(State(), CStates::kPlay);
    EXPECT_GE(loadedFrames * CGame::kStepMs, CGameProgress::kInterludeMs);
    EXPECT_LE(loadedFrames * CGame::kStepMs, CGameProgress::kInterludeMs + 3 * CGame::kStepMs);
    EXPECT_EQ(Progress().interludeImage, nullptr);
    EXPECT_EQ(Progress().interludeShown, 0);
}

// The running level's runner runs low by itself and cannot jump: every
// part and fuel can of the level lies in its row, and it collects them all.
// With fuel, holding fire boosts it, its flame showing.
TEST_F(ScreensPlayTest, TheRunnerCollectsItsLevelsPickupsAndBoosts) {
    Progress().level = kRunningLevel;
    Progress().highestLevel = kRunningLevel;
    Choose(kPlayRow);
    Choose(kRunningLevel);
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    CGameWorld& world = World();
    ASSERT_NE(world.autoRun, 0);
    std::vector<size_t> pickups;
    for (size_t i = 0; i < world.spawnActors.size(); ++i) {
        if (world.spawnActors[i] != nullptr && world.spawnActors[i]->type == ActorType::kPickup) pickups.push_back(i);
    }
    ASSERT_FALSE(pickups.empty());
    const auto collected = [&]() {
        return std::count_if(pickups.begin(), pickups.end(),
                             [&](size_t i) { return world.spawns[i].state == CGameWorld::kSpawnDestroyed; });
    };
    bool boosted = false;
    for (int32_t frame = 0; frame < 1000 && State() == CStates::kPlay; ++frame) {
        if (collected() == static_cast<int32_t>(pickups.size()) && boosted) break;
        if (Hud().mode == CHud::kDialogue || Hud().mode == CHud::kPlayText) {
            Press(EngineKey::kSoftLeft);
            continue;
        }
        const CActor& runner = *world.player;
        const int32_t fuel = runner.StateWord(PlayerWord::kGauge);
        if (!boosted && fuel > 0 && runner.onGround != 0) {
            Event(EngineEvent::kKeyPressed, EngineKey::kSelect);
            Frames(2);
            boosted = world.boostFlag != 0 && world.playerExtraSprite->IsVisible() &&
                      runner.StateWord(PlayerWord::kGauge) < fuel;
            Event(EngineEvent::kKeyReleased, EngineKey::kSelect);
        }
        Frame();
    }
    EXPECT_EQ(collected(), static_cast<int32_t>(pickups.size()));
    EXPECT_TRUE(boosted);
    // The fuel gauge stands whole on the screen: as much of its bar shows
    // filled as the fuel fills it.
    ASSERT_EQ(State(), CStates::kPlay);
    const int32_t barWidth = world.partnerGaugeSprite->GetBoxWidth();
    const int32_t fuel = world.player->StateWord(PlayerWord::kGauge);
    const int32_t filled = barWidth - (PlayerWord::kGaugeMax - fuel) * barWidth / PlayerWord::kGaugeMax;
    int32_t shown = 0;
    for (int32_t x = 0; x < kScreenW / 2; ++x) shown += NearRgb(ScreenRgb(x, kScreenH - 30), kFuelColour) ? 1 : 0;
    EXPECT_EQ(shown, filled);
}

TEST_F(ScreensPlayTest, AConfirmCutsTheInterludeShort) {
    Progress().level = CGameProgress::kInterludeLevel;
    Progress().highestLevel = CGameProgress::kInterludeLevel;
    Choose(kPlayRow);
    ASSERT_EQ(State(), CStates::kLevelSelect);
    Frame();
    SaveScreenshot("23-level-select");
    EXPECT_EQ(Hud().lineCount, CGameProgress::kInterludeLevel + 1);
    Choose(CGameProgress::kInterludeLevel);
    ASSERT_EQ(State(), CStates::kLoadLevel);
    EXPECT_EQ(Progress().level, CGameProgress::kInterludeLevel);
    ASSERT_TRUE(RunUntil(CStates::kPlayLoad));
    for (int32_t i = 0; i < 2000 && Progress().interludeStart == 0; ++i) Frame();
    ASSERT_NE(Progress().interludeStart, 0u);
    EXPECT_EQ(Progress().interludeShown, 1);
    Press(EngineKey::kSelect);
    HostClock::Advance(CGame::kStepMs);
    Frames(2);
    EXPECT_EQ(State(), CStates::kPlay);
}

// The interlude's picture holds the whole screen from the tick the level
// is loaded, in the next one, which begins the hold, and the one after; a
// tap ends the hold as a confirming key does, also one in the place of the
// right soft key, which then does not pause the play it begins.
TEST_F(ScreensPlayTest, TheInterludePictureFillsTheScreenUntilATapEndsIt) {
    StartInterludeLevel();
    while (Hud().percent != CGameWorld::kLoaded && State() == CStates::kPlayLoad) Frame();
    for (int32_t frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(State(), CStates::kPlayLoad) << frame;
        ASSERT_EQ(Progress().interludeShown, 1) << frame;
        EXPECT_TRUE(NearRgb(ScreenRgb(kInterludeSunX, kInterludeSunY), kInterludeSunColour)) << frame;
        EXPECT_EQ(BlackPixels(), 0) << frame;
        if (frame == 0) SaveScreenshot("24-interlude");
        HostClock::Advance(CGame::kStepMs);
        Frame();
    }
    ASSERT_NE(Progress().interludeStart, 0u);
    Tap(kPauseBarsX, kPauseBarsY);
    HostClock::Advance(CGame::kStepMs);
    Frame();
    EXPECT_EQ(State(), CStates::kPlay);
    EXPECT_EQ(Progress().interludeShown, 0);
    Frames(2);
    EXPECT_EQ(State(), CStates::kPlay);
}

// Back while the fourth level loads abandons its picture with it: the next
// load of the level shows a picture of its own.
TEST_F(ScreensPlayTest, TheInterludeOfAnAbandonedLoadIsShownAtTheNextLoad) {
    StartInterludeLevel();
    while (Progress().interludeShown == 0 && State() == CStates::kPlayLoad) Frame();
    ASSERT_NE(Hud().percent, CGameWorld::kLoaded);
    Press(EngineKey::kBack);
    ASSERT_EQ(State(), CStates::kMainMenu);
    StartInterludeLevel();
    while (Progress().interludeStart == 0 && State() == CStates::kPlayLoad) Frame();
    EXPECT_EQ(Progress().interludeShown, 1);
    EXPECT_NE(Progress().interludeImage, nullptr);
}

TEST_F(ScreensPlayTest, TheLastLevelEndsInTheMainMenu) {
    StartPlay();
    // What the world does after the ninth level.
    Progress().highestLevel = CGameProgress::kLastLevel;
    States().SetState(CStates::kMainMenu);
    Frame();
    EXPECT_EQ(State(), CStates::kMainMenu);
    Choose(kPlayRow);
    EXPECT_EQ(State(), CStates::kLevelSelect);
    EXPECT_EQ(Hud().lineCount, CStates::kLevelCount);
    // The first row always starts the first level.
    Choose(0);
    EXPECT_EQ(Progress().level, 0);
}

TEST_F(ScreensPlayTest, BackWhileLoadingAbandonsTheLevel) {
    Choose(kPlayRow);
    Frame();
    ASSERT_EQ(State(), CStates::kPlayLoad);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_FALSE(World().loaded);
}

// Every progress save that fails at the end of a level shows the storage
// notice, the first as the later ones, keeps the record saved before, and
// play goes on with the next level, whose end saves again once the disk
// works.
TEST_F(ScreensPlayTest, AFailedSaveAtTheLevelEndShowsTheStorageNotice) {
    StartPlay();
    ASSERT_TRUE(m_app->GetGame()->SaveProgress());
    int32_t saved = -1;
    for (int32_t failed = 1; failed <= 2; ++failed) {
        EndLevelFailingToSave();
        EXPECT_EQ(State(), CStates::kMessageBox) << failed;
        EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextStorageFailed));
        EXPECT_EQ(States().storageOk, 0);
        DecodeProgressRecord(LoadRecord(RecordId::kProgress), &saved);
        EXPECT_EQ(saved, 0);
        Choose(kOkRow);
        EXPECT_EQ(State(), CStates::kLoadLevel);
        ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
        EXPECT_EQ(Progress().level, failed);
        EXPECT_EQ(Progress().highestLevel, failed);
        Frame();
    }

    World().SetSubState(CGameWorld::kSubStateComplete);
    Frame();
    EXPECT_EQ(State(), CStates::kLoadLevel);
    DecodeProgressRecord(LoadRecord(RecordId::kProgress), &saved);
    EXPECT_EQ(saved, 3);
}

// The storage notice in play lies on the menu frame, top bar and all, as
// the text pages do; it asks nothing, so back on it goes on to the level
// just reached as OK does.
TEST_F(ScreensPlayTest, BackOnTheStorageNoticeInPlayGoesOnToTheNextLevel) {
    StartPlay();
    EndLevelFailingToSave();
    ASSERT_EQ(State(), CStates::kMessageBox);
    Frame();
    SaveScreenshot("25-storage-notice-in-play");
    ASSERT_NE(States().frameBar, nullptr);
    EXPECT_NE(ScreenRgb(kScreenW / 2, States().frameBar->getHeight() / 2), 0u);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kLoadLevel);
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    EXPECT_EQ(World().level, 1);
}

// The storage notice asks nothing: a tap on its text goes on as its OK
// does. A stylus held in play as the level ended is no tap on the notice:
// its release leaves the notice up.
TEST_F(ScreensPlayTest, ATapAnywhereOnTheStorageNoticeInPlayGoesOn) {
    StartPlay();
    Stylus(EngineEvent::kMouseButtonDown, kScreenW / 2, kScreenH / 4);
    Frame();
    EndLevelFailingToSave();
    ASSERT_EQ(State(), CStates::kMessageBox);
    Stylus(EngineEvent::kMouseButtonUp, kScreenW / 2, kScreenH / 4);
    Frame();
    EXPECT_EQ(State(), CStates::kMessageBox);
    // Above the notice's one row.
    ASSERT_LT(kScreenH / 4, Hud().rowsTop);
    Tap(kScreenW / 2, kScreenH / 4);
    EXPECT_EQ(State(), CStates::kLoadLevel);
}

// Where locks cannot keep two instances on one folder apart, this one read
// level 1 before another stored level 2: its save at the end of the first
// level leaves the 2, and its level list then offers level 2 too.
TEST_F(ScreensPlayTest, ALevelEndSaveNeverLowersWhatAnotherInstanceStored) {
    ASSERT_TRUE(SaveRecord(RecordId::kProgress, EncodeProgressRecord(1)));
    m_app->GetGame()->LoadProgress();
    ASSERT_TRUE(SaveRecord(RecordId::kProgress, EncodeProgressRecord(2)));
    Choose(kPlayRow);
    ASSERT_EQ(State(), CStates::kLevelSelect);
    EXPECT_EQ(Hud().lineCount, 2);
    Choose(0);
    ASSERT_TRUE(RunUntil(CStates::kPlay, 2000));
    Frame();
    World().SetSubState(CGameWorld::kSubStateComplete);
    Frame();
    ASSERT_EQ(State(), CStates::kLoadLevel);
    int32_t saved = -1;
    EXPECT_TRUE(DecodeProgressRecord(LoadRecord(RecordId::kProgress), &saved));
    EXPECT_EQ(saved, 2);
    EXPECT_EQ(Progress().level, 1);
    ASSERT_TRUE(RunUntil(CStates::kPlayLoad));
    Press(EngineKey::kBack);
    ASSERT_EQ(State(), CStates::kMainMenu);
    Choose(kPlayRow);
    ASSERT_EQ(State(), CStates::kLevelSelect);
    EXPECT_EQ(Hud().lineCount, 3);
}

// Back pressed in the tick the world leaves play opens no pause page over
// it: what the world's update chose is where the game goes.
struct LeavingPlay {
    const char* name;
    int32_t subState;
    bool lastLevel;
    bool failingSave;
    // The state the tick enters, and the one the game then settles in.
    int32_t entered;
    int32_t settled;
};

class BackAsPlayEndsTest : public ScreensPlayTest, public ::testing::WithParamInterface<LeavingPlay> {};

TEST_P(BackAsPlayEndsTest, BackInThatTickLeavesTheWorldsChoice) {
    const LeavingPlay& c = GetParam();
    StartPlay();
    if (c.lastLevel) World().level = CGameWorld::kLevelCount - 1;
    if (c.failingSave) HostFile::SetFaultHook(&FailWrites);
    World().SetSubState(c.subState);
    Press(EngineKey::kBack);
    HostFile::SetFaultHook(nullptr);
    EXPECT_EQ(State(), c.entered);
    EXPECT_EQ(States().stackDepth, 0);
    if (c.failingSave) {
        EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextStorageFailed));
        Choose(kOkRow);
    }
    Frame();
    ASSERT_TRUE(RunUntil(c.settled, 2000));
    if (c.settled != CStates::kPlay) return;
    // The next level plays, on a screen that moves, without the menu frame
    // the notice was drawn on.
    EXPECT_EQ(World().level, 1);
    EXPECT_EQ(States().frameBar, nullptr);
    EXPECT_EQ(States().frameHalf, nullptr);
    const HostFrame before = m_backend->LastFrame();
    Frames(kFadeInFrames);
    EXPECT_GT(PixelsApart(before, m_backend->LastFrame()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, BackAsPlayEndsTest,
    ::testing::Values(
        LeavingPlay{"LevelDone", CGameWorld::kSubStateComplete, false, false, CStates::kLoadLevel, CStates::kPlay},
        LeavingPlay{"LevelDoneSaveFailed", CGameWorld::kSubStateComplete, false, true, CStates::kMessageBox,
                    CStates::kPlay},
        LeavingPlay{"GameDone", CGameWorld::kSubStateComplete, true, false, CStates::kMainMenu, CStates::kMainMenu},
        LeavingPlay{"PlayerLost", CGameWorld::kSubStateLeave, false, false, CStates::kPlayOver, CStates::kGameOver},
        LeavingPlay{"NoStart", CGameWorld::kSubStateNoStart, false, false, CStates::kMainMenu, CStates::kMainMenu}),
    [](const ::testing::TestParamInfo<LeavingPlay>& info) { return std::string(info.param.name); });

// A suspension during play pauses at the first tick after the resume; one
// over a page leaves the page as it is.
TEST_F(ScreensPlayTest, SuspendDuringPlayOpensThePauseOnResume) {
    StartPlay();
    ASSERT_FALSE(Hud().laidOut);
    Event(EngineEvent::kAppSuspend);
    EXPECT_EQ(Progress().pauseRequested, 1);
    Frames(2);
    EXPECT_EQ(State(), CStates::kPlay);
    Event(EngineEvent::kAppResume);
    // The ticker starts again with the frame after the resume; the page's
    // first frame shows no play controls.
    Frames(1);
    EXPECT_EQ(State(), CStates::kPlay);
    Frames(1);
    EXPECT_EQ(State(), CStates::kPause);
    EXPECT_EQ(TouchControlPixels(), 0);
    Event(EngineEvent::kAppSuspend);
    Event(EngineEvent::kAppResume);
    Frames(2);
    EXPECT_EQ(State(), CStates::kPause);
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kPlay);
}

// A suspension while a script's full-screen picture blocks input waits for
// the picture: the world plays on, and the pause page opens once the block
// is over.
TEST_F(ScreensPlayTest, SuspendDuringACutSceneWaitsForItsEnd) {
    StartPlay();
    // The first script of the level is running; its full-screen picture
    // blocks input as long as the HUD holds it.
    ASSERT_FALSE(World().runningCommands.empty());
    Hud().mode = CHud::kFullScreenSprite;
    Frame();
    ASSERT_EQ(World().inputBlocked, 1);
    Event(EngineEvent::kAppSuspend);
    Event(EngineEvent::kAppResume);
    const uint64_t played = World().playTime;
    Frames(3);
    EXPECT_EQ(State(), CStates::kPlay);
    EXPECT_GT(World().playTime, played);
    Hud().mode = CHud::kClosed;
    Frames(2);
    EXPECT_EQ(State(), CStates::kPause);
}

TEST_F(ScreensPlayTest, ACutSceneBlocksThePause) {
    StartPlay();
    World().inputBlocked = 1;
    Press(EngineKey::kSoftRight);
    EXPECT_EQ(State(), CStates::kPlay);
    World().inputBlocked = 0;
    Press(EngineKey::kSoftRight);
    EXPECT_EQ(State(), CStates::kPause);
}

// On a page in play the speaker's portrait stands on the top left corner of
// the page's panel, by its words, not in the screen's corner.
TEST_F(ScreensPlayTest, APageInPlayShowsItsSpeakerOnItsPanel) {
    StartPlay();
    CHud& hud = Hud();
    JImage* const portrait = World().speakerPortraits[1];
    ASSERT_NE(portrait, nullptr);
    hud.ShowPopup(kScreenW / 2, kScreenH / 2, kScreenW - 40, 50, CHud::kCentreX | CHud::kCentreY);
    hud.ShowList(JString("THANK YOU"), JString(), JString());
    hud.mode = CHud::kPlayText;
    hud.speaker = 1;
    auto paint = [&]() {
        m_app->GetGame()->repaintPending = 1;
        m_app->Paint();
        return m_backend->LastFrame();
    };
    const HostFrame with = paint();
    World().speakerPortraits[1] = nullptr;
    const HostFrame without = paint();
    World().speakerPortraits[1] = portrait;
    const int32_t scale = with.Width() / kScreenW;
    int32_t beside = 0;
    int32_t elsewhere = 0;
    for (int32_t y = 0; y < kScreenH; ++y) {
        for (int32_t x = 0; x < kScreenW; ++x) {
            if (with.PixelAt(x * scale, y * scale) == without.PixelAt(x * scale, y * scale)) continue;
            const bool onCorner =
                x < hud.boxX + portrait->getWidth() && y < hud.boxY && y >= hud.boxY - 2 * portrait->getHeight();
            ++(onCorner ? beside : elsewhere);
        }
    }
    EXPECT_GT(beside, 0);
    EXPECT_EQ(elsewhere, 0);
}

// Walking right into the first level's opening messages, then moving them
// on with the left soft key until the last one closes: the touch controls
// stay away while a box is up and are back in the frame the last closes,
// the right key held through the messages is let go, and right pressed anew
// as the box goes (`withTheClose`) or in the next frame walks the player on
// at once.
class MessageCloseTest : public ScreensPlayTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MessageCloseTest, ControlsAndKeysWorkFromTheFrameTheMessageCloses) {
    const bool withTheClose = GetParam();
    CGameInput& input = *CGame::GetInput();
    StartPlay();
    Frames(kFadeInFrames);
    Event(EngineEvent::kKeyPressed, EngineKey::kRight);
    for (int32_t i = 0; i < 100 && Hud().mode != CHud::kPlayText; ++i) Frame();
    ASSERT_EQ(Hud().mode, CHud::kPlayText);
    for (int32_t i = 0; i < 20 && Hud().mode != CHud::kClosed; ++i) {
        Frames(3);
        Event(EngineEvent::kKeyPressed, EngineKey::kSoftLeft);
        Event(EngineEvent::kKeyReleased, EngineKey::kSoftLeft);
        if (withTheClose) {
            Event(EngineEvent::kKeyReleased, EngineKey::kRight);
            Event(EngineEvent::kKeyPressed, EngineKey::kRight);
        }
        Frame();
        // No controls under a box, nor a frame of them between two boxes.
        if (Hud().mode != CHud::kClosed) {
            EXPECT_EQ(m_app->GetGame()->playControlsShown, 0);
        }
    }
    ASSERT_EQ(Hud().mode, CHud::kClosed);
    EXPECT_EQ(m_app->GetGame()->playControlsShown, 1);
    EXPECT_TRUE(CGame::GetTouchButtons()->IsEnabled(CTouchButtonLayout::kGroupPad));
    EXPECT_EQ(input.IsHeld(GameKey::kRight), withTheClose);
    if (!withTheClose) {
        Event(EngineEvent::kKeyReleased, EngineKey::kRight);
        Event(EngineEvent::kKeyPressed, EngineKey::kRight);
    }
    // The frame the box closed holds no one: the press acts in the next.
    EXPECT_EQ(World().inputBlocked, 0);
    const int32_t x = World().player->x;
    Frames(2);
    EXPECT_GT(World().player->x, x);
    Event(EngineEvent::kKeyReleased, EngineKey::kRight);
}

INSTANTIATE_TEST_SUITE_P(Keys, MessageCloseTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "PressedWithTheClose" : "PressedAfterTheClose";
                         });
