#include <cstdint>

#include "EnemyFixture.h"

namespace playtest {
namespace {

constexpr int32_t kBoxX = -5;
constexpr int32_t kBoxW = 10;
constexpr int32_t kWideColumns = 60;

class Boss41Test : public EnemyFixture {
protected:
    void SetUp() override {
        EnemyFixture::SetUp();
        SetMap(kWideColumns, kMapRows);
        world->tileTypes[0][CGameWorld::kTilePassable] = 1;
        world->tileTypes[kFloorCode][CGameWorld::kTilePlatform] = 1;
        world->bossGaugeSprite = SpriteOn(kStrikingSet);
        p = MakePlayer(ActorType::kPlayerFormA, 100, 200);
    }

    // The boss fighting on the ground, its timer far off.
    CActor* Fighting(int32_t px, int8_t returnRef = 0) {
        CActor* b = MakeOn(kStrikingSet, ActorType::kBoss41, px, 200, {returnRef});
        b->SetStateWord(2, 0);
        b->SetStateWord(0, 4);
        b->SetStateWord(1, 100000);
        b->gravity = CActor::kGravity;
        return b;
    }

    // Ticks the boss's animation to its end without running its behaviour.
    static void EndAnimation(CActor* b, int32_t animation) {
        b->SetAnimation(animation, false);
        while (!b->IsAnimationDone()) b->sprite->Tick(kDt, true);
    }

    // The boss in its second bout, struck its last hit points away.
    CActor* Defeated() {
        CActor* b = Fighting(200);
        Insert(b);
        b->SetStateWord(7, 1);
        b->hitPoints = 100;
        p->SetPosition((200 - 11) * kPx, b->y);
        p->SetAnimation(2, false);
        Think(b);
        return b;
    }

