#include "BehaviourFixture.h"
#include "CScriptCommand.h"

namespace playtest {
namespace {

using namespace PlayerWord;

constexpr int32_t kAnimationFrames = 200 / kDt;
constexpr uint32_t kRemoteKey = 0x100000;

class PartnerTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 100, 200);
    }

    CActor* MakePartner(int32_t kind) {
        CActor* partner = MakeOn(kMainSet, ActorType::kPartner, 300, 200);
        partner->SetStateWord(2, kind);
        world->partner = partner;
        return partner;
    }

    CActor* p = nullptr;
};

TEST_F(PartnerTest, AnArrivingPartnerStopsBesideThePlayerOnItsRightWhenStill) {
    CActor* partner = MakePartner(0);
    const int32_t gap = partner->GetWidth() + p->GetWidth() / 2;
    partner->SetPosition(p->x - 3 * kPx, p->y);
    partner->vx = 0;
    partner->onGround = 0;
    Think(partner);
    EXPECT_EQ(partner->x, p->x + gap * kPx);
    EXPECT_EQ(partner->StateWord(0), 5);
    EXPECT_TRUE(partner->IsAnimation(2));
    // Coming from the left it stops on the left.
    CActor* other = MakePartner(0);
    other->SetPosition(p->x - 3 * kPx, p->y);
    other->vx = 300 * kPx;
    Think(other);
    EXPECT_EQ(other->x, p->x - gap * kPx);
    EXPECT_EQ(other->vx, 0);
}

TEST_F(PartnerTest, TheSceneRunsGreetingActingPausingTurningAndRunningOffThenGrantsItsBoon) {
    struct Case {
        int32_t kind;
        int32_t word;
        int32_t value;
        int32_t playerPose;
    };
    const Case cases[] = {{0, kPower, 18000, 18}, {1, kCharge, 18000, 17}, {2, kSpecial, 9000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        p->SetAnimation(0, true);
        p->SetStateWord(45, 1);
        CActor* partner = MakePartner(c.kind);
        world->StartPartnerMode();
        EXPECT_EQ(world->partnerMode, 1);
        partner->SetPosition(p->x + 2 * kPx, p->y);
        Think(partner);
        EXPECT_EQ(partner->StateWord(0), 5);
        EXPECT_EQ(ThinkUntil(partner, [&] { return partner->StateWord(0) == 3; }), kAnimationFrames);
        EXPECT_TRUE(partner->IsAnimation(0));
        EXPECT_EQ(ThinkUntil(partner, [&] { return partner->StateWord(0) == 2; }), kAnimationFrames);
        EXPECT_TRUE(partner->IsAnimation(1));
        EXPECT_TRUE(p->IsAnimation(c.playerPose));
        EXPECT_EQ(ThinkUntil(partner, [&] { return partner->StateWord(0) == 4; }), 1000 / kDt);
        EXPECT_TRUE(partner->IsAnimation(3));
        EXPECT_EQ(partner->facing, 1) << "the player stands on its left";
        EXPECT_EQ(ThinkUntil(partner, [&] { return partner->StateWord(0) == 1; }), kAnimationFrames);
        EXPECT_EQ(partner->vx, 600 * kPx);
        EXPECT_EQ(partner->collisionFlags, 0);
        EXPECT_EQ(ThinkUntil(partner, [&] { return world->partnerMode == 0; }), 800 / kDt);
        EXPECT_EQ(p->StateWord(c.word), c.value);
        if (c.kind == 1) {
            EXPECT_EQ(p->StateWord(45), 0);
        }
        EXPECT_TRUE(p->IsAnimation(0));
        EXPECT_FALSE(partner->sprite->IsVisible());
    }
}

TEST_F(PartnerTest, AnImmediateSummoningPointCallsThePartnerOnceAndGoes) {
    CActor* partner = MakePartner(1);
    partner->link = p;
    CActor* point = MakeOn(kMainSet, ActorType::kSummoningPoint, 100, 200, {0, 0});
    Insert(point);
    EXPECT_NE(point->StateWord(2), 2);
    p->onGround = 0;
    Think(point);
    EXPECT_EQ(world->partnerMode, 0) << "not in the air";
    p->onGround = 1;
    Think(point);
    EXPECT_EQ(world->partnerMode, 1);
    EXPECT_EQ(partner->link, nullptr);
    EXPECT_EQ(point->StateWord(0), 1);
    Think(point);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(point));
}

TEST_F(PartnerTest, AScriptedPointHoldsThePlayerStandsItUpAndPacesThePartnerWithTheScript) {
    CActor* partner = MakePartner(2);
    CActor* point = MakeOn(kMainSet, ActorType::kSummoningPoint, 100, 200, {0});
    Insert(point);
    EXPECT_EQ(point->StateWord(2), 2);
    p->SetStateWord(kStance, kStanceLow);
    p->vx = 5000;
    Think(point);
    EXPECT_EQ(point->StateWord(0), 2);
    EXPECT_EQ(p->vx, 0);
    Think(point);
    EXPECT_TRUE(p->IsAnimation(11)) << "the player stands up first";
    EXPECT_EQ(p->StateWord(kStance), kStanceNormal);
    EXPECT_EQ(p->StateWord(kFollowAnimation), 0);
    Think(point);
    EXPECT_EQ(point->StateWord(0), 2) << "waits for the stand-up";
    p->SetAnimation(0, true);
    Think(point);
    EXPECT_EQ(point->StateWord(0), 3);
    EXPECT_EQ(world->partnerMode, 1);
    EXPECT_EQ(partner->link, point);
    // The partner arrives and waits for the point.
    partner->SetPosition(p->x + 2 * kPx, p->y);
    Think(partner);
    EXPECT_EQ(partner->StateWord(0), 6);
    Think(point);
    EXPECT_EQ(point->StateWord(0), 4);
    Think(point);
    EXPECT_EQ(point->StateWord(0), 4) << "no script waits";
    CScriptCommand command(*world, LevelScriptCommand{}, 0);
    world->waitingCommand = &command;
    Think(point);
    EXPECT_EQ(command.done, CScriptCommand::kDone);
    EXPECT_EQ(world->waitingCommand, nullptr);
    EXPECT_EQ(point->StateWord(0), 1);
    EXPECT_EQ(partner->StateWord(0), 5);
    Think(point);
    EXPECT_EQ(partner->link, nullptr);
}

