#include "AssertCounter.h"
#include "CCore_Win32.h"
#include "CStrChar.h"
#include "HostDeviceRecord.h"
#include "HostTestEnvironment.h"
#include "WinCeWindow.h"

#include <gtest/gtest.h>

namespace {

class CCoreWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        m_core = CCore_Win32::Create();
        ASSERT_NE(m_core, nullptr);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = u"c";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        ASSERT_NE(CreateWindowExW(0, u"c", u"c", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    }
    void TearDown() override { delete m_core; }

    // Whether the message loop was asked to end. The one hidden window
    // gets no messages; with nothing to wait for the loop would ask it to
    // close instead.
    static bool QuitWasPosted() {
        MSG message{};
        return GetMessageW(&message, nullptr, 0, 0) == 0;
    }

    HostTestEnvironment m_environment;
    CCore_Win32* m_core = nullptr;
};

TEST_F(CCoreWin32Test, OnlyTheLeftSoftKeyMeansLeft) {
    EXPECT_EQ(m_core->MapSoftKey(15), 3u);
    EXPECT_EQ(m_core->MapSoftKey(16), 4u);
    EXPECT_EQ(m_core->MapSoftKey(0), 4u);
}

TEST_F(CCoreWin32Test, DirectionRequestsAreRefused) {
    EXPECT_FALSE(m_core->RotateBy90() || m_core->RotateBy180() || m_core->RotateBy270() ||
                 m_core->SetDirectionSpecial() || m_core->RotateBy90Second() || m_core->RotateBy180Second() ||
                 m_core->RotateBy270Second() || m_core->SetDirectionSpecialSecond() || m_core->SetDirection(2) ||
                 m_core->SetDirection2(3));
    EXPECT_EQ(m_core->GetDirection(), 1u);
    CStrChar text("left over");
    EXPECT_FALSE(m_core->GetPlatformText(&text));
    EXPECT_EQ(text.GetLength(), 0);
}

TEST_F(CCoreWin32Test, DirectionsTurnInOrder) {
    const uint32_t quarter[] = {2, 3, 4, 1};
    const uint32_t half[] = {3, 4, 1, 2};
    const uint32_t threeQuarters[] = {4, 1, 2, 3};
    for (uint32_t direction = 1; direction <= 4; ++direction) {
        EXPECT_EQ(ICCore::RotateDirection90(direction), quarter[direction - 1]);
        EXPECT_EQ(ICCore::RotateDirection180(direction), half[direction - 1]);
        EXPECT_EQ(ICCore::RotateDirection270(direction), threeQuarters[direction - 1]);
    }
    AssertCounter asserts;
    EXPECT_EQ(ICCore::RotateDirection90(0), 0u);
    EXPECT_EQ(ICCore::RotateDirection180(5), 0u);
    EXPECT_EQ(ICCore::RotateDirection270(0xFFFFFFFF), 0u);
    EXPECT_EQ(asserts.Count(), 3);
}

TEST_F(CCoreWin32Test, EmptyOrRefusedAddressKeepsTheProgramRunning) {
    EXPECT_FALSE(m_core->OpenUrl(nullptr));
    EXPECT_FALSE(m_core->OpenUrl(u""));
    EXPECT_TRUE(HostDeviceRecord::Get().shellExecutes.empty());
    EXPECT_FALSE(m_core->OpenUrl(u"http://example.invalid/"));
    EXPECT_EQ(HostDeviceRecord::Get().shellExecutes, (std::vector<std::string>{"open http://example.invalid/"}));
    EXPECT_FALSE(QuitWasPosted());
}

TEST_F(CCoreWin32Test, OpenedAddressEndsTheProgram) {
    HostDeviceRecord::Get().shellExecuteSucceeds = true;
    EXPECT_TRUE(m_core->OpenUrl(u"http://example.invalid/"));
    EXPECT_TRUE(QuitWasPosted());
}

TEST_F(CCoreWin32Test, ExitEndsTheLoop) {
    m_core->Exit();
    EXPECT_TRUE(QuitWasPosted());
}

}  // namespace
