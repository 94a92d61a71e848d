#ifndef CGAMEAPP_H
#define CGAMEAPP_H

#include "CAppBase.h"
#include "CDeviceConfig.h"

class ClipStack;
class CEvent;
class CEventListener;
class CExecutableRegistry;
class CGame;
class CRenderSurface;

// The game's application object, one per process. The shell creates it,
// calls Init once before its message loop, hands it every queued engine
// event (HandleEvent) and every frame (RunFrame), and calls Shutdown once
// after the loop. It owns the registries, the resource manager on the
// archive, the ticker, the "GameApp" listener, the game object and the
// device's settings.
class CGameApp : public CAppBase {
public:
    static constexpr char kArchiveName[] = "mchvx2.big";
    static constexpr char kDeviceConfigName[] = "device.conf";
    static constexpr char kSoftkeyConfigName[] = "softkey.conf";
    static constexpr char kPropertiesName[] = "properties.dat";
    static constexpr char kListenerName[] = "GameApp";

    // Ids in the root registry and the ticker's registry.
    static constexpr uint32_t kArchiveRegistryId = 0xA0D7812D;
    static constexpr uint32_t kFrameRegistryId = 0x957CE610;
    static constexpr uint32_t kKeyMappingRegistryA = 0x92484FB2;
    static constexpr uint32_t kKeyMappingRegistryB = 0xC84E9C27;
    static constexpr int32_t kRegistryPriority = 0x3FFFFFFF;

    // The archive copy of properties.dat, for when the file is absent.
    static constexpr uint32_t kPropertiesResource = 0x030001B7;
    static constexpr int32_t kMaxVolume = 10;

    // Engine keys the application itself looks at.
    static constexpr uint32_t kKeySelect = 11;
    static constexpr uint32_t kKeyBack = 12;
    static constexpr uint32_t kKeyVolumeUp = 17;
    static constexpr uint32_t kKeyVolumeDown = 18;

    // The events the "GameApp" listener takes, ended by 0.
    static constexpr int32_t kListenedEventCount = 54;
    static const uint32_t kListenedEvents[kListenedEventCount + 1];

    CGameApp();
    ~CGameApp() override;

    // 0 when the game can run, 1 when it cannot start; Shutdown then
    // releases whatever was acquired.
    int32_t Init() override;
    // Harmless when called again, or after a failed Init.
    void Shutdown() override;
    // The shell's frame and event entries.
    void RunFrame() override { ForwardToTicker(); }
    void HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) override { HandleSystemEvent(id, arg1, arg2); }

    void ForwardToTicker();
    // Delivers the event to every listener at once, then drives the
    // ticker's life cycle for the start, stop, suspend and resume events.
    void HandleSystemEvent(uint32_t id, uint32_t arg1, uint32_t arg2);
    // The "GameApp" listener's callback.
    static bool OnListenerMessage(CEvent* message, CEventListener* listener);
    // The game application's own handling of an event: 1 when handled.
    uint8_t HandleAppEvent(uint32_t id, uint32_t arg1, uint32_t arg2);

    // Framework hooks.
    bool CreateRegistries(CExecutableRegistry* tickerRegistry) override;
    void DestroyRegistries(CExecutableRegistry* tickerRegistry) override;
    CResource* CreateResource(uint32_t typeKey) override;
    bool GetEventRegistryParams(uint32_t id, int32_t* bucketRequest, uint32_t* blocksPerChunk) override;
    const DeviceKeyMapping* GetDeviceKeyTable(int32_t* outCount) const override;
    bool IsNumpadDisabled() const override { return m_device.IsNumpadDisabled(); }
    bool UsesGXDisplay() const override { return m_device.UsesGXDisplay(); }

    bool RegisterBaseExecutables();
    void UnregisterBaseExecutables();
    void LoadDeviceConfig();
    void LoadSoftkeyConfig();

    // One timer tick: the update half, then the paint half.
    void Tick();
    void Paint();
    void BeginFrame2d();
    void PaintOrientationMessage(uint32_t width, uint32_t height);
    void PaintHibernationMessage(uint32_t width, uint32_t height);

    CGame* GetGame() const { return m_game; }
    ClipStack* GetClipStack() const { return m_clipStack; }
    const CDeviceConfig& GetDeviceConfig() const { return m_device; }
    CEventListener* GetListener() const { return m_listener; }
    uint32_t GetKeysHeld() const { return m_keysHeld; }
    uint32_t GetKeysPressed() const { return m_keysPressed; }
    uint32_t GetKeysReleased() const { return m_keysReleased; }
    uint32_t GetKeysReleasedLastFrame() const { return m_keysReleasedLastFrame; }
    uint16_t GetOverlayMode() const { return m_overlayMode; }
    uint32_t GetShowDebugBoxes() const { return m_showDebugBoxes; }
    void ToggleDebugBoxes() { m_showDebugBoxes ^= 1; }
    // The player's maximum hit points, which the player's forms set.
    int32_t GetMaxHitPoints() const { return m_maxHitPoints; }
    void SetMaxHitPoints(int32_t hitPoints) { m_maxHitPoints = hitPoints; }
    bool IsExitRequested() const { return m_exitRequested != 0; }
    // The program quits at the next tick.
    void RequestExit() { m_exitRequested = 1; }
    bool IsOrientationMismatch() const { return m_orientationMismatch != 0; }
    bool IsStartedInWrongOrientation() const { return m_startedInWrongOrientation != 0; }
    bool IsHibernating() const { return m_hibernating != 0; }
    bool IsSoundPausedBySystem() const { return m_soundPausedBySystem != 0; }

