#include "WinCeWindow.h"

#include "HostBackend.h"
#include "HostDeviceRecord.h"
#include "HostFaults.h"
#include "HostText.h"
#include "HostSystemInfo.h"
#include "HostWindow.h"
#include "HostWindowSystem.h"

#include <cstdio>

namespace {

constexpr int32_t kIdOk = 1;
constexpr uintptr_t kIconToken = 0x1C0;
constexpr uintptr_t kCursorToken = 0xC50;

bool IsEmpty(const char16_t* text) { return text == nullptr || text[0] == 0; }

int32_t DefaultPlace(int32_t value) { return value == CW_USEDEFAULT ? 0 : value; }

bool KnownWindow(HWND window) {
    if (HostWindowSystem::Find(window) != nullptr) return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

}  // namespace

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (windowClass == nullptr || IsEmpty(windowClass->lpszClassName) || windowClass->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (HostFaults::IsSet(HostFault::RegisterClass)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    ATOM atom = 0;
    return HostWindowSystem::RegisterClass(*windowClass, &atom) ? atom : 0;
}

BOOL UnregisterClassW(const char16_t* className, HINSTANCE) {
    return HostWindowSystem::UnregisterClass(className) ? 1 : 0;
}

HWND CreateWindowExW(DWORD, const char16_t* className, const char16_t* title, DWORD style, int32_t x, int32_t y,
                     int32_t width, int32_t height, HWND parent, HMENU, HINSTANCE, void*) {
    if (parent != nullptr || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HostFaults::IsSet(HostFault::CreateWindow)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const int32_t left = DefaultPlace(x);
    const int32_t top = DefaultPlace(y);
    return HostWindowSystem::CreateWindow(className, title, style, RECT{left, top, left + width, top + height});
}

BOOL DestroyWindow(HWND window) { return HostWindowSystem::DestroyWindow(window) ? 1 : 0; }

HWND FindWindowW(const char16_t* className, const char16_t* title) {
    return HostWindowSystem::FindWindow(className, title);
}

BOOL ShowWindow(HWND window, int32_t command) {
    return HostWindowSystem::Show(window, command != SW_HIDE) ? 1 : 0;
}

BOOL MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, BOOL repaint) {
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return HostWindowSystem::Move(window, RECT{x, y, x + width, y + height}, repaint != 0) ? 1 : 0;
}

BOOL SetForegroundWindow(HWND window) {
    // Another process's window is not this host's to raise; the program
    // says in its own line that another instance runs.
    if (window == HostWindowSystem::ForeignWindow()) return 1;
    if (!KnownWindow(window)) return 0;
    return HostWindowSystem::Activate(window) ? 1 : 0;
}

BOOL RedrawWindow(HWND window, const RECT*, void*, UINT flags) {
    HostWindow* target = HostWindowSystem::Find(window);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if ((flags & RDW_INVALIDATE) != 0) target->Invalidate();
    return 1;
}

BOOL ValidateRect(HWND window, const RECT*) {
    HostWindow* target = HostWindowSystem::Find(window);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    target->Validate();
    return 1;
}

BOOL GetClientRect(HWND window, RECT* out) {
    const HostWindow* target = HostWindowSystem::Find(window);
    if (target == nullptr || out == nullptr) {
        SetLastError(target == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    const RECT& rect = target->Rect();
    *out = RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    return 1;
}

BOOL GetMessageW(MSG* message, HWND window, UINT, UINT) {
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return HostWindowSystem::GetMessage(message, window) ? 1 : 0;
}

BOOL TranslateMessage(const MSG*) { return 0; }

LRESULT DispatchMessageW(const MSG* message) {
    return message == nullptr ? 0 : HostWindowSystem::Dispatch(*message);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        HostWindowSystem::DestroyWindow(window);
    } else if (message == WM_PAINT) {
        ValidateRect(window, nullptr);
    }
    return 0;
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return HostWindowSystem::Post(window, message, wParam, lParam) ? 1 : 0;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return HostWindowSystem::Send(window, message, wParam, lParam);
}

void PostQuitMessage(int32_t exitCode) { HostWindowSystem::PostQuit(exitCode); }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC callback) {
    return HostWindowSystem::SetTimer(window, id, elapseMs, callback) ? id : 0;
}

BOOL KillTimer(HWND window, UINT_PTR id) { return HostWindowSystem::KillTimer(window, id) ? 1 : 0; }

int32_t GetSystemMetrics(int32_t index) {
    switch (index) {
        case SM_CXSCREEN:
            return HostSystemInfo::ScreenWidth();
        case SM_CYSCREEN:
            return HostSystemInfo::ScreenHeight();
        default:
            return 0;
    }
}

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    *info = OSVERSIONINFOW{};
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    info->dwMajorVersion = HostSystemInfo::OsMajor();
    info->dwMinorVersion = HostSystemInfo::OsMinor();
    return 1;
}

BOOL AllKeys(BOOL take) {
    HostDeviceRecord& record = HostDeviceRecord::Get();
    ++record.allKeysCalls;
    if (HostFaults::IsSet(take != 0 ? HostFault::AllKeysTake : HostFault::AllKeysGive)) return 0;
    record.keysTaken = take != 0;
    return 1;
}

int32_t MessageBoxW(HWND, const char16_t* text, const char16_t* caption, UINT) {
    const std::string captionText = HostTextToUtf8(caption);
    const std::string bodyText = HostTextToUtf8(text);
    std::fprintf(stderr, "[%s] %s\n", captionText.c_str(), bodyText.c_str());
    HostDeviceRecord::Get().messageBoxes.push_back(captionText + ": " + bodyText);
    if (HostWindowSystem::GetBackend() != nullptr) HostWindowSystem::GetBackend()->ShowMessage(captionText, bodyText);
    return kIdOk;
}

HICON LoadIconW(HINSTANCE, const char16_t* name) {
    return name == nullptr ? nullptr : reinterpret_cast<HICON>(kIconToken);
}

HCURSOR LoadCursorW(HINSTANCE, const char16_t* name) {
    return name == nullptr ? nullptr : reinterpret_cast<HCURSOR>(kCursorToken);
}
