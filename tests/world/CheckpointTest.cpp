#include <gtest/gtest.h>

#include "ActorUnits.h"
#include "CScriptCommand.h"
#include "LevelFixture.h"

namespace {

using namespace leveltest;
using SC = ScriptCommands;

// Six scripts that wait (each on a long delay) and three decorations.
Level CheckpointLevel() {
    Level level;
    level.map = FloorMap(20, 15, 48);
    leveldata::Template deco;
    deco.type = 33;
    deco.sprite = kSpriteBody;
    level.map.templates = {deco};
    level.map.spawns = {{0, 100, 14 * 24}, {0, 150, 14 * 24}, {0, 200, 14 * 24}};
    leveldata::Script first;
    first.id = 1;
    first.chain = {2, 3, 4, 5, 6};
    first.commands = {SC::Delay(false, 30000), SC::Delay(false, 500)};
    level.scripts.push_back(first);
    for (int16_t id = 2; id <= 6; ++id) {
        leveldata::Script s;
        s.id = id;
        s.commands = {SC::Bare(SC::kNothing), SC::Delay(false, 30000)};
        level.scripts.push_back(s);
    }
    return level;
}

class CheckpointTest : public LevelFixture {};

TEST_F(CheckpointTest, RestoreBringsTheSavedWorldBack) {
    MountAndLoad(CheckpointLevel());
    Frame();
    ASSERT_EQ(world->spawns[0].state, CGameWorld::kSpawnLive);
    // Script 1 waits in its first command; five more wait in their second.
    for (int16_t id = 2; id <= 6; ++id) world->StartScript(id);
    ASSERT_EQ(world->runningCommands.size(), 6u);
    world->spawnActors[2]->Remove(true);
    Frame();
    CActor* p = world->player;
    CActor* a = world->spawnActors[1];
    a->SetPosition(a->x + ActorUnits::FromPixels(7), a->y);
    a->SetStateWord(0, 42);
    world->collectedCount = 3;
    world->scriptFlag = 1;
    world->SetCameraBounds(0, 0, 15, 15);
    world->SaveCheckpoint();
    const int32_t savedX = a->x;
    const int32_t savedPlayerX = p->x;
    const int32_t cameraX = world->cameraX;
    ASSERT_EQ(world->checkpoint.size(), 15u + 3u);
    EXPECT_EQ(world->checkpoint[5], (0 << 16) | 0);
    EXPECT_EQ(world->checkpoint[6], (1 << 16) | 1);

    // Everything changes; the first spawn is killed.
    world->spawnActors[0]->Remove(true);
    Frame();
    ASSERT_EQ(world->spawns[0].state, CGameWorld::kSpawnDestroyed);
    a->SetPosition(a->x + ActorUnits::FromPixels(50), a->y);
    a->SetStateWord(0, 7);
    p->SetPosition(p->x + ActorUnits::FromPixels(30), p->y);
    world->collectedCount = 9;
    world->scriptFlag = 0;
    world->cameraX += 13;
    world->SetCameraBounds(0, 0, 20, 15);
    world->subState = CGameWorld::kSubStateLeave;
    world->StartScript(1);
    world->RestoreCheckpoint();

    EXPECT_EQ(a->x, savedX);
    EXPECT_EQ(a->StateWord(0), 42);
    EXPECT_EQ(p->x, savedPlayerX);
    EXPECT_EQ(world->cameraX, cameraX);
    EXPECT_EQ(world->collectedCount, 3);
    EXPECT_EQ(world->scriptFlag, 1);
    EXPECT_EQ(world->windowX2, 15);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal);
    EXPECT_EQ(world->cameraTarget, p);
    // Spawns live at the checkpoint come back through the spawn update, even
    // one killed since; one destroyed before it never.
    EXPECT_EQ(world->spawns[0].state, CGameWorld::kSpawnFree);
    EXPECT_EQ(world->spawns[2].state, CGameWorld::kSpawnDestroyed);
    EXPECT_EQ(world->drawList->size(), 0);
    // Five of the six commands come back, each from its start.
    ASSERT_EQ(world->runningCommands.size(), 5u);
    for (size_t i = 0; i < world->runningCommands.size(); ++i) {
        const CScriptCommand* cmd = world->runningCommands[i];
        EXPECT_EQ(cmd->opcode, SC::kDelay);
        EXPECT_EQ(cmd->scriptIndex, static_cast<int32_t>(i));
        EXPECT_EQ(cmd->commandIndex, i == 0 ? 0 : 1);
    }
    Frame();
    EXPECT_TRUE(world->drawList->contains(p));
    EXPECT_TRUE(world->drawList->contains(world->spawnActors[0]));
    EXPECT_FALSE(world->drawList->contains(world->spawnActors[2]));
}

