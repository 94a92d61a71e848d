#include "CGameApp.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CBigFileReader.h"
#include "ClipStack.h"
#include "CEvent.h"
#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CFileUtil.h"
#include "CFontMgr.h"
#include "CGame.h"
#include "CGameTicker.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CMessage.h"
#include "COwningExecutableRegistry.h"
#include "CRegistry.h"
#include "CRegistryAccelerateHandleQuery.h"
#include "CResourceManager_v1.h"
#include "CStrWChar.h"
#include "CStringToKey.h"
#include "ICFileMgr.h"
#include "StartupStatus.h"

#include <string>

namespace {

constexpr int32_t kEventIndexBuckets = 150;
constexpr uint32_t kEventIndexBlocks = 50;
constexpr int32_t kResourceBuckets = 500;
constexpr uint32_t kResourceBlocks = 33;
constexpr char kSecondaryTargetName[] = "mySecondaryTarget";
// The sprite module's home, deleted ahead of the services its images use.
constexpr uint32_t kSpriteHomeClassKey = 0x272BE9B5;

}  // namespace

CGameApp::CGameApp() = default;

CGameApp::~CGameApp() { Shutdown(); }

int32_t CGameApp::Init() { return Start() ? 0 : 1; }

bool CGameApp::Start() {
    m_keysHeld = 0;
    m_keysPressed = 0;
    for (uint8_t& flag : m_flagBytes) flag = 0;
    m_showDebugBoxes = 0;
    m_orientationMismatch = 0;
    m_hibernating = 0;
    m_soundPausedBySystem = 0;
    StartupStatus::Clear();

    if (!CreateSingletonTable()) return StartupStatus::Fail("out of memory for the singleton table");
    CRegistry* root = new CRegistry();
    SetRegistry(root);
    if (root == nullptr || !RegisterBaseExecutables()) return StartupStatus::Fail("out of memory for the registries");
    CResourceManager_v1* manager = new CResourceManager_v1();
    SetResourceManager(manager);
    if (manager == nullptr) return StartupStatus::Fail("out of memory for the resource manager");
    StartupStatus::StepDone("tables and registries");
    if (!OpenArchive()) return false;
    StartupStatus::StepDone("archive");
    if (!CreateTicker() || !CreateListener()) return false;
    StartupStatus::StepDone("ticker and listener");
    if (!CreateServices()) return false;

    m_clipStack = new ClipStack();
    LoadSoftkeyConfig();
    m_game = new CGame();
    if (m_game == nullptr) return StartupStatus::Fail("out of memory for the game");
    m_maxHitPoints = 0;
    StartupStatus::StepDone("game object");
    uint32_t width = 0;
    uint32_t height = 0;
    MeasureScreen(&width, &height);
    LoadDeviceConfig();
    StartupStatus::StepDone("device configuration");
    m_startedInWrongOrientation = IsWrongOrientation(width, height) ? 1 : 0;
    StartupStatus::MarkStarted();
    return true;
}

bool CGameApp::RegisterBaseExecutables() {
    CRegistry* root = GetRegistry();
    if (root == nullptr || !CreateEventRegistry(root)) return false;
    CBigFileReader* archive = new CBigFileReader();
    CRegistryItem* item =
        archive != nullptr ? root->NewItem(kArchiveRegistryId, archive, CBigFileReader::kClassKey, kRegistryPriority)
                           : nullptr;
    if (item == nullptr) {
        delete archive;
        return false;
    }
    root->Register(item);
    return true;
}

bool CGameApp::CreateEventRegistry(CRegistry* root) {
    CRegistry* events = new CRegistry();
    if (events == nullptr) return false;
    events->SetQueryAccelerator(new CRegistryAccelerateHandleQuery(kEventIndexBuckets, kEventIndexBlocks, true));
    CRegistryItem* item = root->NewItem(CEvent::kEventRegistryId, events, CRegistry::kClassKey, kRegistryPriority);
    if (item == nullptr) {
        delete events;
        return false;
    }
    root->Register(item);
    return true;
}

