#include "../actors/PlayFixture.h"
#include "ActorUnits.h"

namespace playtest {
namespace {

using CameraTest = PlayFixture;

TEST_F(CameraTest, BoundsNarrowerThanTheViewWidenToOneViewPlusAPixel) {
    world->SetCameraBounds(0, 0, 10, 5);
    EXPECT_EQ(world->cameraMinX, -1);
    EXPECT_EQ(world->cameraSpanX, 241);
    EXPECT_EQ(world->windowX1, 0);
    EXPECT_EQ(world->windowX2, 10);
    EXPECT_EQ(world->cameraMinY, -201);
    EXPECT_EQ(world->cameraSpanY, 321);
    EXPECT_EQ(world->windowY1, -8);
    EXPECT_EQ(world->windowY2, 5);
    // A wide arena keeps its own extent.
    world->SetCameraBounds(2, 1, 15, 15);
    EXPECT_EQ(world->cameraMinX, 48);
    EXPECT_EQ(world->cameraSpanX, 13 * 24);
    EXPECT_EQ(world->windowX1, 2);
    EXPECT_EQ(world->windowX2, 15);
}

TEST_F(CameraTest, TileQueriesAnswerBorderCodesAtAndPastTheEdges) {
    // Tile types: one map type, so the border codes are 2, 3 and 4.
    SetTileCode(0, 0, 0);
    SetTileCode(19, 14, 249);
    SetTileCode(5, 5, 1);
    EXPECT_EQ(world->GetTile(5, 5), 1);
    EXPECT_EQ(world->GetTile(19, 14), 249);
    EXPECT_EQ(world->GetTile(-1, 5), world->borderBeside);
    EXPECT_EQ(world->GetTile(20, 5), world->borderBeside);
    EXPECT_EQ(world->GetTile(5, -1), world->borderAbove);
    EXPECT_EQ(world->GetTile(5, 15), world->borderBelow);
    EXPECT_EQ(world->borderAbove, 2);
    EXPECT_EQ(world->borderBeside, 3);
    EXPECT_EQ(world->borderBelow, 4);
    // A narrowed window reports the beside code over data.
    world->SetCameraBounds(0, 0, 10, 15);
    EXPECT_EQ(world->GetTile(15, 5), world->borderBeside);
    // A window that overhangs the layer above and to the left reads no
    // cell outside it.
    world->SetCameraBounds(0, 0, 10, 5);
    EXPECT_EQ(world->windowY1, -8);
    EXPECT_EQ(world->GetTile(0, -3), world->borderAbove);
    EXPECT_EQ(world->GetTile(-1, 0), world->borderBeside);
    EXPECT_TRUE(world->TileHasFlag(0, 0) == false);
    world->SetTileFlag(1, 0, 5);
    EXPECT_EQ(world->GetTileFlag(1, 0), 1);
    EXPECT_TRUE(world->TileHasFlag(1, 0));
    EXPECT_FALSE(world->TileHasFlag(99, 0));
    EXPECT_FALSE(world->TileHasFlag(-3, 0));
}

class FollowTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        SetMap(60, 40);
        player = MakePlayer(ActorType::kPlayerFormA, 700, 500);
        world->cameraTarget = player;
    }

    // The camera position the view aims at for the player standing still
    // with the current look-ahead.
    int32_t AimX() const {
        const int32_t anchor = player->sprite->GetX() + kBodyX + kBodyW / 2;
        return anchor + world->lookAhead - kScreenWidth / 2;
    }

    CActor* player = nullptr;
};

TEST_F(FollowTest, TheCameraClosesAQuarterOfTheDistanceAndArrives) {
    world->cameraFollow = 0;
    world->cameraX = 0;
    world->cameraY = world->cameraMinY + world->cameraSpanY - kScreenHeight;
    world->UpdateCamera(60, false);
    const int32_t aim = AimX();
    EXPECT_EQ(world->cameraX, (aim - 0) / 4);
    int32_t previous = world->cameraX;
    for (int32_t frame = 0; frame < 60; ++frame) {
        world->UpdateCamera(60, false);
        const int32_t remaining = aim - previous;
        const int32_t step = remaining / 4 != 0 ? remaining / 4 : (remaining > 0 ? 1 : 0);
        EXPECT_EQ(world->cameraX, previous + step) << frame;
        previous = world->cameraX;
    }
    EXPECT_EQ(world->cameraX, aim);
    world->UpdateCamera(60, false);
    EXPECT_EQ(world->cameraArrived, 1);
}

