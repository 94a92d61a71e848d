#include <climits>
#include <cstdlib>

#include "EnemyFixture.h"

namespace playtest {
namespace {

using MineTest = EnemyFixture;

// The mine's flight speed worked out from its rules: 80 px/s along a
// clear axis, the slope for the other, then both cut by an eighth until
// the sum is at most 120 px/s.
void ExpectedFlight(int32_t dx, int32_t dy, int32_t* sx, int32_t* sy) {
    const int32_t s = 80 * kPx;
    const int32_t small = 4 * kPx;
    *sx = *sy = 0;
    if (std::abs(dx) < small && std::abs(dy) < small) return;
    if (std::abs(dy) < small) {
        *sx = dx < 0 ? -s : s;
        return;
    }
    if (std::abs(dx) < small) {
        *sy = dy < 0 ? -s : s;
        return;
    }
    *sx = dx < 0 ? -s : s;
    *sy = (dy < 0 ? -1 : 1) * (std::abs(dy) * 80 / std::abs(dx)) * kPx;
    while (std::abs(*sx) + std::abs(*sy) > 120 * kPx) {
        *sx -= *sx / 8 - (*sx < 0 && *sx % 8 != 0 ? 1 : 0);
        *sy -= *sy / 8 - (*sy < 0 && *sy % 8 != 0 ? 1 : 0);
    }
}

TEST_F(MineTest, WakesOnlyInsideNinetySixPixelsAndFliesAtThePlayerWithCappedSpeed) {
    // Player offsets in pixels from the mine; the vertical distance is the
    // player's box centre against the mine's box bottom (10 px above).
    struct Case {
        int32_t px, py;
        bool wakes;
    };
    const Case cases[] = {{96, 0, false},  {-96, 0, false}, {95, 0, true},  {-95, 0, true}, {0, 106, false},
                          {0, 105, true},  {2, 11, true},   {10, 60, true}, {-30, 90, true}, {60, -50, true},
                          {3, 13, true},   {50, 9, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 200 + c.px, 150 + c.py);
        CActor* mine = Make(ActorType::kFlyingMine, 200, 150);
        Think(mine);
        if (!c.wakes) {
            EXPECT_EQ(mine->StateWord(0), 0);
            EXPECT_EQ(mine->vx, 0);
            continue;
        }
        int32_t sx = 0;
        int32_t sy = 0;
        ExpectedFlight(p->x - mine->x, p->y - mine->y - 10 * kPx, &sx, &sy);
        EXPECT_EQ(mine->StateWord(0), 3);
        EXPECT_EQ(mine->StateWord(1), 3000);
        EXPECT_EQ(mine->vx, sx);
        EXPECT_EQ(mine->vy, sy);
        EXPECT_EQ(mine->StateWord(2), sx);
        EXPECT_EQ(mine->StateWord(3), sy);
        EXPECT_LE(std::abs(sx) + std::abs(sy), 120 * kPx);
    }
}

TEST_F(MineTest, FliesThreeSecondsArmsFusesAndExplodesThenGoes) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 150, 100);
    CActor* mine = Make(ActorType::kFlyingMine, 100, 100);
    Insert(mine);
    Think(mine);
    ASSERT_EQ(mine->StateWord(0), 3);
    // 3000 ms at 40 ms a frame: the flight ends on the frame it reaches 0.
    for (int32_t i = 1; i < 3000 / kDt; ++i) Think(mine);
    EXPECT_EQ(mine->StateWord(0), 3);
    Think(mine);
    EXPECT_EQ(mine->StateWord(0), 4);
    EXPECT_EQ(mine->vx, 0);
    EXPECT_TRUE(mine->IsAnimation(1));
    // Arming acts once the countdown is below 0: 600 ms is 16 frames.
    for (int32_t i = 0; i < 15; ++i) Think(mine);
    EXPECT_EQ(mine->StateWord(0), 4);
    Think(mine);
    EXPECT_EQ(mine->StateWord(0), 1);
    EXPECT_EQ(mine->StateWord(1), 200);
    for (int32_t i = 0; i < 5; ++i) Think(mine);
    EXPECT_FALSE(mine->IsAnimation(2));
    Think(mine);
    EXPECT_TRUE(mine->IsAnimation(2));
    world->FlushActorLists();
    EXPECT_EQ(mine->depth, 5);
    // The player stood away: the explosion ends without hurting it.
    ThinkUntil(mine, [&] {
        world->FlushActorLists();
        return !InDrawList(mine);
    });
    EXPECT_FALSE(InDrawList(mine));
    EXPECT_EQ(p->hitPoints, 18);
}

