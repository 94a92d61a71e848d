#include <gtest/gtest.h>

#include "CGameInput.h"

namespace {

using namespace GameKey;

TEST(CGameInputTest, KeyCodesGiveTheirMasks) {
    struct Case {
        int32_t code;
        uint32_t bits;
    };
    const Case cases[] = {
        {4, kUp},
        {5, kDown},
        {6, kLeft},
        {7, kRight},
        {11, kConfirm | kNum5 | kFire},
        {12, kBack},
        {15, kConfirm | kSoftLeft},
        {16, kCancel | kSoftRight},
        {'#', kPound},
        {'*', kStar},
        {'0', kNum0},
        {'1', kNum1},
        {'2', kNum2 | kUp},
        {'3', kNum3},
        {'4', kNum4 | kLeft},
        {'5', kConfirm | kNum5 | kFire},
        {'6', kNum6 | kRight},
        {'7', kNum7},
        {'8', kNum8 | kDown},
        {'9', kNum9},
        {13, kOther},
        {0, kOther},
        {-1, kOther},
        {58, kOther},
    };
    for (const Case& c : cases) EXPECT_EQ(CGameInput::KeyToBits(c.code), c.bits) << "code " << c.code;
}

TEST(CGameInputTest, PressAndReleaseBetweenUpdatesIsSeenOnceAndNotHeld) {
    CGameInput input;
    input.OnKey(EngineKey::kLeft, true);
    input.OnKey(EngineKey::kLeft, false);
    input.LatchFrame();
    EXPECT_TRUE(input.IsPressed(kLeft));
    EXPECT_FALSE(input.IsHeld(kLeft));
    EXPECT_EQ(input.released, kLeft);
    input.LatchFrame();
    EXPECT_FALSE(input.AnyPressed());
    EXPECT_EQ(input.released, 0u);
}

TEST(CGameInputTest, HeldKeyStaysHeldButIsPressedInItsFirstFrameOnly) {
    CGameInput input;
    input.OnKey(EngineKey::kDown, true);
    input.LatchFrame();
    EXPECT_TRUE(input.IsPressed(kDown));
    for (int frame = 0; frame < 3; ++frame) {
        input.LatchFrame();
        EXPECT_FALSE(input.IsPressed(kDown));
        EXPECT_TRUE(input.IsHeld(kDown));
    }
    input.OnKey(EngineKey::kDown, false);
    input.LatchFrame();
    EXPECT_FALSE(input.IsHeld(kDown));
    EXPECT_EQ(input.released, kDown);
}

TEST(CGameInputTest, SoftKeysArriveAsPressesAndStayHeldUntilReleasedByAll) {
    CGameInput input;
    input.OnKey(EngineKey::kSoftRight, true);
    input.LatchFrame();
    EXPECT_TRUE(input.IsPressed(kSoftRight));
    EXPECT_TRUE(input.IsHeld(kCancel));
    input.Release(kAll);
    EXPECT_EQ(input.held, 0u);

    input.Hold(kSoftLeft);
    input.Hold(kSoftRight);
    EXPECT_EQ(input.held, 0u);
    input.Hold(kSoftLeft | kSoftRight);
    EXPECT_EQ(input.held, kSoftLeft | kSoftRight);
}

TEST(CGameInputTest, ResetDropsPressesAndHeldKeysButKeepsReleases) {
    CGameInput input;
    input.OnKey(EngineKey::kUp, true);
    input.OnKey(EngineKey::kRight, true);
    input.LatchFrame();
    input.OnKey(EngineKey::kUp, false);
    input.OnKey(EngineKey::kSelect, true);
    input.Reset();
    EXPECT_EQ(input.pressed, 0u);
    EXPECT_EQ(input.pendingPressed, 0u);
    EXPECT_EQ(input.held, 0u);
    input.LatchFrame();
    EXPECT_FALSE(input.AnyPressed());
    EXPECT_EQ(input.released, kUp);
}

TEST(CGameInputTest, UnmappedKeyCountsAsAnyPressWithoutANamedBit) {
    CGameInput input;
    input.OnKey(13, true);
    input.LatchFrame();
    EXPECT_TRUE(input.AnyPressed());
    EXPECT_FALSE(input.IsPressed(~kOther));
}

TEST(CGameInputTest, SoftKeyFlagsChooseTheIconFrames) {
    struct Case {
        uint32_t flags;
        int32_t left;
        int32_t right;
    };
    const Case cases[] = {
        {0x01, 0, -1},  {0x02, -1, 1}, {0x03, 0, 1},   {0x04, 0, -1},  {0x08, -1, 2},
        {0x10, 3, -1},  {0x05, -1, -1}, {0x0A, -1, -1}, {0x11, -1, -1}, {0, -1, -1},
        {0xFFFFFFFF, -1, -1},
    };
    CGameInput input;
    for (const Case& c : cases) {
        input.SetSoftKeys(c.flags);
        EXPECT_EQ(input.GetLeftSoftKeyIcon(), c.left) << std::hex << c.flags;
        EXPECT_EQ(input.GetRightSoftKeyIcon(), c.right) << std::hex << c.flags;
    }
    // Without the strip image there is no bar to paint.
    EXPECT_EQ(input.GetSoftKeyBarHeight(), 0);
}

}  // namespace