// Without an archive reader in the root registry the game goes on without
// an archive.
bool CGameApp::OpenArchive() {
    CRegistryItem* item = nullptr;
    if (!GetRegistry()->Find(0, kArchiveRegistryId, &item) || item == nullptr) return true;
    CBigFileReader* archive = static_cast<CBigFileReader*>(item->GetObject());
    CStrWChar path;
    CFileUtil::MakeAppPath(path, CStrWChar(kArchiveName).GetBuffer());
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return StartupStatus::Fail("the archive mchvx2.big cannot be opened without files");
    if (!files->Exists(path.GetBuffer())) {
        if (files->OpenFoundNothing()) {
            return StartupStatus::Fail("the archive mchvx2.big is missing from the data directory");
        }
        const std::string reason = std::string("the archive mchvx2.big cannot be read (") + files->OpenFailure() + ")";
        return StartupStatus::Fail(reason.c_str());
    }
    if (!archive->Open(path.GetBuffer())) {
        ASSERT(false);
        return StartupStatus::Fail("the archive mchvx2.big is corrupt (its header or tables cannot be read)");
    }
    if (!archive->EntriesInsideFile()) {
        return StartupStatus::Fail("the archive mchvx2.big is corrupt (its entries run past its end: cut short?)");
    }
    m_archiveOpen = true;
    CResourceManager* manager = GetResourceManager();
    if (!manager->Open(archive, kResourceBuckets, kResourceBlocks, true)) {
        ASSERT(false);
        return StartupStatus::Fail("the archive mchvx2.big has no readable resource directory");
    }
    return true;
}

bool CGameApp::CreateTicker() {
    CGameTicker* ticker = new CGameTicker(this);
    SetTicker(ticker);
    if (ticker == nullptr || !ticker->Create()) return StartupStatus::Fail("out of memory for the ticker");
    return true;
}

bool CGameApp::CreateListener() {
    m_listener = new CEventListener();
    ASSERT(m_listener != nullptr);
    if (m_listener == nullptr) return StartupStatus::Fail("out of memory for the event listener");
    m_listener->Bind(StringToKey(kListenerName), this, &CGameApp::OnListenerMessage);
    if (!CEventListener::ListenList(m_listener, kListenedEvents, kRegistryPriority)) {
        return StartupStatus::Fail("the event listener cannot be registered");
    }
    return true;
}

// The game cannot run without its graphics device, renderer and font; the
// other services are created as they are asked for.
bool CGameApp::CreateServices() {
    GetFileMgr();
    GetMediaPlayer();
    GetRandom();
    GetCrc32();
    GetPropertyTable();
    GetGameData();
    GetGameSettings();
    GetFontMgr();
    StartupStatus::StepDone("services");
    CGraphics* graphics = GetGraphics();
    if (graphics == nullptr || !graphics->Open()) return StartupStatus::Fail("the graphics device cannot be opened");
    CGraphics2d_Lite* renderer = GetGraphics2d();
    if (renderer == nullptr || !renderer->Open()) return StartupStatus::Fail("the 2D renderer cannot be opened");
    GetSpriteHome();
    StartupStatus::StepDone("graphics");
    if (m_archiveOpen && (GetFontMgr() == nullptr || GetFontMgr()->GetFont(0) == nullptr)) {
        return StartupStatus::Fail("the archive mchvx2.big lacks the game's font");
    }
    StartupStatus::StepDone("font");
    return true;
}

bool CGameApp::MeasureScreen(uint32_t* width, uint32_t* height) const {
    *width = static_cast<uint32_t>(GetScreenWidth());
    *height = static_cast<uint32_t>(GetScreenHeight());
    return *width != 0 && *height != 0;
}

// A square screen suits either policy.
bool CGameApp::IsWrongOrientation(uint32_t width, uint32_t height) const {
    const int32_t support = m_device.GetOrientationSupport();
    return (support == CDeviceConfig::kPortraitOnly && width > height) ||
           (support == CDeviceConfig::kLandscapeOnly && height > width);
}

void CGameApp::LoadDeviceConfig() { m_device.LoadDevice(kDeviceConfigName); }

void CGameApp::LoadSoftkeyConfig() { m_device.LoadSoftkeys(kSoftkeyConfigName); }