class RemoteTest : public PartnerTest {
protected:
    void SetUp() override {
        PartnerTest::SetUp();
        p = MakePlayer(ActorType::kPlayerFormB, 100, 200);
        remote = MakeOn(kStrikingSet, ActorType::kRemote, 100, 200);
        world->viewCentreX = 120;
        world->viewCentreY = 160;
    }

    void Frame(uint32_t pressed, uint32_t held) {
        input.pressed = pressed;
        input.held = held;
        Think(remote);
    }

    CActor* remote = nullptr;
};

TEST_F(RemoteTest, TheRemoteGoesOutOnlyForAStillGroundedPlayerWithReserveOrCharge) {
    EXPECT_EQ(remote->StateWord(0), 2);
    EXPECT_FALSE(remote->sprite->IsVisible());
    p->onGround = 0;
    Frame(kRemoteKey, kRemoteKey);
    EXPECT_EQ(remote->StateWord(0), 2);
    p->onGround = 1;
    p->SetStateWord(kMode, kModeAttacking);
    Frame(kRemoteKey, kRemoteKey);
    EXPECT_EQ(remote->StateWord(0), 2);
    p->SetStateWord(kMode, kModeFree);
    p->SetStateWord(kReserve, 0);
    Frame(kRemoteKey, kRemoteKey);
    EXPECT_EQ(remote->StateWord(0), 2);
    EXPECT_EQ(remote->x, p->x) << "stowed, it rides along";
    p->SetStateWord(kCharge, 1);
    Frame(kRemoteKey, kRemoteKey);
    EXPECT_EQ(remote->StateWord(0), 0);
    EXPECT_EQ(world->remoteState, 1);
    EXPECT_EQ(world->remoteUsed, 1);
    EXPECT_TRUE(remote->sprite->IsVisible());
    EXPECT_EQ(p->StateWord(kMode), 12);
    EXPECT_EQ(remote->x, 120 * kPx);
    EXPECT_EQ(remote->y, 160 * kPx);
}

TEST_F(RemoteTest, TheFirstKeyOfTheTableSteersAndTheViewHoldsTheRemote) {
    p->SetStateWord(kReserve, 3);
    Frame(kRemoteKey, kRemoteKey);
    ASSERT_EQ(remote->StateWord(0), 0);
    struct Case {
        uint32_t held;
        int32_t vx;
        int32_t vy;
    };
    const Case cases[] = {{64 | 32, -160, 0}, {32 | 256, 160, 0}, {256 | 128, 0, -160}, {128 | 0x80000, 0, 160},
                          {0x80000 | 0x20000, -160, -160}, {0x20000, 160, -160}, {8192 | 2048, -160, 160},
                          {2048, 160, 160}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        Frame(0, c.held);
        EXPECT_EQ(remote->vx, c.vx * kPx);
        EXPECT_EQ(remote->vy, c.vy * kPx);
        EXPECT_EQ(p->StateWord(kMode), 12);
    }
    // At the view's left edge a push further left stops.
    remote->SetPosition(-5 * kPx, remote->y);
    Frame(0, 64);
    EXPECT_EQ(remote->vx, 0);
    EXPECT_EQ(remote->x, 0);
}

TEST_F(RemoteTest, ItsAttackCostsTheRamCostOfTheReserveThenItIsStowed) {
    for (int32_t cost : {1, 0}) {
        SCOPED_TRACE(cost);
        p->SetStateWord(kReserve, 3);
        p->SetStateWord(45, cost);
        p->SetStateWord(kMode, kModeFree);
        p->SetAnimation(2, true);
        Frame(kRemoteKey, kRemoteKey);
        ASSERT_EQ(remote->StateWord(0), 0);
        Frame(0x10, 0x10);
        EXPECT_EQ(remote->StateWord(0), 1);
        EXPECT_TRUE(remote->IsAnimation(1));
        EXPECT_EQ(p->StateWord(kReserve), 3 - cost);
        EXPECT_EQ(input.held, 0u);
        for (int32_t i = 0; i < kAnimationFrames; ++i) Frame(0, 0);
        EXPECT_EQ(remote->StateWord(0), 2);
        EXPECT_EQ(world->remoteState, 2);
        EXPECT_FALSE(remote->sprite->IsVisible());
        EXPECT_EQ(p->StateWord(kMode), kModeFree);
    }
}

TEST_F(RemoteTest, LeavingTheGroundOrDyingStowsItAtOnce) {
    Frame(kRemoteKey, kRemoteKey);
    ASSERT_EQ(remote->StateWord(0), 0);
    p->onGround = 0;
    Frame(0, 0);
    EXPECT_EQ(remote->StateWord(0), 2);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    p->onGround = 1;
    Frame(kRemoteKey, kRemoteKey);
    ASSERT_EQ(remote->StateWord(0), 0);
    // The remote key stows it too.
    Frame(kRemoteKey, kRemoteKey);
    EXPECT_EQ(remote->StateWord(0), 2);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    world->playerDead = 1;
    Frame(kRemoteKey, kRemoteKey);
    EXPECT_EQ(remote->StateWord(0), 2);
}

}  // namespace
}  // namespace playtest
