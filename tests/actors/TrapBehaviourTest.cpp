#include "BehaviourFixture.h"

namespace playtest {
namespace {

using namespace PlayerWord;

constexpr int32_t kAnimationFrames = 200 / kDt;

class TrapTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 30, 200);
    }

    CActor* p = nullptr;
};

TEST_F(TrapTest, SpikesRiseStayUpASecondRetractAndRestFor400Ms) {
    CActor* spikes = MakeOn(kStrikingSet, ActorType::kSpikeTrap, 200, 200);
    EXPECT_TRUE(spikes->IsAnimation(1));
    EXPECT_EQ(ThinkUntil(spikes, [&] { return spikes->IsAnimation(2); }), kAnimationFrames);
    EXPECT_EQ(spikes->StateWord(1), 1000);
    EXPECT_EQ(ThinkUntil(spikes, [&] { return spikes->IsAnimation(3); }), 1000 / kDt + 1);
    EXPECT_EQ(spikes->StateWord(1), 400);
    EXPECT_EQ(ThinkUntil(spikes, [&] { return spikes->IsAnimation(1); }), kAnimationFrames + 400 / kDt - 1);
    // A player in reach is hurt by the trap's move of the playing animation.
    p->SetPosition(spikes->x + 6 * kPx, spikes->y);
    const int32_t before = p->hitPoints;
    Think(spikes);
    EXPECT_EQ(p->hitPoints, before - spikes->CurrentMove()->damage);
}

TEST_F(TrapTest, RecoverOnlySpikesNeverRiseByThemselves) {
    CActor* spikes = MakeOn(kStrikingSet, ActorType::kSpikeTrap, 200, 200, {1});
    EXPECT_TRUE(spikes->IsAnimation(0));
    for (int32_t i = 0; i < 200; ++i) Think(spikes);
    EXPECT_TRUE(spikes->IsAnimation(0));
    // A block lands on it: it recovers from its hurt animation after its
    // timer, back to the lowered pose.
    CActor* block = MakeOn(kMainSet, ActorType::kBlock19, 200, 200);
    Insert(spikes);
    block->CollideWithActors();
    EXPECT_TRUE(spikes->IsAnimation(4));
    EXPECT_EQ(spikes->StateWord(1), 200);
    EXPECT_EQ(ThinkUntil(spikes, [&] { return spikes->IsAnimation(0); }), kAnimationFrames + 200 / kDt);
    EXPECT_EQ(spikes->depth, 3);
}

TEST_F(TrapTest, ABarrierThatHurtsThePlayerDoesNotBreakInTheSameFrame) {
    CActor* barrier = MakeOn(kStrikingSet, ActorType::kBarrier, 30, 200);
    Insert(barrier);
    barrier->ChangeAnimation(1, true);  // a pose with a move that hurts
    p->SetAnimation(2, false);          // the player's blow reaches the barrier too
    p->vx = 4000;
    const int32_t before = p->hitPoints;
    Think(barrier);
    EXPECT_EQ(p->hitPoints, before - barrier->CurrentMove()->damage);
    EXPECT_EQ(p->vx, 0);
    EXPECT_TRUE(barrier->IsAnimation(1));
    EXPECT_EQ(barrier->depth, 0);
    // Out of the barrier's reach, the blow breaks it.
    p->SetPosition(22 * kPx, p->y);
    p->SetAnimation(2, false);
    Think(barrier);
    EXPECT_TRUE(barrier->IsAnimation(2));
    EXPECT_EQ(barrier->depth, 5);
    world->FlushActorLists();  // the frame ends: the barrier is re-sorted
    p->SetAnimation(0, true);
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(barrier);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(barrier));
}

TEST_F(TrapTest, APooledShotBreakingABarrierGoesBackToThePoolOtherCollidersStay) {
    for (int32_t type : {ActorType::kPooledShot, ActorType::kRock}) {
        SCOPED_TRACE(type);
        CActor* barrier = MakeOn(kMainSet, ActorType::kBarrier, 200, 200);
        Insert(barrier);
        CActor* other = MakeOn(kStrikingSet, type, 196, 200);
        other->hitPoints = 1;
        Insert(other);
        Think(barrier);
        world->FlushActorLists();
        EXPECT_TRUE(barrier->IsAnimation(2));
        EXPECT_EQ(InDrawList(other), type != ActorType::kPooledShot);
        if (type == ActorType::kPooledShot) {
            EXPECT_EQ(other->hitPoints, CActor::kPoolFree);
        }
        world->QueueRemoveActor(barrier);
        world->QueueRemoveActor(other);
        world->FlushActorLists();
    }
}