bool CGameApp::CreateRegistries(CExecutableRegistry* tickerRegistry) {
    const struct {
        uint32_t id;
        CExecutableRegistry* registry;
    } registries[] = {{kFrameRegistryId, new CExecutableRegistry()},
                      {kKeyMappingRegistryA, new COwningExecutableRegistry()},
                      {kKeyMappingRegistryB, new COwningExecutableRegistry()}};
    bool created = true;
    for (const auto& entry : registries) {
        CRegistryItem* item =
            entry.registry != nullptr
                ? tickerRegistry->NewItem(entry.id, entry.registry, entry.registry->GetClassKey(), kRegistryPriority)
                : nullptr;
        if (item == nullptr) {
            delete entry.registry;
            created = false;
            continue;
        }
        tickerRegistry->Register(item);
    }
    return created;
}

// Messages still waiting in the ticker's registry go first, then the three
// registries of the application.
void CGameApp::DestroyRegistries(CExecutableRegistry* tickerRegistry) {
    for (CRegistryItem* item = tickerRegistry->Begin(); item != tickerRegistry->End();) {
        CRegistryItem* next = item->GetNext();
        CClass* object = item->GetObject();
        const uint32_t key = object != nullptr ? object->GetClassKey() : 0;
        if (key == CEvent::kClassKey || key == CMessage::kClassKey) {
            delete object;
            tickerRegistry->Unregister(item);
            delete item;
        }
        item = next;
    }
    for (uint32_t id : {kKeyMappingRegistryB, kKeyMappingRegistryA, kFrameRegistryId}) {
        DeleteRegistryEntry(tickerRegistry, id);
    }
}

void CGameApp::DeleteRegistryEntry(CRegistry* registry, uint32_t id) {
    CRegistryItem* item = nullptr;
    if (registry == nullptr || !registry->Find(0, id, &item) || item == nullptr) return;
    registry->Unregister(item);
    delete item->GetObject();
    delete item;
}

void CGameApp::UnregisterBaseExecutables() {
    CRegistry* root = GetRegistry();
    DeleteRegistryEntry(root, kArchiveRegistryId);
    DeleteRegistryEntry(root, CEvent::kEventRegistryId);
}

// Each step clears what it deletes, so a second call (or one after a failed
// Init) finds nothing left to do.
void CGameApp::Shutdown() {
    CResourceManager* manager = GetResourceManager();
    if (manager != nullptr) manager->ReleaseByName(kSecondaryTargetName);
    delete m_clipStack;
    m_clipStack = nullptr;
    delete m_game;
    m_game = nullptr;
    DestroyServices();
    if (manager != nullptr) {
        manager->Close();
        delete manager;
        SetResourceManager(nullptr);
    }
    if (m_listener != nullptr) {
        CEventListener::UnlistenAll(m_listener);
        delete m_listener;
        m_listener = nullptr;
    }
    delete GetTicker();
    SetTicker(nullptr);
    DestroyRootRegistry();
    DestroySingletons();
    m_archiveOpen = false;
    m_device.ResetDevice();
    m_device.ResetSoftkeys();
}

// Services that reach others when they go are deleted while those still
// stand: fonts and sprites hold resources, the renderer draws on the
// device's surface.
void CGameApp::DestroyServices() {
    if (CSingleton::GetTable() == nullptr) return;
    delete CSingleton::GetInstance(CFontMgr::kClassKey);
    delete CSingleton::GetInstance(kSpriteHomeClassKey);
    CGraphics2d_Lite* renderer = static_cast<CGraphics2d_Lite*>(CSingleton::GetInstance(CGraphics2d_Lite::kClassKey));
    if (renderer != nullptr) renderer->Close();
    delete renderer;
    CGraphics* graphics = static_cast<CGraphics*>(CSingleton::GetInstance(CGraphics::kClassKey));
    if (graphics != nullptr) graphics->Close();
    delete graphics;
}

void CGameApp::DestroyRootRegistry() {
    CRegistry* root = GetRegistry();
    if (root == nullptr) return;
    UnregisterBaseExecutables();
    delete root;
    SetRegistry(nullptr);
}
