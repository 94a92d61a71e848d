#include "ActorKit.h"
#include "BehaviourFixture.h"

namespace playtest {
namespace {

using ProjectileTest = BehaviourFixture;

TEST_F(ProjectileTest, BossShotWaitsPinnedToTheRightEdgeThenFliesLeftAtTheFrameItsWaitEnds) {
    MakePlayer(ActorType::kPlayerFormA, 20, 300);
    world->cameraX = 30;
    CActor* shot = MakeOn(kStrikingSet, ActorType::kBossShot, 50, 80);
    ASSERT_EQ(shot->StateWord(1), 1500);
    const int32_t frames = (1500 + kDt - 1) / kDt;  // the frame the wait reaches 0 or less
    for (int32_t i = 1; i < frames; ++i) Think(shot);
    EXPECT_EQ(shot->StateWord(0), 0);
    EXPECT_EQ(shot->x, (30 + kScreenWidth) * kPx);
    EXPECT_EQ(shot->y, 80 * kPx);
    Think(shot);
    EXPECT_EQ(shot->StateWord(0), 1);
    EXPECT_EQ(shot->StateWord(1), 0);
    EXPECT_EQ(shot->vx, -200 * kPx);
    EXPECT_TRUE(shot->IsAnimation(0));

    // A shot whose wait is already over when it is made never starts.
    CActor* stuck = MakeOn(kStrikingSet, ActorType::kBossShot, 50, 80);
    stuck->SetStateWord(1, 0);
    for (int32_t i = 0; i < 100; ++i) Think(stuck);
    EXPECT_EQ(stuck->StateWord(0), 0);
    EXPECT_EQ(stuck->vx, 0);
}

TEST_F(ProjectileTest, FlyingBossShotHurtsAnUnshieldedPlayerAndIsRemoved) {
    for (bool shielded : {false, true}) {
        SCOPED_TRACE(shielded);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
        p->SetStateWord(PlayerWord::kStance, shielded ? 2 : 0);
        CActor* shot = MakeOn(kStrikingSet, ActorType::kBossShot, 105, 100);  // facing left
        Insert(shot);
        shot->SetStateWord(0, 1);
        shot->SetAnimation(0, true);
        const int32_t before = p->hitPoints;
        Think(shot);
        world->FlushActorLists();
        // The shot's move is (0, 2, 0).
        EXPECT_EQ(p->hitPoints, shielded ? before : before - 2);
        EXPECT_EQ(InDrawList(shot), shielded);
    }
}

TEST_F(ProjectileTest, ThrownShotFollowsAtThreeQuartersOfThePlayersSpeedThenLaunchesAtTheLeftEdge) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 150, 200);
    world->cameraX = 40;
    CActor* shot = MakeOn(kProjectileSet, ActorType::kThrownShot, 60, 100);
    p->vx = -101 * kPx - 3;
    Think(shot);
    EXPECT_EQ(shot->vx, p->vx - (p->vx >> 2));
    EXPECT_EQ(shot->StateWord(0), 0);
    shot->SetPosition(40 * kPx, shot->y);
    Think(shot);
    EXPECT_EQ(shot->StateWord(0), 1);
    EXPECT_EQ(shot->vx, 140 * kPx);
    EXPECT_EQ(shot->targetVx, 450 * kPx);
    EXPECT_EQ(shot->ax, 200 * kPx);
    EXPECT_EQ(shot->gravity, 0);
    EXPECT_EQ(shot->y, p->y - (p->GetHeight() / 2) * kPx);
    EXPECT_TRUE(shot->IsAnimation(6));
}

TEST_F(ProjectileTest, FlyingShotCollidesWithTilesOnlyInTheLowestQuarterOfTheViewAndOnlyWhenAllowed) {
    MakePlayer(ActorType::kPlayerFormA, 10, 10);
    world->cameraY = 16;
    const int32_t lowQuarter = 16 + 3 * kScreenHeight / 4;
    for (int32_t noSwitch : {0, 1}) {
        CActor* shot = MakeOn(kProjectileSet, ActorType::kThrownShot, 200, lowQuarter);
        shot->SetStateWord(0, 1);
        shot->SetStateWord(1, noSwitch);
        shot->onGround = 0;
        shot->vy = 100;
        Think(shot);
        EXPECT_EQ(shot->collisionFlags, 0) << "at the quarter's edge";
        shot->SetPosition(shot->x, lowQuarter * kPx + 1);
        Think(shot);
        EXPECT_EQ(shot->collisionFlags, noSwitch == 0 ? 7 : 0);
    }
}

