#include "EnemyFixture.h"

namespace playtest {
namespace {

// The synthetic body: x -5..5, y -20..0 around the sprite position.
constexpr int32_t kBoxX = -5;
constexpr int32_t kBoxW = 10;
constexpr int32_t kBoxH = 20;

class FlyingBossTest : public EnemyFixture {
protected:
    void SetUp() override {
        EnemyFixture::SetUp();
        world->cameraX = 40;
        world->cameraY = 10;
        p = MakePlayer(ActorType::kPlayerFormA, 150, 200);
        boss = Make(ActorType::kFlyingBoss, 0, 0);
        Insert(boss);
    }

    // Frames until the boss's state is s (bounded).
    int32_t Until(int32_t s, int32_t limit = 600) {
        return ThinkUntil(boss, [&] { return boss->StateWord(0) == s; }, limit);
    }

    // Frames that a timer of t ms runs, in this boss's way: it counts while
    // at least 1 and acts on the frame after it has reached 0 or less.
    static int32_t TimerFrames(int32_t t) { return (t + kDt - 1) / kDt + 1; }

    CActor* p = nullptr;
    CActor* boss = nullptr;
};

TEST_F(FlyingBossTest, NeverSignalledItStaysHiddenJustLeftOfTheViewFollowingTheCamera) {
    for (int32_t i = 0; i < 20; ++i) {
        world->cameraX = 40 + i;
        Think(boss);
        EXPECT_EQ(boss->x, (40 + i - kBoxW) * kPx);
        EXPECT_EQ(boss->y, (10 + 3 * kBoxH) * kPx);
    }
    EXPECT_FALSE(boss->sprite->IsVisible());
    EXPECT_EQ(boss->StateWord(0), 6);
}

TEST_F(FlyingBossTest, SignalledItPinsTheCameraAndStrafesDroppingStrikesAtThePlayersRow) {
    world->type56Signal = 1;
    world->cameraTarget = p;
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 4);
    EXPECT_TRUE(boss->sprite->IsVisible());
    EXPECT_EQ(boss->StateWord(5), p->y);
    EXPECT_TRUE(world->bossGaugeSprite->IsVisible());
    Think(boss);
    EXPECT_EQ(world->cameraTarget, nullptr);
    EXPECT_EQ(world->fixedTargetX, 40);
    EXPECT_EQ(world->fixedTargetY, 200);
    EXPECT_EQ(world->cameraArrived, 0);
    Until(1);
    EXPECT_EQ(boss->vx, 160 * kPx);
    EXPECT_EQ(boss->StateWord(2), 1);
    EXPECT_EQ(boss->collisionFlags, 0);
    // Still left of the view: no strike yet.
    const int32_t owned = world->ownedList->size();
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 1);
    boss->SetPosition((40 - kBoxX) * kPx, boss->y);
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 5);
    EXPECT_TRUE(boss->IsAnimation(5));
    const std::vector<CActor*> strikes = MadeSince(owned, ActorType::kStrikeEffect);
    ASSERT_EQ(strikes.size(), 1u);
    EXPECT_EQ(strikes[0]->StateWord(2), 2);
    EXPECT_EQ(strikes[0]->StateWord(0), 1);
    EXPECT_EQ(strikes[0]->StateWord(1), 0);
    EXPECT_EQ(strikes[0]->vx, boss->vx);
    EXPECT_EQ(strikes[0]->x, boss->x);
    EXPECT_EQ(strikes[0]->y, p->y);
    EXPECT_TRUE(strikes[0]->IsAnimation(3));
    // Past the right edge it turns and waits 500 ms.
    boss->SetPosition((40 + kScreenWidth - kBoxX + 1) * kPx, boss->y);
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 4);
    EXPECT_EQ(boss->facing, 0);
    EXPECT_EQ(boss->vx, 0);
    EXPECT_EQ(boss->StateWord(1), 500);
}

