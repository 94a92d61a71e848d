#include "EnemyFixture.h"

namespace playtest {
namespace {

using LargeEnemyBTest = EnemyFixture;

// Frames of 40 ms until a timer set to t has run out (it expires on the
// frame it would drop below 1).
constexpr int32_t FramesToExpire(int32_t t) { return (t - 1) / kDt + 1; }

TEST_F(LargeEnemyBTest, TypeFiftyNineIsRammedByAChargingLowPlayerOrPushesItOut) {
    struct Case {
        int32_t stance;
        int32_t vx;
        int32_t reserve;
        int32_t power;
        bool killed;
    };
    const Case cases[] = {{1, 101 * kPx, 1, 0, true},  {1, 101 * kPx, 0, 1, true},  {1, 101 * kPx, 0, 0, false},
                          {1, 100 * kPx, 4, 0, false}, {0, 101 * kPx, 4, 0, false}, {1, -101 * kPx, 4, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stance << " " << c.vx << " " << c.reserve << " " << c.power);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 96, 100);
        p->SetStateWord(PlayerWord::kStance, c.stance);
        p->SetStateWord(PlayerWord::kReserve, c.reserve);
        p->SetStateWord(PlayerWord::kCharge, c.power);
        p->SetStateWord(45, 2);
        p->vx = c.vx;
        CActor* e = MakeOn(kReachingSet, ActorType::kLargeEnemy59, 100, 100);
        e->SetStateWord(1, 100000);
        Think(e);
        if (c.killed) {
            EXPECT_EQ(e->hitPoints, 0);
            EXPECT_EQ(e->StateWord(0), -1);
            EXPECT_TRUE(e->IsAnimation(5));
            EXPECT_EQ(p->StateWord(PlayerWord::kReserve), 0);
        } else {
            EXPECT_EQ(e->hitPoints, 3000);
            // One pixel clear of the body on the left.
            EXPECT_EQ(p->x, e->x - 11 * kPx);
            EXPECT_EQ(p->vx, 0);
        }
    }
}

TEST_F(LargeEnemyBTest, TypeFiftyNineWindsUpOnReachThenStrikesNearOrFarAndRecovers) {
    Floor(4);
    for (bool far : {false, true}) {
        SCOPED_TRACE(far);
        // Above the body, inside the reach box (x -2..2, y -30..-26).
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 74);
        CActor* e = MakeOn(kReachingSet, ActorType::kLargeEnemy59, 100, 100);
        ASSERT_EQ(e->StateWord(0), 1);
        Think(e);
        EXPECT_EQ(e->StateWord(0), 2);
        EXPECT_EQ(e->StateWord(1), 1300);
        EXPECT_TRUE(e->IsAnimation(3));
        if (far) p->SetPosition(200 * kPx, p->y);
        for (int32_t i = 1; i < FramesToExpire(1300); ++i) Think(e);
        EXPECT_EQ(e->StateWord(0), 2);
        Think(e);
        EXPECT_EQ(e->StateWord(0), 3);
        EXPECT_TRUE(e->IsAnimation(far ? 7 : 4));
        ThinkUntil(e, [&] { return e->StateWord(0) == 4; });
        EXPECT_EQ(e->StateWord(1), 2000);
        EXPECT_TRUE(e->IsAnimation(0));
        p->SetPosition(300 * kPx, 100 * kPx);
        for (int32_t i = 1; i < FramesToExpire(2000); ++i) Think(e);
        EXPECT_EQ(e->StateWord(0), 4);
        Think(e);
        EXPECT_EQ(e->StateWord(0), 1);
        EXPECT_EQ(e->StateWord(1), 500);
    }
}

TEST_F(LargeEnemyBTest, TypeFiftyNinePatrolsTwoTilesUnlessItStays) {
    Floor(4);
    for (int8_t stays : {0, 1}) {
        SCOPED_TRACE(stays);
        MakePlayer(ActorType::kPlayerFormA, 300, 100);
        CActor* e = MakeOn(kReachingSet, ActorType::kLargeEnemy59, 100, 100, {stays});
        for (int32_t i = 0; i < FramesToExpire(1000); ++i) Think(e);
        if (stays != 0) {
            EXPECT_EQ(e->StateWord(0), 1);
            EXPECT_EQ(e->vx, 0);
            continue;
        }
        // It turns about (it was facing right) and walks 2 tiles.
        EXPECT_EQ(e->StateWord(0), 0);
        EXPECT_EQ(e->facing, 0);
        EXPECT_EQ(e->vx, -100 * kPx);
        EXPECT_EQ(e->StateWord(3), e->x - 48 * kPx);
        EXPECT_TRUE(e->IsAnimation(1));
        e->prevX = e->x + 1;
        e->SetPosition(e->StateWord(3) - 1, e->y);
        Think(e);
        EXPECT_EQ(e->StateWord(0), 1);
        EXPECT_EQ(e->vx, 0);
        EXPECT_EQ(e->StateWord(1), 1000);
    }
}

