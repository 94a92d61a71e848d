// Engine events: each queued event is delivered at once to its listeners,
// among them the application's own "GameApp" listener, which handles start,
// stop, pause and resume, keeps the key bits, runs the input of the
// orientation and hibernation screens and hands the rest to the game.

#include "CGameApp.h"

#include "AppServices.h"
#include "CAppProperties.h"
#include "CAppTicker.h"
#include "CArrayInputStream.h"
#include "CAssert.h"
#include "CBinary.h"
#include "CEventListener.h"
#include "CFileInputStream.h"
#include "CFileUtil.h"
#include "CGame.h"
#include "CGameData.h"
#include "CGameSettings.h"
#include "CGraphics.h"
#include "CMessage.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CStates.h"
#include "CStrWChar.h"
#include "EngineEvents.h"
#include "ICCore.h"
#include "ICFileMgr.h"
#include "ICMediaPlayer.h"
#include "SK_Home.h"
#include "StartupStatus.h"

namespace {

// Events of the listener that the platform's event list does not name.
constexpr uint32_t kAppStop = EngineEvent::kAppStop;
constexpr uint32_t kAppPause = 0x8408F369;
constexpr uint32_t kAppFocus = 0x6740942F;
constexpr uint32_t kGameNotice = 0x518E1A3B;
constexpr uint32_t kClamshell = 0x5152A73B;
constexpr uint32_t kOverlayA = 0x43042EF2;
constexpr uint32_t kOverlayB = 0x02042EF2;
constexpr uint32_t kSurfaceChanged = EngineEvent::kOrientationFollowUp;
constexpr uint32_t kClearEverything = CGraphics::kClearColor | CGraphics::kClearDepth | CGraphics::kClearStencil;
constexpr uint32_t kKeyBitCount = 32;
constexpr int32_t kFirstStringTable = 0;

constexpr char kCheatsProperty[] = "Kiv-Cheats-Enable";
constexpr char kTestLocalisationProperty[] = "Kiv-Test-Localisation";

uint32_t KeyBit(uint32_t key) { return key < kKeyBitCount ? 1u << key : 0u; }

}  // namespace

const uint32_t CGameApp::kListenedEvents[kListenedEventCount + 1] = {
    EngineEvent::kAppStart, kAppStop, kAppPause, kAppFocus, EngineEvent::kAppSuspend, EngineEvent::kAppResume,
    kGameNotice, kClamshell, EngineEvent::kKeyPressed, EngineEvent::kKeyReleased, EngineEvent::kHibernate,
    EngineEvent::kMouseMove, EngineEvent::kMouseButtonDown, EngineEvent::kMouseButtonUp,
    EngineEvent::kMouseButtonDoubleClick, 0x35C43E56, 0x35CB8F1C, 0x35C38D1C, 0x5707B968, kSurfaceChanged,
    EngineEvent::kRefresh, 0x07B18A47, 0x21204844, 0x3ED25C89,
    // The messages of the key-mapping tables.
    0x3F972120, 0x972028C1, 0x9720A3CB, 0x7214FF0D, 0x2074D009, 0x97204784, 0x5F61A84A, 0xD45F52DE, 0x20174FB7,
    0x172EBF3E, 0x172E3434, 0x71FD83F5, 0x172E9965, 0x172EC5FA, 0x71FF1054, 0x0173EAF6, 0xD0467C9B, 0x016703B6,
    0x490287B4, 0x9036ABF0, 0xBD152E06, 0x152F0CA3, 0xBD152F06, 0x152E0CA3, 0xFE50251E, 0xFE50251D, 0xFE50251C,
    0xFE50251B, kOverlayA, kOverlayB, 0};

void CGameApp::HandleSystemEvent(uint32_t id, uint32_t arg1, uint32_t arg2) {
    CMessage* message = new CMessage(this, id, 0, {CMessageParam::Integer(arg1), CMessageParam::Integer(arg2)});
    if (message != nullptr) CExecutable::Update(message);
    FollowLifeCycle(id);
}

