#include "CCore_Win32.h"

#include "WinCeShell.h"
#include "WinMain.h"

CCore_Win32* CCore_Win32::Create() { return new CCore_Win32(); }

void CCore_Win32::Exit() { PostQuit(); }

bool CCore_Win32::OpenUrl(const WChar* url) {
    if (url == nullptr || url[0] == 0) return false;
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof(SHELLEXECUTEINFO);
    info.fMask = 0;
    info.hwnd = nullptr;
    info.lpVerb = u"open";
    info.lpFile = url;
    info.lpParameters = u"";
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOWNORMAL;
    info.hInstApp = nullptr;
    const bool started = ShellExecuteEx(&info) != 0;
    if (started) Exit();
    return started;
}

uint32_t CCore_Win32::MapSoftKey(uint32_t engineKey) {
    return engineKey == kLeftSoftKey ? kLeftSoftKeyMeaning : kOtherSoftKeyMeaning;
}
