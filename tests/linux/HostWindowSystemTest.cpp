#include "HostClock.h"
#include "HostFaults.h"
#include "HostInput.h"
#include "HostInstanceLock.h"
#include "HostSystemInfo.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "NamedPipe.h"
#include "OrdinaryFileAccess.h"
#include "WinCeTime.h"
#include "WinCeWindow.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> g_seen;
bool g_ignoreClose = false;
// Whether a DestroyWindow made while handling WM_DESTROY succeeded.
int g_destroyAgainResult = -1;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(Seen{window, message, wParam, lParam});
    if (message == WM_WINDOWPOSCHANGED) {
        // Keep the size the message carried: the record it points to is
        // gone once the call returns.
        const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        g_seen.back().wParam = static_cast<WPARAM>(position->cx);
        g_seen.back().lParam = position->cy;
    }
    if (message == WM_CLOSE && g_ignoreClose) return 0;
    if (message == WM_DESTROY) g_destroyAgainResult = DestroyWindow(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<UINT> SeenMessages(HWND window) {
    std::vector<UINT> messages;
    for (const Seen& seen : g_seen) {
        if (seen.window == window) messages.push_back(seen.message);
    }
    return messages;
}

class HostWindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        g_ignoreClose = false;
        g_destroyAgainResult = -1;
    }

    static ATOM Register(const char16_t* name, UINT style = 0) {
        WNDCLASSW windowClass{};
        windowClass.style = style;
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = name;
        return RegisterClassW(&windowClass);
    }

    static HWND Create(const char16_t* name, DWORD style = WS_VISIBLE) {
        return CreateWindowExW(0, name, u"title", style, CW_USEDEFAULT, CW_USEDEFAULT, 480, 640, nullptr, nullptr,
                               nullptr, nullptr);
    }

    // Takes the next message and dispatches it.
    static MSG Next() {
        MSG message{};
        GetMessageW(&message, nullptr, 0, 0);
        DispatchMessageW(&message);
        return message;
    }

    // Drains what the window system produced on creating a window.
    static void DrainActivation() {
        EXPECT_EQ(Next().message, WM_ACTIVATE);
        EXPECT_EQ(Next().message, WM_SETFOCUS);
        EXPECT_EQ(Next().message, WM_PAINT);
        g_seen.clear();
    }

    HostTestEnvironment m_environment;
};

TEST_F(HostWindowSystemTest, PostedThenQuitThenPaintThenTimer) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(SetTimer(window, 7, 40, nullptr), 7u);
    PostMessageW(window, 0x400, 1, 0);
    PostMessageW(window, 0x401, 2, 0);
    PostQuitMessage(3);

    // A new visible window is activated through the loop.
    EXPECT_EQ(Next().message, WM_ACTIVATE);
    EXPECT_EQ(Next().message, WM_SETFOCUS);
    EXPECT_EQ(Next().message, 0x400u);
    EXPECT_EQ(Next().message, 0x401u);
    MSG quit{};
    EXPECT_EQ(GetMessageW(&quit, nullptr, 0, 0), 0);
    EXPECT_EQ(quit.message, WM_QUIT);
    EXPECT_EQ(quit.wParam, 3u);
    // The default handling of WM_PAINT validates the window.
    EXPECT_EQ(Next().message, WM_PAINT);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 0u);
    const MSG timer = Next();
    EXPECT_EQ(timer.message, WM_TIMER);
    EXPECT_EQ(timer.wParam, 7u);
    // Waiting for the timer moved the virtual clock exactly to it.
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 40u);
}

TEST_F(HostWindowSystemTest, SetTimerStartsThePeriodOver) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c", 0);
    SetTimer(window, 1, 40, nullptr);
    HostClock::Advance(30);
    SetTimer(window, 1, 40, nullptr);
    EXPECT_EQ(Next().message, WM_TIMER);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 70u);
    // Left alone, the timer repeats with its period.
    EXPECT_EQ(Next().message, WM_TIMER);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 110u);
    ASSERT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
}

TEST_F(HostWindowSystemTest, DueTimerWaitsForPostedMessagesAndNeverPilesUp) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c", 0);
    SetTimer(window, 1, 40, nullptr);
    // The thread was busy for five periods.
    HostClock::Advance(200);
    PostMessageW(window, 0x400, 0, 0);
    EXPECT_EQ(Next().message, 0x400u);
    EXPECT_EQ(Next().message, WM_TIMER);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 200u);
    // One WM_TIMER for the missed periods; the next one a period later.
    EXPECT_EQ(Next().message, WM_TIMER);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 240u);
}

