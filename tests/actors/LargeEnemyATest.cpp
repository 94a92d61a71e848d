#include "EnemyFixture.h"
#include "GameKeys.h"

namespace playtest {
namespace {

// A set whose every animation shows the fourth attack box.
constexpr int32_t kBackBoxSet = 5;

class LargeEnemyTest : public EnemyFixture {
protected:
    std::vector<spritedata::SpriteSet> SpriteSets() const override {
        std::vector<spritedata::SpriteSet> sets = EnemyFixture::SpriteSets();
        sets[kBackBoxSet] = UniformSet(kPoseBack);
        return sets;
    }
};

// The synthetic body box: x -5..+5 around the origin, 20 high above it.
constexpr int32_t kBodyHalf = 5;

// Frames until the actor's state word reaches a value (bounded).
int32_t ThinkUntilWord(CActor* a, int32_t word, int32_t value) {
    return BehaviourFixture::ThinkUntil(a, [a, word, value] { return a->StateWord(word) == value; });
}

TEST_F(LargeEnemyTest, TypeOneNeverSignalledSleepsThroughBlowsAndContact) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 95, 100);
    p->SetAnimation(2, false);
    CActor* e = Make(ActorType::kLargeEnemy1, 100, 100);
    for (int32_t i = 0; i < 50; ++i) Think(e);
    EXPECT_EQ(e->hitPoints, 2700);
    EXPECT_EQ(p->x, 95 * kPx);
    EXPECT_TRUE(e->IsAnimation(1));
    EXPECT_EQ(e->StateWord(0), 0);
}

TEST_F(LargeEnemyTest, TypeOneWakesAttacksOnItsRhythmAndFiresAShot) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 112, 100);
    CActor* e = Make(ActorType::kLargeEnemy1, 100, 100);
    e->OnScriptSignal();
    ThinkUntilWord(e, 0, 2);
    EXPECT_EQ(e->StateWord(1), 100);
    EXPECT_TRUE(e->IsAnimation(0));
    // 100 ms: the third frame after waking runs the countdown out.
    Think(e);
    Think(e);
    EXPECT_FALSE(e->IsAnimation(3));
    EXPECT_EQ(e->facing, 1);
    Think(e);
    EXPECT_TRUE(e->IsAnimation(3));
    // Its attack box (105..111) reaches the player's body (107..117): the
    // move of damage 2 and a spark.
    EXPECT_EQ(p->hitPoints, 16);
    EXPECT_EQ(CountOfType(*world->pendingAdd, ActorType::kHitSpark), 1);
    ThinkUntil(e, [&] { return e->IsAnimation(4); });
    ASSERT_EQ(world->projectilePool->size(), 1);
    CActor* shot = world->projectilePool->elementAt(0);
    EXPECT_EQ(shot->vx, 360 * kPx);
    EXPECT_EQ(shot->StateWord(0), 0);
    EXPECT_EQ(shot->StateWord(1), ActorType::kLargeEnemy1);
    ThinkUntil(e, [&] { return e->IsAnimation(0); });
    EXPECT_EQ(e->StateWord(1), 3000);
}

TEST_F(LargeEnemyTest, PushOutPutsThePlayerBesideTheBodyWithTheSidesOfEachType) {
    struct Case {
        int32_t type;
        int32_t offset;  // player x - enemy x, pixels
        bool left;
    };
    const Case cases[] = {{ActorType::kLargeEnemy1, 0, true},  {ActorType::kLargeEnemy1, 3, false},
                          {ActorType::kLargeEnemy1, -3, true}, {ActorType::kLargeEnemy3, 0, false},
                          {ActorType::kLargeEnemy3, -1, true}, {ActorType::kLargeEnemy3, 7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.offset);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 100 + c.offset, 100);
        p->vx = 7000;
        p->ax = 300;
        CActor* e = Make(c.type, 100, 100);
        if (c.type == ActorType::kLargeEnemy1) {
            e->SetStateWord(0, 2);
            e->SetStateWord(1, 5000);
        } else {
            e->SetStateWord(0, 0);
            e->SetStateWord(1, 5000);
        }
        Think(e);
        const int32_t expected = c.left ? e->x + (-kBodyHalf + kBodyHalf - 2 * kBodyHalf) * kPx - 1
                                        : e->x + (-kBodyHalf + 2 * kBodyHalf + kBodyHalf + 1) * kPx;
        EXPECT_EQ(p->x, expected);
        EXPECT_EQ(p->vx, 0);
        EXPECT_EQ(p->ax, 0);
    }
}

