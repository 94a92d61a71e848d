#include <vector>

#include "../actors/PlayFixture.h"

namespace playtest {
namespace {

using ListsTest = PlayFixture;

std::vector<CActor*> Items(const CGameWorld::ActorList& list) {
    std::vector<CActor*> items;
    for (int32_t i = 0; i < list.size(); ++i) items.push_back(list.elementAt(i));
    return items;
}

CActor* WithDepth(CActor* a, int32_t depth) {
    a->depth = depth;
    return a;
}

TEST_F(ListsTest, InsertionsWaitForTheFlushAndKeepDepthThenQueueOrder) {
    CActor* a = WithDepth(Make(5), 1);
    CActor* b = WithDepth(Make(5), 0);
    CActor* c = WithDepth(Make(5), 1);
    CActor* d = WithDepth(Make(5), -10);
    for (CActor* x : {a, b, c, a, d}) world->QueueAddActor(x);
    EXPECT_EQ(world->drawList->size(), 0);
    world->FlushActorLists();
    EXPECT_EQ(Items(*world->drawList), (std::vector<CActor*>{d, b, a, c}));
    EXPECT_EQ(Items(*world->spawnedList), (std::vector<CActor*>{a, b, c, d}));
    EXPECT_EQ(world->backgroundCount, 1);
    // A later actor of an existing depth goes after the earlier ones.
    CActor* e = WithDepth(Make(5), 1);
    world->QueueAddActor(e);
    world->FlushActorLists();
    EXPECT_EQ(Items(*world->drawList), (std::vector<CActor*>{d, b, a, c, e}));
    // Re-sorting the deepest leaves it last; re-sorting moves one actor,
    // at the flush.
    world->ResortActor(e);
    world->FlushActorLists();
    EXPECT_EQ(world->drawList->lastElement(), e);
    b->depth = 3;
    world->ResortActor(b);
    world->FlushActorLists();
    EXPECT_EQ(Items(*world->drawList), (std::vector<CActor*>{d, a, c, e, b}));
    EXPECT_EQ(world->backgroundCount, 1);
}

TEST_F(ListsTest, CarriersAndCollidersJoinTheirListsAndComeBackWhenRemovedAndAddedInOneFrame) {
    CActor* carrier = Make(5);
    carrier->createFlag = 1;
    CActor* collider = Make(ActorType::kFlyingMine);
    CActor* plain = Make(5);
    for (CActor* x : {carrier, collider, plain}) world->QueueAddActor(x);
    world->FlushActorLists();
    EXPECT_EQ(Items(*world->activeList), (std::vector<CActor*>{carrier}));
    EXPECT_EQ(Items(*world->collisionList), (std::vector<CActor*>{collider}));
    // Removed and put back in the same frame: still in play, once.
    for (CActor* x : {carrier, collider}) {
        world->QueueRemoveActor(x);
        world->QueueAddActor(x);
        world->QueueAddActor(x);
    }
    world->FlushActorLists();
    EXPECT_EQ(Items(*world->activeList), (std::vector<CActor*>{carrier}));
    EXPECT_EQ(Items(*world->collisionList), (std::vector<CActor*>{collider}));
    EXPECT_EQ(world->drawList->size(), 3);
    EXPECT_EQ(world->spawnedList->size(), 3);
    // Removed twice: gone, and the background count never drops below 0.
    world->QueueRemoveActor(plain);
    world->QueueRemoveActor(plain);
    world->FlushActorLists();
    EXPECT_FALSE(world->drawList->contains(plain));
    EXPECT_TRUE(world->ownedList->contains(plain));
    EXPECT_EQ(world->backgroundCount, 0);
}

TEST_F(ListsTest, ASparkIsDeletedOnceOnRemovalEvenWhenQueuedAgain) {
    CActor* spark = Make(ActorType::kHitSpark);
    world->QueueAddActor(spark);
    world->FlushActorLists();
    // Removed twice and re-added through a depth change in the same frame.
    spark->SetDepth(7);
    world->QueueRemoveActor(spark);
    world->FlushActorLists();
    EXPECT_EQ(world->drawList->size(), 0);
    EXPECT_EQ(world->spawnedList->size(), 0);
    EXPECT_EQ(world->ownedList->size(), 0);
    EXPECT_EQ(world->pendingAdd->size(), 0);
    world->FlushActorLists();
}

TEST_F(ListsTest, SpawnsComeAliveByRangeLeaveOutOfRangeAndStayAwayWhenDestroyed) {
    // The view centre at (500, 200); spawns at distances 40 (x) and 0 (y).
    world->viewCentreX = 500;
    world->viewCentreY = 200;
    CActor* wide = MakeSpawn(5, 540, 200, 40, 0);
    CActor* narrow = MakeSpawn(5, 540, 200, 39, 0);
    CActor* zero = MakeSpawn(5, 500, 200, 0, 0);
    CActor* never = MakeSpawn(5, 500, 200, -1, 5);
    world->spawnActors.push_back(nullptr);
    world->spawns.push_back({0, CGameWorld::kSpawnFree});
    world->UpdateSpawns();
    EXPECT_EQ(world->spawns[0].state, CGameWorld::kSpawnLive);
    EXPECT_EQ(world->spawns[1].state, CGameWorld::kSpawnFree);
    EXPECT_EQ(world->spawns[2].state, CGameWorld::kSpawnLive);
    EXPECT_EQ(world->spawns[3].state, CGameWorld::kSpawnFree);
    world->FlushActorLists();
    EXPECT_EQ(Items(*world->drawList), (std::vector<CActor*>{wide, zero}));
    (void)narrow;
    (void)never;

    // The camera moves far away: the live ones leave and become free.
    world->cameraX = 5000;
    world->UpdateSpawns();
    world->FlushActorLists();
    EXPECT_EQ(world->drawList->size(), 0);
    EXPECT_EQ(world->spawns[0].state, CGameWorld::kSpawnFree);
    // Back in range: alive again where they were.
    world->cameraX = 0;
    world->UpdateSpawns();
    world->FlushActorLists();
    EXPECT_EQ(world->drawList->size(), 2);
    // Destroyed: never again.
    zero->Remove(true);
    world->FlushActorLists();
    world->cameraX = 5000;
    world->UpdateSpawns();
    world->cameraX = 0;
    world->UpdateSpawns();
    world->FlushActorLists();
    EXPECT_EQ(world->spawns[2].state, CGameWorld::kSpawnDestroyed);
    EXPECT_EQ(Items(*world->drawList), (std::vector<CActor*>{wide}));
}

TEST_F(ListsTest, ActorReferencesFindSpawnsInPlayOnly) {
    CActor* a = MakeSpawn(5, 0, 0, 1000, 1000);
    MakeSpawn(5, 0, 0, 1000, 1000);
    world->actorRefs[3] = 1;
    world->actorRefs[4] = 0;
    EXPECT_EQ(world->FindActorById(4), nullptr);
    world->QueueAddActor(a);
    world->FlushActorLists();
    EXPECT_EQ(world->FindActorById(4), a);
    EXPECT_EQ(world->FindActorById(3), nullptr);
    // A reference that names no spawn finds nothing, not an actor without
    // a spawn such as the player.
    CActor* unspawned = Make(5);
    ASSERT_EQ(unspawned->spawnId, -1);
    world->QueueAddActor(unspawned);
    world->FlushActorLists();
    world->actorRefs[5] = LevelMapData::kNoSpawn;
    EXPECT_EQ(world->FindActorById(5), nullptr);
    AssertCounter counter;
    EXPECT_EQ(world->FindActorById(40), nullptr);
    EXPECT_EQ(world->FindActorById(-1), nullptr);
}

TEST_F(ListsTest, ClearingKeepsOrDeletesTheOwnedActors) {
    CActor* owned = Make(5);
    CActor* spawned = MakeSpawn(5, 0, 0, 10, 10);
    world->QueueAddActor(owned);
    world->QueueAddActor(spawned);
    world->FlushActorLists();
    world->ClearActorLists(true);
    EXPECT_EQ(world->drawList->size(), 0);
    EXPECT_EQ(world->ownedList->size(), 1);
    EXPECT_EQ(world->spawnActors.size(), 1u);
    world->player = owned;
    world->ClearActorLists(false);
    EXPECT_EQ(world->ownedList->size(), 0);
    EXPECT_TRUE(world->spawnActors.empty());
    EXPECT_EQ(world->player, nullptr);
}

TEST_F(ListsTest, MadeActorsAreOwnedButNotInPlay) {
    CActor* made = world->CreateActor(&sprite, 5, 30, 40, 0);
    CActor* effect = world->CreateEffect(25, ActorType::kHitSpark, 30, 40, 0);
    EXPECT_EQ(Items(*world->ownedList), (std::vector<CActor*>{made, effect}));
    EXPECT_EQ(world->pendingAdd->size(), 0);
    uint8_t set = 0;
    uint8_t index = 0;
    effect->sprite->GetSetAndSprite(set, index);
    EXPECT_EQ(set, 25);
    // Without lists there is no owner: nothing is made.
    world->DeleteActorLists();
    EXPECT_EQ(world->CreateActor(&sprite, 5, 0, 0, 0), nullptr);
    world->ResetActorLists();
}

}  // namespace
}  // namespace playtest
