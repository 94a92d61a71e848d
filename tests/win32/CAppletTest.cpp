#include "AppletTestSupport.h"
#include "CApplet.h"
#include "CStringToKey.h"
#include "EngineEvents.h"
#include "HeadlessBackend.h"
#include "HostClock.h"
#include "HostDeviceRecord.h"
#include "HostFaults.h"
#include "HostInput.h"
#include "HostInstanceLock.h"
#include "HostSystemInfo.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "ICCore.h"
#include "WinCeMsgQueue.h"
#include "WinMain.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace EngineEvent;

struct Expected {
    uint32_t id;
    uint32_t arg1;
    uint32_t arg2;
};

bool operator==(const AppletRecord::Event& event, const Expected& expected) {
    return event.id == expected.id && event.arg1 == expected.arg1 && event.arg2 == expected.arg2;
}

std::string Describe(const std::vector<AppletRecord::Event>& events) {
    std::ostringstream text;
    for (const AppletRecord::Event& event : events) {
        text << std::hex << "{0x" << event.id << ", " << event.arg1 << ", " << event.arg2 << "} ";
    }
    return text.str();
}

void ExpectEvents(const std::vector<AppletRecord::Event>& events, const std::vector<Expected>& expected,
                  const std::string& what) {
    bool same = events.size() == expected.size();
    for (size_t i = 0; same && i < events.size(); ++i) same = events[i] == expected[i];
    EXPECT_TRUE(same) << what << ": got " << Describe(events);
}

HWND AppWindow() { return GetApplet()->GetWindowHandle(); }

void Post(UINT message, WPARAM wParam, LPARAM lParam) { PostMessageW(AppWindow(), message, wParam, lParam); }

class CAppletTest : public ::testing::Test {
protected:
    void SetUp() override { AppletRecord::Reset(); }
    void TearDown() override { AppletRecord::Reset(); }

    // One program run: `post` at 50 ms, the user closes it at 100 ms.
    // Returns the events handed out after the post, with their times
    // counted from the start of the run.
    std::vector<AppletRecord::Event> RunWith(std::function<void()> post) {
        AppletRecord::Reset();
        const uint32_t base = HostTestEnvironment::Elapsed();
        InstallTimeline().At(base + 50, std::move(post)).At(base + 100, [] { HostInput::Close(); });
        EXPECT_EQ(RunProgram(), 0);
        std::vector<AppletRecord::Event> events = AppletRecord::Get().EventsFrom(base + 50);
        for (AppletRecord::Event& event : events) event.ms -= base;
        return events;
    }

    HostTestEnvironment m_environment;
};

TEST_F(CAppletTest, EventIdsAreTheKeysOfTheirNames) {
    const struct {
        const char* name;
        uint32_t id;
    } events[] = {{"AppStart", kAppStart},       {"AppStop", kAppStop},
                  {"AppSuspend", kAppSuspend},   {"AppResume", kAppResume},
                  {"Refresh", kRefresh},         {"DeviceOrientationChanged", kDeviceOrientationChanged},
                  {"KeyPressed", kKeyPressed},   {"KeyReleased", kKeyReleased},
                  {"MouseMove", kMouseMove},     {"MouseButtonDown", kMouseButtonDown},
                  {"MouseButtonUp", kMouseButtonUp}, {"MouseButtonDoubleClick", kMouseButtonDoubleClick},
                  {"Hibernate", kHibernate}};
    for (const auto& event : events) EXPECT_EQ(CStringToKey::Hash(event.name, false), event.id) << event.name;
}