void CGameApp::FollowLifeCycle(uint32_t id) {
    CAppTicker* ticker = GetTicker();
    if (ticker == nullptr) return;
    if (id == kAppStop) {
        ticker->OnQuit();
    } else if (id == EngineEvent::kAppSuspend) {
        ticker->OnPause();
    } else if (id == EngineEvent::kAppStart) {
        CGraphics* graphics = GetGraphics();
        if (graphics != nullptr) graphics->Clear(kClearEverything);
        ticker->OnStart();
    } else if (id == EngineEvent::kAppResume) {
        ticker->OnResume();
    }
}

bool CGameApp::OnListenerMessage(CEvent* message, CEventListener* listener) {
    const bool isMessage = message != nullptr && message->GetClassKey() == CMessage::kClassKey;
    ASSERT(isMessage);
    CGameApp* app = listener != nullptr ? dynamic_cast<CGameApp*>(listener->GetOwner()) : nullptr;
    if (!isMessage || app == nullptr) return false;
    const CMessage* params = static_cast<const CMessage*>(message);
    return app->HandleAppEvent(message->GetId(), params->GetParam(0).value, params->GetParam(1).value) != 0;
}

uint8_t CGameApp::HandleAppEvent(uint32_t id, uint32_t arg1, uint32_t arg2) {
    switch (id) {
        case EngineEvent::kAppStart:
            return OnStart();
        case kAppStop:
            return OnStop();
        case kAppPause:
        case EngineEvent::kAppSuspend:
            return OnPause(id, arg1, arg2);
        case kAppFocus:
        case EngineEvent::kAppResume:
            return OnResume(id, arg1, arg2);
        case EngineEvent::kKeyPressed:
        case EngineEvent::kKeyReleased:
            return OnKey(id, arg1, arg2);
        case kSurfaceChanged:
            return OnSurfaceChanged(id, arg1, arg2);
        case kClamshell:
            return OnClamshell(id, arg1, arg2);
        case kGameNotice:
            return m_game != nullptr && m_game->HandleEvent(id, arg1, arg2) ? 1 : 0;
        case kOverlayA:
        case kOverlayB:
            m_overlayMode = static_cast<uint16_t>(arg1 & 0xFFFF);
            return 0;
        case EngineEvent::kHibernate:
            return OnHibernate();
        default:
            return IsSuspended() ? 0 : ForwardToGame(id, arg1, arg2);
    }
}

uint8_t CGameApp::ForwardToGame(uint32_t id, uint32_t arg1, uint32_t arg2) {
    return m_game != nullptr && m_game->HandleEvent(id, arg1, arg2) ? 1 : 0;
}

uint8_t CGameApp::OnStart() {
    m_overlayMode = 0;
    LoadProperties();
    StartupStatus::StepDone("properties");
    CAppProperties* properties = GetPropertyTable();
    CGameSettings* settings = GetGameSettings();
    if (settings != nullptr && properties != nullptr) settings->cheatsEnabled = properties->GetBool(kCheatsProperty);
    CResourceManager* manager = GetResourceManager();
    if (manager != nullptr && properties != nullptr) {
        manager->SetStringKeyMode(properties->GetBool(kTestLocalisationProperty) ? 1 : 0);
    }
    ICMediaPlayer* player = GetMediaPlayer();
    if (player != nullptr) {
        const ICCore* core = GetCore();
        player->SetSoundEnabled(core == nullptr || core->IsSoundAllowed());
        player->SetVibrationEnabled(false);
    }
    if (manager != nullptr && manager->GetStringTableCount() > kFirstStringTable) {
        manager->SelectStringTable(kFirstStringTable);
    }
    StartupStatus::StepDone("string table");
    LoadSpriteDefinitions();
    StartupStatus::StepDone("sprite definitions");
    if (m_game != nullptr) m_game->OnScreenSize();
    return 1;
}

