#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "ActorUnits.h"
#include "PlayFixture.h"

namespace {

using namespace playtest;
using ActorUnits::FromPixels;

constexpr int32_t kDt = 60;
constexpr int32_t kTile = 24;
constexpr int32_t kFloorRow = 10;
constexpr int32_t kFloorTop = kFloorRow * kTile;
// Tile codes: 0 open, 1 solid, 2 platform (open, landable).
constexpr int8_t kOpen = 0;
constexpr int8_t kSolid = 1;
constexpr int8_t kPlatform = 2;
constexpr int32_t kFree = 33;  // a type without behaviour

// One axis of a frame, as the handset computes it, in 64 bits here.
struct Axis {
    int64_t p;
    int64_t v;
    int64_t a;
    int64_t target;

    void Step(int64_t dt) {
        if ((v < target && a < 0) || (v > target && a > 0)) a = -a;
        const int64_t d = (a == 0 || v == target) ? v * dt / 1000 : (v + a * dt / 2000) * dt / 1000;
        p += d;
        if (a != 0) {
            v += a * dt / 1000;
            if ((a > 0 && v >= target) || (a < 0 && v <= target)) v = target;
        }
    }
};

class ActorPhysicsTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        std::vector<std::vector<uint8_t>> types = {{1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0},
                                                   {1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0},
                                                   {1, 0, 0, 0, 0, 0}};
        std::vector<uint8_t> cells(static_cast<size_t>(kMapColumns * kMapRows), kOpen);
        for (int32_t c = 0; c < kMapColumns; ++c) cells[static_cast<size_t>(kFloorRow * kMapColumns + c)] = kSolid;
        world->SetTileData(kMapColumns, kMapRows, cells, types);
    }

    // An actor of a type without behaviour whose box bottom is at (px, py).
    CActor* Body(int32_t px, int32_t py, int32_t flags) {
        CActor* a = Make(kFree, px, py);
        a->SetPosition(FromPixels(px), FromPixels(py));
        a->collisionFlags = flags;
        a->gravity = 0;
        a->ay = 0;
        a->vy = 0;
        a->targetVy = CActor::kFallingTargetVy;
        return a;
    }

    static int32_t Bottom(const CActor* a) { return a->sprite->GetY() + kBodyY + kBodyH; }
};

TEST_F(ActorPhysicsTest, FreeFallFollowsTheFixedPointFormulas) {
    CActor* a = Body(100, 40, 0);
    a->gravity = CActor::kGravity;
    Axis y{a->y, 0, CActor::kGravity, CActor::kFallingTargetVy};
    for (int i = 0; i < 25; ++i) {
        a->Update(kDt);
        y.Step(kDt);
        ASSERT_EQ(a->y, y.p) << i;
        ASSERT_EQ(a->vy, y.v) << i;
        EXPECT_EQ(a->onGround, 0);
    }
    // It fell through the floor: no collision flags.
    EXPECT_GT(Bottom(a), kFloorTop);
    EXPECT_EQ(a->vy, CActor::kFallingTargetVy);
}

TEST_F(ActorPhysicsTest, AccelerationTurnsTowardsTheTargetAndStopsThere) {
    CActor* a = Body(40, 100, 0);
    a->vx = 0;
    a->targetVx = 100000;
    a->ax = -400000;
    Axis x{a->x, 0, -400000, 100000};
    for (int i = 0; i < 6; ++i) {
        a->Update(kDt);
        x.Step(kDt);
        ASSERT_EQ(a->x, x.p) << i;
        ASSERT_EQ(a->vx, x.v) << i;
    }
    EXPECT_EQ(a->ax, 400000);
    EXPECT_EQ(a->vx, 100000);
}

TEST_F(ActorPhysicsTest, FallingLandsOnTheFloorAndStaysThere) {
    CActor* a = Body(100, 150, CActor::kCollideSolid);
    a->gravity = CActor::kGravity;
    int frames = 0;
    do {
        a->Update(kDt);
        ++frames;
    } while (a->onGround == 0 && frames < 50);
    ASSERT_EQ(a->onGround, 1);
    EXPECT_EQ(a->y, FromPixels(kFloorTop));
    // Landing stops the fall; the frame's gravity then starts the next.
    EXPECT_EQ(a->vy, static_cast<int32_t>(int64_t{CActor::kGravity} * kDt / 1000));
    for (int i = 0; i < 5; ++i) {
        a->Update(kDt);
        EXPECT_EQ(a->y, FromPixels(kFloorTop));
        EXPECT_EQ(a->onGround, 1);
    }
}