TEST_F(FlyingBossTest, PassesRunFasterBelowAThousandAndTheFifthIsTheFinalPass) {
    struct Case {
        int32_t hp;
        int32_t passes;
        int32_t state;
        int32_t speed;
    };
    const Case cases[] = {
        {1900, 0, 1, 160}, {1000, 3, 1, 160}, {999, 0, 1, 320}, {999, 4, 7, 200}, {1900, 4, 7, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hp << " " << c.passes);
        boss->hitPoints = c.hp;
        boss->SetStateWord(0, 4);
        boss->SetStateWord(1, 0);
        boss->SetStateWord(2, c.passes);
        boss->facing = 1;
        Think(boss);
        EXPECT_EQ(boss->StateWord(0), c.state);
        EXPECT_EQ(boss->vx, c.speed * kPx);
        EXPECT_EQ(boss->StateWord(2), c.passes + 1);
    }
}

TEST_F(FlyingBossTest, LandingVolleysGrowAsItIsHurtAndEndWithABombUnderIt) {
    struct Case {
        int32_t hp;
        int32_t shots;
        int32_t windUps;
    };
    const Case cases[] = {{1900, 3, 1}, {1401, 3, 1}, {1400, 4, 2}, {901, 4, 2}, {900, 5, 2}, {500, 5, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hp);
        boss->hitPoints = c.hp;
        boss->SetStateWord(0, 9);
        boss->SetStateWord(1, 0);
        const int32_t owned = world->ownedList->size();
        Think(boss);
        EXPECT_EQ(boss->StateWord(0), 10);
        EXPECT_EQ(boss->StateWord(3), c.shots);
        int32_t windUps = 0;
        while (boss->StateWord(0) == 10 && windUps < 10) {
            Think(boss);
            if (boss->IsAnimation(8) && boss->StateWord(4) != windUps) ++windUps;
        }
        EXPECT_EQ(windUps, c.windUps);
        const std::vector<CActor*> shots = MadeSince(owned, ActorType::kThrownShot);
        ASSERT_EQ(static_cast<int32_t>(shots.size()), c.shots + 1);
        const int32_t w = kScreenWidth / c.shots;
        for (int32_t i = 0; i < c.shots; ++i) {
            const int32_t px = shots[static_cast<size_t>(i)]->x >> 10;
            EXPECT_GE(px, 40 + i * w);
            EXPECT_LE(px, 40 + (i + 1) * w);
            EXPECT_EQ(shots[static_cast<size_t>(i)]->StateWord(0), 1);
            EXPECT_EQ(shots[static_cast<size_t>(i)]->vy, 40 * kPx);
            EXPECT_EQ(shots[static_cast<size_t>(i)]->gravity, 96 * kPx);
        }
        const CActor* bomb = shots.back();
        EXPECT_EQ(bomb->StateWord(0), 3);
        EXPECT_EQ(bomb->vy, 0);
        EXPECT_EQ(bomb->link, boss);
        EXPECT_LE(std::abs((bomb->x >> 10) - (boss->x >> 10)), 24);
        EXPECT_EQ(bomb->y, (10 - kScreenHeight / 4) * kPx);
        EXPECT_EQ(boss->StateWord(0), 11);
        EXPECT_EQ(boss->StateWord(1), 8000);
        EXPECT_EQ(boss->gravity, 0);
        EXPECT_EQ(boss->collisionFlags, 0);
    }
}

TEST_F(FlyingBossTest, BelowFiveHundredItFiresASecondVolleyTwoSecondsLaterBeforeTheBomb) {
    boss->hitPoints = 499;
    boss->SetStateWord(0, 9);
    boss->SetStateWord(1, 0);
    const int32_t owned = world->ownedList->size();
    Until(19);
    EXPECT_EQ(MadeSince(owned, ActorType::kThrownShot).size(), 5u);
    EXPECT_EQ(boss->StateWord(1), 2000);
    const int32_t frames = Until(11);
    EXPECT_GT(frames, 2000 / kDt);
    EXPECT_EQ(MadeSince(owned, ActorType::kThrownShot).size(), 11u);
}

TEST_F(FlyingBossTest, AFloatEndsInATakeOffAndARunWithoutAStrike) {
    boss->SetStateWord(0, 11);
    boss->SetStateWord(1, 8000);
    boss->facing = 0;
    EXPECT_EQ(Until(2), TimerFrames(8000));
    Until(5);
    EXPECT_EQ(boss->vx, -200 * kPx);
    EXPECT_EQ(boss->StateWord(2), 1);
    EXPECT_EQ(boss->StateWord(0), 5);
}

