#include "CKeyboardState.h"
#include "CMessage.h"
#include "CMouseState.h"
#include "CTouchState.h"

#include "AssertCounter.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

namespace {

void Send(uint32_t id, uint32_t value) {
    CExecutable::Update(new CMessage(nullptr, id, 0, {CMessageParam::Integer(value)}));
}

class InputStateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_app.Init(), 0); }
    TestApplication m_app;
};

TEST_F(InputStateTest, KeyboardCountsPressesReleasesAndHoldTimes) {
    CKeyboardState* keyboard = new CKeyboardState();
    ASSERT_TRUE(keyboard->Init());
    Send(CKeyboardState::kKeyPressed, 7);
    Send(CKeyboardState::kKeyPressed, 7);
    Send(CKeyboardState::kKeyReleased, 7);
    Send(CKeyboardState::kKeyReleased, 9);  // never pressed
    Send(CKeyboardState::kKeyPressed, 200);  // outside the table: ignored
    EXPECT_EQ(keyboard->Current().heldCount[7], 1);
    EXPECT_EQ(keyboard->Current().heldCount[9], 0);
    keyboard->Update(40);
    EXPECT_EQ(keyboard->Current().heldTime[7], 40u);
    EXPECT_EQ(keyboard->Current().pressCount[7], 0);
    EXPECT_EQ(keyboard->Previous().pressCount[7], 2);
    EXPECT_EQ(keyboard->Previous().releaseCount[7], 1);
    EXPECT_EQ(keyboard->GetIdleTime(), 0u);
    Send(CKeyboardState::kKeyReleased, 7);
    for (int frame = 0; frame < 3; ++frame) keyboard->Update(40);
    EXPECT_EQ(keyboard->GetIdleTime(), 120u);
    Send(CKeyboardState::kKeyPressed, 3);
    EXPECT_EQ(keyboard->GetIdleTime(), 0u);
    Send(CInputStateRecord::kAppResume, 0);
    EXPECT_EQ(keyboard->Current().heldCount[3], 0);
    delete keyboard;
    // The deleted record no longer listens.
    Send(CKeyboardState::kKeyPressed, 3);
}

// Two presses of one key held over frames: the first release restarts the
// hold time but the key stays held until the second.
TEST_F(InputStateTest, KeyReleaseWhileAnotherPressOfTheKeyIsHeld) {
    CKeyboardState* keyboard = new CKeyboardState();
    ASSERT_TRUE(keyboard->Init());
    Send(CKeyboardState::kKeyPressed, 5);
    Send(CKeyboardState::kKeyPressed, 5);
    keyboard->Update(40);
    keyboard->Update(40);
    EXPECT_EQ(keyboard->Current().heldTime[5], 80u);
    Send(CKeyboardState::kKeyReleased, 5);
    EXPECT_EQ(keyboard->Current().heldCount[5], 1);
    EXPECT_EQ(keyboard->Current().heldTime[5], 0u);
    keyboard->Update(40);
    EXPECT_EQ(keyboard->Current().heldTime[5], 40u);
    EXPECT_EQ(keyboard->Current().anyHeld, 1);
    EXPECT_EQ(keyboard->GetIdleTime(), 0u);
    Send(CKeyboardState::kKeyReleased, 5);
    keyboard->Update(40);
    EXPECT_EQ(keyboard->Current().heldCount[5], 0);
    EXPECT_EQ(keyboard->Current().heldTime[5], 0u);
    EXPECT_EQ(keyboard->Current().anyHeld, 0);
    EXPECT_EQ(keyboard->GetIdleTime(), 40u);
    delete keyboard;
}

TEST_F(InputStateTest, PointerRecordsAdvanceTimeAndResetOnFocus) {
    CMouseState* mouse = new CMouseState();
    CTouchState* touch = new CTouchState();
    ASSERT_TRUE(mouse->Init());
    ASSERT_TRUE(touch->Init());
    Send(0x8918794C, 10 | (20 << 16));
    Send(0x35C43E56, 0);
    mouse->Update(40);
    mouse->Update(40);
    touch->Update(40);
    EXPECT_EQ(mouse->GetTime(), 80u);
    EXPECT_EQ(touch->GetTime(), 40u);
    Send(CInputStateRecord::kAppFocus, 0);
    EXPECT_EQ(mouse->GetTime(), 0u);
    EXPECT_EQ(touch->GetTime(), 0u);
    AssertCounter counter;
    mouse->HandleEvent(0x35C43E56, 0);  // a touch event is not a mouse event
    EXPECT_EQ(counter.Count(), 1);
    delete mouse;
    delete touch;
}

}  // namespace