TEST_F(LargeEnemyTest, PlayersHitsFillTheFinishingGaugeToTwentyFiveAndOpenTheKeyPrompt) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
    p->SetAnimation(5, false);  // move (5, 400, 4): a strong hit
    CActor* e = Make(ActorType::kLargeEnemy1, 100, 100);
    e->SetStateWord(0, 2);
    e->SetStateWord(1, 100000);
    const int32_t gauges[] = {8, 16, 24, 25, 25, 25};
    int32_t hp = 2700;
    for (int32_t g : gauges) {
        Think(e);
        hp -= 400;
        EXPECT_EQ(e->hitPoints, hp);
        EXPECT_EQ(p->StateWord(PlayerWord::kFinisherGauge), g);
        EXPECT_EQ(world->promptStatus, g == 25 ? CGameWorld::kPromptRunning : CGameWorld::kPromptIdle);
        EXPECT_TRUE(e->IsAnimation(8));
    }
    // A weak hit adds 2.
    e->hitPoints = 2700;
    p->SetStateWord(PlayerWord::kFinisherGauge, 0);
    p->SetAnimation(2, false);
    Think(e);
    EXPECT_EQ(p->StateWord(PlayerWord::kFinisherGauge), 2);
    // The second form never fills it, even with the finishing moves on.
    CActor* b = MakePlayer(ActorType::kPlayerFormB, 89, 100);
    b->SetStateWord(PlayerWord::kMoveSet, 1);
    b->SetAnimation(3, false);
    const int32_t before = e->hitPoints;
    Think(e);
    EXPECT_EQ(e->hitPoints, before - 200);
    EXPECT_EQ(b->StateWord(PlayerWord::kFinisherGauge), 0);
}

// Type 3's 1350 hit points are what a full combo deals: a blow that leaves
// exactly none kills either type.
TEST_F(LargeEnemyTest, ABlowThatLeavesNoHitPointsKills) {
    struct Case {
        int32_t type;
        int32_t awake;  // state word 0 of an awake, idle enemy
        int32_t deathAnimation;
    };
    const Case cases[] = {{ActorType::kLargeEnemy1, 2, 5}, {ActorType::kLargeEnemy3, 0, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
        p->SetAnimation(2, false);  // move (2, 300, 0)
        CActor* e = Make(c.type, 100, 100);
        e->SetStateWord(0, c.awake);
        e->SetStateWord(1, 100000);
        e->hitPoints = 300;
        Think(e);
        EXPECT_EQ(e->hitPoints, 0);
        EXPECT_TRUE(e->IsAnimation(c.deathAnimation));
    }
}

TEST_F(LargeEnemyTest, TypeThreeFallsAtOnceToABackAttack) {
    struct Case {
        const char* what;
        int32_t offset;  // player x - enemy x, pixels; the enemy faces left
        int32_t facing;
        uint32_t keys;
        bool kills;
    };
    const Case cases[] = {{"from behind", 8, 0, GameKey::kFire, true},
                          {"from the front", -8, 0, GameKey::kFire, false},
                          {"facing it", 8, 1, GameKey::kFire, false},
                          {"without a key", 8, 0, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 100 + c.offset, 100);
        p->facing = c.facing;
        p->onGround = 1;
        p->vx = 5000;
        CActor* e = MakeOn(kBackBoxSet, ActorType::kLargeEnemy3, 100, 100);
        Insert(e);
        e->SetStateWord(0, 0);
        e->SetStateWord(1, 100000);
        e->facing = 0;
        Press(c.keys);
        Think(e);
        world->FlushActorLists();
        EXPECT_EQ(InDrawList(e), !c.kills);
        EXPECT_EQ(e->hitPoints, 1350);
        EXPECT_EQ(p->IsAnimation(kBackAttack), c.kills);
        EXPECT_EQ(p->StateWord(PlayerWord::kMode), c.kills ? PlayerWord::kModeHeld : 0);
        if (c.kills) {
            EXPECT_EQ(p->vx, 0);
            EXPECT_EQ(input.pressed, 0u);
            EXPECT_EQ(input.held, 0u);
        }
    }
}

TEST_F(LargeEnemyTest, TypeOneDiesInTwoAnimationsThenFreesTheCameraAndGoes) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
    p->SetAnimation(2, false);
    CActor* e = Make(ActorType::kLargeEnemy1, 100, 100);
    Insert(e);
    world->SetCameraBounds(2, 0, 12, kMapRows);
    ASSERT_NE(world->cameraMinX, 0);
    e->SetStateWord(0, 2);
    e->SetStateWord(1, 100000);
    e->hitPoints = 250;
    e->vy = 999;
    Think(e);
    EXPECT_TRUE(e->IsAnimation(5));
    EXPECT_EQ(e->vx, 0);
    EXPECT_EQ(e->vy, 0);
    p->SetAnimation(0, true);
    ThinkUntil(e, [&] { return e->IsAnimation(6); });
    world->FlushActorLists();
    EXPECT_EQ(e->depth, 5);
    ThinkUntil(e, [&] {
        world->FlushActorLists();
        return !InDrawList(e);
    });
    EXPECT_FALSE(InDrawList(e));
    EXPECT_EQ(world->cameraMinX, 0);
    EXPECT_EQ(world->cameraSpanX, kMapColumns * CGameWorld::kTileSize);
}