TEST_F(CAppletTest, StartsRunsFramesAndShutsDownInOrder) {
    bool checkedWhileRunning = false;
    InstallTimeline()
        .At(60,
            [&] {
                const HostDeviceRecord& device = HostDeviceRecord::Get();
                EXPECT_NE(GetApp(), nullptr);
                ASSERT_NE(GetCore(), nullptr);
                EXPECT_EQ(GetCore()->GetClassKey(), 0x02D75845u);
                EXPECT_TRUE(GetApplet()->IsTimerRunning());
                EXPECT_NE(GetApplet()->GetPowerQueue(), nullptr);
                EXPECT_TRUE(device.taskbarHidden && device.inputButtonHidden && device.startIconHidden);
                EXPECT_TRUE(device.displayClaimed);
                // Every key was taken and given back.
                EXPECT_EQ(device.allKeysCalls, 2);
                EXPECT_FALSE(device.keysTaken);
                checkedWhileRunning = true;
            })
        .At(130, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_TRUE(checkedWhileRunning);

    const AppletRecord& record = AppletRecord::Get();
    // Frames every 40 ms, and one more after AppStop.
    EXPECT_EQ(record.frames, (std::vector<uint32_t>{40, 80, 120, 130}));
    ASSERT_GE(record.events.size(), 4u);
    // The first activation and the first paint each queue a refresh.
    ExpectEvents(std::vector<AppletRecord::Event>(record.events.begin(), record.events.begin() + 3),
                 {{kAppStart, 0, 0}, {kRefresh, 0, 0}, {kRefresh, 0, 0}}, "first pass");
    EXPECT_EQ(record.events[0].ms, 40u);
    EXPECT_EQ(record.events.back().id, kAppStop);
    EXPECT_EQ(record.events.back().frame, 3u);

    // Shut-down order: display, power queue and bars before Shutdown, the
    // core deleted before the application.
    EXPECT_EQ(record.calls, (std::vector<std::string>{"Init", "Shutdown", "delete"}));
    EXPECT_FALSE(record.displayClaimedAtShutdown);
    EXPECT_EQ(record.powerQueuesAtShutdown, 0);
    EXPECT_FALSE(record.barsHiddenAtShutdown);
    EXPECT_TRUE(record.coreAtShutdown);
    EXPECT_FALSE(record.coreAtDelete);

    EXPECT_EQ(GetApp(), nullptr);
    EXPECT_EQ(GetCore(), nullptr);
    EXPECT_EQ(GetApplet(), nullptr);
    EXPECT_EQ(HostDeviceRecord::Get().displayOpens, 1);
    EXPECT_EQ(HostDeviceRecord::Get().displayCloses, 1);
    EXPECT_FALSE(HostWindowSystem::IsClassRegistered(CApplet::kAppName));
    EXPECT_EQ(FindWindowW(CApplet::kAppName, CApplet::kAppName), nullptr);
}

TEST_F(CAppletTest, EveryWindowMessageBecomesItsEvents) {
    const uint32_t tap = 150 | (50 << 16);
    const LPARAM at301 = MAKELPARAM(301, 101);
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<Expected> expected;
    } rows[] = {
        {"key down", WM_KEYDOWN, VK_LEFT, 1, {{kKeyPressed, 6, 0}}},
        {"auto-repeat", WM_KEYDOWN, VK_LEFT, 0x40000001, {}},
        {"letter", WM_KEYDOWN, 'Q', 1, {{kKeyPressed, 'Q', 0}}},
        {"unmapped key", WM_KEYDOWN, 0x80, 1, {}},
        {"left soft key down", WM_KEYDOWN, VK_F1, 1, {}},
        {"left soft key up", WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC0000001u), {{kKeyPressed, 15, 0}}},
        {"key up", WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u), {{kKeyReleased, 11, 0}}},
        {"key up without previous state", WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0x80000001u), {}},
        {"left down", WM_LBUTTONDOWN, MK_LBUTTON, at301, {{kMouseButtonDown, 0, tap}}},
        {"right down", WM_RBUTTONDOWN, MK_RBUTTON, at301, {{kMouseButtonDown, 1, tap}}},
        {"left up", WM_LBUTTONUP, 0, at301, {{kMouseButtonUp, 0, tap}}},
        {"left double", WM_LBUTTONDBLCLK, 0, at301, {{kMouseButtonDoubleClick, 0, tap}}},
        {"middle double", WM_MBUTTONDBLCLK, 0, at301, {{kMouseButtonDoubleClick, 2, tap}}},
        {"largest point", WM_LBUTTONDOWN, 0, MAKELPARAM(0xFFFF, 3), {{kMouseButtonDown, 0, 0x7FFF | (1 << 16)}}},
        {"move", WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, MAKELPARAM(10, 21), {{kMouseMove, 5, 5 | (10 << 16)}}},
        {"move right", WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(3, 0), {{kMouseMove, 2, 1}}},
        {"hibernate", WM_HIBERNATE, 0, 0, {{kHibernate, 0, 0}}},
        {"orientation",
         WM_SETTINGCHANGE,
         SETTINGCHANGE_RESET,
         0,
         {{kDeviceOrientationChanged, 0, 0}, {kOrientationFollowUp, 0, 0}, {kRefresh, 0, 0}}},
        {"other setting", WM_SETTINGCHANGE, 0x1234, 0, {}},
        {"horizontal scroll", WM_HSCROLL, 0, 0, {{kRefresh, 0, 0}}},
        {"activation while active", WM_ACTIVATE, WA_CLICKACTIVE, 0, {{kRefresh, 0, 0}}},
        {"focus lost", WM_KILLFOCUS, 0, 0, {}},
        {"user message", 0x0400, 0, 0, {}},
    };
    for (const auto& row : rows) {
        const std::vector<AppletRecord::Event> events =
            RunWith([&] { Post(row.message, row.wParam, row.lParam); });
        ExpectEvents(events, row.expected, row.name);
        // All of them in the pass that follows the message.
        for (const AppletRecord::Event& event : events) EXPECT_EQ(event.ms, 80u) << row.name;
    }
}

