#include "WinCeShell.h"

#include "HostDeviceRecord.h"
#include "HostText.h"
#include "HostWindowSystem.h"

#include <cstdio>

namespace {

// Applies one show/hide pair of flags to a bar's state.
void ApplyBar(DWORD flags, DWORD show, DWORD hide, bool* hidden) {
    if ((flags & hide) != 0) *hidden = true;
    if ((flags & show) != 0) *hidden = false;
}

bool ValidActivationInfo(HWND window, const SHACTIVATEINFO* info) {
    if (HostWindowSystem::Find(window) != nullptr && info != nullptr && info->cbSize == sizeof(SHACTIVATEINFO)) {
        return true;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

}  // namespace

BOOL SHFullScreen(HWND window, DWORD flags) {
    if (HostWindowSystem::Find(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    HostDeviceRecord& record = HostDeviceRecord::Get();
    record.fullScreenCalls.push_back(HostDeviceRecord::FullScreenCall{window, flags});
    ApplyBar(flags, SHFS_SHOWTASKBAR, SHFS_HIDETASKBAR, &record.taskbarHidden);
    ApplyBar(flags, SHFS_SHOWSIPBUTTON, SHFS_HIDESIPBUTTON, &record.inputButtonHidden);
    ApplyBar(flags, SHFS_SHOWSTARTICON, SHFS_HIDESTARTICON, &record.startIconHidden);
    return 1;
}

BOOL SHHandleWMActivate(HWND window, WPARAM, LPARAM, SHACTIVATEINFO* info, DWORD) {
    if (!ValidActivationInfo(window, info)) return 0;
    ++HostDeviceRecord::Get().activationCalls;
    return 1;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM, LPARAM, SHACTIVATEINFO* info) {
    if (!ValidActivationInfo(window, info)) return 0;
    ++HostDeviceRecord::Get().settingChangeCalls;
    return 1;
}

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
    if (info == nullptr || info->cbSize != sizeof(SHELLEXECUTEINFO) || info->lpFile == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HostDeviceRecord& record = HostDeviceRecord::Get();
    const std::string request = HostTextToUtf8(info->lpVerb) + " " + HostTextToUtf8(info->lpFile);
    std::fprintf(stderr, "Shell request not carried out on this host: %s\n", request.c_str());
    record.shellExecutes.push_back(request);
    if (!record.shellExecuteSucceeds) SetLastError(ERROR_INVALID_PARAMETER);
    return record.shellExecuteSucceeds ? 1 : 0;
}
