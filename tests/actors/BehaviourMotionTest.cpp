#include <algorithm>

#include "ActorKit.h"
#include "BehaviourFixture.h"
#include "PlayerControl.h"

// The behaviours with the physics step: the whole per-frame update of the
// actors on a small level with a floor, and a long fight whose shots and
// strikes must not pile up.

namespace playtest {
namespace {

using namespace PlayerWord;
using PC = PlayerControl;

constexpr int8_t kWall = 1;
constexpr int32_t kFloorRow = 10;
constexpr int32_t kFloorY = kFloorRow * 24;

class MotionTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        // Code 1 is solid ground that can be stood on.
        world->tileTypes[kWall][CGameWorld::kTilePassable] = 0;
        world->tileTypes[kWall][CGameWorld::kTilePlatform] = 1;
        for (int32_t row = kFloorRow; row < kMapRows; ++row) {
            for (int32_t column = 0; column < kMapColumns; ++column) SetTileCode(column, row, kWall);
        }
    }

    // One frame of the world's actors: the player first, then the others
    // in play, then the lists are brought up to date.
    void WorldFrame(uint32_t pressed, uint32_t held, int32_t dt = kDt) {
        input.pressed = pressed;
        input.held = held;
        if (world->player != nullptr) world->player->Update(dt);
        std::vector<CActor*> others;
        for (int32_t i = 0; i < world->drawList->size(); ++i) others.push_back(world->drawList->elementAt(i));
        for (CActor* a : others) {
            if (a != world->player) a->Update(dt);
        }
        world->FlushActorLists();
    }

    template <typename Condition>
    int32_t FramesUntil(Condition condition, uint32_t held = 0) {
        int32_t frames = 0;
        while (!condition() && frames < 400) {
            WorldFrame(0, held);
            ++frames;
        }
        return frames;
    }
};

TEST_F(MotionTest, FormAFallsThreeTilesLandsHardThenWalksIntoAWall) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, kFloorY - 3 * 24);
    p->onGround = 0;
    FramesUntil([&] { return p->onGround != 0; });
    EXPECT_EQ(p->y, kFloorY * kPx) << "the box's bottom on the floor";
    WorldFrame(0, 0);
    EXPECT_TRUE(p->IsAnimation(9));
    EXPECT_EQ(world->shakeAmplitudeY, 2) << "a fall of 72 px ends faster than 285 px/s";
    FramesUntil([&] { return p->IsAnimation(0); });
    // A wall two tiles high in column 8: the box's right edge stops one unit
    // short of it.
    SetTileCode(8, kFloorRow - 1, kWall);
    SetTileCode(8, kFloorRow - 2, kWall);
    FramesUntil([&] { return p->vx == 0 && p->x > 150 * kPx; }, PC::kRight);
    const int32_t boxX = p->sprite->GetBoxX();
    EXPECT_EQ(p->x, (8 * 24 - p->GetWidth() - boxX) * kPx - 1);
}

TEST_F(MotionTest, FormAJumpsAboutFiftyThreePixelsAndComesBackToTheFloor) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, kFloorY);
    WorldFrame(0, 0);
    ASSERT_EQ(p->onGround, 1);
    WorldFrame(PC::kUp, PC::kUp);
    FramesUntil([&] { return p->vy < 0; });
    int32_t top = p->y;
    FramesUntil([&] {
        top = std::min(top, p->y);
        return p->onGround != 0 && p->vy == 0;
    });
    // 285 px/s against 768 px/s² rises 285² / (2 × 768) px.
    const int32_t rise = (kFloorY * kPx - top) / kPx;
    EXPECT_NEAR(rise, 285 * 285 / (2 * 768), 6);
    EXPECT_EQ(p->y, kFloorY * kPx);
}

TEST_F(MotionTest, FormBWalksUpTo140PixelsASecond) {
    CActor* p = MakePlayer(ActorType::kPlayerFormB, 60, kFloorY);
    for (int32_t i = 0; i < 20; ++i) WorldFrame(0, PC::kRight);
    EXPECT_EQ(p->vx, 143360);
    EXPECT_GT(p->x, 60 * kPx);
}

constexpr int32_t kRunnerSet = 0;
constexpr int32_t kBarrierSet = 30;
constexpr int32_t kBarrierX = 300;
constexpr int32_t kFrameLimit = 100;