TEST_F(CAppletTest, QuitMessagesEndTheLoopWithAppStop) {
    for (UINT message : {WM_CLOSE, WM_DESTROY}) {
        AppletRecord::Reset();
        const uint32_t base = HostTestEnvironment::Elapsed();
        InstallTimeline().At(base + 50, [message] { Post(message, 0, 0); });
        EXPECT_EQ(RunProgram(), 0);
        EXPECT_EQ(AppletRecord::Get().frames.back(), base + 50);
        EXPECT_EQ(AppletRecord::Get().events.back().id, kAppStop);
    }

    // Releasing F4 quits, and still reports the key it maps to.
    AppletRecord::Reset();
    const uint32_t base = HostTestEnvironment::Elapsed();
    InstallTimeline().At(base + 50, [] { Post(WM_KEYUP, VK_F4, static_cast<LPARAM>(0xC0000001u)); });
    EXPECT_EQ(RunProgram(), 0);
    ExpectEvents(AppletRecord::Get().EventsFrom(base + 50), {{kKeyReleased, 3, 0}}, "F4");
    EXPECT_EQ(AppletRecord::Get().events.back().id, kAppStop);
    EXPECT_EQ(AppletRecord::Get().events.back().ms, base + 50);
}

TEST_F(CAppletTest, PaintQueuesOneRefreshPerPass) {
    InstallTimeline()
        .At(50, [] { RedrawWindow(AppWindow(), nullptr, nullptr, RDW_INVALIDATE); })
        .At(60, [] { RedrawWindow(AppWindow(), nullptr, nullptr, RDW_INVALIDATE); })
        .At(90, [] { RedrawWindow(AppWindow(), nullptr, nullptr, RDW_INVALIDATE); })
        .At(130, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<AppletRecord::Event> events = AppletRecord::Get().EventsFrom(50);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].ms, 80u);
    EXPECT_EQ(events[1].ms, 120u);
}

TEST_F(CAppletTest, WindowPositionChangeTakesTheClientSize) {
    InstallTimeline()
        .At(50, [] { MoveWindow(AppWindow(), 0, 0, 200, 300, 0); })
        .At(90,
            [] {
                EXPECT_EQ(GetApplet()->GetWidth(), 200);
                EXPECT_EQ(GetApplet()->GetHeight(), 300);
                HostInput::Close();
            });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(AppletRecord::Get().IdsFrom(50), (std::vector<uint32_t>{kRefresh}));
}

