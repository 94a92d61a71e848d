#ifndef CAPPLET_H
#define CAPPLET_H

#include "CAppletBase.h"
#include "CEventQueue.h"
#include "WinCeShell.h"

class CAppBase;
class ICCore;

// Makes the program's application object; null when memory is exhausted.
// The application shell publishes and owns it.
using AppFactory = CAppBase* (*)();

// The application shell: owns the full-screen window, the 40 ms frame timer,
// the power-notification queue and the engine event queue. It turns window
// messages into engine events, and on every timer tick hands the queued
// events to the application and runs one frame. It creates the core and
// application objects on start and deletes them at the end.
class CApplet : public CAppletBase {
public:
    static constexpr WChar kAppName[] = u"mchvx2";
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kFramePeriodMs = 40;

    // Null when memory is exhausted.
    static CApplet* Create(HINSTANCE instance);
    // The program names the factory of its application before it runs the
    // shell; without one, start-up fails.
    static void SetAppFactory(AppFactory factory) { s_appFactory = factory; }

    explicit CApplet(HINSTANCE instance);
    ~CApplet() override;

    // Starts up, runs the message loop and shuts down: 0 after a normal
    // quit, 1 when start-up failed. Whatever failed, only what was acquired
    // is released.
    int32_t Run() override;
    bool HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool FilterMessage(HWND, UINT, WPARAM, LPARAM) override { return false; }

    // (Re)arms the frame timer; the SetTimer result.
    UINT_PTR StartTimer();
    void StopTimer();
    // Hands every queued event to the application (including those queued
    // while the pass runs), empties the queue and runs one frame. Nothing
    // happens while there is no application.
    void DispatchEvents();

    HWND GetWindowHandle() const override { return m_window; }
    CEventQueue* GetEventQueue() { return &m_events; }
    // The queue the system writes power notifications into; the
    // application drains it every frame. Null before start-up opened it.
    HANDLE GetPowerQueue() const { return m_powerQueue; }

    // The engine key of a virtual key (0 for none): the application's
    // device table first, then the fixed table; digits give nothing while
    // the number pad is disabled; other plain characters stand for
    // themselves.
    uint32_t MapVirtualKey(uint32_t virtualKey) const;
    // Device pixels to the engine's half-resolution stylus coordinates.
    static void ScaleStylusPoint(int32_t* x, int32_t* y);

    // A diagnostic log ".\mchvx2-log.txt", one line per WriteLog. Each
    // call is false when the log is not open or the host refused it.
    [[nodiscard]] bool OpenLog();
    [[nodiscard]] bool WriteLog(const char* text);
    [[nodiscard]] bool CloseLog();

    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    bool IsActive() const { return m_active != 0; }
    bool IsTimerRunning() const { return m_timerRunning != 0; }
    // True on systems whose direct display must be left alone.
    bool IsGapiBlocked() const { return m_noGapi != 0; }

private:
    bool CreateAppWindow();
    bool StartUp();
    bool ClaimDisplay();
    void OpenPowerQueue();
    int32_t RunMessageLoop();
    void CleanUp();
    void ReadScreenSize();
    void ReadOsVersion();

    void OnActivate(HWND window, WPARAM wParam, LPARAM lParam);
    void OnSetFocus(HWND window);
    void OnPaint(HWND window);
    void OnSettingChange(WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanged(HWND window);
    void OnKeyDown(WPARAM wParam, LPARAM lParam);
    void OnKeyUp(WPARAM wParam, LPARAM lParam);
    void OnTimer();
    void QueuePointerEvent(uint32_t id, uint32_t button, LPARAM lParam);
    // The mouse message's button index (0 left, 1 right, 2 middle).
    static uint32_t ButtonOf(UINT message);
    static uint32_t HeldButtons(WPARAM wParam);
    static uint32_t FixedKeyOf(uint32_t virtualKey);

    static inline AppFactory s_appFactory = nullptr;

    HANDLE m_powerQueue = nullptr;
    HANDLE m_powerNotification = nullptr;
    HANDLE m_logFile;
    HWND m_window = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint8_t m_active = 1;
    uint8_t m_timerRunning = 0;
    uint8_t m_refreshPosted = 0;
    uint32_t m_osMajor = 0;
    uint32_t m_osMinor = 0;
    uint8_t m_noGapi = 0;
    CEventQueue m_events;
    SHACTIVATEINFO m_activationInfo{};
    // What start-up acquired, so that clean-up releases only that.
    bool m_displayClaimed = false;
    ICCore* m_core = nullptr;
    CAppBase* m_app = nullptr;
};

// The live applet, or null.
CApplet* GetApplet();

#endif
