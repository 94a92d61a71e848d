#include <gtest/gtest.h>

#include <string>

#include "CConfigReader.h"
#include "CDeviceConfig.h"
#include "CGameInput.h"
#include "CTouchButton.h"
#include "CTouchButtonLayout.h"
#include "CTouchButtonManager.h"

namespace {

using namespace GameKey;

CTouchButton MakeButton(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t keys) {
    CTouchButton button;
    button.SetRect(x, y, w, h);
    button.SetId(CTouchButton::kKeyAction, keys);
    return button;
}

TEST(CTouchButtonTest, RectangleExcludesItsRightAndBottomEdges) {
    const CTouchButton button = MakeButton(10, 20, 5, 4, kFire);
    EXPECT_TRUE(button.HitTest(10, 20));
    EXPECT_TRUE(button.HitTest(14, 23));
    EXPECT_FALSE(button.HitTest(15, 20));
    EXPECT_FALSE(button.HitTest(10, 24));
    EXPECT_FALSE(button.HitTest(9, 20));
    EXPECT_FALSE(button.HitTest(10, 19));
}

TEST(CTouchButtonTest, CircleComparesWithTheSquaredRadius) {
    CTouchButton button = MakeButton(50, 50, 0, 100, kFire);
    button.SetShape(CTouchButton::kCircle);
    EXPECT_TRUE(button.HitTest(59, 50));
    EXPECT_FALSE(button.HitTest(60, 50));
    EXPECT_FALSE(button.HitTest(50, 40));
    // Far-off points do not wrap round into a hit.
    EXPECT_FALSE(button.HitTest(50 + 65536, 50));
    EXPECT_FALSE(button.HitTest(INT32_MIN, INT32_MIN));
}

TEST(CTouchButtonTest, ButtonWithoutKeyActionGivesNoKeys) {
    CGameInput input;
    CTouchButton button;
    button.SetRect(0, 0, 10, 10);
    button.SetId(CTouchButton::kNoAction, kFire);
    input.held = kUp;
    button.SetPressed(true, input);
    button.OnEdge(CTouchButton::kEdgeDown, input);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_EQ(input.held, kUp);
    EXPECT_EQ(input.pendingPressed, 0u);
}

class TouchManagerTest : public ::testing::Test {
protected:
    TouchManagerTest() : manager(input) {}

    void Tap(int32_t x, int32_t y) {
        manager.OnPointerDown(x, y);
        Tick();
    }
    void Lift(int32_t x, int32_t y) {
        manager.OnPointerUp(x, y);
        Tick();
    }
    void Tick() {
        manager.Update(60);
        input.LatchFrame();
    }