TEST_F(CAppletTest, RotationGivesTheThreeOrientationEventsAndTheNewSize) {
    InstallTimeline()
        .At(50, [] { HostInput::Rotate(); })
        .At(90,
            [] {
                EXPECT_EQ(GetApplet()->GetWidth(), 640);
                EXPECT_EQ(GetApplet()->GetHeight(), 480);
                HostInput::Close();
            });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(AppletRecord::Get().IdsFrom(50),
              (std::vector<uint32_t>{kDeviceOrientationChanged, kOrientationFollowUp, kRefresh}));
    EXPECT_EQ(HostDeviceRecord::Get().settingChangeCalls, 1);
}

TEST_F(CAppletTest, HeldKeyGivesOnePressAndOneRelease) {
    InstallTimeline()
        .At(50,
            [] {
                HostInput::KeyDown('7', false);
                for (int i = 0; i < 3; ++i) HostInput::KeyDown('7', true);
                HostInput::KeyUp('7');
            })
        .At(100, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    ExpectEvents(AppletRecord::Get().EventsFrom(50), {{kKeyPressed, '7', 0}, {kKeyReleased, '7', 0}}, "held key");
}

TEST_F(CAppletTest, FixedKeyTable) {
    CApplet applet(nullptr);
    const struct {
        uint32_t virtualKey;
        uint32_t engineKey;
    } table[] = {{VK_BACK, 12}, {VK_ESCAPE, 12}, {VK_RETURN, 11}, {VK_LEFT, 6},  {VK_UP, 4},    {VK_RIGHT, 7},
                 {VK_DOWN, 5},  {'0', '0'},      {'9', '9'},      {VK_F1, 15},   {VK_F2, 16},   {VK_F3, 2},
                 {VK_F4, 3},    {VK_F6, 17},     {VK_F7, 18},     {VK_F8, '*'},  {VK_F9, '#'},  {VK_F18, 1},
                 {VK_TAB, 9},   {10, 10},        {19, 19},        {' ', ' '},    {'A', 'A'},    {127, 127},
                 {0, 0},        {31, 0},         {128, 0},        {0xFF, 0},     {11, 0}};
    for (const auto& row : table) {
        EXPECT_EQ(applet.MapVirtualKey(row.virtualKey), row.engineKey) << "virtual key " << row.virtualKey;
    }
    // F5 has no entry of its own; its code falls among the plain characters.
    EXPECT_EQ(applet.MapVirtualKey(VK_F5), VK_F5);
}

TEST_F(CAppletTest, DeviceKeyTableComesFirstAndDisabledNumpadSilencesDigits) {
    AppletRecord::Get().keyTable = {{VK_LEFT, 7}, {'5', 4}, {0x90, 11}};
    AppletRecord::Get().numpadDisabled = true;
    InstallTimeline()
        .At(50,
            [] {
                const CApplet* applet = GetApplet();
                EXPECT_EQ(applet->MapVirtualKey(VK_LEFT), 7u);
                EXPECT_EQ(applet->MapVirtualKey('5'), 4u);
                EXPECT_EQ(applet->MapVirtualKey(0x90), 11u);
                EXPECT_EQ(applet->MapVirtualKey(VK_RIGHT), 7u);
                EXPECT_EQ(applet->MapVirtualKey('A'), static_cast<uint32_t>('A'));
                // Digits the table leaves alone give nothing at all.
                for (uint32_t digit = '0'; digit <= '9'; ++digit) {
                    if (digit != '5') {
                        EXPECT_EQ(applet->MapVirtualKey(digit), 0u) << digit;
                    }
                }
                Post(WM_KEYDOWN, '6', 1);
                Post(WM_KEYDOWN, '5', 1);
            })
        .At(100, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    ExpectEvents(AppletRecord::Get().EventsFrom(50), {{kKeyPressed, 4, 0}}, "digits");
}

TEST_F(CAppletTest, DeactivationSuspendsAtOnceAndActivationResumesAtTheNextTick) {
    InstallTimeline()
        .At(50, [] { HostInput::Suspend(); })
        .At(60,
            [] {
                EXPECT_FALSE(GetApplet()->IsTimerRunning());
                EXPECT_FALSE(GetApplet()->IsActive());
                EXPECT_FALSE(HostDeviceRecord::Get().taskbarHidden);
                // A second deactivation changes nothing.
                Post(WM_ACTIVATE, WA_INACTIVE, 0);
            })
        .At(500, [] { HostInput::Resume(); })
        .At(510, [] { EXPECT_TRUE(HostDeviceRecord::Get().taskbarHidden); })
        .At(600, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    const AppletRecord& record = AppletRecord::Get();
    // One frame right at the deactivation, none while inactive.
    EXPECT_EQ(record.frames, (std::vector<uint32_t>{40, 50, 540, 580, 600}));
    const std::vector<AppletRecord::Event> events = record.EventsFrom(50);
    ExpectEvents(events, {{kAppSuspend, 0, 0}, {kAppResume, 0, 0}}, "suspend and resume");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].ms, 50u);
    EXPECT_EQ(events[0].frame, 1u);
    EXPECT_EQ(events[1].ms, 540u);
}

TEST_F(CAppletTest, EventsQueuedInAPassGoOutInItAndThoseOfTheFrameWait) {
    AppletRecord& record = AppletRecord::Get();
    record.onEvent = [](const AppletRecord::Event& event) {
        if (event.id == kKeyPressed) GetApplet()->GetEventQueue()->Post(0x1111, 1, 2);
    };
    record.onFrame = [] {
        if (AppletRecord::Get().frames.size() == 2) GetApplet()->GetEventQueue()->Post(0x2222, 3, 4);
    };
    InstallTimeline().At(50, [] { Post(WM_KEYDOWN, 'X', 1); }).At(130, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<AppletRecord::Event> events = record.EventsFrom(50);
    ExpectEvents(events, {{kKeyPressed, 'X', 0}, {0x1111, 1, 2}, {0x2222, 3, 4}}, "pass");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].frame, 1u);
    EXPECT_EQ(events[1].ms, 80u);
    EXPECT_EQ(events[2].frame, 2u);
    EXPECT_EQ(events[2].ms, 120u);
}