TEST_F(LargeEnemyBTest, TypeFiftyNineIgnoresBlowsInItsAttackWhileAPromptRunsUnlessThePlayerIsPoweredUp) {
    for (int32_t power : {0, 1, 2}) {
        SCOPED_TRACE(power);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
        p->SetAnimation(2, false);
        p->SetStateWord(PlayerWord::kCharge, power);
        world->promptStatus = CGameWorld::kPromptRunning;
        CActor* e = MakeOn(kReachingSet, ActorType::kLargeEnemy59, 100, 100);
        e->SetStateWord(0, 2);
        e->SetStateWord(1, 100000);
        Think(e);
        EXPECT_EQ(e->hitPoints, power >= 2 ? 2700 : 3000);
    }
    // Outside its attack the blow counts, prompt or not.
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
    p->SetAnimation(2, false);
    CActor* e = MakeOn(kReachingSet, ActorType::kLargeEnemy59, 100, 100);
    e->SetStateWord(1, 100000);
    Think(e);
    EXPECT_EQ(e->hitPoints, 2700);
}

TEST_F(LargeEnemyBTest, TypeSixtySevenSleepsUntilSignalledThenDropsInAndChargesWithoutPushing) {
    Floor(4);
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 96, 100);
    p->SetAnimation(2, false);
    CActor* e = Make(ActorType::kLargeEnemy67, 100, 100);
    for (int32_t i = 0; i < 10; ++i) Think(e);
    EXPECT_EQ(e->hitPoints, 6000);
    EXPECT_EQ(p->x, 96 * kPx);
    EXPECT_FALSE(e->sprite->IsVisible());
    e->OnScriptSignal();
    EXPECT_TRUE(e->sprite->IsVisible());
    p->SetAnimation(0, true);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 12);
    EXPECT_EQ(e->facing, 0);
    EXPECT_EQ(e->vx, -240 * kPx);
    EXPECT_EQ(e->StateWord(1), 8000);
    EXPECT_TRUE(e->IsAnimation(7));
    // The first charge goes through the player.
    Think(e);
    EXPECT_EQ(p->x, 96 * kPx);
    EXPECT_EQ(e->StateWord(0), 12);
    // Apart from the player inside the view: it stops, then decides.
    p->SetPosition(200 * kPx, p->y);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 11);
    EXPECT_EQ(e->vx, 0);
    ThinkUntil(e, [&] { return e->StateWord(0) == 10; });
    EXPECT_EQ(e->StateWord(10), 0);
    // From now on it pushes the player out.
    p->SetPosition(104 * kPx, p->y);
    Think(e);
    EXPECT_EQ(p->x, e->x + 11 * kPx);
}

