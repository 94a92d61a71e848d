#ifndef WINCESHELL_H
#define WINCESHELL_H

// The handset shell's calls the program makes: full-screen control of the
// taskbar, input-panel button and start icon, the activation and setting-
// change handlers, and starting a document or address with the shell. The
// stand-in records what they would change (HostDeviceRecord).

#include "WinCeWindow.h"

// Full-screen control flags.
constexpr DWORD SHFS_SHOWTASKBAR = 0x0001;
constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
constexpr DWORD SHFS_SHOWSIPBUTTON = 0x0004;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;
constexpr DWORD SHFS_SHOWSTARTICON = 0x0010;
constexpr DWORD SHFS_HIDESTARTICON = 0x0020;

// State the shell keeps for a window between activations.
struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    DWORD flags;
};

struct SHELLEXECUTEINFO {
    DWORD cbSize;
    uint32_t fMask;
    HWND hwnd;
    const char16_t* lpVerb;
    const char16_t* lpFile;
    const char16_t* lpParameters;
    const char16_t* lpDirectory;
    int32_t nShow;
    HINSTANCE hInstApp;
};

// Hides or shows the bars the flags name; FALSE for an unknown window.
BOOL SHFullScreen(HWND window, DWORD flags);
// Both need info->cbSize == sizeof(SHACTIVATEINFO); they change nothing
// on the host.
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
// Needs info->cbSize == sizeof(SHELLEXECUTEINFO) and a file. The request
// is logged and recorded; nothing is started, and the answer is the
// record's shellExecuteSucceeds (false unless a test says otherwise).
BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

#endif