    CActor* p = nullptr;
};

TEST_F(Boss41Test, DormantUntilSignalledThenShootsFromTheViewsEdgeWhileThePlayerComes) {
    CActor* b = MakeOn(kStrikingSet, ActorType::kBoss41, 1000, 200, {0});
    for (int32_t i = 0; i < 10; ++i) Think(b);
    EXPECT_EQ(b->StateWord(0), 10);
    EXPECT_FALSE(world->bossGaugeSprite->IsVisible());
    b->OnScriptSignal();
    EXPECT_EQ(b->StateWord(0), 9);
    EXPECT_EQ(b->StateWord(1), 100);
    const int32_t owned = world->ownedList->size();
    // 100 ms, then every 2000 ms.
    for (int32_t i = 0; i < 3 + 2 * 50; ++i) Think(b);
    const std::vector<CActor*> shots = MadeSince(owned, ActorType::kBossShot);
    ASSERT_EQ(shots.size(), 3u);
    for (const CActor* s : shots) {
        EXPECT_EQ(s->x, kScreenWidth * kPx);
        EXPECT_EQ(s->y, b->y);
        EXPECT_TRUE(s->IsAnimation(1));
        EXPECT_TRUE(s->sprite->IsVisible());
        EXPECT_TRUE(world->pendingAdd->contains(const_cast<CActor*>(s)));
    }
    // Still right of the view in its approach: no gauge.
    EXPECT_FALSE(world->bossGaugeSprite->IsVisible());
    EXPECT_EQ(b->StateWord(0), 9);
    p->SetPosition(520 * kPx, p->y);
    Think(b);
    EXPECT_EQ(b->StateWord(0), 9);
    p->SetPosition(600 * kPx, p->y);
    Think(b);
    EXPECT_EQ(b->StateWord(0), 4);
}

TEST_F(Boss41Test, LocksTheCameraAroundThePlayerRoarsAndStartsTheFight) {
    CActor* b = MakeOn(kStrikingSet, ActorType::kBoss41, 1000, 180, {0});
    b->SetStateWord(0, 4);
    p->SetPosition(800 * kPx, p->y);
    p->SetStateWord(PlayerWord::kStance, 1);
    world->cameraTarget = p;
    Think(b);
    // Full hit points: it stands level with the player.
    EXPECT_EQ(b->y, p->y);
    EXPECT_FALSE(b->IsAnimation(17));
    p->SetPosition(841 * kPx, p->y);
    Think(b);
    EXPECT_TRUE(b->IsAnimation(17));
    const int32_t x1 = 841 / 24 - 2;
    EXPECT_EQ(world->cameraMinX, std::min(x1 * 24, (x1 + kScreenWidth / 24) * 24 - kScreenWidth - 1));
    EXPECT_EQ(world->playerControl, 0);
    EXPECT_TRUE(p->IsAnimation(11));
    EXPECT_EQ(p->StateWord(PlayerWord::kStance), 2);
    EXPECT_EQ(p->StateWord(PlayerWord::kBossSignal), 1);
    world->cameraX = 790;
    ThinkUntil(b, [&] { return b->StateWord(2) == 0; });
    EXPECT_TRUE(b->IsAnimation(6));
    EXPECT_EQ(b->StateWord(1), 800);
    EXPECT_EQ(b->collisionFlags, CActor::kCollideAll);
    EXPECT_EQ(b->gravity, CActor::kGravity);
    EXPECT_EQ(world->playerControl, 1);
    EXPECT_EQ(world->cameraFollow, 0);
    EXPECT_EQ(world->fixedTargetX, 790);
    EXPECT_EQ(world->fixedTargetY, p->y >> 10);
    EXPECT_EQ(world->cameraTarget, nullptr);
    Think(b);
    EXPECT_TRUE(world->bossGaugeSprite->IsVisible());
}

TEST_F(Boss41Test, IdleChoosesItsNextActionByARollOfZeroToAHundred) {
    bool seen[6] = {};
    for (uint32_t seed = 1; seed < 160; ++seed) {
        for (bool nearLimit : {false, true}) {
            SCOPED_TRACE(testing::Message() << seed << " " << nearLimit);
            CActor* b = Fighting(nearLimit ? 8 : 300);
            b->SetStateWord(1, 1);
            p->SetPosition(500 * kPx, p->y);
            GetRandom()->Seed(seed);
            const int32_t roll = CGameWorld::Random(0, 100);
            GetRandom()->Seed(seed);
            Think(b);
            EXPECT_EQ(b->facing, 1);
            if (roll <= 10) {
                seen[0] = true;
                EXPECT_EQ(b->StateWord(0), 5);
                EXPECT_EQ(b->StateWord(1), 1000);
                EXPECT_EQ(b->vx, 120 * kPx);
                EXPECT_TRUE(b->IsAnimation(0));
            } else if (roll <= 30) {
                seen[1] = true;
                EXPECT_EQ(b->StateWord(0), 6);
                EXPECT_EQ(b->vx, -200 * kPx);
                EXPECT_TRUE(b->IsAnimation(14));
            } else if (roll <= 40) {
                seen[2] = true;
                EXPECT_EQ(b->StateWord(0), 4);
                EXPECT_EQ(b->StateWord(1), 800);
            } else if (roll <= 70) {
                seen[nearLimit ? 4 : 3] = true;
                EXPECT_EQ(b->StateWord(0), nearLimit ? 2 : 3);
                EXPECT_TRUE(b->IsAnimation(nearLimit ? 8 : 1));
            } else {
                seen[5] = true;
                EXPECT_EQ(b->StateWord(0), 0);
                EXPECT_TRUE(b->IsAnimation(1));
            }
        }
    }
    for (bool s : seen) EXPECT_TRUE(s);
}

// A strike landing the frame its timer runs out replaces the opening
// animation of whatever it chose; it stays idle instead of waiting for that
// animation for ever, and chooses again once its hurt pose has played.
TEST_F(Boss41Test, AHitAsAMoveIsChosenLeavesItIdleInsteadOfStuck) {
    constexpr int32_t kHurtAnimation = 13;
    for (uint32_t seed = 1; seed < 40; ++seed) {
        SCOPED_TRACE(seed);
        CActor* b = Fighting(8);
        b->hurtAnims = {kHurtAnimation};
        b->SetStateWord(1, 1);
        p->SetPosition(b->x - 11 * kPx, b->y);
        p->SetAnimation(2, false);
        GetRandom()->Seed(seed);
        const bool choosesMove = CGameWorld::Random(0, 100) > 40;
        GetRandom()->Seed(seed);
        Think(b);
        EXPECT_LT(b->hitPoints, 10000);
        EXPECT_TRUE(b->IsAnimation(kHurtAnimation));
        EXPECT_EQ(b->StateWord(0), 4);
        if (choosesMove) {
            EXPECT_EQ(b->StateWord(1), 800);
        }
        p->SetPosition(500 * kPx, p->y);
        p->SetAnimation(0, false);
        ThinkUntil(b, [&] { return b->StateWord(0) != 4; });
        EXPECT_NE(b->StateWord(0), 4);
    }
}

TEST_F(Boss41Test, DiveLeapsAboveTheViewsCentreThenDivesAtWhereThePlayerWas) {
    // Far from the centre, so that the distance times 1000 leaves 32 bits.
    world->cameraX = 0;
    CActor* b = Fighting(3000);
    b->SetStateWord(0, 0);
    EndAnimation(b, 1);
    Think(b);
    EXPECT_TRUE(b->IsAnimation(2));
    EXPECT_EQ(b->vy, -480 * kPx);
    const int64_t d = static_cast<int64_t>(b->x) - (kScreenWidth / 2) * kPx;
    const int64_t rise = static_cast<int64_t>(-480 * kPx) * 1000 / CActor::kGravity;
    EXPECT_EQ(b->vx, static_cast<int32_t>(d * 1000 / rise));
    EXPECT_LT(b->vx, 0);
    EXPECT_EQ(b->StateWord(4), p->x);
    EXPECT_EQ(b->StateWord(5), b->y);
    // Falling again it hovers facing the target.
    b->vy = 5;
    Think(b);
    EXPECT_TRUE(b->IsAnimation(3));
    EXPECT_EQ(b->gravity, 0);
    EXPECT_EQ(b->facing, 0);
    // The dive: 600 px/s down, across in proportion.
    b->SetPosition(b->x, b->y - 100 * kPx);
    EndAnimation(b, 3);
    Think(b);
    EXPECT_TRUE(b->IsAnimation(4));
    EXPECT_EQ(b->vy, 600 * kPx);
    const int32_t across = 100 - 3000 - kBoxX;
    EXPECT_EQ(b->vx, across * 600 * kPx / 100);
    EXPECT_EQ(b->StateWord(6), 1);
    EXPECT_EQ(b->StateWord(3), p->x);
    // A hover at the take-off height gets no sideways speed instead of a
    // division by zero.
    b->SetPosition(b->x, b->StateWord(5));
    EndAnimation(b, 3);
    Think(b);
    EXPECT_EQ(b->vx, 0);
}

TEST_F(Boss41Test, ADiveThatHitsThePlayerRecoilsTowardsTheCentreAndLands) {
    world->cameraX = 0;
    CActor* b = Fighting(200);
    b->SetStateWord(0, 0);
    b->SetAnimation(4, true);
    b->facing = 1;
    b->onGround = 0;
    p->SetPosition((200 + 12) * kPx, b->y);
    Think(b);
    EXPECT_EQ(p->hitPoints, 16);
    EXPECT_TRUE(b->IsAnimation(25));
    EXPECT_EQ(b->vx, -200 * kPx);  // right of the centre (120)
    EXPECT_EQ(b->vy, 0);
    p->SetPosition(400 * kPx, b->y);
    b->onGround = 1;
    Think(b);
    EXPECT_TRUE(b->IsAnimation(5));
    EXPECT_EQ(b->vx, 0);
    EXPECT_EQ(b->StateWord(6), 0);
    ThinkUntil(b, [&] { return b->StateWord(0) == 4; });
    EXPECT_EQ(b->StateWord(1), 800);
    EXPECT_TRUE(b->IsAnimation(6));
}

TEST_F(Boss41Test, TheChargeGrabsThePlayerOnceAndDragsItAlong) {
    CActor* b = Fighting(200);
    b->SetStateWord(0, 2);
    b->facing = 1;
    b->ApplyFacing();
    b->SetAnimation(11, false);
    b->vx = 500 * kPx;
    p->SetPosition((200 + 12) * kPx, b->y);
    Think(b);
    EXPECT_EQ(p->hitPoints, 15);
    EXPECT_TRUE(p->IsAnimation(28));
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 8);
    EXPECT_EQ(p->StateWord(PlayerWord::kHurtRecovery), 1);
    EXPECT_EQ(p->StateWord(PlayerWord::kBlink), p->StateWord(PlayerWord::kBlinkReload));
    EXPECT_EQ(p->vx, 500 * kPx);
    Think(b);
    EXPECT_EQ(p->hitPoints, 15);
    ThinkUntil(b, [&] { return b->IsAnimation(12); });
    EXPECT_EQ(b->vx, 0);
    EXPECT_EQ(p->vx, 0);
    EXPECT_TRUE(p->IsAnimation(0));
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 0);
    Think(b);
    EXPECT_EQ(b->StateWord(0), 4);
    EXPECT_EQ(b->StateWord(1), 800);
}

