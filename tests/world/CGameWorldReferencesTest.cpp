#include "../actors/PlayFixture.h"

namespace playtest {
namespace {

// Deleting actors that others point at, then running what a frame runs of
// the world's core: under the address sanitizer any pointer left behind to
// a deleted actor fails the test.
class ReferencesTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        SetMap(60, 40);
        player = MakePlayer(ActorType::kPlayerFormA, 300, 300);
        player->SetStateWord(PlayerWord::kMeleeOnly, 1);
        world->promptSprite = std::make_unique<CSpriteInstance>();
        world->promptSprite->SetSprite(20);
        world->hitSparkSprite = std::make_unique<CSpriteInstance>();
        world->hitSparkSprite->SetSprite(25);
        world->viewCentreX = 300;
        world->viewCentreY = 300;
    }

    CActor* InPlay(CActor* a) {
        world->QueueAddActor(a);
        world->FlushActorLists();
        return a;
    }

    // Every actor in play reads its link and collides; then the world's
    // per-frame steps.
    void RunFrames(int32_t count) {
        for (int32_t frame = 0; frame < count; ++frame) {
            int64_t sum = 0;
            for (int32_t i = 0; i < world->drawList->size(); ++i) {
                CActor* a = world->drawList->elementAt(i);
                if (a->link != nullptr) sum += a->link->x;
                if (a->type != ActorType::kPlayerFormA) a->CollideWithActors();
            }
            if (world->cameraTarget != nullptr) sum += world->cameraTarget->y;
            if (world->partner != nullptr) sum += world->partner->y;
            if (world->waitingActor != nullptr) sum += world->waitingActor->hitPoints;
            world->UpdateKeyPrompt(60);
            world->UpdateSpawns();
            world->FlushActorLists();
            world->UpdateCamera(60, false);
            world->UpdateShake(60);
            world->UpdateFade(60);
            EXPECT_NE(sum, -1);
        }
    }

    CActor* player = nullptr;
};

TEST_F(ReferencesTest, DeletedTargetsLeaveNoPointerBehind) {
    CActor* target = InPlay(Make(ActorType::kFlyingMine, 320, 300));
    CActor* partner = InPlay(Make(ActorType::kBlock19, 280, 300));
    CActor* linked = InPlay(Make(ActorType::kLargeEnemy3, 340, 300));
    CActor* linker = InPlay(Make(ActorType::kBossPart36, 340, 300));
    CActor* awaited = InPlay(Make(ActorType::kBoss41, 360, 300));
    CActor* queued = Make(ActorType::kPot, 300, 300);
    world->QueueAddActor(queued);
    world->QueueRemoveActor(target);
    linker->link = linked;
    player->link = linked;
    world->cameraTarget = target;
    world->partner = partner;
    world->waitingActor = awaited;
    RunFrames(1);

    for (CActor* gone : {target, partner, linked, awaited, queued}) world->DeleteActor(gone);
    EXPECT_EQ(world->cameraTarget, nullptr);
    EXPECT_EQ(world->partner, nullptr);
    EXPECT_EQ(world->waitingActor, nullptr);
    EXPECT_EQ(linker->link, nullptr);
    EXPECT_EQ(player->link, nullptr);
    EXPECT_EQ(world->player, player);
    EXPECT_EQ(world->drawList->size(), 1);
    EXPECT_EQ(world->ownedList->size(), 2);
    RunFrames(30);
}

TEST_F(ReferencesTest, ASparkRemovedByTheFlushIsForgottenEverywhere) {
    CActor* victim = InPlay(Make(ActorType::kLargeEnemy1, 330, 300));
    CActor* attacker = InPlay(Make(ActorType::kLargeEnemy3, 300, 300));
    attacker->SetAnimation(4, true);
    attacker->sprite->UpdateAttackBox(2);
    attacker->SpawnHitEffect(victim);
    world->FlushActorLists();
    CActor* spark = world->drawList->lastElement();
    ASSERT_EQ(spark->type, ActorType::kHitSpark);
    world->cameraTarget = spark;
    victim->link = spark;
    spark->SetDepth(9);
    spark->Remove(false);
    RunFrames(10);
    EXPECT_EQ(world->cameraTarget, nullptr);
    EXPECT_EQ(victim->link, nullptr);
    EXPECT_FALSE(world->ownedList->contains(spark));
}

TEST_F(ReferencesTest, ClearingTheListsLeavesAWorldWithoutPlayerThatStillRuns) {
    CActor* spawned = MakeSpawn(ActorType::kFlyingMine, 310, 300, 500, 500);
    CActor* follower = Make(ActorType::kBlock19, 300, 300);
    follower->link = spawned;
    world->cameraTarget = spawned;
    world->partner = follower;
    world->StartKeyPrompt(0);
    RunFrames(2);
    world->ClearActorLists(false);
    EXPECT_EQ(world->player, nullptr);
    EXPECT_EQ(world->partner, nullptr);
    EXPECT_EQ(world->cameraTarget, nullptr);
    RunFrames(5);
    world->ResetActorLists();
    RunFrames(2);
    // Everything that acts on the player does nothing now.
    CActor::SetPlayerTimedMode(true);
    CActor::AwardPlayer(0, 5);
    CActor* enemy = Make(ActorType::kLargeEnemy1);
    enemy->SetAnimation(3, true);
    EXPECT_FALSE(enemy->AttackPlayer(enemy));
    world->Unload();
    world->Unload();
    EXPECT_EQ(world->drawList, nullptr);
}

}  // namespace
}  // namespace playtest
