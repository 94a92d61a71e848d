#include "CApplet.h"

#include "CAppBase.h"
#include "CCore_Win32.h"
#include "CRuntime.h"
#include "EngineEvents.h"
#include "WinCeFile.h"
#include "WinCeGapi.h"
#include "WinCeMsgQueue.h"
#include "WinMain.h"

namespace {

constexpr DWORD kHideShellBars = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
constexpr DWORD kShowShellBars = SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON;
constexpr WChar kPowerQueueName[] = u"powerMsgQueue";
constexpr DWORD kPowerMessageMaxBytes = 1024;
constexpr LPARAM kRepeatBit = 0x40000000;
constexpr WChar kLogPath[] = u".\\mchvx2-log.txt";

constexpr uint32_t kSoftKeyLeft = 15;
constexpr uint32_t kSoftKeyRight = 16;

struct FixedKey {
    uint32_t virtualKey;
    uint32_t engineKey;
};

constexpr FixedKey kFixedKeys[] = {
    {VK_BACK, 12}, {VK_ESCAPE, 12}, {VK_RETURN, 11}, {VK_LEFT, 6}, {VK_UP, 4},   {VK_RIGHT, 7},
    {VK_DOWN, 5},  {VK_F1, 15},     {VK_F2, 16},     {VK_F3, 2},   {VK_F4, 3},   {VK_F6, 17},
    {VK_F7, 18},   {VK_F8, '*'},    {VK_F9, '#'},    {VK_F18, 1},
};

bool IsDigitKey(uint32_t virtualKey) { return virtualKey >= '0' && virtualKey <= '9'; }

// Keys that reach the engine as their own code when nothing maps them.
bool IsPlainCharacter(uint32_t virtualKey) {
    return virtualKey == 9 || virtualKey == 10 || virtualKey == 19 || (virtualKey >= 32 && virtualKey <= 127);
}

}  // namespace

CApplet* CApplet::Create(HINSTANCE instance) { return new CApplet(instance); }

CApplet::CApplet(HINSTANCE instance) : CAppletBase(instance), m_logFile(INVALID_HANDLE_VALUE) {
    SetCore(nullptr);
    SetApplication(nullptr);
    ReadScreenSize();
    ReadOsVersion();
    m_noGapi = (m_osMajor >= 6 && m_osMinor >= 5) ? 1 : 0;
    m_activationInfo.cbSize = sizeof(SHACTIVATEINFO);
}

// Nobody is left to tell of a log that could not be closed.
CApplet::~CApplet() { static_cast<void>(CloseLog()); }

void CApplet::ReadScreenSize() {
    m_width = GetSystemMetrics(SM_CXSCREEN);
    m_height = GetSystemMetrics(SM_CYSCREEN);
}

void CApplet::ReadOsVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (GetVersionExW(&version) == 0) return;
    m_osMajor = version.dwMajorVersion;
    m_osMinor = version.dwMinorVersion;
}

int32_t CApplet::Run() {
    const int32_t result = StartUp() ? RunMessageLoop() : 1;
    CleanUp();
    return result;
}

bool CApplet::CreateAppWindow() {
    m_window = CreateWindowExW(WS_EX_NODRAG, kAppName, kAppName, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, m_width,
                               m_height, nullptr, nullptr, GetInstance(), nullptr);
    if (m_window == nullptr) return false;
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    SHFullScreen(m_window, kHideShellBars);
    MoveWindow(m_window, 0, 0, m_width, m_height, 1);
    return true;
}

bool CApplet::StartUp() {
    if (!CreateAppWindow()) return false;
    m_core = CCore_Win32::Create();
    SetCore(m_core);
    m_app = s_appFactory != nullptr ? s_appFactory() : nullptr;
    SetApplication(m_app);
    if (m_core == nullptr || m_app == nullptr) return false;
    if (m_app->Init() != 0) return false;
    if (AllKeys(1) == 0 || AllKeys(0) == 0) return false;
    if (!ClaimDisplay()) return false;
    SetForegroundWindow(m_window);
    SHFullScreen(m_window, kHideShellBars);
    OpenPowerQueue();
    m_events.Post(EngineEvent::kAppStart, 0, 0);
    StartTimer();
    return true;
}

bool CApplet::ClaimDisplay() {
    if (m_noGapi != 0 || !m_app->UsesGXDisplay()) return true;
    if (GXOpenDisplay(m_window, GX_FULLSCREEN) == 0) return false;
    m_displayClaimed = true;
    return true;
}

