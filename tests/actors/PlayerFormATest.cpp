#include "BehaviourFixture.h"
#include "PlayerControl.h"

namespace playtest {
namespace {

using namespace PlayerWord;
using PC = PlayerControl;

class PlayerFormATest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 100, 200);
        // Without the physics step the player has not moved.
        p->prevX = p->x;
        p->prevY = p->y;
    }

    // A frame of the player with the keys of this frame.
    void Frame(uint32_t pressed, uint32_t held) {
        input.pressed = pressed;
        input.held = held;
        Think(p);
    }

    // Frames with the held keys until the condition holds (bounded).
    template <typename Condition>
    int32_t FramesUntil(Condition condition, uint32_t held = 0) {
        int32_t frames = 0;
        while (!condition() && frames < 200) {
            Frame(0, held);
            ++frames;
        }
        return frames;
    }

    CActor* p = nullptr;
};

TEST_F(PlayerFormATest, WalksEitherWayAndStopsOnBothKeysOrNone) {
    Frame(0, PC::kRight);
    EXPECT_EQ(p->ax, 512000);
    EXPECT_EQ(p->targetVx, 122880);
    EXPECT_EQ(p->facing, 1);
    EXPECT_TRUE(p->IsAnimation(1));
    p->vx = 50000;
    Frame(0, PC::kLeft);
    EXPECT_EQ(p->vx, 0) << "turning on the ground drops the speed";
    EXPECT_EQ(p->ax, -512000);
    EXPECT_EQ(p->targetVx, -122880);
    EXPECT_EQ(p->facing, 0);
    p->vx = -50000;
    Frame(0, PC::kLeft | PC::kRight);
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(p->ax, 0);
    EXPECT_TRUE(p->IsAnimation(0));
    // Without control the keys do nothing.
    world->playerControl = 0;
    Frame(0, PC::kRight);
    EXPECT_EQ(p->ax, 0);
}

TEST_F(PlayerFormATest, JumpsOnAPressAfterItsWindUpAndOnlyOncePerPress) {
    Frame(PC::kUp, PC::kUp);
    EXPECT_TRUE(p->IsAnimation(6));
    EXPECT_EQ(FramesUntil([&] { return p->onGround == 0; }, PC::kUp), 5);
    EXPECT_EQ(p->vy, -291840);
    EXPECT_TRUE(p->IsAnimation(7));
    // Back on the ground with up still held: no second jump.
    p->onGround = 1;
    p->vy = 0;
    Frame(0, PC::kUp);
    Frame(0, PC::kUp);
    EXPECT_FALSE(p->IsAnimation(6));
    // Digit 1 jumps and turns left.
    Frame(PC::kUpLeft, PC::kUpLeft);
    EXPECT_TRUE(p->IsAnimation(6));
    EXPECT_EQ(p->facing, 0);
}

TEST_F(PlayerFormATest, SteersInTheAirWithTheDigitKeysAndLeavesXAloneAtZero) {
    p->onGround = 0;
    p->SetPosition(0, p->y);
    Frame(0, PC::kUpRight);
    EXPECT_EQ(p->ax, 512000);
    EXPECT_EQ(p->targetVx, 122880);
    EXPECT_EQ(p->x, 0);
    Frame(0, PC::kUpLeft | PC::kUpRight);
    EXPECT_EQ(p->ax, 0);
    EXPECT_EQ(p->targetVx, 0);
}

TEST_F(PlayerFormATest, AFallFasterThan285PixelsASecondLandsHardWithSoundAndShake) {
    for (int32_t vy : {291840, 291841}) {
        SCOPED_TRACE(vy);
        world->shakeTime = CGameWorld::kShakeIdle;
        p->onGround = 0;
        p->prevY = p->y - 1000;
        p->vy = vy;
        Frame(0, 0);
        EXPECT_TRUE(p->IsAnimation(8));
        p->onGround = 1;
        Frame(0, 0);
        EXPECT_TRUE(p->IsAnimation(9));
        EXPECT_EQ(p->vx, 0);
        EXPECT_EQ(world->shakeTime, vy == 291841 ? 300 : CGameWorld::kShakeIdle);
        if (vy == 291841) {
            EXPECT_EQ(world->shakeAmplitudeY, 2);
        }
        EXPECT_EQ(FramesUntil([&] { return p->IsAnimation(0); }), 5);
    }
}