// properties.dat beside the program, or the archive's copy when there is no
// such file.
void CGameApp::LoadProperties() {
    CAppProperties* properties = GetPropertyTable();
    ICFileMgr* files = GetFileMgr();
    if (properties == nullptr || files == nullptr) return;
    CStrWChar path;
    CFileUtil::MakeDataPath(path, CStrWChar(kPropertiesName).GetBuffer());
    if (files->Exists(path.GetBuffer())) {
        CFileInputStream stream;
        if (stream.OpenByName(path.GetBuffer())) properties->Load(stream);
        return;
    }
    CResourceManager* manager = GetAppResourceManager();
    CResource* resource = nullptr;
    if (manager == nullptr || manager->CreateByHandle(kPropertiesResource, &resource) == 0 || resource == nullptr) {
        return;
    }
    const CBinary* text = dynamic_cast<const CBinary*>(resource->GetObject());
    CArrayInputStream stream;
    if (text != nullptr && stream.Open(text->GetData(), text->GetSize())) properties->Load(stream);
    manager->ReleaseByHandle(kPropertiesResource);
}

void CGameApp::LoadSpriteDefinitions() {
    SK_Home* home = GetSpriteHome();
    if (home != nullptr) home->Load();
}

uint8_t CGameApp::OnStop() {
    if (m_game != nullptr) m_game->OnStop();
    ICMediaPlayer* player = GetMediaPlayer();
    if (player != nullptr) {
        player->Stop(0);
        player->StopVibrate(0);
    }
    return 1;
}

uint8_t CGameApp::OnPause(uint32_t id, uint32_t arg1, uint32_t arg2) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player != nullptr) player->Pause();
    ForwardToGame(id, arg1, arg2);
    return 1;
}

uint8_t CGameApp::OnResume(uint32_t id, uint32_t arg1, uint32_t arg2) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player != nullptr) player->Resume();
    ForwardToGame(id, arg1, arg2);
    return 1;
}

// While a message screen shows, its own keys count and the game sees none.
uint8_t CGameApp::OnKey(uint32_t id, uint32_t key, uint32_t arg2) {
    if (m_orientationMismatch != 0) {
        const CStates* states = CGame::GetStateMachine();
        if ((states == nullptr || states->menuShown == 0) && key == kKeyBack) m_exitRequested = 1;
        return 0;
    }
    if (m_hibernating != 0) {
        if (key != kKeySelect) return 0;
        m_hibernating = 0;
        // Releases did not reach the game while the screen showed.
        m_keysHeld = 0;
        if (m_game != nullptr) m_game->LetGoOfInput();
        return 1;
    }
    RecordKey(id, key);
    const uint8_t result = ForwardToGame(id, key, arg2);
    const CGameData* data = GetGameData();
    if (id == EngineEvent::kKeyPressed && (data == nullptr || data->IsVolumeLocked() == 0)) StepVolume(key);
    return result;
}

void CGameApp::RecordKey(uint32_t id, uint32_t key) {
    if (id == EngineEvent::kKeyPressed) {
        if (key == kKeySelect) m_keysHeld = 0;
        m_keysHeld |= KeyBit(key);
        m_keysPressed |= KeyBit(key);
    } else {
        m_keysHeld &= ~KeyBit(key);
        m_keysReleased |= KeyBit(key);
    }
}

void CGameApp::StepVolume(uint32_t key) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player == nullptr) return;
    const uint8_t volume = player->GetVolume();
    if (key == kKeyVolumeUp && volume < kMaxVolume) player->SetVolume(static_cast<uint8_t>(volume + 1));
    if (key == kKeyVolumeDown && volume > 0) player->SetVolume(static_cast<uint8_t>(volume - 1));
}

uint8_t CGameApp::OnSurfaceChanged(uint32_t id, uint32_t arg1, uint32_t arg2) {
    const uint8_t result = ForwardToGame(id, arg1, arg2);
    CGameData* data = GetGameData();
    if (data != nullptr) data->SetPaintSuppressed(0);
    return result;
}

uint8_t CGameApp::OnClamshell(uint32_t id, uint32_t arg1, uint32_t arg2) {
    const uint8_t result = ForwardToGame(id, arg1, arg2);
    if (m_device.ExitsOnClamshell()) m_exitRequested = 1;
    return result;
}

// The hibernation screen exists only when device.conf gives its text.
uint8_t CGameApp::OnHibernate() {
    if (m_device.GetText(CDeviceConfig::kHibernationMessage) != nullptr) m_hibernating = 1;
    return 1;
}
