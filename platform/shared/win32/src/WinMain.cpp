#include "WinMain.h"

#include "CApplet.h"

namespace {

constexpr uint16_t kIconResource = 101;
constexpr WChar kRegisterFailedText[] = u"Error Registering wndClass";

bool RegisterAppClass(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(IDC_ARROW));
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = CApplet::kAppName;
    return RegisterClassW(&windowClass) != 0;
}

}  // namespace

int32_t WinMain(HINSTANCE instance, HINSTANCE, WChar*, int32_t) {
    const HWND running = FindWindowW(CApplet::kAppName, CApplet::kAppName);
    if (running != nullptr) {
        SetForegroundWindow(running);
        return 0;
    }
    if (!RegisterAppClass(instance)) {
        MessageBoxW(nullptr, kRegisterFailedText, CApplet::kAppName, MB_ICONERROR);
        return 1;
    }
    int32_t result = 1;
    CApplet* applet = CApplet::Create(instance);
    if (applet != nullptr) {
        result = applet->Run();
        delete applet;
    }
    UnregisterClassW(CApplet::kAppName, instance);
    return result;
}

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CAppletBase* applet = CAppletBase::GetCurrent();
    if (applet != nullptr && applet->HandleWindowMessage(window, message, wParam, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

int32_t FilterWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CAppletBase* applet = CAppletBase::GetCurrent();
    return applet != nullptr && applet->FilterMessage(window, message, wParam, lParam) ? 1 : 0;
}

void PostQuit() { PostQuitMessage(0); }
