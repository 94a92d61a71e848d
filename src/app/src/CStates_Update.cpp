#include "CStates.h"

#include "AppServices.h"
#include "CDeviceConfig.h"
#include "CGame.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameTimers.h"
#include "CGameWorld.h"
#include "CHud.h"
#include "CResourceManager.h"
#include "CSoundManager.h"
#include "CTouchButtonManager.h"
#include "ResourceText.h"

namespace {

constexpr int32_t kBlinkPeriod = 500;
// Silent ticks before a looping sound that stopped is started again.
constexpr int32_t kLoopRestartTicks = 35;

}  // namespace

void CStates::Update(int32_t dt) {
    CHud* hud = Hud();
    CGameInput* input = Input();
    if (hud == nullptr || input == nullptr) return;
    hud->Update(dt);
    const int32_t hudMode = hud->mode;
    const bool back = input->IsPressed(kKeyBack);
    const bool select = input->IsPressed(kKeySelect) || NoticeTapped();
    if (back && menuShown == 0) Quit();
    int32_t next = 0;
    logoX = restX;
    logoY = restY;
    if (state >= kPlayLoad) {
        if (input->GetSoftKeyBarHeight() > 0) {
            playBlink += dt;
            if (playBlink > kBlinkPeriod) playBlink -= kBlinkPeriod;
        }
        CGameProgress* progress = Progress();
        if (progress != nullptr) next = progress->UpdatePlay(dt);
    } else {
        if (back || input->IsPressed(kKeySoftRight)) next = BackKeyStep();
        if (select) {
            const int32_t chosen = SelectKeyStep();
            if (chosen != 0) next = chosen;
        }
        const int32_t stepped = StateStep(dt, select, hudMode);
        if (stepped != 0) next = stepped;
    }
    if (next != 0) SetState(next);
    CommitPageSelection(dt);
    WatchLoopingSound();
}

// A notice asks nothing: back goes on as its OK does, also where the notice
// came up at a level's end, on the way to the next level.
int32_t CStates::BackKeyStep() {
    if (state == kMessageBox && menuShown != 0 && m_shownBox.kind == MessageBox::Kind::kNotice) {
        return AnswerMessageBox(kTextOk);
    }
    if (stackDepth > 0) {
        if (state == kAbout) Hud()->scroll = 0;
        restartPending = 0;
        return kBack;
    }
    if (state == kMainMenu) {
        const int32_t asked = OpenMessageBox(Question(kTextQuitQuestion, kGoodbye));
        StopSound();
        PushState();
        return asked;
    }
    return 0;
}

int32_t CStates::SelectKeyStep() {
    // A tap selects its row and confirms it within one tick: the row the
    // HUD holds now is the one chosen.
    TakeHudSelection(page);
    int32_t next = 0;
    const int32_t selection = page.Selection();
    if (page.HasItems()) {
        next = ChooseItem(page.ItemAt(selection), selection);
        if (next != 0) PushState();
    }
    if (state == kLanguageChoice) {
        CResourceManager* manager = GetAppResourceManager();
        if (manager != nullptr) manager->SelectStringTable(selection);
        next = kInterfaceSetup;
    } else if (state == kMessageBox) {
        next = AnswerMessageBox(page.ItemAt(selection));
    }
    return next;
}

int32_t CStates::ChooseItem(int32_t id, int32_t selection) {
    switch (state) {
        case kMainMenu:
            return ChooseMainMenuItem(id);
        case kOptions:
            return ChooseOptionsItem(id, selection);
        case kPause: {
            const int32_t next = ChoosePauseItem(id, selection);
            Input()->Release(GameKey::kAll);
            return next;
        }
        case kGameOver:
            return ChooseGameOverItem(id);
        case kLevelSelect:
            return LoadLevelFromMenu(selection);
        default:
            return 0;
    }
}

// The loading screen takes the menu's place in this very frame: with the
// menu frame freed, a menu page still up would be drawn on black.
int32_t CStates::LoadLevelFromMenu(int32_t level) {
    CGameProgress* progress = Progress();
    if (progress != nullptr) progress->level = level;
    Hud()->Clear();
    FreeMenuFrame();
    return kLoadLevel;
}

