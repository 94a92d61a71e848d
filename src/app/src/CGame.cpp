#include "CGame.h"

#include <algorithm>

#include "AppServices.h"
#include "AppWorld.h"
#include "CGameApp.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameTimers.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CRenderSurface.h"
#include "CSoundManager.h"
#include "CStates.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"
#include "EngineEvents.h"
#include "GameRecordCodec.h"
#include "RecordStore.h"
#include "SoftKeyInsets.h"
#include "VersionText.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;

// The change serial of the surface the game paints on; 0, which no surface
// has, without one.
uint64_t ScreenSerial() {
    const CGraphics* graphics = GetGraphics();
    const CRenderSurface* surface = graphics != nullptr ? graphics->GetCurrentSurface() : nullptr;
    return surface != nullptr ? surface->GetChangeSerial() : 0;
}

}  // namespace

CGame::CGame() : versionText(kInitialVersion) {
    world = new CGameWorld();
    SetAppWorld(world);
    input = new CGameInput();
    touchButtons = new CTouchButtonManager(*input);
    states = new CStates();
    hud = new CHud();
    timers = new CGameTimers();
    progress = new CGameProgress();
    sound = new CSoundManager();
    CHud::Links links;
    links.input = input;
    links.touchButtons = touchButtons;
    links.timers = timers;
    links.progress = progress;
    links.world = world;
    links.playControlsShown = &playControlsShown;
    hud->Attach(links);
    BuildTouchButtons();
    playControlsShown = 0;
}

CGame::~CGame() {
    delete input;
    delete touchButtons;
    delete states;
    delete hud;
    if (GetAppWorld() == world) SetAppWorld(nullptr);
    delete world;
    delete timers;
    delete progress;
    delete sound;
    delete touchLayout;
}

// The buttons are placed once, for the shape the game starts in.
void CGame::BuildTouchButtons() {
    const int32_t width = ::GetScreenWidth();
    const int32_t height = ::GetScreenHeight();
    touchLayout = new CTouchButtonLayout();
    touchLayout->Build(width, height, SoftKeyInsets::OfApp(static_cast<uint32_t>(width), static_cast<uint32_t>(height)));
    touchLayout->Register(*touchButtons);
}

CGame* CGame::Get() {
    const CGameApp* app = GetGameApp();
    return app != nullptr ? app->GetGame() : nullptr;
}

CGameInput* CGame::GetInput() {
    const CGame* game = Get();
    return game != nullptr ? game->input : nullptr;
}

CTouchButtonManager* CGame::GetTouchButtons() {
    const CGame* game = Get();
    return game != nullptr ? game->touchButtons : nullptr;
}

CStates* CGame::GetStateMachine() {
    const CGame* game = Get();
    return game != nullptr ? game->states : nullptr;
}

CHud* CGame::GetHud() {
    const CGame* game = Get();
    return game != nullptr ? game->hud : nullptr;
}

CGameTimers* CGame::GetTimers() {
    const CGame* game = Get();
    return game != nullptr ? game->timers : nullptr;
}

CGameProgress* CGame::GetProgress() {
    const CGame* game = Get();
    return game != nullptr ? game->progress : nullptr;
}

CSoundManager* CGame::GetSound() {
    const CGame* game = Get();
    return game != nullptr ? game->sound : nullptr;
}

CGameWorld* CGame::GetWorld() {
    const CGame* game = Get();
    return game != nullptr ? game->world : nullptr;
}

bool CGame::HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) {
    // Pointer events carry x in the low half of the second argument and y
    // in the high half.
    const int32_t x = static_cast<int32_t>(arg2 & 0xFFFF);
    const int32_t y = static_cast<int32_t>(arg2 >> 16);
    switch (id) {
        case EngineEvent::kOrientationFollowUp:
            LetGoOfInput();
            break;
        case EngineEvent::kKeyPressed:
            input->OnKey(static_cast<int32_t>(arg1), true);
            break;
        case EngineEvent::kKeyReleased:
            input->OnKey(static_cast<int32_t>(arg1), false);
            break;
        case EngineEvent::kMouseButtonDown:
            touchButtons->OnPointerDown(x, y);
            break;
        case EngineEvent::kMouseButtonUp:
            touchButtons->OnPointerUp(x, y);
            break;
        case EngineEvent::kAppSuspend:
            Pause();
            break;
        case EngineEvent::kAppResume:
            Resume();
            break;
        default:
            break;
    }
    return true;
}

// The game moves by one fixed step whatever time has passed.
bool CGame::Update(int32_t) {
    if (paused == 0) {
        m_elapsedMs += kStepMs;
        touchButtons->Update(kStepMs);
        input->LatchFrame();
        states->Update(kStepMs);
    }
    if (clearPending != 0) {
        ClearScreen();
        clearPending = 0;
    }
    return true;
}

bool CGame::Paint() {
    bool fromKeptPage = false;
    if (repaintPending != 0) {
        repaintPending = 0;
        if (RepaintLeavesScreenAsItIs()) return true;
        fromKeptPage = states->StartRepaint(graphics);
        if (!fromKeptPage) ClearScreen();
    }
    CGraphics2d_Lite* renderer = fromKeptPage ? GetGraphics2d() : nullptr;
    if (renderer != nullptr) renderer->StartCallHash(CDrawCallHash::Mode::kRecord);
    PaintPage();
    // Taken before the application draws anything over the game.
    if (renderer != nullptr) {
        m_shownPage.Remember(states->GetKeptPageSerial(), ScreenSerial(), renderer->StopCallHash());
    }
    return true;
}

