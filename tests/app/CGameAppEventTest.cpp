// The application's handling of engine events and its frame: key bits,
// life cycle, message screens, volume keys, overlay events.

#include "GameAppFixture.h"

#include "AppServices.h"
#include "CAppTicker.h"
#include "CEventListener.h"
#include "CGame.h"
#include "CGameData.h"
#include "CGameInput.h"
#include "CMessage.h"
#include "CStates.h"
#include "CTouchButtonManager.h"
#include "EngineEvents.h"
#include "GameKeys.h"
#include "HostInput.h"
#include "HostPngWriter.h"
#include "HeadlessBackend.h"
#include "ICMediaPlayer.h"

namespace {

constexpr uint32_t kSelect = 11;
constexpr uint32_t kBack = 12;
constexpr uint32_t kFive = '5';
constexpr uint32_t kOverlay = 0x43042EF2;
constexpr uint32_t kClamshell = 0x5152A73B;
constexpr uint32_t kBlack = 0x000000;

// The game's screen as 240 x 320 pixels of the presented frame; the box
// around every pixel that is not black.
struct InkBox {
    int32_t left = INT32_MAX;
    int32_t top = INT32_MAX;
    int32_t right = -1;
    int32_t bottom = -1;
    int32_t rows = 0;
};

}  // namespace

class GameAppEventTest : public GameAppFixture {
protected:
    void Press(uint32_t key) { Event(EngineEvent::kKeyPressed, key); }
    void Release(uint32_t key) { Event(EngineEvent::kKeyReleased, key); }
    uint8_t Direct(uint32_t id, uint32_t a = 0, uint32_t b = 0) { return m_app->HandleAppEvent(id, a, b); }