void CApplet::OpenPowerQueue() {
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof(MSGQUEUEOPTIONS);
    options.dwFlags = 0;
    options.dwMaxMessages = 0;
    options.cbMaxMessage = kPowerMessageMaxBytes;
    options.bReadAccess = 1;
    m_powerQueue = CreateMsgQueue(kPowerQueueName, &options);
    if (m_powerQueue != nullptr) {
        m_powerNotification = RequestPowerNotifications(m_powerQueue, PBT_TRANSITION | PBT_POWERINFOCHANGE);
    }
}

int32_t CApplet::RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    StopTimer();
    m_events.Post(EngineEvent::kAppStop, 0, 0);
    DispatchEvents();
    return 0;
}

void CApplet::CleanUp() {
    if (m_displayClaimed) {
        GXCloseDisplay();
        m_displayClaimed = false;
    }
    if (m_powerQueue != nullptr) {
        CloseMsgQueue(m_powerQueue);
        m_powerQueue = nullptr;
    }
    if (m_powerNotification != nullptr) {
        StopPowerNotifications(m_powerNotification);
        m_powerNotification = nullptr;
    }
    if (m_window != nullptr) SHFullScreen(m_window, kShowShellBars);
    if (m_app != nullptr) m_app->Shutdown();
    delete m_core;
    m_core = nullptr;
    SetCore(nullptr);
    delete m_app;
    m_app = nullptr;
    SetApplication(nullptr);
    m_events.Clear();
}

UINT_PTR CApplet::StartTimer() {
    const UINT_PTR result = SetTimer(m_window, kTimerId, kFramePeriodMs, nullptr);
    m_timerRunning = 1;
    return result;
}

void CApplet::StopTimer() {
    KillTimer(m_window, kTimerId);
    m_timerRunning = 0;
}

void CApplet::DispatchEvents() {
    if (m_app == nullptr) return;
    CAppEvent event;
    // A handler may queue more events (and grow the queue): they go out in
    // this pass, so the count is read again every time.
    for (int32_t i = 0; i < m_events.GetCount(); ++i) {
        m_events.GetAt(&event, i);
        m_app->HandleEvent(event.id, event.arg1, event.arg2);
    }
    m_events.Reset();
    m_app->RunFrame();
    m_refreshPosted = 0;
}

bool CApplet::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
        case WM_CLOSE:
            PostQuit();
            return true;
        case WM_ACTIVATE:
            OnActivate(window, wParam, lParam);
            return false;
        case WM_SETFOCUS:
            OnSetFocus(window);
            return false;
        case WM_KILLFOCUS:
            SHFullScreen(m_window, kShowShellBars);
            return false;
        case WM_PAINT:
            OnPaint(window);
            return true;
        case WM_SETTINGCHANGE:
            OnSettingChange(wParam, lParam);
            return false;
        case WM_WINDOWPOSCHANGED:
            OnWindowPosChanged(window);
            return true;
        case WM_KEYDOWN:
            OnKeyDown(wParam, lParam);
            return true;
        case WM_KEYUP:
            OnKeyUp(wParam, lParam);
            return true;
        case WM_TIMER:
            OnTimer();
            return true;
        case WM_HSCROLL:
        case WM_VSCROLL:
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
            return true;
        case WM_MOUSEMOVE:
            QueuePointerEvent(EngineEvent::kMouseMove, HeldButtons(wParam), lParam);
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            QueuePointerEvent(EngineEvent::kMouseButtonDown, ButtonOf(message), lParam);
            return false;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            QueuePointerEvent(EngineEvent::kMouseButtonUp, ButtonOf(message), lParam);
            return false;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            QueuePointerEvent(EngineEvent::kMouseButtonDoubleClick, ButtonOf(message), lParam);
            return false;
        case WM_HIBERNATE:
            m_events.Post(EngineEvent::kHibernate, 0, 0);
            return true;
        default:
            return false;
    }
}

void CApplet::OnActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    const WORD state = LOWORD(wParam);
    if (state == WA_ACTIVE || state == WA_CLICKACTIVE) {
        if (m_active == 0) {
            m_events.Post(EngineEvent::kAppResume, 0, 0);
            StartTimer();
        } else {
            m_events.Post(EngineEvent::kRefresh, 0, 0);
        }
        m_active = 1;
    } else if (state == WA_INACTIVE) {
        if (m_active != 0) {
            StopTimer();
            m_events.Post(EngineEvent::kAppSuspend, 0, 0);
            DispatchEvents();
        }
        m_active = 0;
    }
    SHHandleWMActivate(window, wParam, lParam, &m_activationInfo, 0);
}

void CApplet::OnSetFocus(HWND window) {
    for (int32_t i = 0; i < 2; ++i) {
        SetForegroundWindow(window);
        SHFullScreen(window, kHideShellBars);
    }
    MoveWindow(window, 0, 0, m_width, m_height, 1);
}

void CApplet::OnPaint(HWND window) {
    if (m_refreshPosted == 0) {
        m_events.Post(EngineEvent::kRefresh, 0, 0);
        m_refreshPosted = 1;
    }
    ValidateRect(window, nullptr);
}

