#include "EnemyFixture.h"

namespace playtest {
namespace {

class ArmouredBossTest : public EnemyFixture {
protected:
    void SetUp() override {
        EnemyFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 300, 200);
        boss = MakeOn(kStrikingSet, ActorType::kBoss35, 100, 200);
        part = MakeOn(kStrikingSet, ActorType::kBossPart36, 100, 200);
        Insert(boss);
        Insert(part);
        Think(part);
    }

    // The boss awake, with the part found.
    void Wake() { boss->OnScriptSignal(); }

    CActor* p = nullptr;
    CActor* boss = nullptr;
    CActor* part = nullptr;
};

TEST_F(ArmouredBossTest, ThePartFindsTheBossAndTheBossCarriesIt) {
    EXPECT_EQ(part->link, boss);
    EXPECT_EQ(boss->link, part);
    for (int32_t i = 0; i < 5; ++i) Think(boss);
    EXPECT_EQ(boss->StateWord(0), -1);
    EXPECT_EQ(p->StateWord(PlayerWord::kMeleeOnly), 0);
    Wake();
    boss->SetPosition(140 * kPx, boss->y);
    Think(boss);
    EXPECT_EQ(part->x, boss->x);
    EXPECT_EQ(part->y, boss->y);
    EXPECT_EQ(p->StateWord(PlayerWord::kMeleeOnly), 1);
    EXPECT_TRUE(world->bossGaugeSprite->IsVisible());
}

TEST_F(ArmouredBossTest, WalksAtThePlayerAndAttacksOnTheUpdateItTouchesIt) {
    Wake();
    for (int32_t i = 0; i < 3; ++i) Think(boss);
    EXPECT_EQ(boss->ax, 20 * kPx);
    EXPECT_EQ(boss->targetVx, 40 * kPx);
    EXPECT_TRUE(boss->IsAnimation(3));
    boss->vx = 30 * kPx;
    p->SetPosition(104 * kPx, p->y);
    Think(boss);
    EXPECT_EQ(boss->vx, 0);
    EXPECT_EQ(boss->ax, 0);
    EXPECT_EQ(boss->targetVx, 0);
    EXPECT_EQ(boss->StateWord(0), 1);
    EXPECT_EQ(boss->StateWord(3), 1);
    EXPECT_EQ(boss->StateWord(7), 0);
    EXPECT_TRUE(boss->IsAnimation(6));
}

TEST_F(ArmouredBossTest, EveryThirdAttackIsTheBigOneAndDropsTwoMinions) {
    Wake();
    p->SetPosition(104 * kPx, p->y);
    const int32_t owned = world->ownedList->size();
    for (int32_t attack = 1; attack <= 4; ++attack) {
        SCOPED_TRACE(attack);
        ThinkUntil(boss, [&] { return boss->StateWord(0) == 1; });
        const bool big = attack == 3;
        EXPECT_EQ(boss->StateWord(3), big ? 3 : attack % 3);
        EXPECT_TRUE(boss->IsAnimation(big ? 15 : 6));
        ThinkUntil(boss, [&] { return boss->StateWord(0) == 2; });
        if (big) {
            EXPECT_TRUE(boss->IsAnimation(18));
            EXPECT_TRUE(part->IsAnimation(19));
            EXPECT_EQ(boss->StateWord(4), 1);
        } else {
            EXPECT_TRUE(boss->IsAnimation(7));
            EXPECT_TRUE(part->IsAnimation(8));
            EXPECT_EQ(world->shakeTime, 600);
            EXPECT_EQ(boss->StateWord(1), 3000);
        }
        EXPECT_TRUE(part->sprite->IsVisible());
        ThinkUntil(boss, [&] { return boss->StateWord(0) == 0; });
        EXPECT_FALSE(part->sprite->IsVisible());
        EXPECT_EQ(boss->StateWord(3), big ? 0 : attack % 3);
    }
    // The drop gave two minions, one an update, from the top of the view.
    const std::vector<CActor*> minions = MadeSince(owned, ActorType::kBossMinion);
    ASSERT_EQ(minions.size(), 2u);
    for (const CActor* m : minions) {
        EXPECT_TRUE(m->IsAnimation(27));
        EXPECT_EQ(m->StateWord(1), 20);
        EXPECT_EQ(m->StateWord(2), 0);
        EXPECT_EQ(m->collisionFlags, CActor::kCollideAll);
        EXPECT_EQ(m->y, world->cameraY * kPx);
    }
    EXPECT_EQ(boss->StateWord(4), 0);
}

TEST_F(ArmouredBossTest, HitsOnThePartPassTheirDamageToTheBoss) {
    part->sprite->SetVisible(true);
    part->SetAnimation(11, false);
    p->SetPosition(89 * kPx, p->y);
    p->SetAnimation(2, false);
    Think(part);
    EXPECT_EQ(part->hitPoints, 4700);
    EXPECT_EQ(boss->hitPoints, 13700);
    // Not while the part is closed.
    part->SetAnimation(17, false);
    Think(part);
    EXPECT_EQ(boss->hitPoints, 13700);
    // From an actor of the collision list, whatever its animation.
    p->SetAnimation(0, true);
    CActor* remote = MakeOn(kStrikingSet, ActorType::kRemote, 92, 200);
    world->collisionList->addElement(remote);
    Think(part);
    EXPECT_EQ(part->hitPoints, 3900);
    EXPECT_EQ(boss->hitPoints, 12900);
    EXPECT_EQ(part->vx, 0);
    EXPECT_EQ(part->facing, 1);
}

TEST_F(ArmouredBossTest, ThePartsTwoStagesMoveTheBossToItsLaterPhasesOnce) {
    part->sprite->SetVisible(true);
    part->SetAnimation(11, false);
    part->hitPoints = 300;
    p->SetPosition(89 * kPx, p->y);
    p->SetAnimation(2, false);
    Think(part);
    EXPECT_EQ(boss->StateWord(2), 1);
    EXPECT_EQ(boss->StateWord(0), 0);
    EXPECT_EQ(boss->StateWord(1), 0x7FFFFFFF);
    EXPECT_TRUE(boss->IsAnimation(23));
    EXPECT_EQ(part->hitPoints, 5000);
    EXPECT_FALSE(part->sprite->IsVisible());
    EXPECT_EQ(boss->hitPoints, 14000 - 300);
    // Second stage.
    part->sprite->SetVisible(true);
    part->SetAnimation(8, false);
    part->hitPoints = 200;
    Think(part);
    EXPECT_EQ(boss->StateWord(2), 2);
    EXPECT_EQ(boss->StateWord(1), 3000);
    EXPECT_TRUE(boss->IsAnimation(26));
    EXPECT_FALSE(part->sprite->IsVisible());
    // Shown again in the last phase, a beaten part changes nothing.
    boss->SetStateWord(0, 3);
    boss->SetStateWord(1, 1234);
    part->sprite->SetVisible(true);
    CActor* remote = MakeOn(kStrikingSet, ActorType::kRemote, 92, 200);
    world->collisionList->addElement(remote);
    Think(part);
    EXPECT_EQ(boss->StateWord(0), 3);
    EXPECT_EQ(boss->StateWord(1), 1234);
    EXPECT_EQ(boss->StateWord(2), 2);
}

TEST_F(ArmouredBossTest, LastPhaseDropsFourMinionsOnlyTheSecondLeavingAPickup) {
    Wake();
    boss->SetStateWord(2, 2);
    boss->SetStateWord(0, 2);
    boss->SetStateWord(4, 1);
    boss->SetStateWord(1, 100000);
    const int32_t owned = world->ownedList->size();
    for (int32_t i = 0; i < 6; ++i) Think(boss);
    const std::vector<CActor*> minions = MadeSince(owned, ActorType::kBossMinion);
    ASSERT_EQ(minions.size(), 4u);
    for (size_t i = 0; i < minions.size(); ++i) {
        EXPECT_TRUE(minions[i]->StateWord(1) == 20 || minions[i]->StateWord(1) == 21);
        EXPECT_EQ(minions[i]->StateWord(2), i == 1 ? 1 : 0);
    }
    EXPECT_EQ(boss->StateWord(4), 0);
    EXPECT_EQ(boss->StateWord(6), 0);
}

TEST_F(ArmouredBossTest, AMinionFallsFromTheTopHurtsWhileTheBossLivesAndMayLeaveAPickup) {
    world->cameraY = 30;
    CActor* m = world->CreateActor(boss->sprite.get(), ActorType::kBossMinion, 150, 30, 0);
    m->SetAnimation(27, false);
    m->SetStateWord(1, 20);
    m->SetStateWord(2, 1);
    Insert(m);
    m->SetPosition(m->x, 90 * kPx);
    Think(m);
    EXPECT_EQ(m->link, boss);
    EXPECT_EQ(m->y, 30 * kPx);
    ThinkUntil(m, [&] { return m->IsAnimation(20); });
    EXPECT_GE(m->vy, 120 * kPx);
    EXPECT_LE(m->vy, 160 * kPx);
    EXPECT_EQ(m->ay, 200 * kPx);
    EXPECT_EQ(m->targetVy, 200 * kPx);
    // Its blow reaches the player only while the boss has hit points.
    m->onGround = 0;
    p->SetPosition(m->x + 12 * kPx, m->y);
    boss->hitPoints = 0;
    Think(m);
    EXPECT_EQ(p->hitPoints, 18);
    boss->hitPoints = 100;
    Think(m);
    EXPECT_EQ(p->hitPoints, 16);
    // Landed: it leaves one kind-1 pickup worth 1 and goes.
    const int32_t owned = world->ownedList->size();
    m->onGround = 1;
    Think(m);
    EXPECT_TRUE(m->IsAnimation(22));
    const std::vector<CActor*> pickups = MadeSince(owned, ActorType::kPickup);
    ASSERT_EQ(pickups.size(), 1u);
    EXPECT_EQ(pickups[0]->StateWord(0), 1);
    EXPECT_EQ(pickups[0]->StateWord(1), 1);
    EXPECT_EQ(pickups[0]->StateWord(2), 0);
    EXPECT_EQ(pickups[0]->vy, -160 * kPx);
    EXPECT_EQ(pickups[0]->gravity, CActor::kGravity);
    EXPECT_EQ(pickups[0]->collisionFlags, CActor::kCollideAll);
    EXPECT_TRUE(pickups[0]->sprite->IsVisible());
    ThinkUntil(m, [&] {
        world->FlushActorLists();
        return !InDrawList(m);
    });
    EXPECT_FALSE(InDrawList(m));
    EXPECT_EQ(MadeSince(owned, ActorType::kPickup).size(), 1u);
}

TEST_F(ArmouredBossTest, AMinionWithALifeTimeLeavesWhenItRunsOutAndDelaysTheBoss) {
    CActor* m = world->CreateActor(boss->sprite.get(), ActorType::kBossMinion, 150, 30, 0);
    m->SetAnimation(20, true);
    // It goes on the frame its life drops below 0.
    m->SetStateWord(0, 3 * kDt - 10);
    Insert(m);
    m->onGround = 0;
    Think(m);
    Think(m);
    world->FlushActorLists();
    EXPECT_TRUE(InDrawList(m));
    Think(m);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(m));
    EXPECT_EQ(boss->StateWord(1), 3000);
}