private:
    // Init's steps; false with the reason recorded (StartupStatus).
    bool Start();
    bool CreateEventRegistry(CRegistry* root);
    bool OpenArchive();
    bool CreateTicker();
    bool CreateListener();
    bool CreateServices();
    bool MeasureScreen(uint32_t* width, uint32_t* height) const;
    bool IsWrongOrientation(uint32_t width, uint32_t height) const;
    void DestroyServices();
    void DestroyRootRegistry();
    static void DeleteRegistryEntry(CRegistry* registry, uint32_t id);
    void FollowLifeCycle(uint32_t id);
    bool IsSuspended() const { return m_orientationMismatch != 0 || m_hibernating != 0; }

    // Handlers of HandleAppEvent.
    uint8_t OnStart();
    uint8_t OnStop();
    uint8_t OnPause(uint32_t id, uint32_t arg1, uint32_t arg2);
    uint8_t OnResume(uint32_t id, uint32_t arg1, uint32_t arg2);
    uint8_t OnKey(uint32_t id, uint32_t key, uint32_t arg2);
    uint8_t OnSurfaceChanged(uint32_t id, uint32_t arg1, uint32_t arg2);
    uint8_t OnClamshell(uint32_t id, uint32_t arg1, uint32_t arg2);
    uint8_t OnHibernate();
    uint8_t ForwardToGame(uint32_t id, uint32_t arg1, uint32_t arg2);
    void RecordKey(uint32_t id, uint32_t key);
    void StepVolume(uint32_t key);
    static void LoadProperties();
    static void LoadSpriteDefinitions();

    void DrainPowerQueue();
    void PauseOrResumeSystemSound();
    void PaintMessageScreen(const WChar* text, uint32_t width, uint32_t height);
    void RequestRefreshIfAsked(CRenderSurface* surface);

    uint16_t m_overlayMode = 0;
    ClipStack* m_clipStack = nullptr;
    uint32_t m_keysHeld = 0;
    uint32_t m_keysPressed = 0;
    uint32_t m_keysReleased = 0;
    uint32_t m_keysReleasedLastFrame = 0;
    int32_t m_maxHitPoints = 0;
    // Cleared at start; read, if at all, by the game's own code.
    uint8_t m_flagBytes[5] = {};
    uint32_t m_showDebugBoxes = 0;
    CGame* m_game = nullptr;
    CDeviceConfig m_device;
    uint8_t m_orientationMismatch = 0;
    uint8_t m_soundPausedBySystem = 0;
    uint8_t m_exitRequested = 0;
    uint8_t m_startedInWrongOrientation = 0;
    uint8_t m_hibernating = 0;
    CEventListener* m_listener = nullptr;
    // The archive reader lives in the root registry; this says whether it
    // is open (and must be closed).
    bool m_archiveOpen = false;
};

// The running game application, or null.
CGameApp* GetGameApp();

#endif