TEST_F(ProjectileTest, ShotLandingExplodesWithSoundAndShakeThenHurtsAndGoes) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 10, 10);
    CActor* shot = MakeOn(kProjectileSet, ActorType::kThrownShot, 200, 200);
    Insert(shot);
    shot->SetStateWord(0, 1);
    shot->gravity = 5;
    shot->onGround = 1;
    Think(shot);
    EXPECT_EQ(shot->StateWord(0), 2);
    EXPECT_EQ(shot->gravity, 0);
    EXPECT_EQ(shot->collisionFlags, 0);
    EXPECT_EQ(shot->depth, 5);
    EXPECT_TRUE(shot->IsAnimation(10));
    EXPECT_EQ(world->shakeTime, 150);
    EXPECT_EQ(world->shakeAmplitudeX, 4);
    EXPECT_EQ(world->shakeAmplitudeY, 4);
    // The player walks into the blast: hurt by move (10, 2, 0), the blast
    // finishes and the shot goes when the animation ends.
    p->SetPosition(shot->x, shot->y);
    const int32_t before = p->hitPoints;
    Think(shot);
    EXPECT_EQ(p->hitPoints, before - 2);
    EXPECT_EQ(shot->StateWord(0), -1);
    world->FlushActorLists();
    ThinkUntilDone(shot);
    Think(shot);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(shot));
}

TEST_F(ProjectileTest, BombBlastOnItsOwnerCutsTheOwnersTimerTo500) {
    for (int32_t timer : {800, 300}) {
        CActor* owner = MakeOn(kMainSet, ActorType::kFlyingBoss, 200, 200);
        owner->hitPoints = 1900;
        owner->SetStateWord(1, timer);
        CActor* bomb = MakeOn(kProjectileSet, ActorType::kThrownShot, 200, 200);
        bomb->link = owner;
        bomb->SetStateWord(0, 2);
        bomb->SetAnimation(12, false);
        Think(bomb);
        EXPECT_EQ(bomb->StateWord(0), -1);
        EXPECT_EQ(owner->hitPoints, 1400);
        EXPECT_EQ(owner->StateWord(1), timer > 500 ? 500 : timer);
    }
}

TEST_F(ProjectileTest, BombLiesForThreeSecondsAndExplodesWhenAShotReachesIt) {
    CActor* bomb = MakeOn(kMainSet, ActorType::kThrownShot, 200, 200);
    Insert(bomb);
    bomb->SetStateWord(0, 3);
    bomb->onGround = 1;
    Think(bomb);
    EXPECT_EQ(bomb->StateWord(0), 4);
    EXPECT_EQ(bomb->StateWord(2), 3000);
    int32_t frames = 0;
    while (InDrawList(bomb) && frames < 200) {
        Think(bomb);
        world->FlushActorLists();
        ++frames;
    }
    EXPECT_EQ(frames, 3000 / kDt);

    CActor* second = MakeOn(kMainSet, ActorType::kThrownShot, 200, 200);
    second->SetStateWord(0, 4);
    second->SetStateWord(2, 3000);
    CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 200, 200);
    Insert(shot);
    Think(second);
    EXPECT_EQ(second->StateWord(0), 2);
    EXPECT_EQ(second->depth, 5);
    EXPECT_TRUE(second->IsAnimation(12));
}

TEST_F(ProjectileTest, PooledShotStopsAtWallsAndBlocksOnlyForShootersOnFoot) {
    MakePlayer(ActorType::kPlayerFormA, 20, 300);
    SetTileCode(5, 4, 1);
    for (int32_t shooter : {0, 1, 2, 3, 41}) {
        SCOPED_TRACE(shooter);
        CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 5 * 24 + 6, 4 * 24 + 22);
        Insert(shot);
        shot->hitPoints = 1;
        shot->SetStateWord(1, shooter);
        Think(shot);
        world->FlushActorLists();
        const bool stops = shooter == 1 || shooter == 2 || shooter == 3;
        EXPECT_EQ(InDrawList(shot), !stops);
        EXPECT_EQ(shot->hitPoints, stops ? CActor::kPoolFree : 1);
    }
    // A block on screen in the way stops it as well.
    CActor* block = MakeOn(kMainSet, ActorType::kBlock19, 60, 60);
    Insert(block);
    CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 52, 60);
    Insert(shot);
    shot->SetStateWord(1, 3);
    Think(shot);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(shot));
}

