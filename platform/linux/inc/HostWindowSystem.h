#ifndef HOSTWINDOWSYSTEM_H
#define HOSTWINDOWSYSTEM_H

#include "WinCeWindow.h"

#include <string>

class HostBackend;
class HostWindow;

// The in-process window system behind the handset's window calls: window
// classes, windows with their queues and timers, the active window, the
// quit request and the host backend. Everything runs on the one thread that
// calls it.
class HostWindowSystem {
public:
    // Destroys every window (without messages), forgets the classes (and
    // releases their instance locks), the quit request and the backend.
    static void Reset();

    // Installs the backend (owned; null for none). Without one no input
    // arrives, and waits for a timer sleep, or on the virtual clock jump.
    static void SetBackend(HostBackend* backend);
    static HostBackend* GetBackend();

    // False (with the last error set) when the name is taken in this
    // process or its instance lock is held by another.
    static bool RegisterClass(const WNDCLASSW& windowClass, ATOM* outAtom);
    static bool UnregisterClass(const char16_t* className);
    static bool IsClassRegistered(const char16_t* className);

    static HWND CreateWindow(const char16_t* className, const char16_t* title, DWORD style, RECT rect);
    static bool DestroyWindow(HWND window);
    // The live window of a handle, or null.
    static HostWindow* Find(HWND window);
    static HWND FindWindow(const char16_t* className, const char16_t* title);
    // The window of another running instance, as FindWindow reports it.
    static HWND ForeignWindow();
    // The first window created and still alive, or null.
    static HWND MainWindow();
    static bool Show(HWND window, bool visible);
    // Nothing happens when the rectangle stays the same.
    static bool Move(HWND window, const RECT& rect, bool repaint);

    static bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Posts to every window.
    static void Broadcast(UINT message, WPARAM wParam, LPARAM lParam);
    static void PostQuit(int32_t exitCode);
    // False for WM_QUIT. `filter` null takes the messages of every window.
    static bool GetMessage(MSG* out, HWND filter);
    static LRESULT Dispatch(const MSG& message);

    static bool SetTimer(HWND window, UINT_PTR id, uint32_t intervalMs, TIMERPROC callback);
    static bool KillTimer(HWND window, UINT_PTR id);

    // Makes the window the active one; the previous one gets WM_ACTIVATE
    // (inactive) and WM_KILLFOCUS, the new one WM_ACTIVATE (active) and
    // WM_SETFOCUS, all posted. Nothing happens when it is active already.
    static bool Activate(HWND window);
    // Deactivates the active window, as when the device is switched away
    // from the program; Reactivate brings it back.
    static void Deactivate();
    static void Reactivate();
    static HWND ActiveWindow();
    // Posts to the active window; dropped while none is active.
    static void PostToActive(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static bool TakeNext(MSG* out, HWND filter);
    static bool TakePosted(MSG* out, HWND filter);
    static bool TakePaint(MSG* out, HWND filter);
    static bool TakeTimer(MSG* out, HWND filter);
    static bool NextTimerWait(HWND filter, uint32_t* waitMs);
    static bool HasWork(HWND filter);
    static void WaitForWork(HWND filter);
    static void NothingLeftToWaitFor();
};

#endif