TEST_F(LargeEnemyTest, TypeThreeWaitsHiddenUntilThePlayerIsLevelThenRunsInAndLands) {
    Floor(4);  // under y 100: the ledge stop leaves its speed alone
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 200, 110);
    CActor* e = Make(ActorType::kLargeEnemy3, 100, 100, {1, 0});
    ASSERT_EQ(e->StateWord(0), 13);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 13);
    EXPECT_FALSE(e->sprite->IsVisible());
    p->SetPosition(p->x, 109 * kPx);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 12);
    EXPECT_EQ(e->facing, 1);
    EXPECT_EQ(e->vx, 160 * kPx);
    EXPECT_EQ(e->StateWord(1), 100000);
    EXPECT_TRUE(e->IsAnimation(15));
    EXPECT_TRUE(e->sprite->IsVisible());
    // Inside the view and apart from the player: it lands.
    Think(e);
    EXPECT_EQ(e->StateWord(0), 11);
    EXPECT_EQ(e->vx, 0);
    ThinkUntilWord(e, 0, 0);
    EXPECT_TRUE(e->IsAnimation(0));
}

// The type-3 decision, worked out from the roll it stored.
struct Decision {
    int32_t state;
    int32_t retreats;
    int32_t advances;
};

Decision Decide(int32_t roll, int32_t patrols, int32_t stepped, int32_t retreats, int32_t advances) {
    if (roll < 71 && patrols == 1 && stepped != 1) {
        if (retreats < 3 && roll > 35) return {9, retreats + 1, advances};
        if (advances < 3 && roll < 36) return {9, retreats, advances + 1};
    }
    return {1, retreats, advances};
}

TEST_F(LargeEnemyTest, TypeThreeDecidesBetweenStepsAndAttacksByItsRoll) {
    int32_t steps = 0;
    int32_t attacks = 0;
    for (int32_t i = 0; i < 120; ++i) {
        const int32_t patrols = i % 3 == 0 ? 0 : 1;
        const int32_t stepped = i % 5 == 0 ? 1 : 0;
        const int32_t retreats = (i / 7) % 2 == 0 ? 0 : 3;
        const int32_t advances = (i / 11) % 2 == 0 ? 2 : 3;
        SCOPED_TRACE(i);
        MakePlayer(ActorType::kPlayerFormA, 150, 100);
        CActor* e = Make(ActorType::kLargeEnemy3, 100, 100, {static_cast<int8_t>(patrols)});
        e->SetStateWord(1, 1);
        e->SetStateWord(15, stepped);
        e->SetStateWord(12, retreats);
        e->SetStateWord(14, advances);
        e->facing = 0;
        Think(e);
        const int32_t roll = e->StateWord(13);
        ASSERT_GE(roll, 0);
        ASSERT_LE(roll, 100);
        const Decision d = Decide(roll, patrols, stepped, retreats, advances);
        EXPECT_EQ(e->StateWord(0), d.state);
        EXPECT_EQ(e->StateWord(12), d.retreats);
        EXPECT_EQ(e->StateWord(14), d.advances);
        if (d.state == 9) {
            ++steps;
            EXPECT_EQ(e->StateWord(15), 1);
            EXPECT_EQ(e->StateWord(1), 1200);
            const bool retreat = d.retreats != retreats;
            // The player is on the right: a retreat walks left facing it.
            EXPECT_EQ(e->facing, 1);
            EXPECT_EQ(e->vx, retreat ? -40 * kPx : 40 * kPx);
            EXPECT_EQ(e->StateWord(11), e->x + (retreat ? -24 : 12) * kPx);
        } else {
            ++attacks;
            EXPECT_TRUE(e->IsAnimation(4));
            EXPECT_EQ(e->StateWord(8), 0);
            const bool turned = !(roll < 71 && patrols == 1 && stepped != 1);
            EXPECT_EQ(e->facing, turned ? 1 : 0);
            if (turned) {
                EXPECT_EQ(e->StateWord(15), 0);
            }
        }
    }
    EXPECT_GT(steps, 10);
    EXPECT_GT(attacks, 10);
}