    CGameInput input;
    CTouchButtonManager manager;
};

TEST_F(TouchManagerTest, LaterGroupAndLaterButtonWinAndTheLoserIsLetGo) {
    CTouchButton low = MakeButton(0, 0, 20, 20, kLeft);
    CTouchButton high = MakeButton(10, 10, 20, 20, kRight);
    CTouchButton top = MakeButton(15, 15, 20, 20, kUp);
    TouchButtonList first;
    first.addElement(&low);
    first.addElement(&high);
    TouchButtonList second;
    second.addElement(&top);
    ASSERT_TRUE(manager.AddGroup(7, &first));
    ASSERT_TRUE(manager.AddGroup(3, &second));
    EXPECT_FALSE(manager.AddGroup(7, &second));
    manager.Enable(7);

    Tap(12, 12);
    EXPECT_TRUE(high.IsPressed());
    EXPECT_FALSE(low.IsPressed());
    EXPECT_EQ(input.pressed, kRight);
    EXPECT_EQ(input.held, kRight);

    manager.Enable(3);
    manager.OnPointerMove(16, 16);
    Tick();
    EXPECT_TRUE(top.IsPressed());
    EXPECT_FALSE(high.IsPressed());
    EXPECT_EQ(input.held, kUp);
    // Moving is no new press.
    EXPECT_FALSE(input.AnyPressed());

    Lift(16, 16);
    EXPECT_FALSE(top.IsPressed());
    EXPECT_EQ(input.held, 0u);
}

TEST_F(TouchManagerTest, DownAndUpBetweenTicksPressOnceWithoutHolding) {
    CTouchButton fire = MakeButton(0, 0, 10, 10, kFire);
    TouchButtonList list;
    list.addElement(&fire);
    manager.AddGroup(0, &list);
    manager.Enable(0);
    manager.OnPointerDown(5, 5);
    manager.OnPointerUp(5, 5);
    Tick();
    EXPECT_TRUE(input.IsPressed(kFire));
    EXPECT_FALSE(input.IsHeld(kFire));
    EXPECT_FALSE(fire.IsPressed());
    Tick();
    EXPECT_FALSE(input.AnyPressed());
}

TEST_F(TouchManagerTest, StylusHeldStillKeepsItsButtonAndOutsideReleasesIt) {
    CTouchButton fire = MakeButton(0, 0, 10, 10, kFire);
    TouchButtonList list;
    list.addElement(&fire);
    manager.AddGroup(0, &list);
    manager.Enable(0);
    Tap(5, 5);
    for (int i = 0; i < 3; ++i) {
        Tick();
        EXPECT_TRUE(input.IsHeld(kFire));
        EXPECT_FALSE(input.AnyPressed());
    }
    manager.OnPointerMove(50, 50);
    Tick();
    EXPECT_FALSE(input.IsHeld(kFire));
    EXPECT_FALSE(fire.IsPressed());
}

TEST_F(TouchManagerTest, GroupsEnableOnceAndUnknownOrDisabledGroupsChangeNothing) {
    CTouchButton fire = MakeButton(0, 0, 10, 10, kFire);
    TouchButtonList list;
    list.addElement(&fire);
    manager.AddGroup(2, &list);
    manager.Enable(2);
    manager.Enable(2);
    manager.Enable(9);
    manager.Disable(9);
    manager.Disable(2);
    EXPECT_FALSE(manager.IsEnabled(2));
    // Once disabled, a single Disable was enough: it was listed once.
    Tap(5, 5);
    EXPECT_FALSE(input.AnyPressed());
    manager.Enable(2);
    manager.RemoveGroup(2);
    EXPECT_FALSE(manager.IsEnabled(2));
    Lift(5, 5);
    Tap(5, 5);
    EXPECT_FALSE(input.AnyPressed());
    // The id is free again.
    EXPECT_TRUE(manager.AddGroup(2, &list));
}

TEST_F(TouchManagerTest, ResetForgetsThePointerButKeepsTheGroups) {
    CTouchButtonLayout layout;
    layout.Build(240, 320, SoftKeyInsets());
    layout.Register(manager);
    manager.OnPointerDown(5, 300);
    manager.Reset();
    Tick();
    EXPECT_FALSE(input.AnyPressed());
    Tap(5, 300);
    EXPECT_EQ(input.pressed, kConfirm);
}

struct Placed {
    int32_t x, y, w, h;
    uint32_t keys;
};

void ExpectLayout(const CTouchButtonLayout& layout, const Placed (&expected)[CTouchButtonLayout::kButtonCount]) {
    for (int32_t i = 0; i < CTouchButtonLayout::kButtonCount; ++i) {
        const CTouchButton& b = layout.Button(i);
        const Placed& e = expected[i];
        EXPECT_EQ(b.GetX(), e.x) << "button " << i;
        EXPECT_EQ(b.GetY(), e.y) << "button " << i;
        EXPECT_EQ(b.GetWidth(), e.w) << "button " << i;
        EXPECT_EQ(b.GetHeight(), e.h) << "button " << i;
        EXPECT_EQ(b.GetKeys(), e.keys) << "button " << i;
    }
}

TEST(CTouchButtonLayoutTest, PortraitScreenWithInsets) {
    CTouchButtonLayout layout;
    SoftKeyInsets insets;
    insets.left = 3;
    insets.right = 7;
    layout.Build(240, 320, insets);
    // Pad origin: ((240 - 93) >> 1) - 70 = 3, ((320 - 93) >> 1) + 40 = 153.
    const Placed expected[CTouchButtonLayout::kButtonCount] = {
        {3, 292, 62, 28, kConfirm},  {171, 292, 62, 28, kCancel | kSoftRight},
        {38, 158, 23, 23, kUp},      {7, 189, 23, 23, kLeft},
        {69, 189, 23, 23, kRight},   {38, 220, 23, 23, kDown},
        {9, 162, 15, 15, kNum1},     {77, 162, 15, 15, kNum3},
        {34, 246, 31, 31, kFire},    {3, 247, 31, 31, kFire},
        {65, 247, 31, 31, kNum0},    {0, 0, 24, 24, kPound},
        {90, 256, 12, 12, kUp},      {138, 256, 12, 12, kDown},
        {106, 0, 28, 28, kNum1},     {212, 0, 28, 28, kNum9},
    };
    ExpectLayout(layout, expected);
}

TEST(CTouchButtonLayoutTest, LandscapeScreenAndGroups) {
    CTouchButtonLayout layout;
    layout.Build(321, 240, SoftKeyInsets());
    // Pad origin: (228 >> 1) - 70 = 44, (147 >> 1) + 40 = 113; 321 / 2 = 160.
    const Placed expected[CTouchButtonLayout::kButtonCount] = {
        {0, 212, 62, 28, kConfirm},  {259, 212, 62, 28, kCancel | kSoftRight},
        {79, 118, 23, 23, kUp},      {48, 149, 23, 23, kLeft},
        {110, 149, 23, 23, kRight},  {79, 180, 23, 23, kDown},
        {50, 122, 15, 15, kNum1},    {118, 122, 15, 15, kNum3},
        {75, 206, 31, 31, kFire},    {44, 207, 31, 31, kFire},
        {106, 207, 31, 31, kNum0},   {0, 0, 24, 24, kPound},
        {130, 176, 12, 12, kUp},     {178, 176, 12, 12, kDown},
        {146, 0, 28, 28, kNum1},     {293, 0, 28, 28, kNum9},
    };
    ExpectLayout(layout, expected);
    const int32_t sizes[CTouchButtonLayout::kGroupCount] = {2, 7, 1, 2, 2, 2};
    for (int32_t g = 0; g < CTouchButtonLayout::kGroupCount; ++g) EXPECT_EQ(layout.Group(g).size(), sizes[g]);
    EXPECT_EQ(layout.Group(1).elementAt(6), &layout.Button(11));
}

TEST(CTouchButtonLayoutTest, SoftKeyGroupAloneGivesConfirmForOneFrame) {
    CGameInput input;
    CTouchButtonManager manager(input);
    CTouchButtonLayout layout;
    SoftKeyInsets insets;
    insets.left = 10;
    layout.Build(240, 320, insets);
    layout.Register(manager);
    // Pad buttons are not on: only the soft keys answer.
    manager.OnPointerDown(40, 190);
    manager.Update(60);
    input.LatchFrame();
    EXPECT_FALSE(input.AnyPressed());
    manager.OnPointerDown(10 + 61, 320 - 1);
    manager.Update(60);
    input.LatchFrame();
    EXPECT_EQ(input.pressed, kConfirm);
    manager.Update(60);
    input.LatchFrame();
    EXPECT_FALSE(input.AnyPressed());
    EXPECT_TRUE(input.IsHeld(kConfirm));
    manager.OnPointerDown(9, 319);
    manager.Update(60);
    input.LatchFrame();
    EXPECT_FALSE(input.AnyPressed());
}

TEST(SoftKeyInsetsTest, OrientationPicksTheInsetsAndMissingOnesCountAsZero) {
    CDeviceConfig config;
    const std::string text = "LSK_PORTRAIT_X=5\nRSK_PORTRAIT_X=9\nLSK_LANDSCAPE_X=-1\nRSK_LANDSCAPE_X=12\n";
    CConfigReader reader(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
    config.ParseSoftkeys(reader);
    struct Case {
        uint32_t w, h;
        int32_t left, right;
    };
    const Case cases[] = {{240, 320, 5, 9}, {320, 240, 0, 12}, {240, 240, 0, 0}};
    for (const Case& c : cases) {
        const SoftKeyInsets insets = SoftKeyInsets::Of(c.w, c.h, &config);
        EXPECT_EQ(insets.left, c.left) << c.w << "x" << c.h;
        EXPECT_EQ(insets.right, c.right) << c.w << "x" << c.h;
    }
    EXPECT_EQ(SoftKeyInsets::Of(240, 320, nullptr).left, 0);
}

}  // namespace