TEST_F(ActorPhysicsTest, PlatformsCarryOnlyActorsThatLandOnThem) {
    for (int32_t c = 0; c < kMapColumns; ++c) SetTileCode(c, 6, kPlatform);
    CActor* lander = Body(100, 100, CActor::kCollideLanding);
    CActor* solidOnly = Body(160, 100, CActor::kCollideSolid);
    for (CActor* a : {lander, solidOnly}) a->gravity = CActor::kGravity;
    for (int i = 0; i < 30; ++i) {
        lander->Update(kDt);
        solidOnly->Update(kDt);
    }
    EXPECT_EQ(lander->y, FromPixels(6 * kTile));
    EXPECT_EQ(solidOnly->y, FromPixels(kFloorTop));
}

// A platform is landed on from above only: a jump from below passes up
// through it and lands on it on the way down.
TEST_F(ActorPhysicsTest, AJumpUpThroughAPlatformLandsOnItFalling) {
    for (int32_t c = 0; c < kMapColumns; ++c) SetTileCode(c, 6, kPlatform);
    CActor* a = Body(100, 8 * kTile, CActor::kCollideLanding);
    a->gravity = CActor::kGravity;
    a->vy = -FromPixels(450);
    a->onGround = 0;
    int32_t highest = Bottom(a);
    for (int frames = 0; a->onGround == 0 && frames < 60; ++frames) {
        a->Update(kDt);
        highest = std::min(highest, Bottom(a));
    }
    EXPECT_LT(highest, 6 * kTile);
    EXPECT_EQ(a->onGround, 1);
    EXPECT_EQ(a->y, FromPixels(6 * kTile));
}

TEST_F(ActorPhysicsTest, WallsStopWalkersOneUnitShortOrOnTheEdge) {
    for (int32_t r = 0; r < kFloorRow; ++r) {
        SetTileCode(12, r, kSolid);
        SetTileCode(3, r, kSolid);
    }
    CActor* right = Body(200, kFloorTop, CActor::kCollideAll);
    right->vx = right->targetVx = 102400;
    CActor* left = Body(140, kFloorTop, CActor::kCollideAll);
    left->vx = left->targetVx = -102400;
    for (int i = 0; i < 30; ++i) {
        right->Update(kDt);
        left->Update(kDt);
    }
    // Box x -5, width 10: the right edge ends just left of column 12.
    EXPECT_EQ(right->x, FromPixels(12 * kTile - kBodyW - kBodyX) - 1);
    EXPECT_EQ(right->vx, 0);
    EXPECT_EQ(right->targetVx, 0);
    EXPECT_EQ(left->x, FromPixels(4 * kTile - kBodyX));
    EXPECT_EQ(left->vx, 0);
    EXPECT_EQ(right->y, FromPixels(kFloorTop));
}

// A step wider than a tile (a boss's charge covers 30 px a frame) stops at
// the first wall column it enters, in either direction, and never lands the
// body inside the wall where the floor beyond may not hold it.
TEST_F(ActorPhysicsTest, AStepWiderThanATileStopsAtTheFirstWallItCrosses) {
    constexpr int32_t kChargeSpeed = FromPixels(500);
    for (int32_t r = 0; r < kFloorRow; ++r) {
        for (int32_t c : {12, 13, 14, 1, 2, 3}) SetTileCode(c, r, kSolid);
    }
    CActor* right = Body(12 * kTile - kBodyW - kBodyX - 2, kFloorTop, CActor::kCollideAll);
    right->vx = right->targetVx = kChargeSpeed;
    CActor* left = Body(4 * kTile - kBodyX + 2, kFloorTop, CActor::kCollideAll);
    left->vx = left->targetVx = -kChargeSpeed;
    right->Update(kDt);
    left->Update(kDt);
    EXPECT_EQ(right->x, FromPixels(12 * kTile - kBodyW - kBodyX) - 1);
    EXPECT_EQ(right->vx, 0);
    EXPECT_EQ(left->x, FromPixels(4 * kTile - kBodyX));
    EXPECT_EQ(left->vx, 0);
}