TEST_F(HostWindowSystemTest, EarliestOfSeveralTimersComesFirst) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c", 0);
    SetTimer(window, 2, 25, nullptr);
    SetTimer(window, 1, 10, nullptr);
    EXPECT_EQ(Next().wParam, 1u);
    EXPECT_EQ(Next().wParam, 1u);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 20u);
    EXPECT_EQ(Next().wParam, 2u);
    EXPECT_EQ(HostTestEnvironment::Elapsed(), 25u);
}

TEST_F(HostWindowSystemTest, MoveWindowSendsPositionChangeAtOnceWhenSomethingChanged) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c");
    DrainActivation();
    ASSERT_TRUE(MoveWindow(window, 0, 0, 480, 640, 0));
    EXPECT_TRUE(g_seen.empty());
    ASSERT_TRUE(MoveWindow(window, 0, 0, 640, 480, 0));
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, WM_WINDOWPOSCHANGED);
    EXPECT_EQ(g_seen[0].wParam, 640u);
    EXPECT_EQ(g_seen[0].lParam, 480);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 480);
    // Repaint invalidates a moved window: WM_PAINT comes when nothing else
    // waits.
    ASSERT_TRUE(MoveWindow(window, 0, 0, 640, 480, 1));
    ASSERT_TRUE(MoveWindow(window, 10, 0, 640, 480, 1));
    PostMessageW(window, 0x400, 0, 0);
    EXPECT_EQ(Next().message, 0x400u);
    EXPECT_EQ(Next().message, WM_PAINT);
}

TEST_F(HostWindowSystemTest, ActivationMovesBetweenWindows) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND first = Create(u"c");
    DrainActivation();
    const HWND second = Create(u"c");
    for (int i = 0; i < 5; ++i) Next();
    EXPECT_EQ(SeenMessages(first), (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS}));
    EXPECT_EQ(SeenMessages(second), (std::vector<UINT>{WM_ACTIVATE, WM_SETFOCUS, WM_PAINT}));
    EXPECT_EQ(LOWORD(g_seen[0].wParam), WA_INACTIVE);
    EXPECT_EQ(LOWORD(g_seen[2].wParam), WA_ACTIVE);
    EXPECT_EQ(HostWindowSystem::ActiveWindow(), second);

    // Already active: nothing happens.
    g_seen.clear();
    SetForegroundWindow(second);
    PostMessageW(second, 0x400, 0, 0);
    EXPECT_EQ(Next().message, 0x400u);

    // While nothing is active, keys go nowhere.
    HostInput::Suspend();
    HostInput::KeyDown('A', false);
    HostInput::Resume();
    for (int i = 0; i < 4; ++i) Next();
    EXPECT_EQ(SeenMessages(second), (std::vector<UINT>{0x400, WM_ACTIVATE, WM_KILLFOCUS, WM_ACTIVATE, WM_SETFOCUS}));
}