TEST_F(ArmouredBossTest, ExposedInItsLastPhaseItCanBeKilledAndSinksThenReleasesTheScript) {
    Wake();
    boss->SetStateWord(2, 2);
    boss->SetStateWord(0, 3);
    boss->SetStateWord(1, 100000);
    boss->hitPoints = 500;
    CActor* remote = MakeOn(kStrikingSet, ActorType::kRemote, 92, 200);
    world->collisionList->addElement(remote);
    Think(boss);
    EXPECT_EQ(boss->hitPoints, -300);
    EXPECT_EQ(boss->StateWord(0), 4);
    EXPECT_TRUE(boss->IsAnimation(35));
    EXPECT_EQ(boss->StateWord(1), 2000);
    EXPECT_EQ(world->shakeTime, 2000);
    world->collisionList->removeElement(remote);
    CScriptCommand* waiting = Park();
    ThinkUntil(boss, [&] { return boss->vy != 0; });
    EXPECT_EQ(boss->vy, 80 * kPx);
    EXPECT_EQ(boss->StateWord(1), 2000);
    EXPECT_EQ(waiting->done, CScriptCommand::kRunning);
    const int32_t frames = ThinkUntil(boss, [&] { return waiting->done == CScriptCommand::kDone; });
    EXPECT_EQ(frames, (2000 - 1) / kDt + 1);
}

TEST_F(ArmouredBossTest, ABossWithoutItsPartAndAPartWithoutItsBossTouchNothing) {
    Wake();
    world->QueueRemoveActor(part);
    world->FlushActorLists();
    world->DeleteActor(part);
    world->ownedList->removeElement(part);
    EXPECT_EQ(boss->link, nullptr);
    p->SetPosition(104 * kPx, p->y);
    for (int32_t i = 0; i < 200; ++i) Think(boss);
    EXPECT_GT(boss->StateWord(3), 0);
    // A part made where there is no boss waits for one.
    world->QueueRemoveActor(boss);
    world->FlushActorLists();
    CActor* lonely = MakeOn(kStrikingSet, ActorType::kBossPart36, 100, 200);
    lonely->sprite->SetVisible(true);
    lonely->SetAnimation(11, false);
    p->SetPosition(89 * kPx, p->y);
    p->SetAnimation(2, false);
    Think(lonely);
    EXPECT_EQ(lonely->link, nullptr);
    EXPECT_EQ(lonely->hitPoints, 5000);
}

}  // namespace
}  // namespace playtest