// Its charge ends against the arena's edge; the push that keeps the player
// clear of its body must not put the player into that wall, where no floor
// holds it: the player goes to the open side.
TEST_F(Boss41Test, ThePushAgainstAWallPutsThePlayerOnTheOpenSide) {
    constexpr int32_t kTile = CGameWorld::kTileSize;
    constexpr int32_t kWallColumn = 9;
    constexpr int32_t kWallCode = 2;
    constexpr int32_t kFeet = 8 * kTile;
    for (int32_t row = 0; row < kMapRows; ++row) SetTileCode(kWallColumn, row, kWallCode);
    // Its box ends in the last pixel before the wall; the player overlaps
    // its right half, so the push alone would send it right, into the wall.
    const int32_t bossX = kWallColumn * kTile - kBoxW - kBoxX - 1;
    CActor* b = Fighting(bossX);
    b->SetPosition(bossX * kPx, kFeet * kPx);
    p->SetPosition((bossX + 2) * kPx, kFeet * kPx);
    Think(b);
    EXPECT_EQ(p->x, (bossX - kBoxW) * kPx - kPx);
    EXPECT_LT((p->x >> 10) + kBoxX + kBoxW, kWallColumn * kTile);
    // Away from walls the push keeps the side the player was on.
    b->SetPosition((bossX - 3 * kTile) * kPx, b->y);
    p->SetPosition(b->x + 2 * kPx, b->y);
    Think(b);
    EXPECT_EQ(p->x, b->x + kBoxW * kPx + kPx);
}

