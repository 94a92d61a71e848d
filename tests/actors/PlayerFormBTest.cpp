#include "BehaviourFixture.h"
#include "PlayerControl.h"

namespace playtest {
namespace {

using namespace PlayerWord;
using PC = PlayerControl;

constexpr int32_t kShotSequence = 27;
constexpr int32_t kFuel = 30;
constexpr int32_t kFuelRegain = 32;
constexpr int32_t kRecharge = 33;
// Every animation of the test sprites lasts two frames of 100 ms.
constexpr int32_t kAnimationFrames = 200 / kDt;

class PlayerFormBTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormB, 100, 200);
        p->prevX = p->x;
        p->prevY = p->y;
    }

    void Frame(uint32_t pressed, uint32_t held, bool meleeOnly = false) {
        input.pressed = pressed;
        input.held = held;
        // The large enemies raise the flag in every frame they are close.
        if (meleeOnly) p->SetStateWord(kMeleeOnly, 1);
        Think(p);
    }

    CActor* p = nullptr;
};

TEST_F(PlayerFormBTest, HoldingFireShootsEachTimeTheHoldEndsAndLettingGoEndsTheAttack) {
    Frame(PC::kFire, PC::kFire);
    EXPECT_EQ(p->StateWord(kMode), kModeAttacking);
    EXPECT_TRUE(p->IsAnimation(21));
    EXPECT_EQ(p->StateWord(kShotSequence), 1);
    // Aim, shoot, hold, then the next shot in the frame after the hold.
    const int32_t frames = 60;
    const int32_t firstShot = kAnimationFrames;
    const int32_t period = 2 * kAnimationFrames + 1;
    for (int32_t i = 1; i <= frames; ++i) Frame(0, PC::kFire);
    const int32_t expected = 1 + (frames - firstShot) / period;
    ASSERT_EQ(world->projectilePool->size(), expected);
    for (int32_t i = 0; i < expected; ++i) {
        const CActor* shot = world->projectilePool->elementAt(i);
        EXPECT_EQ(shot->vx, 368640);
        EXPECT_EQ(shot->StateWord(1), ActorType::kPlayerFormB);
        EXPECT_EQ(shot->x, p->x);
    }
    // Let go during the hold: the attack ends.
    while (!p->IsAnimation(23)) Frame(0, PC::kFire);
    Frame(0, 0);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    EXPECT_EQ(p->StateWord(kShotSequence), 0);
    EXPECT_TRUE(p->IsAnimation(2));
}

TEST_F(PlayerFormBTest, ShotsLeaveTowardsTheFacingSide) {
    p->facing = 0;
    Frame(PC::kFire, PC::kFire);
    for (int32_t i = 0; i < kAnimationFrames; ++i) Frame(0, PC::kFire);
    ASSERT_EQ(world->projectilePool->size(), 1);
    EXPECT_EQ(world->projectilePool->elementAt(0)->vx, -368640);
    EXPECT_EQ(world->projectilePool->elementAt(0)->facing, 0);
}

TEST_F(PlayerFormBTest, CloseToAnEnemyFireFightsAndEachTimedPressCutsTheBlowShort) {
    Frame(PC::kFire, PC::kFire, true);
    EXPECT_TRUE(p->IsAnimation(3));
    EXPECT_EQ(world->projectilePool->size(), 0);
    for (int32_t blow = 1; blow < 4; ++blow) {
        CActor::SetPlayerTimedMode(true);
        Frame(PC::kFire, PC::kFire, true);
        EXPECT_TRUE(p->IsAnimation(3 + blow)) << "the next blow starts at once";
        EXPECT_EQ(p->StateWord(kAttackQueued), blow);
    }
    for (int32_t i = 0; i < kAnimationFrames; ++i) Frame(0, 0, true);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    EXPECT_TRUE(p->IsAnimation(2));
}