TEST_F(MineTest, TouchingThePlayerArmsAtOnceAndTheExplosionHurtsOnlyWhileTouching) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    CActor* mine = Make(ActorType::kFlyingMine, 100, 100);
    Think(mine);
    Think(mine);
    EXPECT_EQ(mine->StateWord(0), 4);
    mine->SetStateWord(0, 1);
    mine->SetStateWord(1, 0);
    Think(mine);
    ASSERT_TRUE(mine->IsAnimation(2));
    // The mine's attack box (5..11, -14..-10) against the player's body.
    p->SetPosition(200 * kPx, 100 * kPx);
    Think(mine);
    EXPECT_EQ(p->hitPoints, 18);
    p->SetPosition(110 * kPx, 100 * kPx);
    Think(mine);
    EXPECT_EQ(p->hitPoints, 13);
    Think(mine);
    EXPECT_EQ(p->hitPoints, 13);  // recovering players are not hurt twice
}

TEST_F(MineTest, StruckAwayItFliesTheWayThePlayerFacesAndExplodesAfter600Ms) {
    for (int32_t facing : {1, 0}) {
        SCOPED_TRACE(facing);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, facing != 0 ? 90 : 110, 100);
        p->facing = facing;
        p->ApplyFacing();
        p->SetAnimation(2, false);
        CActor* mine = Make(ActorType::kFlyingMine, 100, 100);
        const int32_t sparks = CountOfType(*world->pendingAdd, ActorType::kHitSpark);
        Think(mine);
        EXPECT_EQ(mine->StateWord(0), 5);
        EXPECT_EQ(mine->vx, facing != 0 ? 160 * kPx : -160 * kPx);
        EXPECT_EQ(mine->vy, 0);
        EXPECT_EQ(mine->StateWord(1), 600);
        EXPECT_EQ(CountOfType(*world->pendingAdd, ActorType::kHitSpark), sparks + 1);
        p->SetAnimation(0, true);
        p->SetPosition(300 * kPx, 100 * kPx);
        for (int32_t i = 0; i < 15; ++i) Think(mine);
        EXPECT_FALSE(mine->IsAnimation(2));
        Think(mine);
        EXPECT_TRUE(mine->IsAnimation(2));
        EXPECT_EQ(mine->vx, 0);
        // Struck again while it explodes: pushed away, the blast goes on.
        p->SetPosition(mine->x - (facing != 0 ? 10 : -10) * kPx, mine->y);
        p->SetAnimation(2, false);
        Think(mine);
        EXPECT_EQ(mine->StateWord(0), 5);
        EXPECT_TRUE(mine->IsAnimation(2));
        world->FlushActorLists();
    }
}

TEST_F(MineTest, FireAtTheMineStartsThePlayersSetOffMove) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    p->vx = 5000;
    p->vy = 300;
    CActor* mine = Make(ActorType::kFlyingMine, 104, 100);
    Press(0x10);
    Think(mine);
    EXPECT_TRUE(p->IsAnimation(5));
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(p->vy, 0);
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 3);
    EXPECT_EQ(p->StateWord(PlayerWord::kFollowAnimation), 0);
    EXPECT_EQ(p->StateWord(PlayerWord::kFollowLoop), 1);
    EXPECT_EQ(mine->StateWord(0), 0);
    // Not in normal stance: the press does nothing.
    p->SetStateWord(PlayerWord::kStance, 1);
    p->SetStateWord(PlayerWord::kMode, 0);
    p->SetAnimation(0, true);
    Think(mine);
    EXPECT_FALSE(p->IsAnimation(5));
}

TEST_F(MineTest, AWaitingMinesCountdownStopsAtItsLowestValue) {
    MakePlayer(ActorType::kPlayerFormA, 400, 100);
    CActor* mine = Make(ActorType::kFlyingMine, 100, 100);
    mine->SetStateWord(1, INT32_MIN + 5);
    Think(mine);
    EXPECT_EQ(mine->StateWord(1), INT32_MIN);
    Think(mine);
    EXPECT_EQ(mine->StateWord(1), INT32_MIN);
    EXPECT_EQ(mine->StateWord(0), 0);
}

TEST_F(MineTest, HurtByAnotherActorItIsRemovedWhenItsAnimationEnds) {
    MakePlayer(ActorType::kPlayerFormA, 400, 100);
    CActor* mine = Make(ActorType::kFlyingMine, 100, 100);
    Insert(mine);
    mine->SetAnimation(3, false);
    const int32_t frames = ThinkUntil(mine, [&] {
        world->FlushActorLists();
        return !InDrawList(mine);
    });
    EXPECT_LT(frames, 20);
    EXPECT_FALSE(InDrawList(mine));
    // Without a player it still goes.
    world->player = nullptr;
    CActor* other = Make(ActorType::kFlyingMine, 100, 100);
    Insert(other);
    other->SetAnimation(3, false);
    ThinkUntil(other, [&] {
        world->FlushActorLists();
        return !InDrawList(other);
    });
    EXPECT_FALSE(InDrawList(other));
}

}  // namespace
}  // namespace playtest