void CApplet::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    if (wParam == SETTINGCHANGE_RESET) {
        ReadScreenSize();
        m_events.Post(EngineEvent::kDeviceOrientationChanged, 0, 0);
        m_events.Post(EngineEvent::kOrientationFollowUp, 0, 0);
        m_events.Post(EngineEvent::kRefresh, 0, 0);
    }
    SHHandleWMSettingChange(m_window, wParam, lParam, &m_activationInfo);
}

void CApplet::OnWindowPosChanged(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    m_width = client.right - client.left;
    m_height = client.bottom - client.top;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
}

void CApplet::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    // Auto-repeat gives nothing; the soft keys act when they are released.
    if ((lParam & kRepeatBit) != 0 || wParam == VK_F1 || wParam == VK_F2) return;
    const uint32_t key = MapVirtualKey(LOWORD(wParam));
    if (key != 0) m_events.Post(EngineEvent::kKeyPressed, key, 0);
}

void CApplet::OnKeyUp(WPARAM wParam, LPARAM lParam) {
    if ((lParam & kRepeatBit) == 0) return;
    if (wParam == VK_F4) PostQuit();
    const uint32_t key = MapVirtualKey(LOWORD(wParam));
    if (key == kSoftKeyLeft || key == kSoftKeyRight) {
        m_events.Post(EngineEvent::kKeyPressed, key, 0);
    } else if (key != 0) {
        m_events.Post(EngineEvent::kKeyReleased, key, 0);
    }
}

void CApplet::OnTimer() {
    if (m_timerRunning == 0) return;
    DispatchEvents();
    // The period counts from the end of the frame.
    StartTimer();
}

void CApplet::QueuePointerEvent(uint32_t id, uint32_t button, LPARAM lParam) {
    int32_t x = LOWORD(static_cast<uintptr_t>(lParam));
    int32_t y = HIWORD(static_cast<uintptr_t>(lParam));
    ScaleStylusPoint(&x, &y);
    const uint32_t point = (static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16);
    m_events.Post(id, button, point);
}

uint32_t CApplet::ButtonOf(UINT message) {
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return 1;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return 2;
        default:
            return 0;
    }
}

uint32_t CApplet::HeldButtons(WPARAM wParam) {
    return ((wParam & MK_LBUTTON) != 0 ? 1u : 0u) | ((wParam & MK_RBUTTON) != 0 ? 2u : 0u) |
           ((wParam & MK_MBUTTON) != 0 ? 4u : 0u);
}

void CApplet::ScaleStylusPoint(int32_t* x, int32_t* y) {
    *x /= 2;
    *y /= 2;
}

uint32_t CApplet::MapVirtualKey(uint32_t virtualKey) const {
    int32_t count = 0;
    const DeviceKeyMapping* table = m_app != nullptr ? m_app->GetDeviceKeyTable(&count) : nullptr;
    for (int32_t i = 0; table != nullptr && i < count; ++i) {
        if (table[i].deviceKey == virtualKey) return table[i].engineKey;
    }
    // A disabled number pad wins over the plain-character rule below.
    if (m_app != nullptr && m_app->IsNumpadDisabled() && IsDigitKey(virtualKey)) return 0;
    const uint32_t key = FixedKeyOf(virtualKey);
    if (key == 0 && IsPlainCharacter(virtualKey)) return virtualKey;
    return key;
}

uint32_t CApplet::FixedKeyOf(uint32_t virtualKey) {
    if (IsDigitKey(virtualKey)) return virtualKey;
    for (const FixedKey& fixed : kFixedKeys) {
        if (fixed.virtualKey == virtualKey) return fixed.engineKey;
    }
    return 0;
}

bool CApplet::OpenLog() {
    // The log opened before is done with, whatever became of it.
    static_cast<void>(CloseLog());
    m_logFile = CreateFileW(kLogPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
    return m_logFile != INVALID_HANDLE_VALUE;
}

bool CApplet::WriteLog(const char* text) {
    if (m_logFile == INVALID_HANDLE_VALUE || text == nullptr) return false;
    DWORD written = 0;
    return WriteFile(m_logFile, text, static_cast<DWORD>(StrLen(text)), &written, nullptr) != 0 &&
           WriteFile(m_logFile, "\n", 1, &written, nullptr) != 0;
}

bool CApplet::CloseLog() {
    if (m_logFile == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(m_logFile) != 0;
    const bool closed = CloseHandle(m_logFile) != 0;
    m_logFile = INVALID_HANDLE_VALUE;
    return flushed && closed;
}

CApplet* GetApplet() { return dynamic_cast<CApplet*>(CAppletBase::GetCurrent()); }