TEST_F(FlyingBossTest, DefeatedItHandsOverToTheScriptStepByStepAndLeaves) {
    world->cameraTarget = nullptr;
    world->fixedTargetX = 40;
    boss->SetStateWord(0, 4);
    boss->hitPoints = 0;
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 12);
    EXPECT_TRUE(boss->IsAnimation(6));
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 13);
    EXPECT_EQ(p->StateWord(PlayerWord::kProtected), 1);
    EXPECT_EQ(world->cameraTarget, p);
    EXPECT_EQ(world->fixedTargetX, -1);
    EXPECT_EQ(world->cameraArrived, 1);
    CScriptCommand* told = Park();
    EXPECT_EQ(Until(13), TimerFrames(4000));
    EXPECT_EQ(told->done, CScriptCommand::kDone);
    EXPECT_FALSE(world->bossGaugeSprite->IsVisible());
    for (int32_t i = 0; i < 20; ++i) Think(boss);
    EXPECT_EQ(boss->StateWord(0), 13);
    // Four aimed volleys of five heavier shots over the player.
    Park();
    const int32_t owned = world->ownedList->size();
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 14);
    Until(18);
    const std::vector<CActor*> shots = MadeSince(owned, ActorType::kThrownShot);
    ASSERT_EQ(shots.size(), 20u);
    const int32_t step = 4 * kBoxW / 5;
    const int32_t drops[5] = {0, 8, 16, 16, 8};
    for (int32_t i = 0; i < 5; ++i) {
        const CActor* shot = shots[static_cast<size_t>(i)];
        EXPECT_EQ(shot->x >> 10, 150 + kBoxX - kBoxW / 2 + i * step - step / 2);
        EXPECT_EQ(shot->y >> 10, 10 - kScreenHeight / 4 + drops[i]);
        EXPECT_EQ(shot->moves[1].damage, 8);
        EXPECT_EQ(shot->moves[0].damage, 2);
    }
    EXPECT_EQ(p->StateWord(PlayerWord::kBlinkReload), 4);
    // Then it waits, tells the script, and flies off when told.
    told = Park();
    Until(15);
    EXPECT_EQ(told->done, CScriptCommand::kDone);
    for (int32_t i = 0; i < 5; ++i) Think(boss);
    EXPECT_TRUE(boss->IsAnimation(0));
    told = Park();
    ThinkUntil(boss, [&] { return boss->IsAnimation(4); });
    Think(boss);
    EXPECT_EQ(boss->vy, -10 * kPx);
    EXPECT_EQ(boss->vx, 200 * kPx);
    EXPECT_EQ(boss->ax, 200 * kPx);
    EXPECT_EQ(boss->targetVx, 400 * kPx);
    boss->SetPosition((40 + 3 * kScreenWidth) * kPx, boss->y);
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 16);
    EXPECT_EQ(told->done, CScriptCommand::kDone);
    EXPECT_EQ(boss->vx, 0);
    told = Park();
    Think(boss);
    EXPECT_EQ(boss->StateWord(0), 17);
    world->type56Signal = 1;
    ThinkUntil(boss, [&] {
        world->FlushActorLists();
        return !InDrawList(boss);
    });
    EXPECT_FALSE(InDrawList(boss));
    EXPECT_EQ(told->done, CScriptCommand::kDone);
    EXPECT_EQ(world->type56Signal, 0);
}

TEST_F(FlyingBossTest, FourBombHitsDefeatItAndEachMakesItBlink) {
    CActor* bomb = MakeOn(kStrikingSet, ActorType::kThrownShot, 0, 0);
    for (int32_t hit = 1; hit <= 4; ++hit) {
        SCOPED_TRACE(hit);
        boss->SetStateWord(0, 11);
        boss->SetStateWord(1, 8000);
        boss->OnHit(bomb);
        EXPECT_EQ(boss->hitPoints, 1900 - 500 * hit);
        EXPECT_EQ(boss->StateWord(6), 1000);
        Think(boss);
        if (hit < 4) {
            EXPECT_EQ(boss->StateWord(6), 960);
            EXPECT_EQ(boss->StateWord(7), 1);
        }
    }
    EXPECT_EQ(boss->StateWord(0), 12);
}

}  // namespace
}  // namespace playtest