TEST_F(PlayerFormATest, ComboChainsOnlyThroughTheTimedWindowAndEndsAfterTheFourthBlow) {
    Frame(PC::kFire, PC::kFire);
    EXPECT_EQ(p->StateWord(kMode), kModeAttacking);
    EXPECT_TRUE(p->IsAnimation(2)) << "the first blow starts at once";
    EXPECT_EQ(p->StateWord(kAttackQueued), 0);
    // Outside the timed window a second press queues nothing.
    Frame(PC::kFire, PC::kFire);
    EXPECT_EQ(p->StateWord(kAttackNext), -1);
    for (int32_t blow = 1; blow < 4; ++blow) {
        SCOPED_TRACE(blow);
        // A hit opens the window, as the enemies do.
        CActor::SetPlayerTimedMode(true);
        EXPECT_EQ(p->StateWord(kTimedCountdown), 500);
        Frame(PC::kFire, PC::kFire);
        EXPECT_EQ(p->StateWord(kAttackNext), blow);
        EXPECT_EQ(p->timedMode, 0);
        EXPECT_TRUE(p->IsAnimation(1 + blow)) << "the queued blow waits for this one";
        FramesUntil([&] { return p->IsAnimation(2 + blow); });
        EXPECT_TRUE(p->IsAnimation(2 + blow));
        EXPECT_EQ(p->StateWord(kAttackQueued), blow);
    }
    CActor::SetPlayerTimedMode(true);
    Frame(PC::kFire, PC::kFire);
    EXPECT_EQ(p->StateWord(kAttackNext), -1) << "nothing follows the fourth blow";
    FramesUntil([&] { return p->StateWord(kMode) == kModeFree; });
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    EXPECT_TRUE(p->IsAnimation(0));
    EXPECT_EQ(p->timedMode, 0);
}

TEST_F(PlayerFormATest, TheTimedWindowRunsOutAndResetsTheAttack) {
    Frame(PC::kFire, PC::kFire);
    CActor::SetPlayerTimedMode(true);
    for (int32_t t = 0; t < 500; t += kDt) Frame(0, 0);
    EXPECT_EQ(p->timedMode, 0);
    EXPECT_EQ(p->StateWord(kTimedCountdown), -1);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    EXPECT_EQ(p->StateWord(kAttackQueued), -1);
}

TEST_F(PlayerFormATest, TheSpecialMovePlaysWhileItsTimeLasts) {
    p->SetStateWord(kSpecial, 100);
    Frame(PC::kFire, PC::kFire);
    EXPECT_TRUE(p->IsAnimation(26));
    EXPECT_EQ(p->StateWord(kMode), kModeAttacking);
    EXPECT_EQ(p->StateWord(kSpecial), 60);
    EXPECT_EQ(FramesUntil([&] { return p->StateWord(kMode) == kModeFree; }), 5);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    Frame(PC::kFire, PC::kFire);
    EXPECT_TRUE(p->IsAnimation(2)) << "the special time is over";
}

TEST_F(PlayerFormATest, GoesLowAndStandsUpWhereThereIsRoom) {
    Frame(0, PC::kDown);
    EXPECT_TRUE(p->IsAnimation(12));
    EXPECT_EQ(p->StateWord(kStance), 3);
    FramesUntil([&] { return p->StateWord(kStance) == kStanceLow; });
    EXPECT_TRUE(p->IsAnimation(15));
    Frame(0, PC::kRight);
    EXPECT_EQ(p->ax, 716800);
    EXPECT_EQ(p->targetVx, 245760);
    // A wall over the head keeps the player low.
    const int32_t bottomRow = ((p->y - 1) >> 10) / 24;
    const int32_t column = ((p->x >> 10) + p->sprite->GetBoxX() + p->GetWidth()) / 24;
    SetTileCode(column - 1, bottomRow - p->StateWord(PC::kStandHeight), 1);
    Frame(PC::kUp, PC::kUp);
    EXPECT_EQ(p->StateWord(kStance), kStanceLow);
    SetTileCode(column - 1, bottomRow - p->StateWord(PC::kStandHeight), 0);
    Frame(PC::kUp, PC::kUp);
    EXPECT_TRUE(p->IsAnimation(11));
    EXPECT_EQ(p->StateWord(kStance), 2);
    EXPECT_EQ(FramesUntil([&] { return p->StateWord(kStance) == kStanceNormal; }), 5);
}

TEST_F(PlayerFormATest, GoingLowIsRefusedBesideALargeEnemyOnScreenAndInTheLastLevel) {
    CActor* enemy = MakeOn(kMainSet, ActorType::kLargeEnemy1, 105, 200);
    Insert(enemy);
    Frame(0, PC::kDown);
    EXPECT_EQ(p->StateWord(kStance), kStanceNormal);
    // The same enemy off screen does not count.
    world->cameraX = 2 * kScreenWidth;
    Frame(0, PC::kDown);
    EXPECT_EQ(p->StateWord(kStance), 3);

    CActor* last = MakePlayer(ActorType::kPlayerFormA, 100, 200);
    p = last;
    world->variantFlag = 1;
    Frame(0, PC::kDown);
    EXPECT_EQ(p->StateWord(kStance), kStanceNormal);
}