    InkBox Ink() const {
        InkBox box;
        const HostFrame& frame = m_backend->LastFrame();
        for (int32_t y = 0; y < frame.Height() / 2; ++y) {
            bool rowHasInk = false;
            for (int32_t x = 0; x < frame.Width() / 2; ++x) {
                if (ScreenRgb(x, y) == kBlack) continue;
                rowHasInk = true;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
            box.rows += rowHasInk ? 1 : 0;
        }
        return box;
    }
};

TEST_F(GameAppEventTest, KeysSetTheirBitsAndTheFrameRollsTheEdges) {
    StartRunning();
    Press(4);
    Press(5);
    Release(4);
    EXPECT_EQ(m_app->GetKeysHeld(), 1u << 5);
    EXPECT_EQ(m_app->GetKeysPressed(), 1u << 4 | 1u << 5);
    EXPECT_EQ(m_app->GetKeysReleased(), 1u << 4);
    // Select lets go of every other key first; codes from 32 up set no bit.
    Press(kSelect);
    Press(kFive);
    EXPECT_EQ(m_app->GetKeysHeld(), 1u << kSelect);
    Frame();
    EXPECT_EQ(m_app->GetKeysPressed(), 0u);
    EXPECT_EQ(m_app->GetKeysReleased(), 0u);
    EXPECT_EQ(m_app->GetKeysReleasedLastFrame(), 1u << 4);
    EXPECT_EQ(m_app->GetKeysHeld(), 1u << kSelect);
}

TEST_F(GameAppEventTest, ListenersRunBeforeTheTickersLifeCycleStep) {
    StartRunning();
    CEventListener listener;
    static uint32_t stateSeen;
    stateSeen = 99;
    listener.Bind(1, m_app, [](CEvent*, CEventListener*) {
        stateSeen = GetAppTicker()->GetState();
        return true;
    });
    ASSERT_TRUE(CEventListener::Listen(&listener, EngineEvent::kAppSuspend, 1));
    Event(EngineEvent::kAppSuspend);
    EXPECT_EQ(stateSeen, CAppTicker::kRunning);
    EXPECT_EQ(m_app->GetTicker()->GetState(), CAppTicker::kPaused);
    EXPECT_TRUE(m_app->GetGame()->IsPaused());
    CEventListener::UnlistenAll(&listener);
}

TEST_F(GameAppEventTest, SuspendFreezesTheGameAndResumePaintsFirst) {
    StartRunning();
    Frame();
    const uint32_t played = m_app->GetGame()->GetElapsedMs();
    const uint32_t presented = m_backend->FramesPresented();
    Event(EngineEvent::kAppSuspend);
    Frame();
    EXPECT_EQ(m_app->GetGame()->GetElapsedMs(), played);
    EXPECT_EQ(m_backend->FramesPresented(), presented);
    Event(EngineEvent::kAppResume);
    EXPECT_FALSE(m_app->GetGame()->IsPaused());
    // The first frame after the resume only paints.
    Frame();
    EXPECT_EQ(m_app->GetGame()->GetElapsedMs(), played);
    EXPECT_EQ(m_backend->FramesPresented(), presented + 1);
    Frame();
    EXPECT_EQ(m_app->GetGame()->GetElapsedMs(), played + CGame::kStepMs);
}

TEST_F(GameAppEventTest, PaintSuppressionUpdatesWithoutPresenting) {
    StartRunning();
    Frame();
    GetGameData()->SetPaintSuppressed(1);
    const uint32_t presented = m_backend->FramesPresented();
    const uint32_t played = m_app->GetGame()->GetElapsedMs();
    Frame();
    EXPECT_EQ(m_backend->FramesPresented(), presented);
    EXPECT_EQ(m_app->GetGame()->GetElapsedMs(), played + CGame::kStepMs);
    // The surface-changed event lifts it.
    Event(EngineEvent::kOrientationFollowUp);
    EXPECT_EQ(GetGameData()->IsPaintSuppressed(), 0);
}

TEST_F(GameAppEventTest, WrongOrientationShowsItsScreenBlocksTheGameAndQuitsWhenRight) {
    WriteFile("device.conf", "KEYS=0\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\nORIENTATION_MESSAGE=TURN ME\n");
    StartRunning();
    EXPECT_TRUE(m_app->IsStartedInWrongOrientation());
    Frame();
    EXPECT_TRUE(m_app->IsOrientationMismatch());
    const uint32_t played = m_app->GetGame()->GetElapsedMs();
    Frame();
    EXPECT_EQ(m_app->GetGame()->GetElapsedMs(), played);
    // One centred line, its top one line above the middle.
    const InkBox ink = Ink();
    const int32_t width = 6 * apptest::kGlyphStep + apptest::kSpaceStep - 1;
    EXPECT_EQ(ink.left, (240 - width) / 2);
    EXPECT_EQ(ink.top, 160 - apptest::kLineHeight);
    EXPECT_EQ(ink.rows, apptest::kGlyphHeight);
    // Taps and keys do not reach the game.
    EXPECT_EQ(Direct(EngineEvent::kMouseButtonDown, 0, 10 | 10 << 16), 0);
    Press(4);
    EXPECT_EQ(m_app->GetKeysHeld(), 0u);
    EXPECT_FALSE(m_app->IsExitRequested());
    // Turned into the supported shape, the program quits.
    HostInput::Rotate();
    Event(EngineEvent::kDeviceOrientationChanged);
    Event(EngineEvent::kOrientationFollowUp);
    Frame();
    EXPECT_FALSE(m_app->IsOrientationMismatch());
    EXPECT_TRUE(m_app->IsExitRequested());
}

TEST_F(GameAppEventTest, BackQuitsFromTheOrientationScreenOnlyBeforeTheMenuWasShown) {
    WriteFile("device.conf", "KEYS=0\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\n");
    StartRunning();
    Frame();
    CGame::GetStateMachine()->menuShown = 1;
    Press(kBack);
    EXPECT_FALSE(m_app->IsExitRequested());
    CGame::GetStateMachine()->menuShown = 0;
    Press(kBack);
    EXPECT_TRUE(m_app->IsExitRequested());
}

TEST_F(GameAppEventTest, LongMessagesBreakAfterTheWordThatCrossesThreeQuartersOfTheWidth) {
    // 3/4 of 240 is 180 pixels: 30 characters. The first word runs past it.
    const std::string longWord(34, 'W');
    WriteFile("device.conf", "KEYS=0\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\nORIENTATION_MESSAGE=" + longWord +
                                 " AB CD\n");
    StartRunning();
    Frame();
    const InkBox ink = Ink();
    EXPECT_EQ(ink.top, 160 - apptest::kLineHeight);
    EXPECT_EQ(ink.rows, 2 * apptest::kGlyphHeight);
    EXPECT_EQ(ink.bottom, 160 + apptest::kGlyphHeight - 1);
    EXPECT_EQ(ink.right - ink.left + 1, 34 * apptest::kGlyphStep - 2);
}

TEST_F(GameAppEventTest, ATextWiderThanTheScreenWithoutSpacesStillEnds) {
    WriteFile("device.conf", "KEYS=0\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\nORIENTATION_MESSAGE=" +
                                 std::string(200, 'M') + "\n");
    StartRunning();
    Frame();
    EXPECT_GT(Ink().rows, 0);
}

TEST_F(GameAppEventTest, HibernationTakesOnlySelectWhichDismissesIt) {
    WriteFile("device.conf", "KEYS=0\nHIBERNATION_MESSAGE=ASLEEP\n");
    StartRunning();
    Press(EngineKey::kLeft);
    Event(EngineEvent::kMouseButtonDown, 0, 10 | 10 << 16);
    Frame();
    Event(EngineEvent::kHibernate);
    EXPECT_TRUE(m_app->IsHibernating());
    Frame();
    EXPECT_GT(Ink().rows, 0);
    // What is let go behind the screen does not stay held after it.
    EXPECT_EQ(Direct(EngineEvent::kKeyReleased, EngineKey::kLeft), 0);
    EXPECT_EQ(Direct(EngineEvent::kMouseButtonUp, 0, 10 | 10 << 16), 0);
    EXPECT_EQ(Direct(EngineEvent::kKeyPressed, kBack), 0);
    EXPECT_EQ(Direct(EngineEvent::kKeyPressed, kSelect), 1);
    EXPECT_FALSE(m_app->IsHibernating());
    EXPECT_EQ(m_app->GetKeysHeld(), 0u);
    Frame();
    EXPECT_EQ(CGame::GetInput()->held, 0u);
    EXPECT_FALSE(CGame::GetTouchButtons()->IsDown());
    // The game paints its whole picture again; no message goes over it.
    m_app->GetGame()->repaintPending = 1;
    Frame();
    EXPECT_EQ(Ink().rows, 0);
}

TEST_F(GameAppEventTest, HibernationWithoutItsTextIsIgnored) {
    StartRunning();
    Event(EngineEvent::kHibernate);
    EXPECT_FALSE(m_app->IsHibernating());
}

TEST_F(GameAppEventTest, VolumeKeysStepBetweenTheLimitsUnlessLocked) {
    StartRunning();
    ICMediaPlayer* player = GetMediaPlayer();
    player->SetVolume(9);
    Press(17);
    Press(17);
    EXPECT_EQ(player->GetVolume(), 10);
    player->SetVolume(1);
    Press(18);
    Press(18);
    EXPECT_EQ(player->GetVolume(), 0);
    GetGameData()->SetVolumeLocked(1);
    Press(17);
    EXPECT_EQ(player->GetVolume(), 0);
}

TEST_F(GameAppEventTest, OverlayEventsSetTheModeAndStayFromTheGame) {
    StartRunning();
    EXPECT_EQ(Direct(kOverlay, 0x12345), 0);
    EXPECT_EQ(m_app->GetOverlayMode(), 0x2345);
    Event(EngineEvent::kAppStart);
    EXPECT_EQ(m_app->GetOverlayMode(), 0);
}

TEST_F(GameAppEventTest, TheClamshellQuitsUnlessTheDeviceSaysOtherwise) {
    StartRunning();
    Event(kClamshell);
    EXPECT_TRUE(m_app->IsExitRequested());
    Stop();
    WriteFile("device.conf", "KEYS=0\nEXIT_ON_CLAMSHELL=0\r\n");
    StartRunning();
    Event(kClamshell);
    EXPECT_FALSE(m_app->IsExitRequested());
}

TEST_F(GameAppEventTest, AnEventOfAnotherClassIsRefusedByTheListener) {
    StartRunning();
    CEvent other;
    m_asserts.Reset();
    EXPECT_FALSE(CGameApp::OnListenerMessage(&other, m_app->GetListener()));
    EXPECT_EQ(m_asserts.Count(), 1);
}

namespace {

// What the application answers for each of its events, while the game runs
// and while a message screen holds it.
struct Routing {
    uint8_t running;
    uint8_t suspended;
};

Routing ExpectedRouting(uint32_t id) {
    switch (id) {
        case EngineEvent::kKeyPressed:
        case EngineEvent::kKeyReleased:
            return {1, 0};
        case 0x43042EF2:
        case 0x02042EF2:
            return {0, 0};
        case EngineEvent::kAppStart:
        case EngineEvent::kAppStop:
        case 0x8408F369:
        case 0x6740942F:
        case EngineEvent::kAppSuspend:
        case EngineEvent::kAppResume:
        case 0x518E1A3B:
        case 0x5152A73B:
        case EngineEvent::kHibernate:
        case EngineEvent::kOrientationFollowUp:
            return {1, 1};
        default:
            return {1, 0};
    }
}

}  // namespace

TEST_F(GameAppEventTest, EachListenedEventReachesItsHandler) {
    WriteFile("device.conf", "KEYS=0\nORIENTATION_SUPPORT=PORTRAIT_ONLY\n");
    StartRunning();
    for (int32_t i = 0; i < CGameApp::kListenedEventCount; ++i) {
        const uint32_t id = CGameApp::kListenedEvents[i];
        EXPECT_EQ(Direct(id, 4), ExpectedRouting(id).running) << std::hex << id;
    }
    Stop();
    WriteFile("device.conf", "KEYS=0\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\n");
    StartRunning();
    Frame();
    ASSERT_TRUE(m_app->IsOrientationMismatch());
    for (int32_t i = 0; i < CGameApp::kListenedEventCount; ++i) {
        const uint32_t id = CGameApp::kListenedEvents[i];
        EXPECT_EQ(Direct(id, 4), ExpectedRouting(id).suspended) << std::hex << id;
    }
}