TEST_F(CheckpointTest, ARetryAfterLeavingPlayShowsTheEnergyRowAgain) {
    MountAndLoad(CheckpointLevel());
    ASSERT_NE(world->hudSprite, nullptr);
    EXPECT_TRUE(world->hudSprite->IsVisible());
    world->SetSubState(CGameWorld::kSubStateLeave);
    EXPECT_EQ(Frame(), CGameWorld::kLeavePlayResult);
    EXPECT_FALSE(world->hudSprite->IsVisible());
    world->RestoreCheckpoint();
    EXPECT_TRUE(world->hudSprite->IsVisible());
}

TEST_F(CheckpointTest, DetachedCommandsAreNotSaved) {
    Level level = CheckpointLevel();
    level.scripts = OneScript({SC::Shake(false, 5000, 1, 1)});
    MountAndLoad(level);
    ASSERT_EQ(world->runningCommands.size(), 1u);
    world->SaveCheckpoint();
    EXPECT_EQ(world->checkpoint[5], CGameWorld::kNoSavedCommand);
    world->RestoreCheckpoint();
    EXPECT_TRUE(world->runningCommands.empty());
}

TEST_F(CheckpointTest, PooledShotsAreReusedOrAdded) {
    MountAndLoad(CheckpointLevel());
    CActor* p = world->player;
    CActor* first = world->SpawnProjectile(p, 3, 1000, 0, 0, 0, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->StateWord(0), 3);
    EXPECT_EQ(first->StateWord(1), ActorType::kPlayerFormA);
    EXPECT_EQ(first->moves.front().damage, 300);
    CActor* second = world->SpawnProjectile(p, 0, 1000, 0, 0, 0, 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(world->projectilePool->size(), 2);
    first->hitPoints = CActor::kPoolFree;
    EXPECT_EQ(world->SpawnProjectile(p, 0, 0, 0, 0, 0, 1), first);
    EXPECT_EQ(world->projectilePool->size(), 2);

    struct Case {
        int32_t source;
        int32_t damage;
    };
    for (Case c : {Case{1, 200}, Case{3, 200}, Case{2, 800}, Case{5, -1}}) {
        CActor source(&sprite, c.source, 0, nullptr, 0, 0, 0, 0);
        CActor* shot = world->SpawnProjectile(&source, 0, 0, 0, 0, 0, 1);
        ASSERT_NE(shot, nullptr);
        if (c.damage >= 0) {
            EXPECT_EQ(shot->moves.front().damage, c.damage) << c.source;
        }
        if (c.source == 1 || c.source == 3) {
            EXPECT_EQ(shot->moves.front().reaction, 0) << c.source;
        }
    }
}

TEST_F(CheckpointTest, PartnerEntersFromTheFarSideAndLeavesWithAFade) {
    MountAndLoad(CheckpointLevel());
    CActor* p = world->player;
    CActor* partner = world->partner;
    ASSERT_NE(partner, nullptr);
    world->cameraX = 0;
    // The player is left of the view's centre: the partner comes from the right.
    world->StartPartnerMode();
    EXPECT_EQ(world->partnerMode, 1);
    EXPECT_TRUE(partner->sprite->IsVisible());
    EXPECT_EQ(partner->facing, 0);
    EXPECT_LT(partner->vx, 0);
    EXPECT_EQ(partner->x, ActorUnits::FromPixels(world->viewWidth + partner->sprite->GetBoxWidth()));
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 2);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeUpHoldPartner);
    world->EndPartnerMode();
    p->SetPosition(ActorUnits::FromPixels(200), p->y);
    world->StartPartnerMode();
    EXPECT_EQ(partner->facing, 1);
    EXPECT_GT(partner->vx, 0);
    world->EndPartnerMode();
    EXPECT_EQ(world->partnerMode, 0);
    EXPECT_FALSE(partner->sprite->IsVisible());
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeDown);
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 0);
}

}  // namespace