TEST_F(ActorPhysicsTest, WalkingOffALedgeFalls) {
    for (int32_t c = 8; c < kMapColumns; ++c) SetTileCode(c, kFloorRow, kOpen);
    CActor* a = Body(150, kFloorTop, CActor::kCollideAll);
    a->gravity = CActor::kGravity;
    a->vx = a->targetVx = 102400;
    bool left = false;
    for (int i = 0; i < 30; ++i) {
        a->Update(kDt);
        if (a->onGround == 0) left = true;
    }
    EXPECT_TRUE(left);
    EXPECT_GT(Bottom(a), kFloorTop + kTile);
}

TEST_F(ActorPhysicsTest, ACeilingStopsARise) {
    for (int32_t c = 0; c < kMapColumns; ++c) SetTileCode(c, 2, kSolid);
    CActor* a = Body(100, 150, CActor::kCollideSolid);
    a->vy = a->targetVy = -300000;
    for (int i = 0; i < 10; ++i) a->Update(kDt);
    // The box top (20 px above the position) meets row 3's top.
    EXPECT_EQ(a->sprite->GetY() + kBodyY, 3 * kTile);
}

TEST_F(ActorPhysicsTest, BelowTheMapNothingHoldsAnActor) {
    for (int32_t c = 0; c < kMapColumns; ++c) SetTileCode(c, kFloorRow, kOpen);
    CActor* a = Body(100, kMapRows * kTile - 2, CActor::kCollideAll);
    a->gravity = CActor::kGravity;
    for (int i = 0; i < 10; ++i) a->Update(kDt);
    EXPECT_GT(Bottom(a), kMapRows * kTile + kTile);
}

TEST_F(ActorPhysicsTest, TheNearestCarrierAtTheListEndCarriesThePlayer) {
    CActor* first = Body(100, 200, 0);
    CActor* second = Body(100, 200, 0);
    for (CActor* c : {first, second}) {
        c->createFlag = 1;
        world->activeList->addElement(c);
    }
    second->vx = second->targetVx = 51200;  // 50 px/s
    CActor* p = Body(100, 200 - kBodyH - 4, CActor::kCollideLanding);
    world->player = p;
    p->gravity = CActor::kGravity;
    int frames = 0;
    do {
        first->Update(kDt);
        second->Update(kDt);
        p->Update(kDt);
        ++frames;
    } while (p->onActor == 0 && frames < 20);
    ASSERT_EQ(p->onActor, 1);
    EXPECT_EQ(p->onGround, 1);
    EXPECT_EQ(p->y, second->y + FromPixels(kBodyY - (kBodyY + kBodyH)));
    const int32_t before = p->x;
    second->Update(kDt);
    p->Update(kDt);
    EXPECT_EQ(p->x - before, second->x - second->prevX);
}

TEST_F(ActorPhysicsTest, ACheckpointSavesAndLeavesWhenThePlayerTouchesIt) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 200);
    CActor* checkpoint = Make(21, 100 + kBodyW, 200);
    world->spawns.clear();
    checkpoint->Update(kDt);
    EXPECT_EQ(world->checkpoint.size(), 15u);
    ASSERT_EQ(world->pendingRemove->size(), 1);
    EXPECT_EQ(world->pendingRemove->elementAt(0), checkpoint);
    EXPECT_NE(p, nullptr);
}

TEST_F(ActorPhysicsTest, FreeMoveMovesOnlyThePlayerByKeys) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    CActor* other = Body(150, 100, CActor::kCollideAll);
    other->vx = other->targetVx = 102400;
    world->freeMove = 1;
    input.Hold(64 | 32);
    const int32_t x = p->x;
    const int32_t otherX = other->x;
    p->Update(kDt);
    other->Update(kDt);
    EXPECT_EQ(p->x, x - FromPixels(20));
    EXPECT_EQ(other->x, otherX);
    input.Release(64 | 32);
    input.Hold(128);
    const int32_t y = p->y;
    p->Update(kDt);
    EXPECT_EQ(p->y, y + FromPixels(20));
}

}  // namespace