int32_t CStates::ChooseMainMenuItem(int32_t id) {
    int32_t next = 0;
    CGameProgress* progress = Progress();
    switch (id) {
        case kTextPlay:
            if (progress == nullptr || progress->highestLevel == 0) {
                next = LoadLevelFromMenu(0);
            } else {
                next = kLevelSelect;
            }
            break;
        case kTextOptions:
            next = kOptions;
            break;
        case kTextHelp:
            next = kHelp;
            break;
        case kTextAbout:
            next = kAbout;
            break;
        default:
            next = OpenMessageBox(Question(kTextQuitQuestion, kGoodbye));
            break;
    }
    StopSound();
    return next;
}

int32_t CStates::ChooseOptionsItem(int32_t id, int32_t selection) {
    if (id == kTextResetProgress) return OpenMessageBox(Question(kTextResetQuestion, kProgressReset));
    if (id == kTextSound) ToggleSoundOption(soundOption);
    if (id == kTextVibration) ToggleSoundOption(vibrationOption);
    OpenOptionsPage(kKindOptions, selection);
    return 0;
}

int32_t CStates::ChoosePauseItem(int32_t id, int32_t selection) {
    switch (id) {
        case kTextRestartLevel:
            restartPending = 1;
            return OpenMessageBox(Question(kTextRestartQuestion, kLoadLevel));
        case kTextSound:
            ToggleSoundOption(soundOption);
            OpenPausePage(kKindPause, selection);
            return 0;
        case kTextQuitToMenu:
            return OpenMessageBox(Question(kTextQuitToMenuQuestion, kMainMenu));
        case kTextHelp:
            return kHelp;
        default:
            return kPlay;
    }
}

int32_t CStates::ChooseGameOverItem(int32_t id) {
    if (id == kTextQuitToMenu) return OpenMessageBox(Question(kTextQuitToMenuQuestion, kMainMenu));
    if (id != kTextRetry) return 0;
    ResumeAfterGameOver();
    return kPlay;
}

void CStates::ResumeAfterGameOver() {
    CGameProgress* progress = Progress();
    CGameWorld* world = progress != nullptr && progress->world != nullptr ? progress->world : CGame::GetWorld();
    if (world != nullptr) world->RestoreCheckpoint();
    Hud()->keepBox = world != nullptr && world->subState == CGameWorld::kSubStateBlack;
}

int32_t CStates::AnswerMessageBox(int32_t id) {
    const bool confirmed = id == kTextYes;
    const int32_t next = confirmed ? m_shownBox.yesState : m_shownBox.noState;
    answerYes = confirmed ? 1 : 0;
    CGameProgress* progress = Progress();
    if (next == kMainMenu) {
        PlaySound(kSoundMenuMusic, true);
        if (progress != nullptr) progress->closeRequested = 1;
    }
    if (restartPending != 0) {
        if (confirmed && progress != nullptr && progress->world != nullptr) progress->world->Unload();
        restartPending = 0;
    }
    return next;
}

// The logo states give way to select and to a tap alike, so that a player
// with the stylus reaches the menu as soon as one with keys (the HUD moves
// the intro pictures on for either).
int32_t CStates::StateStep(int32_t dt, bool select, int32_t hudMode) {
    const bool skip = select || TappedDown();
    switch (state) {
        case kFirstFrame:
            // The loading screen of the first frame is up: the checks follow
            // without entering a screen.
            state = kStartupChecks;
            RecordEntered(state);
            return 0;
        case kStartupChecks:
            return StartupChecks();
        case kInterfaceSetup:
            return InterfaceSetup();
        case kSoundYes:
        case kSoundNo:
            ApplySoundAnswer();
            return kLogoSlide;
        case kLogoSlide:
            return SlideLogo(dt, skip);
        case kLogoPieces:
        case kLogoWhole:
            return ShowLogoPieces(dt, skip);
        case kTitle:
            return kLogoWipe;
        case kLogoWipe:
            stateTime += dt;
            return CGame::GetTimers()->Tick(kSplashTimer, dt) || skip ? kIntroImage : 0;
        case kIntroImage:
            return hudMode == CHud::kImageDone ? kIntroImage : 0;
        case kSplashEnd:
            return EndSplash();
        case kLoadLevel:
            return StartLoading();
        case kGoodbye:
            return Input()->IsPressed(kKeySelectGroup) ? kQuit : 0;
        case kTouchNotice:
            if (!select) return 0;
            Game()->SetTouchNoticeShown(true);
            // Only the answer is lost: that progress cannot be stored, where
            // the storage test found so, is told when the splash ends.
            if (Game()->SaveSettings()) return kSoundQuestion;
            return OpenMessageBox(Notice(kTextSettingsFailed, kSoundQuestion));
        default:
            return 0;
    }
}