TEST_F(PlayerFormATest, GrabsALedgeAheadInTheAirAndClimbsOntoIt) {
    // Code 1 is a ledge tile; the player jumps facing right below it.
    world->tileTypes[1][CGameWorld::kTileLedge] = 1;
    world->tileTypes[1][CGameWorld::kTilePassable] = 1;
    const int32_t topRow = (200 - 20) / 24;
    const int32_t left = 114 - 5;
    const int32_t ahead = (left + 10 + 1) / 24;  // the front column is the one before
    SetTileCode(ahead, topRow, 1);
    p->SetPosition(114 * kPx, p->y);
    p->onGround = 0;
    Frame(0, 0);
    EXPECT_EQ(world->ledgeFlag, 1);
    EXPECT_EQ(p->StateWord(kMode), PC::kModeLedge);
    EXPECT_TRUE(p->IsAnimation(21));
    // The front column is not a ledge: the box goes a whole tile back.
    EXPECT_EQ((p->x >> 10) + p->sprite->GetBoxX(), (ahead - 1) * 24);
    EXPECT_EQ((p->y >> 10) + p->sprite->GetBoxY(), topRow * 24);
    EXPECT_EQ(p->gravity, 0);
    EXPECT_EQ(p->vy, 0);
    const int32_t boxLeft = (p->x >> 10) + p->sprite->GetBoxX();
    FramesUntil([&] { return p->StateWord(kMode) == kModeFree; });
    EXPECT_EQ(p->StateWord(kPreviousMode), PC::kModeLedge);
    EXPECT_EQ((p->x >> 10) + p->sprite->GetBoxX(), boxLeft);
    // Right after the climb no new grab, until it has stood once.
    p->onGround = 0;
    Frame(0, 0);
    EXPECT_NE(p->StateWord(kMode), PC::kModeLedge);
}

TEST_F(PlayerFormATest, AHitQueuesTheStandAfterTheHurtAnimation) {
    CActor* enemy = MakeOn(kStrikingSet, ActorType::kLargeEnemy1, 100, 200);
    enemy->SetAnimation(3, true);
    EXPECT_TRUE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(p->StateWord(kFollowAnimation), 0);
    EXPECT_TRUE(p->IsAnimation(10));
    Frame(0, PC::kRight);
    EXPECT_TRUE(p->IsAnimation(10));
    EXPECT_EQ(p->ax, 0) << "no control while hurt";
    EXPECT_EQ(FramesUntil([&] { return p->StateWord(kFollowAnimation) == -1; }), 4);
    EXPECT_TRUE(p->IsAnimation(0));
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
}

TEST_F(PlayerFormATest, DiesOverTwentyUpdatesThenLeavesPlay) {
    p->hitPoints = 0;
    Frame(0, 0);
    EXPECT_EQ(world->playerDead, 1);
    EXPECT_TRUE(p->IsAnimation(19));
    EXPECT_EQ(p->StateWord(kDeathCountdown), 19);
    for (int32_t i = 0; i < 18; ++i) Frame(0, 0);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal);
    Frame(0, 0);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateLeave);
}

TEST_F(PlayerFormATest, AScriptedWalkHeadsForItsColumnAndEnds) {
    world->playerControl = 0;
    p->SetStateWord(PC::kWalkColumn, 6);
    Frame(0, 0);
    EXPECT_EQ(p->ax, 512000);
    const int32_t target = 6 * 24 + 12;
    p->SetPosition((target - p->sprite->GetCentreX()) << 10, p->y);
    Frame(0, 0);
    EXPECT_EQ(p->StateWord(PC::kWalkColumn), -1);
    EXPECT_EQ(p->ax, 0);
}

TEST_F(PlayerFormATest, AFinishingMovePlaysOutWhileThePlayerIsHeldAndAQueuedOneFollowsTheCurrentPose) {
    // The key prompt holds the player in its finishing move.
    p->SetStateWord(kMode, kModeHeld);
    p->SetAnimation(27, false);
    Frame(PC::kFire, PC::kFire | PC::kRight);
    EXPECT_TRUE(p->IsAnimation(27));
    EXPECT_EQ(p->ax, 0);
    EXPECT_EQ(FramesUntil([&] { return p->IsAnimationDone(); }), 4);
    EXPECT_TRUE(p->IsAnimation(27)) << "held, the pose stays";
    // Queued behind the current pose: it starts when that ends and sets the
    // mode word it carries.
    p->SetStateWord(kMode, kModeFree);
    p->SetAnimation(9, false);
    CActor::SetPlayerTarget(24, false, kModeAttacking);
    EXPECT_EQ(FramesUntil([&] { return p->IsAnimation(24); }), 5);
    EXPECT_EQ(p->StateWord(kMode), kModeAttacking);
    EXPECT_EQ(p->StateWord(kFollowAnimation), -1);
    EXPECT_EQ(FramesUntil([&] { return p->StateWord(kMode) == kModeFree; }), 5);
    EXPECT_TRUE(p->IsAnimation(0));
}

}  // namespace
}  // namespace playtest