TEST_F(LargeEnemyBTest, TypeSixtySevenDecidesAStepWithinItsLimits) {
    Floor(4);
    int32_t seen[3] = {0, 0, 0};
    for (int32_t i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        MakePlayer(ActorType::kPlayerFormA, 160, 100);
        CActor* e = Make(ActorType::kLargeEnemy67, 100, 100);
        e->SetStateWord(12, 1);
        e->SetStateWord(0, 10);
        e->SetStateWord(1, 1);
        e->SetStateWord(10, 0);
        const bool backOff = i % 4 == 3;
        e->SetStateWord(4, backOff ? 1 : 0);
        Think(e);
        EXPECT_EQ(e->StateWord(0), 14);
        EXPECT_EQ(e->facing, 1);
        const int32_t t = e->StateWord(1);
        EXPECT_GE(t, 700);
        EXPECT_LE(t, 1200);
        EXPECT_EQ(t % 50, 0);
        if (backOff) {
            EXPECT_EQ(e->vx, -40 * kPx);
            EXPECT_EQ(e->StateWord(4), 0);
        } else {
            ASSERT_TRUE(e->vx == -40 * kPx || e->vx == 0 || e->vx == 40 * kPx);
            ++seen[e->vx / (40 * kPx) + 1];
        }
        EXPECT_TRUE(e->IsAnimation(e->vx > 0 ? 1 : 2));
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
    // A player beyond eight tiles: it walks towards it.
    MakePlayer(ActorType::kPlayerFormA, 100 + 8 * 24, 100);
    CActor* e = Make(ActorType::kLargeEnemy67, 100, 100);
    e->SetStateWord(12, 1);
    e->SetStateWord(0, 10);
    e->SetStateWord(1, 1);
    Think(e);
    EXPECT_EQ(e->vx, 40 * kPx);
    EXPECT_TRUE(e->IsAnimation(1));
}

TEST_F(LargeEnemyBTest, DyingTypeSixtySevenCountsItsCounterDownOrStartsIt) {
    for (int32_t count : {2, 0, -1}) {
        SCOPED_TRACE(count);
        MakePlayer(ActorType::kPlayerFormA, 300, 100);
        CActor* counter = Make(ActorType::kSwitch28, 50, 100);
        counter->spawnId = 7;
        Insert(counter);
        world->actorRefs[3] = 7;
        counter->SetStateWord(2, count);
        counter->SetStateWord(1, 0);
        // count -1: the reference names a spawn that is not in play.
        CActor* e = Make(ActorType::kLargeEnemy67, 100, 100, {static_cast<int8_t>(count == -1 ? 4 : 3)});
        Insert(e);
        e->SetStateWord(12, 1);
        e->SetStateWord(0, 10);
        e->hitPoints = 0;
        e->vx = 500;
        Think(e);
        EXPECT_EQ(e->StateWord(0), 3);
        EXPECT_TRUE(e->IsAnimation(11));
        EXPECT_EQ(e->StateWord(1), 2000);
        ThinkUntil(e, [&] { return e->IsAnimation(12); });
        EXPECT_EQ(e->vx, 0);
        world->FlushActorLists();
        EXPECT_EQ(e->depth, 5);
        ThinkUntil(e, [&] {
            world->FlushActorLists();
            return !InDrawList(e);
        });
        EXPECT_FALSE(InDrawList(e));
        if (count > 0) {
            EXPECT_EQ(counter->StateWord(2), count - 1);
            EXPECT_EQ(counter->StateWord(1), 0);
        } else if (count == 0) {
            EXPECT_EQ(counter->StateWord(1), 1);
            EXPECT_TRUE(counter->IsAnimation(1));
        } else {
            EXPECT_EQ(counter->StateWord(2), -1);
            EXPECT_EQ(counter->StateWord(1), 0);
        }
        world->QueueRemoveActor(counter);
        world->FlushActorLists();
    }
}

TEST_F(LargeEnemyBTest, NeitherWalksOffAPlatformEdge) {
    MakePlayer(ActorType::kPlayerFormA, 400, 100);
    Floor(5, 0, 4);
    for (int32_t type : {ActorType::kLargeEnemy59, ActorType::kLargeEnemy67}) {
        for (int32_t x : {113, 114}) {
            SCOPED_TRACE(testing::Message() << type << " " << x);
            CActor* e = MakeOn(kReachingSet, type, x, 120);
            if (type == ActorType::kLargeEnemy67) {
                e->SetStateWord(12, 1);
                e->SetStateWord(0, 1);  // before its blow
                e->SetStateWord(1, 100000);
            } else {
                e->SetStateWord(0, 4);
                e->SetStateWord(1, 100000);
            }
            e->vx = 40 * kPx;
            Think(e);
            EXPECT_EQ(e->vx, x == 113 ? 40 * kPx : 0);
        }
    }
}

TEST_F(LargeEnemyBTest, TypeSixtySevensStepEndsInABlowALungeOrAnotherDecisionByDistance) {
    Floor(4);
    // Blow below its box width plus two thirds of the player's (16 px),
    // another decision beyond two thirds of the view (160 px), else a lunge.
    struct Case {
        int32_t distance;
        int32_t action;
    };
    const Case cases[] = {{15, 1}, {16, 13}, {160, 13}, {161, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 100 + c.distance, 100);
        p->SetStateWord(PlayerWord::kPower, 1);  // the blow cannot hurt it here
        CActor* e = Make(ActorType::kLargeEnemy67, 100, 100);
        e->SetStateWord(12, 1);
        e->SetStateWord(10, 0);
        e->SetStateWord(0, 14);
        e->SetStateWord(1, 1);
        e->facing = 1;
        e->vx = 40 * kPx;
        Think(e);
        EXPECT_EQ(e->StateWord(0), c.action);
        if (c.action == 1) {
            EXPECT_TRUE(e->IsAnimation(5));
            EXPECT_EQ(e->vx, 0);
        } else if (c.action == 13) {
            EXPECT_TRUE(e->IsAnimation(4));
            EXPECT_EQ(e->StateWord(1), 150);
        } else {
            EXPECT_EQ(e->StateWord(1), 100);
        }
    }
}

TEST_F(LargeEnemyBTest, TypeSixtySevensLungeRunsThenBlowsAndABlowThatLandsMakesItBackOff) {
    Floor(4);
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 140, 100);
    CActor* e = MakeOn(kStrikingSet, ActorType::kLargeEnemy67, 100, 100);
    e->SetStateWord(12, 1);
    e->SetStateWord(10, 0);
    e->SetStateWord(0, 13);
    e->SetStateWord(1, 150);
    e->facing = 1;
    e->ApplyFacing();
    e->SetAnimation(4, false);
    ThinkUntil(e, [&] { return e->IsAnimation(13); });
    EXPECT_EQ(e->vx, 240 * kPx);
    // 120 ms of running, counted from the frame it starts.
    EXPECT_EQ(e->StateWord(1), 120 - kDt);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 13);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 1);
    EXPECT_EQ(e->vx, 0);
    EXPECT_TRUE(e->IsAnimation(5));
    // Its blow lands: a spark and the back-off flag.
    p->SetPosition(e->x + 12 * kPx, p->y);
    Think(e);
    EXPECT_EQ(p->hitPoints, 15);
    EXPECT_EQ(e->StateWord(4), 1);
    p->SetPosition(300 * kPx, p->y);
    ThinkUntil(e, [&] { return e->StateWord(0) == 10; });
    EXPECT_EQ(e->StateWord(1), 2000);
    EXPECT_TRUE(e->IsAnimation(0));
}

}  // namespace
}  // namespace playtest
