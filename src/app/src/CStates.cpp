#include "CStates.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameTimers.h"
#include "CHud.h"
#include "CSoundManager.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"
#include "JFont.h"
#include "JImage.h"
#include "ResourceText.h"
#include "TextLayout.h"
#include "VersionText.h"

namespace {

constexpr int32_t kMessageCount = 4;
constexpr int32_t kMessageText = 0;
constexpr int32_t kMessageTitle = 1;
constexpr int32_t kMessageBody = 2;
constexpr WChar kTitleSeparator = u'|';
constexpr uint32_t kBuildInfoUnits = 100;
constexpr char kAboutTitle[] = "Mechavox";

// Text pages: centred, 30 from the top, and between the ends of the menu
// frame's rules, 20 from each side, clear of its rails. The farewell, a
// line or two, is wider, so that its first line stays whole.
constexpr int32_t kTextPageTop = 30;
constexpr int32_t kTextPageMargin = 40;
constexpr int32_t kTextPageHeightMargin = 90;
constexpr int32_t kGoodbyeTop = 105;
constexpr int32_t kGoodbyeMargin = 16;
constexpr int32_t kGoodbyeHeightMargin = 120;
constexpr uint32_t kTextPagePlacement = 20;

}  // namespace

CStates::CStates() {
    for (int32_t i = 0; i < kMessageCount; ++i) messages.addElement(JString());
    for (int32_t i = 0; i < kStackSize; ++i) stack.addElement(0);
    defaultFont = new JFont(0);
    altFont = defaultFont;
}

CStates::~CStates() {
    delete defaultFont;
    ReleaseSplashImages();
    FreeMenuFrame();
    delete frameEdge;
}

CGame* CStates::Game() { return CGame::Get(); }
CHud* CStates::Hud() { return CGame::GetHud(); }
CGameInput* CStates::Input() { return CGame::GetInput(); }
CSoundManager* CStates::Sound() { return CGame::GetSound(); }
CGameProgress* CStates::Progress() { return CGame::GetProgress(); }

int32_t CStates::ScreenWidth() {
    const CGame* game = Game();
    return game != nullptr ? game->GetScreenWidth() : 0;
}

int32_t CStates::ScreenHeight() {
    const CGame* game = Game();
    return game != nullptr ? game->GetScreenHeight() : 0;
}

int32_t CStates::HalfWidth() {
    const CGame* game = Game();
    return game != nullptr ? game->GetHalfWidth() : 0;
}

int32_t CStates::HalfHeight() {
    const CGame* game = Game();
    return game != nullptr ? game->GetHalfHeight() : 0;
}

void CStates::PlaySound(int32_t id, bool loop) {
    CSoundManager* sound = Sound();
    if (sound != nullptr) sound->Play(id, loop);
}

void CStates::StopSound() {
    CSoundManager* sound = Sound();
    if (sound != nullptr) sound->Stop(false);
}

JString CStates::DeviceText(int32_t which) {
    const CGameApp* app = GetGameApp();
    const WChar* text =
        app != nullptr ? app->GetDeviceConfig().GetText(static_cast<CDeviceConfig::Text>(which)) : nullptr;
    return text != nullptr ? JString(text) : JString();
}

void CStates::Quit() {
    CGameApp* app = GetGameApp();
    if (app != nullptr) app->RequestExit();
}

// The stack holds at most kStackSize entries: a push beyond them is
// dropped, so that nothing is written past its end.
void CStates::PushState() {
    if (stackDepth >= kStackSize || stackDepth < 0) {
        DebugPrintf("screen stack full: state %d not remembered", state);
        return;
    }
    const uint32_t entry = static_cast<uint32_t>(state) | static_cast<uint32_t>(page.Selection()) << 16;
    stack.elementAt(stackDepth) = static_cast<int32_t>(entry);
    ++stackDepth;
}

// A pop from an empty stack goes to the main menu instead of reading before
// the stack's first entry.
int32_t CStates::PopState(int32_t* selection) {
    if (stackDepth <= 0) {
        DebugPrintf("screen stack empty: back goes to the main menu");
        stackDepth = 0;
        *selection = 0;
        return kMainMenu;
    }
    --stackDepth;
    const int32_t entry = stack.elementAt(stackDepth);
    *selection = entry >> 16;
    return entry & 0xFFFF;
}

void CStates::RecordEntered(int32_t n) {
    if (history.size() >= kHistoryLength) history.removeElementAt(0);
    history.addElement(n);
    DebugPrintf("screen state %d", n);
}

void CStates::SetState(int32_t n) {
    CGameProgress* progress = Progress();
    if (progress != nullptr && progress->closeRequested != 0) progress->ClosePlay();
    if (state == kMessageBox) {
        messages.elementAt(kMessageText) = JString();
        m_shownBox = MessageBox();
    }
    int32_t selection = 0;
    uint32_t softKeys = 0;
    n = Redirect(n, &selection, &softKeys);
    ShowTextArrows(n == kAbout || n == kHelp);
    if (n < kPlayLoad) {
        BuildScreen(n, selection, &softKeys);
        if (stackDepth > 0) softKeys |= kSoftBack;
        CGameInput* input = Input();
        if (input != nullptr) input->SetSoftKeys(softKeys);
        CHud* hud = Hud();
        if (hud != nullptr) hud->visible = true;
        CGame* game = Game();
        if (game != nullptr) game->repaintPending = 1;
    } else {
        stackDepth = 0;
        if (progress != nullptr) progress->StartLevel(n);
    }
    if (n == kBack) {
        SetState(kBack);
        return;
    }
    state = n;
    RecordEntered(n);
}

