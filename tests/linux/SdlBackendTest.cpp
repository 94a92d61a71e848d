#include "HostFrame.h"
#include "HostSystemInfo.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "SdlBackend.h"
#include "WinCeMsgQueue.h"
#include "WinCeWindow.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr UINT kSentinel = 0x7FFF;

std::vector<MSG> g_received;

LRESULT KeepingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_received.push_back(MSG{window, message, wParam, lParam, 0, POINT{0, 0}});
    return DefWindowProcW(window, message, wParam, lParam);
}

class SdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The tests never open a real display.
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        std::string error;
        m_backend = SdlBackend::Create(&error);
        ASSERT_NE(m_backend, nullptr) << error;
        HostWindowSystem::SetBackend(m_backend);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = KeepingProc;
        windowClass.lpszClassName = u"c";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        m_window = CreateWindowExW(0, u"c", u"handset", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr, nullptr,
                                   nullptr);
        ASSERT_NE(m_window, nullptr);
        Collect();
    }

    // Every message the pending SDL events produced, in order.
    std::vector<MSG> Collect() {
        m_backend->Pump(0);
        PostMessageW(m_window, kSentinel, 0, 0);
        g_received.clear();
        MSG message{};
        do {
            GetMessageW(&message, nullptr, 0, 0);
            DispatchMessageW(&message);
        } while (message.message != kSentinel);
        g_received.pop_back();
        std::vector<MSG> received;
        for (const MSG& kept : g_received) {
            if (kept.message != WM_PAINT) received.push_back(kept);
        }
        return received;
    }

    void PushKey(SDL_Keycode key, bool down, bool repeat) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = m_backend->WindowId();
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.sym = key;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushButton(bool down, uint8_t button, int32_t x, int32_t y, uint8_t clicks = 1) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = m_backend->WindowId();
        event.button.button = button;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = clicks;
        event.button.x = x;
        event.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushWindowEvent(uint8_t what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = m_backend->WindowId();
        event.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    static std::vector<UINT> MessagesOf(const std::vector<MSG>& received) {
        std::vector<UINT> messages;
        for (const MSG& message : received) messages.push_back(message.message);
        return messages;
    }

    HostTestEnvironment m_environment;
    SdlBackend* m_backend = nullptr;
    HWND m_window = nullptr;
};

TEST_F(SdlBackendTest, KeysBecomeKeyMessagesWithTheRepeatBit) {
    EXPECT_NE(m_backend->WindowId(), 0u);
    PushKey(SDLK_LEFT, true, false);
    PushKey(SDLK_LEFT, true, true);
    PushKey(SDLK_LEFT, false, false);
    PushKey(SDLK_a, true, false);
    PushKey(SDLK_KP_5, true, false);
    PushKey(SDLK_F2, true, false);
    PushKey(SDLK_CAPSLOCK, true, false);
    const std::vector<MSG> received = Collect();
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[0].message, WM_KEYDOWN);
    EXPECT_EQ(received[0].wParam, VK_LEFT);
    EXPECT_EQ(received[0].lParam & 0x40000000, 0);
    EXPECT_EQ(received[1].lParam & 0x40000000, 0x40000000);
    EXPECT_EQ(received[2].message, WM_KEYUP);
    EXPECT_EQ(received[2].lParam & 0x40000000, 0x40000000);
    EXPECT_EQ(received[3].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(received[4].wParam, static_cast<WPARAM>('5'));
    EXPECT_EQ(received[5].wParam, VK_F2);
}