// A barrier strikes only as it cracks: a player that stays in its way (its
// power keeps it from being hurt and held) is out of its reach once the
// barrier splits, so that it is hurt once and let through.
TEST_F(MotionTest, ABarrierStrikesOnlyAsItCracks) {
    MountGameSprites(kRunnerSet);
    CActor* p = MakePlayer(ActorType::kPlayerFormB, kBarrierX, kFloorY);
    p->SetStateWord(kPower, 1000000);
    CActor* barrier = MakeOn(kBarrierSet, ActorType::kBarrier, kBarrierX, kFloorY, {2});
    Insert(barrier);
    int32_t crackStrikes = 0;
    int32_t laterStrikes = 0;
    for (int32_t frames = 0; InDrawList(barrier) && frames < kFrameLimit; ++frames) {
        WorldFrame(0, 0);
        if (!ActorKit::StruckBy(p, barrier)) continue;
        ++(barrier->sprite->GetFrame() == 0 ? crackStrikes : laterStrikes);
    }
    EXPECT_FALSE(InDrawList(barrier));
    EXPECT_GT(crackStrikes, 0);
    EXPECT_EQ(laterStrikes, 0);
}

// The running level's runner on the game's sprites, from each place its
// approach can leave it a frame before a barrier, running or boosting: it
// breaks the barrier, which is gone once its breaking is over, loses a hit
// point to it and runs on.
TEST_F(MotionTest, TheRunnerBreaksEachBarrierItReachesForAHitPoint) {
    // The game's step: 300 pixels a second, boosting, moves the runner 18
    // pixels a frame.
    constexpr int32_t kGameStepMs = 60;
    constexpr int32_t kBoostVx = 300 * kPx;
    constexpr int32_t kApproaches = 18;
    MountGameSprites(kRunnerSet);
    world->formBStart = 1;
    for (const uint32_t held : {0u, PC::kFire}) {
        for (int32_t offset = 0; offset < kApproaches; ++offset) {
            SCOPED_TRACE(testing::Message() << "held " << held << ", offset " << offset);
            CActor* p = MakePlayer(ActorType::kPlayerFormB, 100 + offset, kFloorY);
            if (held != 0) p->vx = kBoostVx;
            CActor* barrier = MakeOn(kBarrierSet, ActorType::kBarrier, kBarrierX, kFloorY, {2});
            Insert(barrier);
            const int32_t before = p->hitPoints;
            int32_t frames = 0;
            while (InDrawList(barrier) && frames++ < kFrameLimit) {
                p->SetStateWord(kGauge, kGaugeMax);
                WorldFrame(0, held, kGameStepMs);
            }
            ASSERT_FALSE(InDrawList(barrier));
            EXPECT_EQ(p->hitPoints, before - 1);
            EXPECT_GT(p->x, kBarrierX * kPx);
        }
    }
}

TEST_F(MotionTest, ALongFightKeepsItsListsSmall) {
    CActor* p = MakePlayer(ActorType::kPlayerFormB, 100, kFloorY);
    constexpr int32_t kFrames = 5000;
    constexpr int32_t kVolleyEvery = 50;
    size_t longestDraw = 0;
    size_t longestOwned = 0;
    size_t largestPool = 0;
    int32_t made = 0;
    for (int32_t frame = 0; frame < kFrames; ++frame) {
        // Enemy blows cannot hurt: the fight goes on for the whole run.
        p->SetStateWord(kPower, 1000000);
        if (frame % kVolleyEvery == 0) {
            CActor* bossShot = world->CreateEffect(kStrikingSet, ActorType::kBossShot, 200, 40, 0);
            world->QueueAddActor(bossShot);
            CActor* thrown = ActorKit::NewShot(120, 60);
            thrown->SetStateWord(0, 1);
            thrown->SetStateWord(1, 1);
            thrown->vx = 300 * kPx;
            thrown->gravity = 0;
            world->QueueAddActor(thrown);
            ActorKit::CallStrike(nullptr, 0);
            made += 3;
        }
        WorldFrame(frame == 0 ? PC::kFire : 0, PC::kFire);
        longestDraw = std::max(longestDraw, static_cast<size_t>(world->drawList->size()));
        longestOwned = std::max(longestOwned, static_cast<size_t>(world->ownedList->size()));
        largestPool = std::max(largestPool, static_cast<size_t>(world->projectilePool->size()));
    }
    EXPECT_EQ(made, 3 * kFrames / kVolleyEvery);
    EXPECT_GT(largestPool, 0u) << "the player kept shooting";
    EXPECT_LE(largestPool, 8u);
    EXPECT_LE(longestDraw, 24u);
    EXPECT_LE(longestOwned, 32u);
    EXPECT_LE(world->collisionList->size(), 8);
    EXPECT_EQ(world->playerDead, 0);
}

}  // namespace
}  // namespace playtest