TEST_F(FollowTest, ASpeedCapLimitsTheStep) {
    world->cameraFollow = 0;
    world->cameraSpeed = 100;
    world->cameraX = 0;
    for (int32_t frame = 0; frame < 10; ++frame) {
        const int32_t before = world->cameraX;
        world->UpdateCamera(50, false);
        EXPECT_EQ(world->cameraX - before, 5);
    }
}

TEST_F(FollowTest, SnapTakesTheAimAndTheLookAheadLeansTowardsTheFacing) {
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->lookAhead, 5);
    EXPECT_EQ(world->cameraX, AimX());
    for (int32_t i = 0; i < 20; ++i) world->UpdateCamera(60, true);
    EXPECT_EQ(world->lookAhead, 48);
    player->facing = 0;
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->lookAhead, 43);
    // Without the follow flag a standing player keeps the lead.
    world->cameraFollow = 0;
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->lookAhead, 43);
    player->vx = 10;
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->lookAhead, 38);
    // Following another actor: no lead.
    CActor* other = Make(5, 400, 300);
    world->cameraTarget = other;
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->lookAhead, 0);
    EXPECT_EQ(world->cameraX, other->sprite->GetX() + kBodyX + kBodyW / 2 - kScreenWidth / 2);
    EXPECT_EQ(world->cameraY, other->sprite->GetY() + kBodyY + kBodyH - kScreenHeight / 10 - kScreenHeight / 2);
}

TEST_F(FollowTest, AFixedTargetTheLimitsAndANarrowLevel) {
    world->fixedTargetX = 2000;
    world->fixedTargetY = 0;
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->cameraX, world->cameraMinX + world->cameraSpanX - kScreenWidth);
    EXPECT_EQ(world->cameraY, 0);
    world->fixedTargetX = CGameWorld::kNoFixedTarget;
    // A level narrower than the view: half the difference, negative.
    world->cameraMinX = 0;
    world->cameraSpanX = 200;
    world->UpdateCamera(60, true);
    EXPECT_EQ(world->cameraX, (200 - kScreenWidth) >> 1);
}

TEST_F(FollowTest, TheCameraStaysWhileFrozenOrWithoutALivingPlayer) {
    world->cameraX = 33;
    world->cameraFreeze = 1;
    world->UpdateCamera(60, false);
    EXPECT_EQ(world->cameraX, 33);
    world->cameraFreeze = 0;
    player->hitPoints = 0;
    world->UpdateCamera(60, false);
    EXPECT_EQ(world->cameraX, 33);
    world->player = nullptr;
    world->UpdateCamera(60, false);
    EXPECT_EQ(world->cameraX, 33);
}

TEST_F(CameraTest, TheShakeAlternatesAndEnds) {
    world->SetShake(300, 4, 3, true);
    const int32_t expectedX[] = {-4, 4, -4, 4, -4};
    const int32_t expectedY[] = {-3, 3, -3, 3, -3};
    for (int32_t i = 0; i < 4; ++i) {
        world->UpdateShake(60);
        EXPECT_EQ(world->shakeOffsetX, expectedX[i]);
        EXPECT_EQ(world->shakeOffsetY, expectedY[i]);
    }
    world->UpdateShake(60);
    EXPECT_EQ(world->shakeTime, CGameWorld::kShakeIdle);
    EXPECT_EQ(world->shakeOffsetX, 0);
    EXPECT_EQ(world->shakeAmplitudeY, 0);
    // Random sizes: y of amplitude 1 always moves by one pixel; x stays
    // within its amplitude and flips its side each frame.
    world->SetShake(10000, 6, 1, false);
    for (int32_t i = 0; i < 50; ++i) {
        const int32_t beforeX = world->shakeOffsetX;
        world->UpdateShake(10);
        EXPECT_EQ(std::abs(world->shakeOffsetY), 1);
        EXPECT_LE(std::abs(world->shakeOffsetX), 6);
        EXPECT_TRUE(beforeX >= 0 ? world->shakeOffsetX <= 0 : world->shakeOffsetX >= 0);
    }
}

TEST_F(CameraTest, TheSameSeedGivesTheSameShake) {
    std::vector<int32_t> first;
    std::vector<int32_t> second;
    for (std::vector<int32_t>* run : {&first, &second}) {
        GetRandom()->Seed(7);
        world->shakeOffsetX = world->shakeOffsetY = 0;
        world->SetShake(10000, 9, 9, false);
        for (int32_t i = 0; i < 20; ++i) {
            world->UpdateShake(10);
            run->push_back(world->shakeOffsetX * 100 + world->shakeOffsetY);
        }
    }
    EXPECT_EQ(first, second);
}

}  // namespace
}  // namespace playtest