TEST_F(Boss41Test, AGrabThatTakesTheLastHitPointsKillsThePlayer) {
    CActor* b = Fighting(200);
    b->SetStateWord(0, 2);
    b->facing = 1;
    b->ApplyFacing();
    b->SetAnimation(11, false);
    p->hitPoints = 2;
    p->SetPosition((200 + 12) * kPx, b->y);
    Think(b);
    EXPECT_EQ(p->hitPoints, -1);
    EXPECT_EQ(world->playerDead, 1);
    EXPECT_EQ(p->StateWord(PlayerWord::kDeathCountdown), 20);
    ThinkUntil(b, [&] { return b->IsAnimation(12); });
    EXPECT_EQ(world->playerDead, 1);
}

TEST_F(Boss41Test, BelowThirtyFiveHundredItRunsOffOnceAndComesBackFromItsPoint) {
    CActor* point = Make(ActorType::kType60, 900, 200);
    point->spawnId = 5;
    Insert(point);
    world->actorRefs[2] = 5;
    CActor* b = Fighting(200, 2);
    b->hitPoints = 3700;
    p->SetPosition((200 - 11) * kPx, b->y);
    p->SetAnimation(2, false);
    Think(b);
    EXPECT_EQ(b->hitPoints, 3400);
    EXPECT_EQ(b->StateWord(7), 1);
    EXPECT_EQ(b->StateWord(2), 1);
    EXPECT_EQ(b->StateWord(0), 3);
    EXPECT_EQ(b->collisionFlags, 0);
    EXPECT_EQ(world->playerControl, 0);
    EXPECT_TRUE(b->IsAnimation(18));
    p->SetAnimation(0, true);
    ThinkUntil(b, [&] { return b->IsAnimation(20); });
    EXPECT_EQ(b->vx, 200 * kPx);
    EXPECT_EQ(b->StateWord(6), 1);
    EXPECT_EQ(world->cameraMinX, std::min(2 * 24, kWideColumns * 24 - kScreenWidth - 1));
    b->SetPosition((kScreenWidth + kBoxW + 1) * kPx, b->y);
    world->cameraTarget = nullptr;
    Think(b);
    EXPECT_EQ(b->x, point->x);
    EXPECT_EQ(b->StateWord(0), 9);
    EXPECT_EQ(b->facing, 0);
    EXPECT_EQ(b->collisionFlags, CActor::kCollideAll);
    EXPECT_EQ(world->playerControl, 1);
    EXPECT_EQ(world->cameraTarget, p);
    // Back in the fight, a later drop below 3500 does not switch again.
    b->SetStateWord(2, 0);
    b->SetStateWord(0, 4);
    b->SetStateWord(1, 100000);
    b->SetPosition(200 * kPx, b->y);
    p->SetAnimation(2, false);
    Think(b);
    EXPECT_EQ(b->hitPoints, 3100);
    EXPECT_EQ(b->StateWord(2), 0);
}

