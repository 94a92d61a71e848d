// The state machine's rules one by one, in a running game on a small test
// archive without images, texts or sounds: the screens go on without them,
// the return stack stays in bounds, message boxes split their text, the
// splash follows its formulas, pages keep their selection, the looping
// sound watchdog restarts the music, and the HUD paints nothing before it
// is laid out.

#include "GameAppFixture.h"

#include "CGame.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameTimers.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "CStates.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "JImage.h"
#include "ResourceText.h"

namespace {

using StateList = std::vector<int32_t>;

constexpr int32_t kScreenW = 240;
constexpr int32_t kScreenH = 320;

}  // namespace

class ScreensUnitTest : public GameAppFixture {
protected:
    void SetUp() override {
        apptest::ArchiveSpec spec;
        spec.properties = "Kiv-Test-Localisation=true\n";
        StartRunning(spec);
    }

    CStates& States() const { return *CGame::GetStateMachine(); }
    CHud& Hud() const { return *CGame::GetHud(); }
    int32_t State() const { return States().state; }
    void Press(int32_t key) {
        Event(EngineEvent::kKeyPressed, static_cast<uint32_t>(key));
        Event(EngineEvent::kKeyReleased, static_cast<uint32_t>(key));
        Frame();
    }
    bool RunUntil(int32_t state, int32_t limit = 500) {
        for (int32_t i = 0; i < limit && State() != state; ++i) Frame();
        return State() == state;
    }
    // Selects the row of the page and chooses it.
    void Choose(int32_t row) {
        for (int32_t i = 0; i < 40 && Hud().selected != row; ++i) {
            Press(Hud().selected < row ? EngineKey::kDown : EngineKey::kUp);
        }
        Press(EngineKey::kSelect);
    }
};

// Without any image, text or sound the game boots, shows every page and
// plays; nothing is drawn of what is missing.
TEST_F(ScreensUnitTest, MissingImagesTextsAndSoundsDegradeWithoutStopping) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    Choose(1);
    ASSERT_TRUE(RunUntil(CStates::kMainMenu, 1000));
    // The splash had no logo and no intro images.
    EXPECT_EQ(States().introImagesLoaded, 0);
    for (int32_t row : {1, 2, 3}) {
        Choose(row);
        EXPECT_NE(State(), CStates::kMainMenu);
        Frame();
        Press(EngineKey::kBack);
        EXPECT_EQ(State(), CStates::kMainMenu);
    }
    Choose(0);
    ASSERT_TRUE(RunUntil(CStates::kPlay, 1000));
    Press(EngineKey::kSoftRight);
    EXPECT_EQ(State(), CStates::kPause);
    Frame();
    Press(EngineKey::kBack);
    EXPECT_EQ(State(), CStates::kPlay);
}

TEST_F(ScreensUnitTest, TheStackStaysInItsBoundsBothWays) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    for (int32_t i = 0; i < CStates::kStackSize + 3; ++i) States().PushState();
    EXPECT_EQ(States().stackDepth, CStates::kStackSize);
    States().stackDepth = 0;
    // Back with nothing to return to goes to the main menu.
    States().SetState(CStates::kBack);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_EQ(States().stackDepth, 0);
}

TEST_F(ScreensUnitTest, TheStackRemembersTheStateAndItsSelection) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    States().SetState(CStates::kMainMenu);
    Press(EngineKey::kDown);
    Press(EngineKey::kDown);
    States().PushState();
    EXPECT_EQ(States().stack.elementAt(0), CStates::kMainMenu | 2 << 16);
    States().SetState(CStates::kHelp);
    States().SetState(CStates::kBack);
    EXPECT_EQ(State(), CStates::kMainMenu);
    EXPECT_EQ(Hud().selected, 2);
}

