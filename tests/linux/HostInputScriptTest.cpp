#include "HeadlessBackend.h"
#include "HostInputScript.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "WinCeTime.h"
#include "WinCeWindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

typedef HostInputEvent::Kind Kind;

TEST(HostInputScript, ReadsEveryEvent) {
    const std::string text =
        "# a session\n"
        "0 down LEFT   # first\n"
        "\n"
        "  10\tREPEAT left\r\n"
        "20 up 0x25\n"
        "20 press 5\n"
        "25 press a\n"
        "30 tap 301 101\n"
        "40 touch 0 32767\n"
        "41 move 5 6\n"
        "42 release 7 8\n"
        "50 rotate\n"
        "60 suspend\n"
        "70 resume\n"
        "80 power 0x1400000\n"
        "81 power 16\n"
        "90 press F24\n"
        "95 press back\n"
        "100 close";
    HostInputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse(text, &error)) << error;
    const std::vector<HostInputEvent>& events = script.Events();
    ASSERT_EQ(events.size(), 17u);
    EXPECT_EQ(events[0].kind, Kind::KeyDown);
    EXPECT_EQ(events[0].a, 0x25u);
    EXPECT_EQ(events[1].timeMs, 10u);
    EXPECT_EQ(events[1].kind, Kind::KeyRepeat);
    EXPECT_EQ(events[2].a, 0x25u);
    EXPECT_EQ(events[3].a, static_cast<uint32_t>('5'));
    EXPECT_EQ(events[4].a, static_cast<uint32_t>('A'));
    EXPECT_EQ(events[5].kind, Kind::Tap);
    EXPECT_EQ(events[5].a, 301u);
    EXPECT_EQ(events[5].b, 101u);
    EXPECT_EQ(events[6].b, 32767u);
    EXPECT_EQ(events[9].kind, Kind::Rotate);
    EXPECT_EQ(events[12].a, 0x1400000u);
    EXPECT_EQ(events[13].a, 16u);
    EXPECT_EQ(events[14].a, 0x87u);
    EXPECT_EQ(events[15].a, 0x08u);
    EXPECT_EQ(events[16].kind, Kind::Close);
    EXPECT_EQ(events[16].timeMs, 100u);
}

TEST(HostInputScript, MalformedLinesNameTheirLine) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"0 down LEFT\n5 jump\n", "input script line 2: unknown event 'jump'"},
        {"x down LEFT", "input script line 1: time 'x' is not a number"},
        {"-5 down LEFT", "line 1: time '-5'"},
        {"99999999999 close", "line 1: time"},
        {"2147483648 close", "line 1: time"},
        {"10 close\n5 close", "line 2: time goes back from 10"},
        {"10", "line 1: no event after the time"},
        {"1 tap 3", "line 1: 'tap' takes 2 argument(s), found 1"},
        {"1 close now", "line 1: 'close' takes 0 argument(s), found 1"},
        {"1 tap 32768 0", "line 1: coordinates"},
        {"1 tap -1 0", "line 1: coordinates"},
        {"1 down NOKEY", "line 1: unknown key 'NOKEY'"},
        {"1 down 0x100", "line 1: unknown key"},
        {"1 down 0x00", "line 1: unknown key"},
        {"1 down F25", "line 1: unknown key"},
        {"1 down F0", "line 1: unknown key"},
        {"1 down !", "line 1: unknown key"},
        {"1 power 0x123456789", "line 1: flags"},
        {"1 power 4294967296", "line 1: flags"},
        {"\n\n1 clo\x01se", "line 3: control character"},
        {std::string("1 close\0", 8), "line 1: control character"},
        {"1 close " + std::string(1100, ' '), "line 1: line longer than 1024"},
    };
    for (const auto& c : cases) {
        HostInputScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_TRUE(script.Events().empty());
    }
}

TEST(HostInputScript, OversizedAndMissingInputAreRefused) {
    HostInputScript script;
    std::string error;
    EXPECT_FALSE(script.Parse(std::string(HostInputScript::kMaxBytes + 1, '#'), &error));
    EXPECT_NE(error.find("larger than 16 MiB"), std::string::npos);
    // A directory opens, but reads nothing: no empty script either.
    const std::string directory = ::testing::TempDir();
    EXPECT_FALSE(script.Load(directory, &error));
    EXPECT_EQ(error, "input script " + directory + " cannot be read");
    EXPECT_TRUE(script.Events().empty());
    EXPECT_FALSE(script.Load("/nonexistent/script.txt", &error));
    EXPECT_EQ(error, "input script /nonexistent/script.txt cannot be read");
    std::string headlessError;
    EXPECT_EQ(HeadlessBackend::Create("/nonexistent/script.txt", &headlessError), nullptr);
    EXPECT_EQ(headlessError, error);
}

std::vector<MSG> g_received;

LRESULT KeepingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG kept{window, message, wParam, lParam, GetTickCount(), POINT{0, 0}};
    g_received.push_back(kept);
    return DefWindowProcW(window, message, wParam, lParam);
}

class HeadlessBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_received.clear();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = KeepingProc;
        windowClass.lpszClassName = u"c";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        m_window = CreateWindowExW(0, u"c", u"c", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr, nullptr, nullptr);
    }

    // Runs the loop until WM_QUIT.
    static void RunLoop() {
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) != 0) DispatchMessageW(&message);
    }

    static std::vector<MSG> Received(UINT message) {
        std::vector<MSG> matching;
        for (const MSG& received : g_received) {
            if (received.message == message) matching.push_back(received);
        }
        return matching;
    }

    HostTestEnvironment m_environment;
    HWND m_window = nullptr;
};

