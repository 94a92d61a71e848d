// A window that another X client destroys: the program closes as when the
// window's close button is pressed, instead of dying of X's error.

#include "HostFrame.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "SdlBackend.h"
#include "WinCeMsgQueue.h"
#include "WinCeWindow.h"
#include "X11WindowWatch.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

// After the test framework: X's macros (None, Bool, ...) clash with its names.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr UINT kSentinel = 0x7FFF;
constexpr int kAttempts = 200;
constexpr uint32_t kPauseMs = 5;
// The child takes a second or two; one caught in X's error path would
// otherwise hold the test until ctest gives up.
constexpr unsigned kChildSeconds = 60;

enum ChildStatus { kClosed = 0, kNotClosed = 2, kNoWindow = 3 };

bool g_closed = false;

// Notes the close and keeps the window, which the sentinel is posted to.
LRESULT WatchingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CLOSE) return DefWindowProcW(window, message, wParam, lParam);
    g_closed = true;
    return 0;
}

[[noreturn]] void EndChild(ChildStatus status, const char* why) {
    std::fputs(why, stderr);
    std::fflush(stderr);
    ::_exit(status);
}

// Destroys the window from a connection of its own, as another program would.
void DestroyFromOutside(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        EndChild(kNoWindow, "the window is not on X\n");
    }
    Display* other = XOpenDisplay(nullptr);
    if (other == nullptr) EndChild(kNoWindow, "no second connection to the display\n");
    XDestroyWindow(other, info.info.x11.window);
    XCloseDisplay(other);
}

// Handles the messages the backend's pending events produce.
void DispatchPending(HWND window) {
    PostMessageW(window, kSentinel, 0, 0);
    MSG message{};
    do {
        GetMessageW(&message, nullptr, 0, 0);
        DispatchMessageW(&message);
    } while (message.message != kSentinel);
}

void RunUntilClosed() {
    ::alarm(kChildSeconds);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    HostTestEnvironment environment;
    std::string error;
    SdlBackend* backend = SdlBackend::Create(&error);
    if (backend == nullptr) EndChild(kNoWindow, (error + "\n").c_str());
    HostWindowSystem::SetBackend(backend);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WatchingProc;
    windowClass.lpszClassName = u"lost";
    const HWND window = RegisterClassW(&windowClass) == 0
                            ? nullptr
                            : CreateWindowExW(0, u"lost", u"handset", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr,
                                              nullptr, nullptr);
    if (window == nullptr) EndChild(kNoWindow, "the handset's window cannot be made\n");
    DestroyFromOutside(SDL_GetWindowFromID(backend->WindowId()));
    const std::vector<uint16_t> pixels(480 * 640, 0x07E0);
    for (int i = 0; i < kAttempts && !g_closed; ++i) {
        backend->PresentFrame(pixels.data(), 480, 640, 480 * 2, HostFrame::kR5G6B5);
        backend->Pump(0);
        DispatchPending(window);
        SDL_Delay(kPauseMs);
    }
    EndChild(g_closed ? kClosed : kNotClosed, g_closed ? "" : "no close came\n");
}

TEST(SdlWindowLoss, WindowDestroyedByAnotherClientIsAClose) {
    if (!XvfbServer::IsInstalled()) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs xvfb): "
                        "a window destroyed from outside is not checked";
    }
    XvfbServer server;
    std::string error;
    ASSERT_TRUE(server.Start(1024, 768, &error)) << error;
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(RunUntilClosed(), ::testing::ExitedWithCode(kClosed), "");
}

// A second start of the backend installs the watch again: what it hands on
// to stays the handler from before the first, never the watch itself.
int g_handedOn = 0;

int CountHandedOn(Display*, XErrorEvent*) {
    ++g_handedOn;
    return 0;
}

TEST(SdlWindowLoss, AWatchInstalledTwiceHandsOtherFailuresOnToTheHandlerBefore) {
    const XErrorHandler original = XSetErrorHandler(CountHandedOn);
    X11WindowWatch::Install();
    X11WindowWatch::Install();
    const XErrorHandler watch = XSetErrorHandler(original);
    XErrorEvent error{};
    error.resourceid = 1;
    watch(nullptr, &error);
    EXPECT_EQ(g_handedOn, 1);
}

}  // namespace