TEST_F(LargeEnemyTest, TypeThreeFarFromThePlayerPatrolsOrTurns) {
    Floor(4);
    for (int8_t patrols : {1, 0}) {
        SCOPED_TRACE(patrols);
        MakePlayer(ActorType::kPlayerFormA, 300, 100);
        CActor* e = Make(ActorType::kLargeEnemy3, 100, 100, {patrols});
        e->SetStateWord(1, 1);
        e->facing = 0;
        Think(e);
        EXPECT_EQ(e->StateWord(0), 8);
        if (patrols != 0) {
            // Walks to its patrol end 48 px to the right.
            EXPECT_EQ(e->facing, 1);
            EXPECT_EQ(e->vx, 40 * kPx);
            EXPECT_EQ(e->StateWord(1), 8000);
            EXPECT_TRUE(e->IsAnimation(1));
        } else {
            EXPECT_EQ(e->facing, 1);
            EXPECT_EQ(e->vx, 0);
            EXPECT_EQ(e->StateWord(1), 2000);
        }
    }
}

TEST_F(LargeEnemyTest, TypeThreeHurtRetreatsUntilThreeRetreatsThenOnlyIdles) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
    CActor* e = Make(ActorType::kLargeEnemy3, 100, 100);
    e->SetStateWord(1, 100000);
    for (int32_t round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        e->SetStateWord(0, 0);
        p->SetPosition(89 * kPx, p->y);
        p->SetAnimation(2, false);
        Think(e);
        EXPECT_EQ(e->StateWord(0), 2);
        EXPECT_EQ(e->hitPoints, 1350 - 300 * (round + 1));
        p->SetAnimation(0, true);
        p->SetPosition(300 * kPx, p->y);
        ThinkUntil(e, [&] { return e->StateWord(0) != 2; });
        if (round < 3) {
            EXPECT_EQ(e->StateWord(0), 9);
            EXPECT_EQ(e->StateWord(12), round + 1);
            EXPECT_EQ(e->StateWord(15), 0);
        } else {
            EXPECT_EQ(e->StateWord(0), 0);
            EXPECT_EQ(e->StateWord(1), 1);
            EXPECT_EQ(e->StateWord(12), 3);
        }
    }
}

TEST_F(LargeEnemyTest, TypeThreeHitByAnotherActorOnlyBlinks) {
    MakePlayer(ActorType::kPlayerFormA, 300, 100);
    CActor* e = Make(ActorType::kLargeEnemy3, 100, 100);
    e->SetStateWord(0, 0);
    e->SetStateWord(1, 100000);
    CActor* remote = MakeOn(kStrikingSet, ActorType::kRemote, 92, 100);
    world->collisionList->addElement(remote);
    Think(e);
    EXPECT_EQ(e->hitPoints, 350);
    EXPECT_EQ(e->StateWord(0), 0);
    EXPECT_EQ(e->StateWord(9), 800);
    EXPECT_EQ(e->StateWord(10), 0);
    world->collisionList->removeElement(remote);
    Think(e);
    EXPECT_EQ(e->StateWord(9), 760);
    EXPECT_EQ(e->StateWord(10), 1);
    // A fatal one starts its death.
    world->collisionList->addElement(remote);
    Think(e);
    EXPECT_EQ(e->StateWord(0), 3);
    EXPECT_TRUE(e->IsAnimation(6));
}

TEST_F(LargeEnemyTest, TypeThreeLeftAtExactlyMinusOneIsRemovedAtOnce) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 89, 100);
    p->SetAnimation(2, false);
    CActor* e = Make(ActorType::kLargeEnemy3, 100, 100);
    Insert(e);
    e->SetStateWord(0, 0);
    e->hitPoints = 299;
    Think(e);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(e));
    EXPECT_FALSE(e->IsAnimation(6));
}