void CGame::PaintPage() {
    states->Paint(graphics);
    input->PaintSoftKeys(graphics, screenWidth, screenHeight);
    touchButtons->Paint(graphics);
}

// A repaint from the kept still part of a menu page starts by covering the
// whole screen, so when nothing has drawn on the screen since the last such
// repaint of the same page, and what moves is drawn by the same calls, it
// would put back the pixels that are there: the moving part is rehearsed,
// digested without drawing, to find out. A paint uses up the soft keys'
// one-shot skip, which a rehearsal must not do.
bool CGame::RepaintLeavesScreenAsItIs() {
    CGraphics2d_Lite* renderer = GetGraphics2d();
    if (renderer == nullptr || input->skipSoftKeyPaint ||
        !m_shownPage.StillShows(states->GetKeptPageSerial(), ScreenSerial()) || !states->StartRehearsal(graphics)) {
        return false;
    }
    renderer->StartCallHash(CDrawCallHash::Mode::kRehearse);
    PaintPage();
    return m_shownPage.HasMovingPart(renderer->StopCallHash());
}

void CGame::ClearScreen() {
    resetClip(graphics);
    fillScreen(graphics, kOpaque | static_cast<uint32_t>(clearColour));
}

void CGame::Pause() {
    if (paused == 0) {
        paused = 1;
        // With no HUD page up, play opens its pause page once resumed.
        if (!hud->ShowsPage()) progress->pauseRequested = 1;
        input->Release(GameKey::kAll);
        repaintPending = 1;
        hud->visible = true;
        sound->Stop(true);
    }
    clearPending = 1;
}

void CGame::Resume() {
    hud->visible = true;
    paused = 0;
    if (sound->loopingId != CSoundManager::kNoLoop) sound->Play(sound->loopingId, true);
}

void CGame::LetGoOfInput() {
    touchButtons->Reset();
    input->Reset();
}

void CGame::OnScreenSize() {
    screenWidth = ::GetScreenWidth();
    screenHeight = ::GetScreenHeight();
    halfWidth = screenWidth >> 1;
    halfHeight = screenHeight >> 1;
    hud->SetScreenSize(screenWidth, screenHeight);
}

static_assert(CGame::kStorageTestBytes <= kLongestRecordBytes, "the storage test's record is a record");

void CGame::CheckStorage(bool skipTest) {
    WChar version[kVersionUnits] = {};
    GetVersionText(version, kVersionUnits);
    versionText = JString(version);
    input->Init();
    if (skipTest) return;
    const uint8_t zeros[kStorageTestBytes] = {};
    const bool saved = SaveRecord(RecordId::kStorageTest, MakeRecordBytes(zeros, kStorageTestBytes));
    // A progress reset deletes records: that must work too.
    states->storageOk = DeleteRecord(RecordId::kStorageTest) && saved ? 1 : 0;
}

void CGame::LoadSettings() {
    bool unreadable = false;
    DecodeSettingsRecord(LoadRecord(RecordId::kSettings, &unreadable), &touchNoticeShown);
    KeepIfUnreadable(unreadable, &settingsKept);
}

bool CGame::SaveSettings() {
    return settingsKept == 0 && SaveRecord(RecordId::kSettings, EncodeSettingsRecord(touchNoticeShown));
}

void CGame::LoadProgress() {
    bool unreadable = false;
    DecodeProgressRecord(LoadRecord(RecordId::kProgress, &unreadable), &progress->highestLevel);
    KeepIfUnreadable(unreadable, &progressKept);
}

void CGame::KeepIfUnreadable(bool unreadable, uint8_t* kept) {
    *kept = unreadable ? 1 : 0;
    if (unreadable) states->recordUnreadable = 1;
}

// The storage test at start-up writes a record of its own; a progress
// record can still fail later, and the player is told.
bool CGame::SaveProgress() {
    if (progressKept == 0) TakeStoredProgress();
    if (progressKept == 0 && SaveRecord(RecordId::kProgress, EncodeProgressRecord(progress->highestLevel))) {
        return true;
    }
    states->ReportSaveFailure();
    return false;
}

// Where locks cannot keep two instances on one folder apart, the other may
// have stored more since this run read the record: a save never lowers
// it, and the run goes on from what is kept, so that its level list offers
// what the record holds. Only a reset goes down.
void CGame::TakeStoredProgress() {
    bool unreadable = false;
    int32_t stored = 0;
    if (DecodeProgressRecord(LoadRecord(RecordId::kProgress, &unreadable), &stored)) {
        progress->highestLevel = std::max(progress->highestLevel, stored);
    }
    KeepIfUnreadable(unreadable, &progressKept);
}

CGame::ResetOutcome CGame::DeleteRecords() {
    const bool settingsGone = DeleteOnReset(RecordId::kSettings, &settingsKept);
    const bool progressGone = DeleteOnReset(RecordId::kProgress, &progressKept);
    const bool levelStateGone = DeleteRecord(RecordId::kLevelState);
    if (!progressGone) return ResetOutcome::kProgressKept;
    return settingsGone && levelStateGone ? ResetOutcome::kDone : ResetOutcome::kOthersKept;
}

// The player asked for the reset: a record that could not be read goes too
// where the folder lets it, as deleting reads nothing, and once gone it
// holds back no later save.
bool CGame::DeleteOnReset(int32_t n, uint8_t* kept) {
    if (!DeleteRecord(n)) return false;
    *kept = 0;
    return true;
}