TEST_F(SdlBackendTest, MouseBecomesStylusAtDeviceCoordinates) {
    PushButton(true, SDL_BUTTON_LEFT, 301, 101);
    PushButton(false, SDL_BUTTON_LEFT, 302, 102);
    PushButton(true, SDL_BUTTON_RIGHT, 10, 20);
    std::vector<MSG> received = Collect();
    ASSERT_EQ(MessagesOf(received), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN}));
    EXPECT_EQ(received[0].lParam, 301 | (101 << 16));
    EXPECT_EQ(received[0].wParam, MK_LBUTTON);
    EXPECT_EQ(received[1].lParam, 302 | (102 << 16));
    EXPECT_EQ(received[2].wParam, MK_RBUTTON);

    // A window twice as wide as the screen's shape allows shows the screen
    // centred: the bars beside it are outside the device.
    SDL_SetWindowSize(SDL_GetWindowFromID(m_backend->WindowId()), 1920, 1280);
    int32_t x = -1;
    int32_t y = -1;
    EXPECT_TRUE(m_backend->DevicePointOf(480 + 602, 202, &x, &y));
    EXPECT_EQ(x, 301);
    EXPECT_EQ(y, 101);
    EXPECT_FALSE(m_backend->DevicePointOf(100, 202, &x, &y));
    EXPECT_EQ(x, 0);
    PushButton(false, SDL_BUTTON_RIGHT, 1082, 202);
    PushButton(true, SDL_BUTTON_LEFT, 100, 202);
    received = Collect();
    ASSERT_EQ(MessagesOf(received), (std::vector<UINT>{WM_RBUTTONUP}));
    EXPECT_EQ(received[0].lParam, 301 | (101 << 16));
}

TEST_F(SdlBackendTest, WindowCloseAndFocusBecomeCloseAndActivation) {
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    const std::vector<MSG> received = Collect();
    ASSERT_EQ(MessagesOf(received), (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(LOWORD(received[0].wParam), WA_INACTIVE);
    EXPECT_EQ(LOWORD(received[2].wParam), WA_ACTIVE);

    // The close button is followed by SDL's quit: one WM_CLOSE, whose
    // default handling destroys the window, and the desktop window with it.
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    g_received.clear();
    MSG message{};
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    DispatchMessageW(&message);
    EXPECT_EQ(MessagesOf(g_received), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(m_backend->WindowId(), 0u);
    m_backend->Pump(0);
    EXPECT_EQ(FindWindowW(u"c", nullptr), nullptr);
}

TEST_F(SdlBackendTest, DeviceKeysRotateSuspendAndSendPowerEvents) {
    const MSGQUEUEOPTIONS options{sizeof(MSGQUEUEOPTIONS), 0, 0, 1024, 1};
    HANDLE queue = CreateMsgQueue(u"powerMsgQueue", &options);
    HANDLE request = RequestPowerNotifications(queue, PBT_TRANSITION);

    PushKey(SDLK_F5, true, false);
    PushKey(SDLK_F5, false, false);
    PushKey(SDLK_F10, true, false);
    PushKey(SDLK_F10, true, true);
    PushKey(SDLK_F11, true, false);
    std::vector<MSG> received = Collect();
    ASSERT_EQ(MessagesOf(received), (std::vector<UINT>{WM_SETTINGCHANGE, WM_ACTIVATE, WM_KILLFOCUS}));
    EXPECT_EQ(received[0].wParam, SETTINGCHANGE_RESET);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    int32_t width = 0;
    int32_t height = 0;
    SDL_GetWindowSize(SDL_GetWindowFromID(m_backend->WindowId()), &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);

    uint8_t buffer[1024];
    DWORD read = 0;
    DWORD flags = 0;
    ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
    EXPECT_EQ(buffer[4] | buffer[5] << 8 | buffer[6] << 16, 0x400000);

    PushKey(SDLK_F10, true, false);
    received = Collect();
    ASSERT_EQ(MessagesOf(received), (std::vector<UINT>{WM_ACTIVATE, WM_SETFOCUS}));
    StopPowerNotifications(request);
    CloseMsgQueue(queue);
}

TEST_F(SdlBackendTest, PresentsFramesOfKnownFormats) {
    std::vector<uint16_t> pixels(480 * 640, 0xF800);
    EXPECT_TRUE(m_backend->PresentFrame(pixels.data(), 480, 640, 960, HostFrame::kR5G6B5));
    EXPECT_FALSE(m_backend->PresentFrame(pixels.data(), 480, 640, 960, 0x1234));
    EXPECT_EQ(SdlBackend::VirtualKeyOf(SDLK_KP_0), static_cast<uint32_t>('0'));
    EXPECT_EQ(SdlBackend::VirtualKeyOf(SDLK_F13), 0x7Cu);
    EXPECT_EQ(SdlBackend::VirtualKeyOf(SDLK_BACKSPACE), VK_BACK);
}

}  // namespace