TEST_F(LargeEnemyTest, AChargingLowPlayerKillsTypeThreeAndSpendsItsReserve) {
    struct Case {
        int32_t vx;
        int32_t reserve;
        int32_t charge;
        bool kills;
    };
    const Case cases[] = {{101 * kPx, 2, 0, true},  {100 * kPx, 2, 0, false}, {101 * kPx, 0, 0, false},
                          {101 * kPx, 0, 1, true},  {-101 * kPx, 2, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.vx << " " << c.reserve << " " << c.charge);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 95, 100);
        p->SetStateWord(PlayerWord::kStance, 1);
        p->SetStateWord(PlayerWord::kReserve, c.reserve);
        p->SetStateWord(PlayerWord::kCharge, c.charge);
        p->SetStateWord(45, 3);
        p->vx = c.vx;
        CActor* e = Make(ActorType::kLargeEnemy3, 100, 100);
        e->SetStateWord(0, 0);
        e->SetStateWord(1, 100000);
        Think(e);
        if (c.kills) {
            EXPECT_EQ(e->hitPoints, 0);
            EXPECT_EQ(e->StateWord(0), 3);
            EXPECT_EQ(p->StateWord(PlayerWord::kReserve), 0);
        } else {
            EXPECT_EQ(e->hitPoints, 1350);
            // Pushed out to the left instead.
            EXPECT_EQ(p->x, e->x - 10 * kPx - 1);
        }
    }
}

TEST_F(LargeEnemyTest, TypeThreeNeverWalksOffALedge) {
    MakePlayer(ActorType::kPlayerFormA, 400, 100);
    Floor(5, 0, 4);  // platform tiles under x 0..119
    for (int32_t x : {113, 114, 115}) {
        SCOPED_TRACE(x);
        CActor* e = Make(ActorType::kLargeEnemy3, x, 120);
        e->SetStateWord(0, 7);
        e->SetAnimation(5, false);
        e->vx = 40 * kPx;
        Think(e);
        // The tile one pixel past the box's right edge (x + 6) must be a
        // platform.
        EXPECT_EQ(e->vx, (x + 6) / 24 <= 4 ? 40 * kPx : 0);
        e->vx = -40 * kPx;
        Think(e);
        EXPECT_EQ(e->vx, -40 * kPx);
    }
}

TEST_F(LargeEnemyTest, TypeThreeAttacksFiresItsShotRecoversAndIdles) {
    for (int32_t stance : {0, 1}) {
        SCOPED_TRACE(stance);
        CActor* p = MakePlayer(ActorType::kPlayerFormA, 150, 100);
        p->SetStateWord(PlayerWord::kStance, stance);
        CActor* e = Make(ActorType::kLargeEnemy3, 100, 100, {0});
        e->SetStateWord(1, 1);
        Think(e);
        ASSERT_EQ(e->StateWord(0), 1);
        EXPECT_EQ(e->StateWord(8), stance);
        EXPECT_TRUE(e->IsAnimation(stance != 0 ? 11 : 4));
        const int32_t pool = world->projectilePool->size();
        ThinkUntil(e, [&] { return e->StateWord(0) == 7; });
        ASSERT_EQ(world->projectilePool->size(), pool + 1);
        CActor* shot = world->projectilePool->elementAt(pool);
        EXPECT_EQ(shot->vx, 240 * kPx);
        EXPECT_EQ(shot->StateWord(0), 1);
        EXPECT_EQ(shot->StateWord(1), ActorType::kLargeEnemy3);
        EXPECT_TRUE(e->IsAnimation(stance != 0 ? 12 : 5));
        ThinkUntil(e, [&] { return e->StateWord(0) == 0; });
        EXPECT_EQ(e->StateWord(1), 1200);
        EXPECT_TRUE(e->IsAnimation(stance != 0 ? 10 : 0));
        world->FlushActorLists();
    }
}

TEST_F(LargeEnemyTest, TypeOneChecksForDeathOnlyOnAFrameItIsHit) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 300, 100);
    CActor* e = Make(ActorType::kLargeEnemy1, 100, 100);
    e->SetStateWord(0, 2);
    e->SetStateWord(1, 100000);
    e->hitPoints = 0;
    for (int32_t i = 0; i < 10; ++i) Think(e);
    EXPECT_FALSE(e->IsAnimation(5));
    // A hit that finds it without hit points deals nothing and kills it.
    p->SetPosition(89 * kPx, p->y);
    p->SetAnimation(2, false);
    Think(e);
    EXPECT_TRUE(e->IsAnimation(5));
}

}  // namespace
}  // namespace playtest