int32_t CStates::Redirect(int32_t n, int32_t* selection, uint32_t* softKeys) {
    switch (n) {
        case kBack:
            return PopState(selection);
        case kSoundQuestion: {
            MessageBox box = Question(kTextSoundQuestion, kSoundYes);
            box.noState = kSoundNo;
            box.overBlack = true;
            OpenMessageBox(box);
            CHud* hud = Hud();
            if (hud != nullptr) hud->soundQuestion = true;
            CGameInput* input = Input();
            if (input != nullptr) input->cornerImagesEnabled = false;
            // The box over black adds no soft key of its own.
            *softKeys = kSoftConfirm;
            return kMessageBox;
        }
        case kIntroImage:
            if (introIndex >= imageCount) {
                introIndex = 0;
                return kSplashEnd;
            }
            currentImage = images[introIndex];
            ++introIndex;
            if (introIndex == 2) {
                PlaySound(kSoundMenuMusic, true);
                splashSoundStarted = 1;
            }
            return n;
        case kIntroSkip:
            return kSplashEnd;
        case kProgressReset: {
            CGame* game = Game();
            const CGame::ResetOutcome outcome = game == nullptr ? CGame::ResetOutcome::kDone : game->DeleteRecords();
            // A progress record that stays is the progress the next start
            // reads: the run keeps it too, so that no later save writes
            // less over what the player is told is kept.
            CGameProgress* progress = Progress();
            if (progress != nullptr && outcome != CGame::ResetOutcome::kProgressKept) progress->highestLevel = 0;
            if (outcome == CGame::ResetOutcome::kDone) return kBack;
            const bool kept = outcome == CGame::ResetOutcome::kProgressKept;
            return OpenMessageBox(Notice(kept ? kTextResetFailed : kTextResetIncomplete, kBack));
        }
        default:
            return n;
    }
}

void CStates::BuildScreen(int32_t n, int32_t selection, uint32_t* softKeys) {
    CHud* hud = Hud();
    if (hud == nullptr) return;
    switch (n) {
        case kLogoSlide:
            EnterLogoSlide();
            break;
        case kLogoPieces:
            stateTime = 0;
            logoX = restX;
            logoY = restY;
            if (CGame::GetTimers() != nullptr) CGame::GetTimers()->StartRepeating(kSplashTimer, 250);
            break;
        case kLogoWhole:
            currentImage = logoSheet;
            if (CGame::GetTimers() != nullptr) CGame::GetTimers()->Start(kSplashTimer, 800);
            break;
        case kTitle:
            EnterTitle();
            break;
        case kLogoWipe:
            stateTime = 0;
            hud->keepBox = false;
            if (CGame::GetTimers() != nullptr) CGame::GetTimers()->Start(kSplashTimer, 1000);
            StopSound();
            break;
        case kIntroImage:
            EnterIntroImage();
            break;
        case kMainMenu:
            EnterMainMenu(selection);
            *softKeys = kSoftConfirm | kSoftBack;
            break;
        case kOptions:
            OpenOptionsPage(kKindOptions, selection);
            *softKeys = kSoftConfirmAlt;
            break;
        case kAbout:
            EnterTextPage(kTextPageTop, kTextPageMargin, kTextPageHeightMargin, AboutText());
            break;
        case kLoadLevel: {
            stackDepth = 0;
            CGameInput* input = Input();
            if (input != nullptr) input->held = 0;
            break;
        }
        case kPause:
            // The pause page lies over play, which needs no menu frame: the
            // help page's, when it was opened from here, goes.
            FreeMenuFrame();
            OpenPausePage(kKindPause, selection);
            *softKeys = kSoftConfirm;
            break;
        case kMessageBox:
            EnterMessageBox(selection, softKeys);
            break;
        case kQuit:
            hud->keepBox = false;
            stackDepth = 0;
            Quit();
            break;
        case kGameOver:
            OpenGameOverPage(selection);
            stackDepth = 0;
            *softKeys = kSoftConfirm;
            break;
        case kLevelSelect:
            OpenLevelSelectPage(selection);
            *softKeys = kSoftConfirm;
            break;
        case kHelp: {
            const JString control = DeviceText(CDeviceConfig::kControlText);
            PlaceTextPage(kTextPageTop, kTextPageMargin, kTextPageHeightMargin);
            // The help's topics, one to each line break, stand apart.
            hud->ShowTopics(control.length() > 0 ? control : GetUpperText(kTextHelpBody));
            break;
        }
        case kGoodbye:
            EnterTextPage(kGoodbyeTop, kGoodbyeMargin, kGoodbyeHeightMargin, GetUpperText(kTextGoodbye));
            // A farewell of a line or two: centred, clear of the frame's rails.
            hud->CentreLines();
            *softKeys = kSoftConfirm;
            stackDepth = 0;
            break;
        case kTouchNotice:
            EnterTextPage(kTextPageTop, kTextPageMargin, kTextPageHeightMargin,
                          DeviceText(CDeviceConfig::kTouchscreenMessage));
            break;
        default:
            break;
    }
}