TEST_F(Boss41Test, DefeatedItDiesReleasesTheWaitingScriptOnceAndStays) {
    CActor* b = Defeated();
    EXPECT_EQ(b->StateWord(2), 2);
    EXPECT_TRUE(b->IsAnimation(24));
    EXPECT_EQ(world->playerControl, 0);
    Think(b);
    EXPECT_FALSE(world->bossGaugeSprite->IsVisible());
    CScriptCommand* waiting = Park();
    const int32_t frames = ThinkUntil(b, [&] { return waiting->done == CScriptCommand::kDone; });
    EXPECT_GT(frames, 1);
    EXPECT_LT(frames, 3000 / kDt + 1);
    world->FlushActorLists();
    EXPECT_TRUE(InDrawList(b));
    // A later wait for another is not the boss's to release; one for the
    // boss is.
    CScriptCommand* later = Park();
    for (int32_t i = 0; i < 3; ++i) Think(b);
    EXPECT_EQ(later->done, CScriptCommand::kRunning);
    world->waitingActor = b;
    Think(b);
    EXPECT_EQ(later->done, CScriptCommand::kDone);
}

TEST_F(Boss41Test, DefeatedWithNothingWaitingItReleasesTheFirstWaitThatComes) {
    CActor* b = Defeated();
    for (int32_t i = 0; i < 3000 / kDt + 10; ++i) Think(b);
    CScriptCommand* waiting = Park();
    Think(b);
    EXPECT_EQ(waiting->done, CScriptCommand::kDone);
}

}  // namespace
}  // namespace playtest