TEST_F(CAppletTest, PowerNotificationsReachTheNextPass) {
    AppletRecord::Get().drainPowerQueue = true;
    InstallTimeline()
        .At(50, [] { HostInput::PowerEvent(POWER_STATE_ON); })
        .At(90, [] { HostInput::PowerEvent(POWER_STATE_UNATTENDED); })
        .At(170, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    const std::vector<AppletRecord::Event> events = AppletRecord::Get().EventsFrom(50);
    // Drained in the frame at 120, delivered in the pass at 160.
    ExpectEvents(events, {{kAppSuspend, 0, 0}, {kAppResume, 0, 0}}, "power");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].ms, 160u);
}

TEST_F(CAppletTest, TimerCountsFromTheEndOfEachFrame) {
    // Every frame takes 15 ms.
    AppletRecord::Get().onFrame = [] { HostClock::Advance(15); };
    InstallTimeline().At(200, [] { HostInput::Close(); });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(AppletRecord::Get().frames, (std::vector<uint32_t>{40, 95, 150, 200}));
}

TEST_F(CAppletTest, StartUpFailuresReturnOneAndReleaseOnlyWhatWasAcquired) {
    enum class Step { Window, Application, Init, TakeKeys, GiveKeys, Display };
    const struct {
        const char* name;
        Step step;
        std::vector<std::string> calls;
        int32_t allKeysCalls;
    } cases[] = {
        {"window", Step::Window, {}, 0},
        {"application", Step::Application, {}, 0},
        {"init", Step::Init, {"Init", "Shutdown", "delete"}, 0},
        {"taking the keys", Step::TakeKeys, {"Init", "Shutdown", "delete"}, 1},
        {"giving the keys back", Step::GiveKeys, {"Init", "Shutdown", "delete"}, 2},
        {"display", Step::Display, {"Init", "Shutdown", "delete"}, 2},
    };
    for (const auto& c : cases) {
        AppletRecord::Reset();
        HostDeviceRecord::Reset();
        HostFaults::Clear();
        InstallTimeline();
        AppletRecord& record = AppletRecord::Get();
        switch (c.step) {
            case Step::Window:
                HostFaults::Set(HostFault::CreateWindow, true);
                break;
            case Step::Application:
                record.createFails = true;
                break;
            case Step::Init:
                record.initResult = 1;
                break;
            case Step::TakeKeys:
                HostFaults::Set(HostFault::AllKeysTake, true);
                break;
            case Step::GiveKeys:
                HostFaults::Set(HostFault::AllKeysGive, true);
                break;
            case Step::Display:
                HostFaults::Set(HostFault::GXOpenDisplay, true);
                break;
        }
        EXPECT_EQ(RunProgram(), 1) << c.name;
        EXPECT_EQ(record.calls, c.calls) << c.name;
        EXPECT_TRUE(record.events.empty()) << c.name;
        EXPECT_TRUE(record.frames.empty()) << c.name;
        const HostDeviceRecord& device = HostDeviceRecord::Get();
        EXPECT_EQ(device.allKeysCalls, c.allKeysCalls) << c.name;
        // The display was never claimed, so it is not released either.
        EXPECT_EQ(device.displayOpens, 0) << c.name;
        EXPECT_EQ(device.displayCloses, 0) << c.name;
        // Without a window the bars were never hidden nor shown again.
        if (c.step == Step::Window) {
            EXPECT_TRUE(device.fullScreenCalls.empty());
        } else {
            ASSERT_FALSE(device.fullScreenCalls.empty()) << c.name;
            EXPECT_EQ(device.fullScreenCalls.back().flags, 0x15u) << c.name;
        }
        EXPECT_FALSE(device.taskbarHidden) << c.name;
        EXPECT_EQ(GetApp(), nullptr);
        EXPECT_EQ(GetCore(), nullptr);
        EXPECT_TRUE(device.messageBoxes.empty()) << c.name;
        EXPECT_FALSE(HostWindowSystem::IsClassRegistered(CApplet::kAppName));
    }
}

