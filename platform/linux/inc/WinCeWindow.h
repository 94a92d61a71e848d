#ifndef WINCEWINDOW_H
#define WINCEWINDOW_H

// The handset's window, message and timer calls, served in process on the
// calling thread (see HostWindowSystem): every window keeps a queue of
// posted messages, timers count on the tick count, and input comes from the
// host backend. Sent messages call the window procedure at once.

#include "WinCeError.h"
#include "WinCeHandle.h"
#include "WinCeTypes.h"

#include <cstdint>

typedef uint16_t ATOM;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;

// Opaque, pointer-sized handles of their own types.
struct HostWindowTag;
typedef HostWindowTag* HWND;
struct HostInstanceTag;
typedef HostInstanceTag* HINSTANCE;
struct HostIconTag;
typedef HostIconTag* HICON;
struct HostCursorTag;
typedef HostCursorTag* HCURSOR;
struct HostBrushTag;
typedef HostBrushTag* HBRUSH;
struct HostMenuTag;
typedef HostMenuTag* HMENU;

typedef LRESULT (*WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef void (*TIMERPROC)(HWND window, UINT message, UINT_PTR id, DWORD ticks);

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int32_t cbClsExtra;
    int32_t cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char16_t* lpszMenuName;
    const char16_t* lpszClassName;
};

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// Carried by WM_WINDOWPOSCHANGED.
struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int32_t x;
    int32_t y;
    int32_t cx;
    int32_t cy;
    UINT flags;
};

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char16_t szCSDVersion[128];
};

constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(uint32_t low, uint32_t high) {
    return static_cast<LPARAM>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
// A resource named by number instead of text.
inline const char16_t* MAKEINTRESOURCEW(uint16_t id) {
    return reinterpret_cast<const char16_t*>(static_cast<uintptr_t>(id));
}

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
// The handset's request to give memory back.
constexpr UINT WM_HIBERNATE = 0x03FF;

// WM_ACTIVATE states (low word of wParam).
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;

// WM_SETTINGCHANGE wParam after the screen changed shape or resolution.
constexpr WPARAM SETTINGCHANGE_RESET = 0x3002;

// Key-message lParam bits: repeat count in bits 0..15, previous key state
// (set on auto-repeat key-downs and on every key-up) and transition state.
constexpr LPARAM KF_REPEAT_COUNT_ONE = 0x00000001;
constexpr LPARAM KF_PREVIOUS_DOWN = 0x40000000;
constexpr LPARAM KF_TRANSITION_UP = static_cast<LPARAM>(0x80000000u);

// Mouse-message wParam bits.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Virtual keys ('0'..'9' and 'A'..'Z' are their characters).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_F1 = 0x70;
constexpr uint32_t VK_F2 = 0x71;
constexpr uint32_t VK_F3 = 0x72;
constexpr uint32_t VK_F4 = 0x73;
constexpr uint32_t VK_F5 = 0x74;
constexpr uint32_t VK_F6 = 0x75;
constexpr uint32_t VK_F7 = 0x76;
constexpr uint32_t VK_F8 = 0x77;
constexpr uint32_t VK_F9 = 0x78;
constexpr uint32_t VK_F18 = 0x81;
constexpr uint32_t VK_F24 = 0x87;

// Class and window styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_EX_NODRAG = 0x40000000;
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000u);

constexpr int32_t SW_HIDE = 0;
constexpr int32_t SW_SHOWNORMAL = 1;
constexpr int32_t SW_SHOW = 5;

constexpr int32_t SM_CXSCREEN = 0;
constexpr int32_t SM_CYSCREEN = 1;

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;

constexpr UINT RDW_INVALIDATE = 0x0001;

constexpr uint16_t IDC_ARROW = 32512;

// Registers a window class; 0 when the name is taken, the record is
// incomplete, or the class's single-instance lock is held by another
// process (see HostInstanceLock).
ATOM RegisterClassW(const WNDCLASSW* windowClass);
// Unregisters the class and destroys what windows of it remain: on the
// handset the process ends right after, which takes them away.
BOOL UnregisterClassW(const char16_t* className, HINSTANCE instance);

// Creates a top-level window of a registered class. A visible window starts
// with its whole client area invalid and becomes the active window: its
// WM_ACTIVATE and WM_SETFOCUS are posted, so they arrive through the loop.
// CW_USEDEFAULT places it at 0, 0.
HWND CreateWindowExW(DWORD exStyle, const char16_t* className, const char16_t* title, DWORD style, int32_t x,
                     int32_t y, int32_t width, int32_t height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* parameter);
// Sends WM_DESTROY and removes the window with its messages and timers.
BOOL DestroyWindow(HWND window);
// A window of the class (and title, when given) in this process, or the
// window of another running instance that holds the class's lock.
HWND FindWindowW(const char16_t* className, const char16_t* title);
BOOL ShowWindow(HWND window, int32_t command);
// When the rectangle changes: sends WM_WINDOWPOSCHANGED, and `repaint`
// invalidates the client area. Otherwise nothing happens.
BOOL MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, BOOL repaint);
// Activates the window (deactivating the previous one) when it is not
// active yet; the activation messages are posted.
BOOL SetForegroundWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* area, void* region, UINT flags);
// Validates the whole client area (a partial rectangle counts as whole).
BOOL ValidateRect(HWND window, const RECT* area);
BOOL GetClientRect(HWND window, RECT* out);

// Waits for the next message: posted messages first, in posting order, then
// the quit request, then WM_PAINT for an invalid window, then WM_TIMER for a
// due timer. While waiting, the backend turns host input into messages;
// on the virtual clock time jumps to the next timer. Returns 0 for WM_QUIT.
BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
// WM_CLOSE destroys the window, WM_PAINT validates it; everything else 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int32_t exitCode);

// Starts or re-arms timer `id`: WM_TIMER comes `elapseMs` after this call
// and every `elapseMs` after that, one at a time, only when no other message
// waits. Returns `id`, or 0 for an unknown window.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);

int32_t GetSystemMetrics(int32_t index);
// Needs dwOSVersionInfoSize == sizeof(OSVERSIONINFOW).
BOOL GetVersionExW(OSVERSIONINFOW* info);
// Takes (true) or gives back (false) every hardware key.
BOOL AllKeys(BOOL take);
// Headless: written to standard error and recorded (HostDeviceRecord); the
// backend may show it as well. Returns IDOK (1).
int32_t MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type);
HICON LoadIconW(HINSTANCE instance, const char16_t* name);
HCURSOR LoadCursorW(HINSTANCE instance, const char16_t* name);

#endif