TEST_F(ScreensUnitTest, AMessageBoxSplitsItsTextAtTheFirstBar) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    struct Case {
        const char* text;
        const char* title;
        const char* body;
    };
    for (const Case& c : {Case{"TITLE|BODY|MORE", "TITLE", "BODY|MORE"}, Case{"ONLY A TITLE", "ONLY A TITLE", ""},
                          Case{"|BODY", "", "BODY"}}) {
        CStates::MessageBox box;
        box.text = JString(c.text);
        States().SetState(States().OpenMessageBox(box));
        EXPECT_EQ(States().messages.elementAt(1), JString(c.title)) << c.text;
        EXPECT_EQ(States().messages.elementAt(2), JString(c.body)) << c.text;
        EXPECT_EQ(Hud().lineCount, 2);
    }
    // A box opened over a notice is the new box whole: its text, its two
    // answers and where they lead.
    States().SetState(States().OpenMessageBox(CStates::Notice(CStates::kTextStorageFailed, CStates::kOptions)));
    ASSERT_EQ(Hud().lineCount, 1);
    States().SetState(States().OpenMessageBox(CStates::Question(CStates::kTextResetQuestion, CStates::kOptions)));
    EXPECT_EQ(States().messages.elementAt(0), GetUpperText(CStates::kTextResetQuestion));
    EXPECT_EQ(Hud().lineCount, 2);
    EXPECT_EQ(States().ShownMessageBox().kind, CStates::MessageBox::Kind::kQuestion);
    EXPECT_EQ(States().ShownMessageBox().noState, CStates::kBack);
    // Leaving the box forgets its text and answers.
    States().SetState(CStates::kMainMenu);
    EXPECT_EQ(States().messages.elementAt(0).length(), 0);
    EXPECT_EQ(States().ShownMessageBox().yesState, 0);
    EXPECT_EQ(States().ShownMessageBox().noState, CStates::kBack);
    EXPECT_EQ(States().ShownMessageBox().text.length(), 0);
}

// The logo enters at the right edge at rest height, touches the top at
// 250 ms and rests in the centre at 1500 ms; a long frame counts 200 ms.
TEST_F(ScreensUnitTest, TheLogoSlidesAndBouncesByItsFormula) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    CStates& states = States();
    states.SetState(CStates::kLogoSlide);
    // A logo of 80 x 40 on the 240 x 320 screen.
    states.slideDistance = (kScreenW + 80) >> 1;
    states.bounceHeight = (kScreenH - 40) / 2;
    states.restX = (kScreenW - 80) / 2;
    states.restY = states.bounceHeight;
    struct Step {
        int32_t dt;
        int32_t time;
        int32_t x;
        int32_t y;
    };
    states.stateTime = -60;
    for (const Step& step : {Step{60, 0, kScreenW, 140}, Step{250, 200, 240 - 160 + 160 * 1300 / 1500, 140 * 50 * 50 / 62500},
                             Step{50, 250, 240 - 160 + 160 * 1250 / 1500, 0},
                             Step{1250, 450, 240 - 160 + 160 * 1050 / 1500, 140 * 200 * 200 / 62500}}) {
        states.Update(step.dt);
        EXPECT_EQ(states.stateTime, step.time);
        EXPECT_EQ(states.logoX, step.x) << step.time;
        EXPECT_EQ(states.logoY, step.y) << step.time;
    }
    states.stateTime = 1500;
    states.Update(0);
    EXPECT_EQ(states.logoX, states.restX);
    EXPECT_EQ(states.logoY, states.restY);
    states.Update(60);
    EXPECT_EQ(State(), CStates::kLogoPieces);
}

// A stopped loop starts again after 36 silent ticks.
TEST_F(ScreensUnitTest, TheWatchdogRestartsAStoppedLoop) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    CSoundManager& sound = *CGame::GetSound();
    sound.loopingId = 0x9000169;
    States().musicRestarted = -1;
    Frame();
    EXPECT_EQ(States().frameCount, 0);
    EXPECT_EQ(States().musicRestarted, 0);
    for (int32_t i = 0; i < 35; ++i) Frame();
    EXPECT_EQ(States().musicRestarted, 0);
    Frame();
    EXPECT_EQ(States().musicRestarted, -1);
}