TEST_F(CAppletTest, MissingPowerQueueIsNoStartUpFailure) {
    HostFaults::Set(HostFault::CreateMsgQueue, true);
    InstallTimeline().At(50, [] {
        EXPECT_EQ(GetApplet()->GetPowerQueue(), nullptr);
        HostInput::Close();
    });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(AppletRecord::Get().events.front().id, kAppStart);
}

TEST_F(CAppletTest, DirectDisplayFollowsTheSystemVersionAndTheSetting) {
    const struct {
        uint32_t major;
        uint32_t minor;
        bool setting;
        int32_t opens;
    } cases[] = {{5, 2, true, 1}, {6, 4, true, 1}, {6, 5, true, 0}, {6, 7, true, 0},
                 {7, 0, true, 1}, {8, 5, true, 0}, {5, 2, false, 0}};
    for (const auto& c : cases) {
        AppletRecord::Reset();
        HostDeviceRecord::Reset();
        AppletRecord::Get().usesGXDisplay = c.setting;
        HostSystemInfo::SetOsVersion(c.major, c.minor);
        const uint32_t base = HostTestEnvironment::Elapsed();
        InstallTimeline().At(base + 50, [] { HostInput::Close(); });
        EXPECT_EQ(RunProgram(), 0);
        EXPECT_EQ(HostDeviceRecord::Get().displayOpens, c.opens) << c.major << "." << c.minor;
        EXPECT_EQ(HostDeviceRecord::Get().displayCloses, c.opens) << c.major << "." << c.minor;
        EXPECT_FALSE(HostDeviceRecord::Get().displayClaimed);
    }
}