TEST_F(PlayerFormBTest, BoostSpendsFuelAndAnEmptyTankStartsTheRechargeDelay) {
    world->autoRun = 1;
    p->SetStateWord(kStance, kStanceLow);
    p->SetStateWord(kFuel, 100);
    Frame(PC::kFire, PC::kFire);
    EXPECT_EQ(p->StateWord(kFuel), 96);
    EXPECT_EQ(p->targetVx, 307200);
    EXPECT_EQ(world->boostFlag, 1);
    p->SetStateWord(kFuel, 4);
    Frame(0, PC::kFire);
    EXPECT_EQ(p->StateWord(kFuel), 0);
    EXPECT_EQ(p->StateWord(kRecharge), 3000);
    EXPECT_EQ(world->boostFlag, 0);
    EXPECT_EQ(p->targetVx, 143360);
}

TEST_F(PlayerFormBTest, FuelComesBackAfterTheDelayAndIsCappedAt700) {
    world->autoRun = 1;
    p->SetStateWord(kFuelRegain, 10);
    p->SetStateWord(kRecharge, 3000);
    p->SetStateWord(kFuel, 50);
    const int32_t delayFrames = 3000 / kDt;
    for (int32_t i = 0; i < delayFrames; ++i) Frame(0, 0);
    EXPECT_EQ(p->StateWord(kFuel), 50);
    Frame(0, 0);
    EXPECT_EQ(p->StateWord(kFuel), 60);
    EXPECT_EQ(p->StateWord(kRecharge), -1);
    Frame(0, 0);
    EXPECT_EQ(p->StateWord(kFuel), 70);
    p->SetStateWord(kFuel, 701);
    Frame(0, 0);
    EXPECT_EQ(p->StateWord(kFuel), 700);
    // Running by itself it speeds up towards 140 px/s.
    EXPECT_EQ(p->targetVx, 143360);
    EXPECT_EQ(p->ax, 358400);
    EXPECT_EQ(p->gravity, 393216);
}

TEST_F(PlayerFormBTest, WalkingAndStoppingPassThroughTheStepAnimation) {
    EXPECT_TRUE(p->IsAnimation(2));
    Frame(0, PC::kRight);
    EXPECT_EQ(p->ax, 614400);
    EXPECT_EQ(p->targetVx, 143360);
    EXPECT_TRUE(p->IsAnimation(1));
    for (int32_t i = 0; i < kAnimationFrames; ++i) Frame(0, PC::kRight);
    EXPECT_TRUE(p->IsAnimation(0));
    Frame(0, 0);
    EXPECT_TRUE(p->IsAnimation(1));
    for (int32_t i = 0; i < kAnimationFrames; ++i) Frame(0, 0);
    EXPECT_TRUE(p->IsAnimation(2));
}

TEST_F(PlayerFormBTest, TakesOffAtOnceWithoutAWindUp) {
    Frame(PC::kUpRight, PC::kUpRight);
    EXPECT_EQ(p->onGround, 0);
    EXPECT_EQ(p->vy, -291840);
    EXPECT_TRUE(p->IsAnimation(7));
    EXPECT_EQ(p->facing, 1);
}

TEST_F(PlayerFormBTest, GoingLowIsBlockedByTheSecondBlockTypeButNotByTheLastLevel) {
    world->variantFlag = 1;
    CActor* block = MakeOn(kMainSet, ActorType::kBlock61, 104, 200);
    Insert(block);
    Frame(0, PC::kDown);
    EXPECT_EQ(p->StateWord(kStance), kStanceNormal);
    block->SetPosition(200 * kPx, block->y);
    Frame(0, PC::kDown);
    EXPECT_TRUE(p->IsAnimation(11));
    EXPECT_EQ(p->StateWord(kStance), 3);
}

TEST_F(PlayerFormBTest, DeathRunsItsCountdownWithoutAnAnimationAndHidesTheSecondSprite) {
    world->playerSecondSprite = SpriteOn(kMainSet);
    world->playerSecondShown = 1;
    world->playerDead = 1;
    p->SetStateWord(kDeathCountdown, 3);
    Frame(0, 0);
    Frame(0, 0);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal);
    EXPECT_TRUE(world->playerSecondSprite->IsVisible());
    Frame(0, 0);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateLeave);
    EXPECT_FALSE(world->playerSecondSprite->IsVisible());
    EXPECT_EQ(world->playerSecondShown, 0);
    EXPECT_TRUE(p->IsAnimation(2));
    EXPECT_EQ(p->hitPoints, 0);
}

}  // namespace
}  // namespace playtest