bool CStates::TappedDown() {
    const CTouchButtonManager* touch = CGame::GetTouchButtons();
    return touch != nullptr && touch->HasDownEdge();
}

// A notice asks nothing: a tap anywhere goes on as its OK does, at the
// release, which the next screen must not see. A stylus that went down
// before the notice came up (held in play as the level ended) is no tap on
// it.
bool CStates::NoticeTapped() {
    const CTouchButtonManager* touch = CGame::GetTouchButtons();
    if (state != kMessageBox || m_shownBox.kind != MessageBox::Kind::kNotice || touch == nullptr) return false;
    if (touch->HasDownEdge()) m_shownBox.touched = true;
    return touch->HasUpEdge() && m_shownBox.touched;
}

int32_t CStates::StartupChecks() {
    CGame* game = Game();
    game->CheckStorage(false);
    game->LoadSettings();
    game->LoadProgress();
    Hud()->SetMode(CHud::kClosed);
    SelectFont(0);
    return languages.size() >= 2 ? kLanguageChoice : kInterfaceSetup;
}

int32_t CStates::InterfaceSetup() {
    SetupCommonUi();
    LoadMenuFrame();
    const bool hasNotice = DeviceText(CDeviceConfig::kTouchscreenMessage).length() > 0;
    return hasNotice && !Game()->IsTouchNoticeShown() ? kTouchNotice : kSoundQuestion;
}

// A yes turns sound on and vibration off; a no turns sound off and leaves
// vibration as it was.
void CStates::ApplySoundAnswer() {
    CSoundManager* sound = Sound();
    sound->soundOn = answerYes;
    sound->SetEnabled(answerYes != 0);
    if (answerYes != 0) {
        sound->vibrationOn = 0;
        sound->SetVibrationEnabled(false);
    }
    // The question's page would otherwise stay over the splash.
    Hud()->SetMode(CHud::kClosed);
    Hud()->soundQuestion = false;
    Input()->cornerImagesEnabled = true;
}

// Play holds no menu frame: one that a notice over the level's end loaded
// goes here.
int32_t CStates::StartLoading() {
    StopSound();
    FreeMenuFrame();
    CHud* hud = Hud();
    hud->keepBox = true;
    Game()->repaintPending = 1;
    hud->ShowPopup(HalfWidth(), HalfHeight(), 2 * ScreenWidth() / 3, 10, CHud::kCentreX);
    hud->Clear();
    return kPlayLoad;
}

// That records cannot be stored weighs more than that one cannot be read.
int32_t CStates::EndSplash() {
    ReleaseSplashImages();
    if (storageOk == 0) return SaveFailureNotice(kMainMenu);
    if (recordUnreadable != 0) return OpenMessageBox(Notice(kTextRecordUnreadable, kMainMenu));
    return kMainMenu;
}

// Shown for every failed save: the next one is tried all the same, and the
// player must know each time that what was reached is not kept.
void CStates::ReportSaveFailure() { SetState(SaveFailureNotice(state)); }

int32_t CStates::SaveFailureNotice(int32_t then) {
    storageOk = 0;
    return OpenMessageBox(Notice(kTextStorageFailed, then));
}

// The one-value description is built once and then only rewritten: the
// page is committed every tick.
void CStates::CommitPageSelection(int32_t dt) {
    if (!page.HasItems()) return;
    if (animTime.size() == 0) {
        JVector<int32_t> time;
        time.addElement(dt);
        animTime.addElement(time);
    }
    animTime.elementAt(0).elementAt(0) = dt;
    OpenMenuPage(0, 3, animTime, page);
}

// A looping sound that has stopped (the media player plays every sound
// once) starts again after a run of silent ticks.
void CStates::WatchLoopingSound() {
    ++frameCount;
    const CSoundManager* sound = Sound();
    if (sound == nullptr || sound->loopingId == CSoundManager::kNoLoop || sound->IsPlaying()) return;
    if (musicRestarted == -1) {
        frameCount = 0;
        musicRestarted = 0;
    } else if (frameCount > kLoopRestartTicks) {
        PlaySound(sound->loopingId, true);
        musicRestarted = -1;
    }
}