TEST_F(CAppletTest, SecondInstanceLeavesAtOnce) {
    const std::string lock = HostInstanceLock::PathOf(CApplet::kAppName);
    const int other = open(lock.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(RunProgram(), 0);
    close(other);
    EXPECT_TRUE(AppletRecord::Get().calls.empty());
    EXPECT_TRUE(HostDeviceRecord::Get().messageBoxes.empty());
    EXPECT_EQ(HostWindowSystem::MainWindow(), nullptr);
}

TEST_F(CAppletTest, ClassRegistrationFailureIsShownAndReturnsOne) {
    HostFaults::Set(HostFault::RegisterClass, true);
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_EQ(HostDeviceRecord::Get().messageBoxes, (std::vector<std::string>{"mchvx2: Error Registering wndClass"}));
    EXPECT_TRUE(AppletRecord::Get().calls.empty());
}

TEST_F(CAppletTest, HeadlessInputScriptDrivesTheProgram) {
    HostInputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("0 press LEFT\n"
                             "100 tap 301 101\n"
                             "150 rotate\n"
                             "200 suspend\n"
                             "400 resume\n"
                             "500 close\n",
                             &error))
        << error;
    HostWindowSystem::SetBackend(new HeadlessBackend(script));
    EXPECT_EQ(RunProgram(), 0);
    const uint32_t tap = 150 | (50 << 16);
    ExpectEvents(AppletRecord::Get().EventsFrom(41),
                 {{kMouseButtonDown, 0, tap},
                  {kMouseButtonUp, 0, tap},
                  {kDeviceOrientationChanged, 0, 0},
                  {kOrientationFollowUp, 0, 0},
                  {kRefresh, 0, 0},
                  {kAppSuspend, 0, 0},
                  {kAppResume, 0, 0},
                  // Back in focus the window takes the turned screen's size.
                  {kRefresh, 0, 0}},
                 "script");
    // The key went down and up before the first frame.
    std::vector<AppletRecord::Event> keys;
    for (const AppletRecord::Event& event : AppletRecord::Get().events) {
        if (event.id == kKeyPressed || event.id == kKeyReleased) keys.push_back(event);
    }
    ExpectEvents(keys, {{kKeyPressed, 6, 0}, {kKeyReleased, 6, 0}}, "key");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].ms, 40u);
    EXPECT_EQ(AppletRecord::Get().events.back().ms, 500u);
}

TEST_F(CAppletTest, WithoutApplicationEventsAreKeptNotDispatched) {
    EXPECT_EQ(FilterWindowMessage(nullptr, WM_HIBERNATE, 0, 0), 0);
    CApplet applet(nullptr);
    EXPECT_EQ(WndProc(nullptr, WM_HIBERNATE, 0, 0), 0);
    EXPECT_FALSE(applet.HandleWindowMessage(nullptr, WM_ACTIVATE, WA_INACTIVE, 0));
    EXPECT_FALSE(applet.IsActive());
    ASSERT_EQ(applet.GetEventQueue()->GetCount(), 2);
    applet.DispatchEvents();
    CAppEvent event;
    applet.GetEventQueue()->GetAt(&event, 1);
    EXPECT_EQ(event.id, kAppSuspend);
}

TEST_F(CAppletTest, DiagnosticLogWritesLines) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_environment.Directory());
    {
        CApplet applet(nullptr);
        EXPECT_FALSE(applet.WriteLog("before"));
        ASSERT_TRUE(applet.OpenLog());
        EXPECT_TRUE(applet.WriteLog("first"));
        EXPECT_FALSE(applet.WriteLog(nullptr));
        EXPECT_TRUE(applet.WriteLog("second"));
        EXPECT_TRUE(applet.CloseLog());
        EXPECT_FALSE(applet.WriteLog("after"));
    }
    std::filesystem::current_path(previous);
    std::ifstream log(m_environment.Directory() + "/mchvx2-log.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "first\nsecond\n");
}

}  // namespace