TEST_F(HeadlessBackendTest, ScriptEventsArriveAtTheirTimes) {
    const std::string path = m_environment.Directory() + "/input.txt";
    std::ofstream(path) << "0 press 7\n250 tap 301 101\n1000 close\n";
    std::string error;
    HeadlessBackend* backend = HeadlessBackend::Create(path, &error);
    ASSERT_NE(backend, nullptr) << error;
    HostWindowSystem::SetBackend(backend);
    // A frame timer keeps the loop running between the events.
    SetTimer(m_window, 1, 40, nullptr);
    const DWORD start = GetTickCount();
    RunLoop();

    const std::vector<MSG> keys = Received(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('7'));
    EXPECT_EQ(keys[0].time - start, 0u);
    const std::vector<MSG> taps = Received(WM_LBUTTONDOWN);
    ASSERT_EQ(taps.size(), 1u);
    EXPECT_EQ(taps[0].time - start, 250u);
    EXPECT_EQ(taps[0].lParam, 301 | (101 << 16));
    EXPECT_EQ(Received(WM_LBUTTONUP).size(), 1u);
    ASSERT_EQ(Received(WM_CLOSE).size(), 1u);
    EXPECT_EQ(Received(WM_CLOSE)[0].time - start, 1000u);
    // The timer kept its rhythm around the script's events; the close at
    // 1000 ms came before the timer due then and took the window with it.
    const std::vector<MSG> timers = Received(WM_TIMER);
    ASSERT_EQ(timers.size(), 24u);
    EXPECT_EQ(timers.back().time - start, 960u);
    EXPECT_EQ(backend->PendingEvents(), 0u);
}

TEST_F(HeadlessBackendTest, WithoutTimerTheLoopJumpsToTheNextEvent) {
    HostInputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("5000 press UP\n", &error));
    HostWindowSystem::SetBackend(new HeadlessBackend(script));
    const DWORD start = GetTickCount();
    // After the script nothing can happen: the window is asked to close.
    RunLoop();
    ASSERT_EQ(Received(WM_KEYUP).size(), 1u);
    EXPECT_EQ(Received(WM_KEYUP)[0].time - start, 5000u);
    EXPECT_EQ(Received(WM_CLOSE).size(), 1u);
}

TEST_F(HeadlessBackendTest, KeepsTheLastGoodFrame) {
    HeadlessBackend backend{HostInputScript()};
    // Two rows stored bottom-up: the top row lies last in memory.
    const uint16_t bottomUp[4] = {0x3333, 0x4444, 0x1111, 0x2222};
    ASSERT_TRUE(backend.PresentFrame(&bottomUp[2], 2, 2, -4, HostFrame::kR5G6B5));
    EXPECT_EQ(backend.LastFrame().PixelAt(0, 0), 0x1111u);
    EXPECT_EQ(backend.LastFrame().PixelAt(1, 1), 0x4444u);
    EXPECT_EQ(backend.LastFrame().PixelAt(2, 0), 0u);

    const uint32_t pixel = 0xFF102030;
    EXPECT_FALSE(backend.PresentFrame(&pixel, 1, 1, 4, 0x12345));
    EXPECT_FALSE(backend.PresentFrame(&pixel, 1, 1, 2, HostFrame::kA8R8G8B8));
    EXPECT_FALSE(backend.PresentFrame(&pixel, 0, 1, 4, HostFrame::kA8R8G8B8));
    EXPECT_FALSE(backend.PresentFrame(&pixel, HostFrame::kMaxSide + 1, 1, 4, HostFrame::kA8R8G8B8));
    EXPECT_FALSE(backend.PresentFrame(nullptr, 1, 1, 4, HostFrame::kA8R8G8B8));
    EXPECT_EQ(backend.FramesPresented(), 1u);
    EXPECT_EQ(backend.LastFrame().Width(), 2);
    ASSERT_TRUE(backend.PresentFrame(&pixel, 1, 1, 4, HostFrame::kX8R8G8B8));
    EXPECT_EQ(backend.LastFrame().PixelAt(0, 0), 0xFF102030u);
    EXPECT_EQ(backend.FramesPresented(), 2u);

    // The kept buffer is reused: a frame of the first size again shows its
    // own pixels, top-down this time, and nothing of the frames before.
    const uint16_t topDown[4] = {0x5555, 0x6666, 0x7777, 0x8888};
    ASSERT_TRUE(backend.PresentFrame(topDown, 2, 2, 4, HostFrame::kR5G6B5));
    EXPECT_EQ(backend.LastFrame().Bytes().size(), 8u);
    EXPECT_EQ(backend.LastFrame().PixelAt(0, 0), 0x5555u);
    EXPECT_EQ(backend.LastFrame().PixelAt(1, 1), 0x8888u);
    EXPECT_EQ(backend.KeptFrame(), &backend.LastFrame());
}

TEST_F(HeadlessBackendTest, FramesNotKeptAreStillCheckedAndCounted) {
    HeadlessBackend backend{HostInputScript()};
    backend.KeepFrames(false);
    const uint16_t pixels[4] = {0x1111, 0x2222, 0x3333, 0x4444};
    ASSERT_TRUE(backend.PresentFrame(pixels, 2, 2, 4, HostFrame::kR5G6B5));
    EXPECT_FALSE(backend.PresentFrame(pixels, 2, 2, 2, HostFrame::kR5G6B5));
    EXPECT_EQ(backend.FramesPresented(), 1u);
    EXPECT_EQ(backend.KeptFrame(), nullptr);
    EXPECT_TRUE(backend.LastFrame().IsEmpty());
}

}  // namespace