TEST_F(ScreensUnitTest, PageModesOtherThanOpeningActOnlyForKindZero) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    States().SetState(CStates::kMainMenu);
    CMenuPage page = States().page;
    page.popupLayout.removeAllElements();
    JVector<JVector<int32_t>> box;
    JVector<int32_t> values;
    for (int32_t v : {1, 2, 3, 4, 0}) values.addElement(v);
    box.addElement(values);
    States().OpenMenuPage(1, 1, box, page);
    EXPECT_EQ(page.popupLayout.size(), 0);
    Press(EngineKey::kDown);
    States().OpenMenuPage(1, 3, box, page);
    EXPECT_EQ(page.Selection(), 0);
    States().OpenMenuPage(0, 3, box, page);
    EXPECT_EQ(page.Selection(), 1);
    States().OpenMenuPage(0, 1, box, page);
    EXPECT_EQ(page.popupLayout.size(), 5);
    EXPECT_EQ(Hud().boxX, 1);
}

TEST_F(ScreensUnitTest, ManyItemsListOnlyTheFirstThirtyTwo) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    JVector<uint8_t> flags;
    for (int32_t i = 0; i < 40; ++i) flags.addElement(i % 3 == 0 ? 0 : 1);
    const uint32_t mask = CStates::EnableMaskFromFlags(flags);
    for (int32_t i = 0; i < 32; ++i) EXPECT_EQ((mask >> i & 1u) != 0, i % 3 != 0) << i;
    JVector<JVector<int32_t>> description;
    JVector<int32_t> items;
    for (int32_t i = 0; i < 40; ++i) items.addElement(CStates::kTextPlay);
    description.addElement(items);
    JVector<int32_t> layout;
    for (int32_t v : {-1, -1, -2, 35}) layout.addElement(v);
    description.addElement(layout);
    JVector<int32_t> titles;
    titles.addElement(CStates::kNoTitle);
    titles.addElement(CStates::kNoTitle);
    description.addElement(titles);
    CMenuPage page;
    States().OpenMenuPage(0, 0, description, page);
    EXPECT_EQ(Hud().lineCount, 32);
    // An item beyond the listed ones selects the first row.
    EXPECT_EQ(Hud().selected, 0);
}

TEST_F(ScreensUnitTest, TheHudPaintsNothingBeforeItIsLaidOut) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    // A state that paints nothing of its own, on a screen cleared to a
    // colour of its own.
    States().state = 0;
    CGame& game = *m_app->GetGame();
    Hud().SetMode(CHud::kClosed);
    Hud().SetBoxFlags(false, true);
    game.clearColour = 0x123456;
    game.repaintPending = 1;
    Frame();
    EXPECT_TRUE(NearRgb(ScreenRgb(0, kScreenH / 2), 0x123456u));
    // Laid out, the page outlines its box (the whole screen).
    Hud().laidOut = true;
    game.repaintPending = 1;
    Frame();
    EXPECT_TRUE(NearRgb(ScreenRgb(0, kScreenH / 2), 0xF2B700u));
    EXPECT_TRUE(NearRgb(ScreenRgb(kScreenW / 2, kScreenH / 2), 0x123456u));
}

// At 100 percent the bar is full once the remainder's sweep has run out.
TEST_F(ScreensUnitTest, TheLoadingBarFillsItsWidthAtOneHundredPercent) {
    ASSERT_TRUE(RunUntil(CStates::kMessageBox));
    States().state = 0;
    Hud().Clear();
    Hud().percent = 100;
    const int32_t width = kScreenW - 76;
    for (int32_t i = 0; i <= width % 100 + 1; ++i) Frame();
    EXPECT_EQ(Hud().sweepLeft, 0);
    // Without the row images the bar is 0 high: nothing but black shows.
    EXPECT_EQ(ScreenRgb(40, Hud().rowsTop + 16), 0u);
}

// Nothing offers languages; given two, the choice comes before the set-up.
TEST_F(ScreensUnitTest, TwoLanguagesAreOfferedBeforeTheSetUp) {
    Frame();
    ASSERT_EQ(State(), CStates::kStartupChecks);
    States().languages.addElement(JString("ENGLISH"));
    States().languages.addElement(JString("DEUTSCH"));
    Frame();
    EXPECT_EQ(State(), CStates::kLanguageChoice);
    Press(EngineKey::kSelect);
    EXPECT_EQ(State(), CStates::kInterfaceSetup);
}