TEST_F(TrapTest, ACrumblingLedgeCarriesFor500MsThenFallsAwayAndMaySpawnAgain) {
    CActor* ledge = MakeOn(kReachingSet, ActorType::kCrumblingLedge, 200, 200, {0});
    ledge->createFlag = 1;
    ledge->spawnId = 0;
    world->spawns.push_back({0, CGameWorld::kSpawnLive});
    world->templateRanges.push_back({100, 100});
    Insert(ledge);
    // The player stands in the ledge's second box, 30 px above it.
    p->SetPosition(ledge->x, ledge->y - 15 * kPx);
    Think(ledge);
    EXPECT_EQ(ledge->StateWord(0), 1);
    EXPECT_EQ(ledge->StateWord(1), 500);
    EXPECT_EQ(ThinkUntil(ledge, [&] { return ledge->StateWord(0) == -1; }), (500 + kDt - 1) / kDt);
    EXPECT_EQ(ledge->createFlag, 0);
    EXPECT_EQ(ledge->depth, 5);
    EXPECT_TRUE(ledge->IsAnimation(2));
    world->FlushActorLists();
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(ledge);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(ledge));
    EXPECT_EQ(world->spawns[0].state, CGameWorld::kSpawnFree);
}

TEST_F(TrapTest, ADrainTakesOneHitPointOnceAndNoneWhileBoosting) {
    for (bool boosting : {false, true}) {
        CActor* drain = MakeOn(kMainSet, ActorType::kDrainingHazard, 30, 200);
        world->boostFlag = boosting ? 1 : 0;
        const int32_t before = p->hitPoints;
        Think(drain);
        Think(drain);
        EXPECT_TRUE(drain->IsAnimation(1));
        EXPECT_EQ(p->hitPoints, boosting ? before : before - 1);
    }
}

TEST_F(TrapTest, ASecondFormPlayerDrainedToNothingDies) {
    CActor* formB = MakePlayer(ActorType::kPlayerFormB, 30, 200);
    formB->hitPoints = 1;
    CActor* drain = MakeOn(kMainSet, ActorType::kDrainingHazard, 30, 200);
    Think(drain);
    EXPECT_EQ(formB->hitPoints, 0);
    EXPECT_EQ(world->playerDead, 1);
    EXPECT_EQ(formB->StateWord(kDeathCountdown), kDeathFrames);
}

TEST_F(TrapTest, APotStruckByAShotBreaksHurtsWhileBrokenAndGoes) {
    CActor* pot = MakeOn(kStrikingSet, ActorType::kPot, 200, 200);
    Insert(pot);
    CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 196, 200);
    shot->hitPoints = 1;
    Insert(shot);
    Think(pot);
    world->FlushActorLists();
    EXPECT_EQ(pot->StateWord(1), 2);
    EXPECT_TRUE(pot->IsAnimation(3));
    EXPECT_FALSE(InDrawList(shot));
    EXPECT_EQ(ThinkUntil(pot, [&] { return pot->IsAnimation(2); }), kAnimationFrames);
    p->SetPosition(pot->x + 6 * kPx, pot->y);
    const int32_t before = p->hitPoints;
    Think(pot);
    EXPECT_EQ(p->hitPoints, before - 20);
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(pot);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(pot));
}

TEST_F(TrapTest, ARockKnockedByAShotDropsLandsAndGoes) {
    CActor* rock = MakeOn(kMainSet, ActorType::kRock, 200, 100);
    Insert(rock);
    Think(rock);
    EXPECT_EQ(rock->StateWord(0), 0);
    CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 196, 100);
    shot->hitPoints = 1;
    Insert(shot);
    rock->onGround = 0;
    Think(rock);
    EXPECT_EQ(rock->StateWord(0), 1);
    EXPECT_EQ(rock->gravity, 768 * kPx);
    EXPECT_TRUE(rock->IsAnimation(1));
    Think(rock);
    EXPECT_EQ(rock->StateWord(0), 1);
    rock->onGround = 1;
    Think(rock);
    EXPECT_EQ(rock->StateWord(0), 2);
    Think(rock);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(rock));
}

TEST_F(TrapTest, AHangingObjectReactsToAStandingPlayerInItsSecondBox) {
    CActor* hanging = MakeOn(kReachingSet, ActorType::kHangingObject, 200, 200);
    p->SetPosition(hanging->x, hanging->y - 15 * kPx);
    p->SetStateWord(kStance, kStanceLow);
    Think(hanging);
    EXPECT_EQ(hanging->StateWord(0), 0);
    EXPECT_TRUE(hanging->IsAnimation(0));
    p->SetStateWord(kStance, kStanceNormal);
    Think(hanging);
    EXPECT_EQ(hanging->StateWord(0), 1);
    EXPECT_TRUE(hanging->IsAnimation(1));
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(hanging);
    EXPECT_TRUE(hanging->IsAnimation(2));
}

}  // namespace
}  // namespace playtest