// The text pages' arrow buttons answer on those pages alone: elsewhere,
// in play above all, a tap near the bottom centre would press up or down.
void CStates::ShowTextArrows(bool shown) {
    CTouchButtonManager* touch = CGame::GetTouchButtons();
    if (touch == nullptr) return;
    if (shown) {
        touch->Enable(CTouchButtonLayout::kGroupTextArrows);
    } else {
        touch->Disable(CTouchButtonLayout::kGroupTextArrows);
    }
}

CStates::MessageBox CStates::Question(int32_t textId, int32_t yesState) {
    MessageBox box;
    box.text = GetUpperText(textId);
    box.yesState = yesState;
    return box;
}

CStates::MessageBox CStates::Notice(int32_t textId, int32_t then) {
    MessageBox box;
    box.kind = MessageBox::Kind::kNotice;
    box.text = GetUpperText(textId);
    box.noState = then;
    return box;
}

int32_t CStates::OpenMessageBox(const MessageBox& box) {
    m_pendingBox = box;
    return kMessageBox;
}

// The kept box goes on screen, its title and body split from its text at
// the first '|'.
void CStates::EnterMessageBox(int32_t selection, uint32_t* softKeys) {
    m_shownBox = m_pendingBox;
    m_pendingBox = MessageBox();
    const JString& text = m_shownBox.text;
    messages.elementAt(kMessageText) = text;
    const int32_t split = text.indexOf(kTitleSeparator);
    messages.elementAt(kMessageTitle) = split < 0 ? text : text.substring(0, split);
    messages.elementAt(kMessageBody) = split < 0 ? JString() : text.substring(split + 1);
    CHud* hud = Hud();
    if (m_shownBox.overBlack) {
        hud->SetFrameStyle(false, true, false, false);
    } else {
        hud->SetFrameStyle(false, true, true, true);
        *softKeys = kSoftConfirm;
    }
    SetPageBox(0, HalfWidth(), HalfHeight(), ScreenWidth() / 3, 0, 176);
    static constexpr int32_t kAnswers[] = {kTextNo, kTextYes};
    static constexpr int32_t kAcknowledgement[] = {kTextOk};
    const bool notice = m_shownBox.kind == MessageBox::Kind::kNotice;
    const int32_t count = notice ? 1 : 2;
    itemFlags.removeAllElements();
    for (int32_t i = 0; i < count; ++i) itemFlags.addElement(1);
    OpenTitledPage(notice ? kAcknowledgement : kAnswers, count, kKindMessageBox, selection, -kMessageTitle,
                   -kMessageBody);
    // A notice reads as the text pages do, over the menu frame also when it
    // comes up in play, which holds no frame.
    if (!notice) return;
    LoadMenuFrame();
    hud->SetTitlesAsText(kTextPageTop, ScreenWidth() - kTextPageMargin);
}

void CStates::EnterMainMenu(int32_t selection) {
    menuShown = 1;
    OpenMainMenuPage(selection);
    LoadMenuFrame();
    if (splashSoundStarted != 0) {
        splashSoundStarted = 0;
    } else {
        PlaySound(kSoundMenuMusic, true);
    }
    stackDepth = 0;
}

void CStates::EnterTextPage(int32_t y, int32_t widthMargin, int32_t heightMargin, const JString& text) {
    PlaceTextPage(y, widthMargin, heightMargin);
    Hud()->ShowList(text, emptyText, emptyText);
}

// A text page lies on the menu frame, painted under it every frame, from
// whichever screen it was opened: the help opened from the pause page too,
// though play holds no frame.
void CStates::PlaceTextPage(int32_t y, int32_t widthMargin, int32_t heightMargin) {
    LoadMenuFrame();
    CHud* hud = Hud();
    hud->SetFrameStyle(false, false, true, true);
    hud->ShowPopup(HalfWidth(), y, ScreenWidth() - widthMargin, ScreenHeight() - heightMargin, kTextPagePlacement);
}

JString CStates::AboutText() const {
    JVector<JString> args;
    args.addElement(JString(kAboutTitle));
    const CGame* game = Game();
    args.addElement(game != nullptr ? game->versionText : JString());
    args.addElement(GetUpperText(kTextAboutLine2));
    args.addElement(GetUpperText(kTextAboutLine3));
    args.addElement(GetUpperText(kTextAboutLine4));
    WChar build[kBuildInfoUnits] = {};
    GetBuildInfoText(build, kBuildInfoUnits);
    args.addElement(JString(build));
    return formatText(GetUpperText(kTextAboutFormat), args);
}