TEST_F(HostWindowSystemTest, DefaultCloseDestroysTheWindow) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c");
    DrainActivation();
    PostMessageW(window, WM_CLOSE, 0, 0);
    Next();
    EXPECT_EQ(SeenMessages(window), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    // Destroying it again from its own WM_DESTROY is refused.
    EXPECT_EQ(g_destroyAgainResult, 0);
    EXPECT_EQ(FindWindowW(u"c", nullptr), nullptr);
    EXPECT_FALSE(PostMessageW(window, 0x400, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(HostWindowSystemTest, IdleLoopWithNothingToWaitForClosesThenQuits) {
    ASSERT_NE(Register(u"c"), 0);
    const HWND window = Create(u"c");
    DrainActivation();
    g_ignoreClose = true;
    EXPECT_EQ(Next().message, WM_CLOSE);
    MSG message{};
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(FindWindowW(u"c", nullptr), window);
}

TEST_F(HostWindowSystemTest, ClassesAreUniqueAndTakeTheirWindowsAlong) {
    ASSERT_NE(Register(u"c"), 0);
    EXPECT_EQ(Register(u"c"), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(Register(u""), 0);
    EXPECT_EQ(Create(u"unknown"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);

    const HWND window = Create(u"c");
    EXPECT_EQ(FindWindowW(u"c", u"title"), window);
    EXPECT_EQ(FindWindowW(u"c", u"other"), nullptr);
    ASSERT_TRUE(UnregisterClassW(u"c", nullptr));
    EXPECT_EQ(SeenMessages(window), (std::vector<UINT>{WM_DESTROY}));
    EXPECT_EQ(FindWindowW(u"c", nullptr), nullptr);
    EXPECT_FALSE(UnregisterClassW(u"c", nullptr));
}

TEST_F(HostWindowSystemTest, InstanceLockShowsAnotherRunningInstance) {
    const std::string lockPath = HostInstanceLock::PathOf(u"app/name");
    EXPECT_EQ(lockPath, m_environment.Directory() + "/app_name.lock");
    // Another process holds the lock: a separate open file description
    // conflicts just as another process would.
    const int other = open(lockPath.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(FindWindowW(u"app/name", u"app/name"), HostWindowSystem::ForeignWindow());
    EXPECT_TRUE(SetForegroundWindow(HostWindowSystem::ForeignWindow()));
    EXPECT_EQ(Register(u"app/name"), 0);
    close(other);

    EXPECT_EQ(FindWindowW(u"app/name", u"app/name"), nullptr);
    ASSERT_NE(Register(u"app/name"), 0);
    // Now this process holds it.
    const int probe = open(lockPath.c_str(), O_RDONLY);
    ASSERT_GE(probe, 0);
    EXPECT_NE(flock(probe, LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(UnregisterClassW(u"app/name", nullptr));
    EXPECT_EQ(flock(probe, LOCK_EX | LOCK_NB), 0);
    close(probe);
}

// A pipe where the lock file goes is no lock: nobody holds it, and the
// program runs unguarded rather than wait for the pipe's other end, and
// says so once.
TEST_F(HostWindowSystemTest, InstanceLockThatIsAPipeIsNotWaitedFor) {
    const NamedPipe pipe(HostInstanceLock::PathOf(u"piped"));
    ASSERT_TRUE(pipe.Made());
    HWND found = HostWindowSystem::ForeignWindow();
    ATOM registered = 0;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(pipe.RunsWithoutWaiting([&] {
        found = FindWindowW(u"piped", u"piped");
        registered = Register(u"piped");
    }));
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string lock = HostInstanceLock::PathOf(u"piped");
    EXPECT_NE(said.find(lock + " cannot be held (not a regular file)"), std::string::npos) << said;
    EXPECT_EQ(said.find(lock, said.find(lock) + 1), std::string::npos) << said;
    EXPECT_EQ(found, nullptr);
    EXPECT_NE(registered, 0);
    EXPECT_TRUE(UnregisterClassW(u"piped", nullptr));
}

// A link where the lock file goes is not followed: nothing is made where it
// points, and the program runs unguarded.
TEST_F(HostWindowSystemTest, InstanceLockThatIsALinkIsNotFollowed) {
    const std::string lock = HostInstanceLock::PathOf(u"linked");
    const std::string target = m_environment.Directory() + "/elsewhere.lock";
    ASSERT_EQ(symlink(target.c_str(), lock.c_str()), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_NE(Register(u"linked"), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(lock + " cannot be held (a symbolic link"), std::string::npos) << said;
    EXPECT_EQ(access(target.c_str(), F_OK), -1);
    EXPECT_TRUE(UnregisterClassW(u"linked", nullptr));
    unlink(lock.c_str());
}

// Whether a lock is held on the file at `path`, by this process or
// another, asked through a description of its own.
bool FileLockedElsewhere(const std::string& path) {
    const int probe = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool locked = flock(probe, LOCK_EX | LOCK_NB) != 0;
    close(probe);
    return locked;
}

bool RecordLockedElsewhere(const std::string& path) {
    const int probe = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    const bool asked = fcntl(probe, F_OFD_GETLK, &whole) == 0;
    close(probe);
    return asked && whole.l_type != F_UNLCK;
}

// A lock file the player may read but not write (one a run with the
// superuser's rights left behind) locks all the same, and a link where the
// lock file goes is not followed to see whether another holds it.
TEST_F(HostWindowSystemTest, InstanceLockOnlyReadableStillLocksAndALinkIsNotFollowed) {
    const std::string lock = HostInstanceLock::PathOf(u"read");
    close(open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    chmod(m_environment.Directory().c_str(), 0755);
    ATOM registered = 0;
    {
        const OrdinaryFileAccess ordinary;
        registered = Register(u"read");
    }
    ASSERT_NE(registered, 0);
    EXPECT_TRUE(FileLockedElsewhere(lock));
    EXPECT_TRUE(UnregisterClassW(u"read", nullptr));

    const std::string target = m_environment.Directory() + "/target.lock";
    const int other = open(target.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(symlink(target.c_str(), HostInstanceLock::PathOf(u"linked").c_str()), 0);
    EXPECT_EQ(FindWindowW(u"linked", u"linked"), nullptr);
    close(other);
}

// Another instance holding only the record lock over the lock file.
int HoldRecordLock(const std::string& path) {
    const int other = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    EXPECT_EQ(fcntl(other, F_OFD_SETLK, &whole), 0);
    return other;
}

// An instance holds the POSIX record lock beside the whole-file lock, and
// looks for both: one that could take only one kind is seen by, and sees,
// every other. Once the other holder has gone the next start runs.
TEST_F(HostWindowSystemTest, InstanceLockHoldsAndLooksForBothKindsOfLock) {
    const std::string lock = HostInstanceLock::PathOf(u"both");
    const int other = HoldRecordLock(lock);
    EXPECT_EQ(FindWindowW(u"both", u"both"), HostWindowSystem::ForeignWindow());
    EXPECT_EQ(Register(u"both"), 0);
    close(other);
    EXPECT_EQ(FindWindowW(u"both", u"both"), nullptr);
    ASSERT_NE(Register(u"both"), 0);
    EXPECT_TRUE(RecordLockedElsewhere(lock));
    EXPECT_TRUE(FileLockedElsewhere(lock));
    EXPECT_TRUE(UnregisterClassW(u"both", nullptr));
}

// On a file system that refuses whole-file locks the POSIX record lock
// serves, and is seen by another instance; where neither can be had the
// run goes on unlocked and says so.
TEST_F(HostWindowSystemTest, InstanceLockFallsBackOnTheRecordLockAndSaysWhenThereIsNone) {
    HostFaults::Set(HostFault::FileLock, true);
    const std::string lock = HostInstanceLock::PathOf(u"record");
    const int other = HoldRecordLock(lock);
    EXPECT_EQ(FindWindowW(u"record", u"record"), HostWindowSystem::ForeignWindow());
    EXPECT_EQ(Register(u"record"), 0);
    close(other);
    EXPECT_EQ(FindWindowW(u"record", u"record"), nullptr);
    ASSERT_NE(Register(u"record"), 0);
    EXPECT_TRUE(RecordLockedElsewhere(lock));
    EXPECT_FALSE(FileLockedElsewhere(lock));
    EXPECT_TRUE(UnregisterClassW(u"record", nullptr));

    HostFaults::Set(HostFault::RecordLock, true);
    ::testing::internal::CaptureStderr();
    EXPECT_NE(Register(u"record"), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(lock + " cannot be held (the file system keeps no locks)"), std::string::npos) << said;
    EXPECT_FALSE(RecordLockedElsewhere(lock));
    EXPECT_TRUE(UnregisterClassW(u"record", nullptr));
}

TEST_F(HostWindowSystemTest, InputBecomesTheHandsetsMessages) {
    ASSERT_NE(Register(u"plain"), 0);
    ASSERT_NE(Register(u"double", CS_DBLCLKS), 0);
    const HWND window = Create(u"plain");
    DrainActivation();

    HostInput::KeyDown(VK_LEFT, false);
    HostInput::KeyDown(VK_LEFT, true);
    HostInput::KeyUp(VK_LEFT);
    HostInput::ButtonDown(HostMouseButton::Left, 301, 101, true);
    HostInput::Move(302, 102);
    HostInput::ButtonUp(HostMouseButton::Left, 303, 103);
    HostInput::Move(304, 104);
    for (int i = 0; i < 7; ++i) Next();
    ASSERT_EQ(g_seen.size(), 7u);
    EXPECT_EQ(g_seen[0].message, WM_KEYDOWN);
    EXPECT_EQ(g_seen[0].wParam, VK_LEFT);
    EXPECT_EQ(g_seen[0].lParam & 0xC0000000, 0);
    EXPECT_EQ(g_seen[1].lParam & 0xC0000000, 0x40000000);
    EXPECT_EQ(g_seen[2].message, WM_KEYUP);
    EXPECT_EQ(g_seen[2].lParam & 0xC0000000, static_cast<LPARAM>(0xC0000000u));
    // No double clicks for a class that does not ask for them.
    EXPECT_EQ(g_seen[3].message, WM_LBUTTONDOWN);
    EXPECT_EQ(g_seen[3].wParam, MK_LBUTTON);
    EXPECT_EQ(g_seen[3].lParam, 301 | (101 << 16));
    EXPECT_EQ(g_seen[4].message, WM_MOUSEMOVE);
    EXPECT_EQ(g_seen[4].wParam, MK_LBUTTON);
    EXPECT_EQ(g_seen[5].message, WM_LBUTTONUP);
    EXPECT_EQ(g_seen[5].wParam, 0u);
    EXPECT_EQ(g_seen[6].wParam, 0u);

    DestroyWindow(window);
    Create(u"double");
    DrainActivation();
    HostInput::ButtonDown(HostMouseButton::Right, 1, 2, true);
    EXPECT_EQ(Next().message, WM_RBUTTONDBLCLK);
}

}  // namespace