TEST_F(ProjectileTest, PooledShotHurtsThePlayerWithASparkUnlessFiredByTheSecondForm) {
    for (int32_t shooter : {1, 2}) {
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
        CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 96, 100);
        Insert(shot);
        shot->moves = {{0, 300, 0}};
        shot->SetStateWord(1, shooter == 2 ? 2 : 0);
        shot->SetAnimation(0, true);
        const int32_t before = p->hitPoints;
        const int32_t owned = world->ownedList->size();
        Think(shot);
        EXPECT_EQ(p->hitPoints, shooter == 2 ? before : before - 300);
        // The spark is made and queued.
        EXPECT_EQ(world->ownedList->size(), owned + (shooter == 2 ? 0 : 1));
        world->FlushActorLists();
        EXPECT_EQ(InDrawList(shot), shooter == 2);
    }
}

TEST_F(ProjectileTest, PooledShotBurstsWhenHitThenReturnsToThePool) {
    MakePlayer(ActorType::kPlayerFormA, 10, 300);
    CActor* shot = MakeOn(kMainSet, ActorType::kPooledShot, 100, 100);
    Insert(shot);
    shot->hitPoints = -1;
    shot->vx = 5000;
    Think(shot);
    EXPECT_EQ(shot->hitPoints, -2);
    EXPECT_EQ(shot->vx, 0);
    EXPECT_TRUE(shot->IsAnimation(5));
    ThinkUntilDone(shot);
    Think(shot);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(shot));
    EXPECT_EQ(shot->hitPoints, CActor::kPoolFree);
}

TEST_F(ProjectileTest, StrikeCountsDownFollowsThePlayerAndStrikesWithARedFlash) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    CActor* caller = MakeOn(kMainSet, ActorType::kBackgroundRunner, 30, 30);
    CActor* strike = ActorKit::CallStrike(caller, 1);
    ASSERT_NE(strike, nullptr);
    world->FlushActorLists();
    EXPECT_TRUE(InDrawList(strike));
    EXPECT_EQ(strike->link, caller);
    EXPECT_EQ(strike->x, 100 * kPx);
    EXPECT_EQ(strike->StateWord(1), 1500);
    p->vx = 50 * kPx;
    p->targetVx = 100 * kPx;
    Think(strike);
    EXPECT_EQ(strike->vx, 10 * kPx);
    p->targetVx = 0;
    Think(strike);
    EXPECT_EQ(strike->vx, 90 * kPx);
    while (strike->StateWord(0) == 0) Think(strike);
    EXPECT_EQ(strike->StateWord(1), 1500 - kDt * ((1500 + kDt - 1) / kDt));
    EXPECT_TRUE(strike->IsAnimation(3));
    EXPECT_EQ(strike->y, p->y);
    EXPECT_TRUE(caller->IsAnimation(8));
    // Variant 0 strikes with animation 1: a hit flashes red.
    CActor* blow = ActorKit::CallStrike(caller, 0);
    blow->SetStateWord(1, 1);
    blow->SetPosition(p->x, p->y);
    Think(blow);
    EXPECT_TRUE(blow->IsAnimation(1));
    const int32_t before = p->hitPoints;
    Think(blow);
    EXPECT_LT(p->hitPoints, before);
    EXPECT_EQ(world->fadeMode, 4);
    EXPECT_EQ(world->fadeFrom, 0xFF0000u);
}

TEST_F(ProjectileTest, SweepingStrikeLeavingTheViewIsRemovedAtOnce) {
    MakePlayer(ActorType::kPlayerFormA, 10, 300);
    CActor* strike = MakeOn(kStrikeSet, ActorType::kStrikeEffect, 100, 100);
    Insert(strike);
    strike->SetStateWord(0, 1);
    strike->SetStateWord(2, 2);
    strike->SetAnimation(3, false);
    Think(strike);
    world->FlushActorLists();
    EXPECT_TRUE(InDrawList(strike));
    strike->SetPosition((kScreenWidth + 1) * kPx, strike->y);
    Think(strike);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(strike));
}

TEST_F(ProjectileTest, HitSparkHidesAndIsDeletedWhenItsAnimationEnds) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 96, 100);
    shot->SpawnHitEffect(p);
    world->FlushActorLists();
    ASSERT_EQ(world->drawList->size(), 1);
    CActor* spark = world->drawList->elementAt(0);
    EXPECT_EQ(spark->type, ActorType::kHitSpark);
    EXPECT_TRUE(spark->sprite->IsVisible());
    const int32_t owned = world->ownedList->size();
    for (int32_t i = 0; i < 20 && world->drawList->size() > 0; ++i) {
        Think(spark);
        world->FlushActorLists();
    }
    EXPECT_EQ(world->drawList->size(), 0);
    EXPECT_EQ(world->ownedList->size(), owned - 1);
}

}  // namespace
}  // namespace playtest
