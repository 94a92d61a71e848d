#include "HostDeviceRecord.h"
#include "HostFaults.h"
#include "HostSystemInfo.h"
#include "HostTestEnvironment.h"
#include "WinCeGapi.h"
#include "WinCeShell.h"
#include "WinCeWindow.h"

#include <gtest/gtest.h>

namespace {

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

class WinCeShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = u"c";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        m_window = CreateWindowExW(0, u"c", u"c", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
    }

    HostTestEnvironment m_environment;
    HWND m_window = nullptr;
};

TEST_F(WinCeShellTest, FullScreenControlSetsEachBar) {
    HostDeviceRecord& record = HostDeviceRecord::Get();
    ASSERT_TRUE(SHFullScreen(m_window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
    EXPECT_TRUE(record.taskbarHidden && record.inputButtonHidden && record.startIconHidden);
    ASSERT_TRUE(SHFullScreen(m_window, SHFS_SHOWSIPBUTTON));
    EXPECT_TRUE(record.taskbarHidden && !record.inputButtonHidden && record.startIconHidden);
    ASSERT_TRUE(SHFullScreen(m_window, SHFS_SHOWTASKBAR | SHFS_SHOWSTARTICON));
    EXPECT_FALSE(record.taskbarHidden || record.inputButtonHidden || record.startIconHidden);
    // An unknown window changes nothing and is not recorded.
    EXPECT_FALSE(SHFullScreen(nullptr, SHFS_HIDETASKBAR));
    EXPECT_FALSE(record.taskbarHidden);
    ASSERT_EQ(record.fullScreenCalls.size(), 3u);
    EXPECT_EQ(record.fullScreenCalls[1].flags, SHFS_SHOWSIPBUTTON);
}

TEST_F(WinCeShellTest, HandlersNeedTheirRecord) {
    SHACTIVATEINFO info{};
    EXPECT_FALSE(SHHandleWMActivate(m_window, 0, 0, &info, 0));
    info.cbSize = sizeof(SHACTIVATEINFO);
    EXPECT_TRUE(SHHandleWMActivate(m_window, 0, 0, &info, 0));
    EXPECT_TRUE(SHHandleWMSettingChange(m_window, 0, 0, &info));
    EXPECT_EQ(HostDeviceRecord::Get().activationCalls, 1);
    EXPECT_EQ(HostDeviceRecord::Get().settingChangeCalls, 1);
}

TEST_F(WinCeShellTest, DisplayClaimIsBalanced) {
    HostDeviceRecord& record = HostDeviceRecord::Get();
    EXPECT_EQ(GXCloseDisplay(), 0);
    EXPECT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 0);
    ASSERT_NE(GXOpenDisplay(m_window, GX_FULLSCREEN), 0);
    EXPECT_EQ(GXOpenDisplay(m_window, GX_FULLSCREEN), 0);
    EXPECT_TRUE(record.displayClaimed);
    EXPECT_NE(GXCloseDisplay(), 0);
    EXPECT_FALSE(record.displayClaimed);
    EXPECT_EQ(record.displayOpens, 1);
    EXPECT_EQ(record.displayCloses, 2);
    HostFaults::Set(HostFault::GXOpenDisplay, true);
    EXPECT_EQ(GXOpenDisplay(m_window, GX_FULLSCREEN), 0);
}

TEST_F(WinCeShellTest, KeysVersionAndMessages) {
    HostDeviceRecord& record = HostDeviceRecord::Get();
    EXPECT_TRUE(AllKeys(1));
    EXPECT_TRUE(record.keysTaken);
    HostFaults::Set(HostFault::AllKeysGive, true);
    EXPECT_FALSE(AllKeys(0));
    EXPECT_TRUE(record.keysTaken);
    EXPECT_EQ(record.allKeysCalls, 2);

    HostSystemInfo::SetOsVersion(6, 5);
    OSVERSIONINFOW version{};
    EXPECT_FALSE(GetVersionExW(&version));
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(&version));
    EXPECT_EQ(version.dwMajorVersion, 6u);
    EXPECT_EQ(version.dwMinorVersion, 5u);

    EXPECT_EQ(MessageBoxW(nullptr, u"Caf\u00e9 \\ \U0001F600", u"t", MB_ICONERROR), 1);
    ASSERT_EQ(record.messageBoxes.size(), 1u);
    EXPECT_EQ(record.messageBoxes[0], "t: Caf\xC3\xA9 \\ \xF0\x9F\x98\x80");

    SHELLEXECUTEINFO request{};
    request.cbSize = sizeof(request);
    request.lpVerb = u"open";
    request.lpFile = u"http://example.invalid/";
    EXPECT_FALSE(ShellExecuteEx(&request));
    record.shellExecuteSucceeds = true;
    EXPECT_TRUE(ShellExecuteEx(&request));
    request.cbSize = 60;
    EXPECT_FALSE(ShellExecuteEx(&request));
    EXPECT_EQ(record.shellExecutes, (std::vector<std::string>(2, "open http://example.invalid/")));
}

}  // namespace
