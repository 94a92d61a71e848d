#include "ActorUnits.h"
#include "PlayFixture.h"

namespace playtest {
namespace {

using CombatTest = PlayFixture;
constexpr int32_t kPx = 1024;

struct Knock {
    int32_t vx;
    int32_t vy;
};

// Victim speeds by reaction flag, for an attacker facing right.
const Knock kFormA[5] = {{0, 0}, {0, 0}, {100 * kPx, -20 * kPx}, {100 * kPx, -20 * kPx}, {80 * kPx, -40 * kPx}};
const Knock kFormB[5] = {{0, 0}, {40 * kPx, -210 * kPx}, {100 * kPx, -20 * kPx}, {0, 0}, {100 * kPx, -20 * kPx}};

TEST_F(CombatTest, PlayerMovesDamageAndKnockBackByReactionFlagForEachForm) {
    for (int32_t form : {ActorType::kPlayerFormA, ActorType::kPlayerFormB}) {
        for (int32_t facing : {1, 0}) {
            for (uint8_t flag = 0; flag < 5; ++flag) {
                SCOPED_TRACE(testing::Message() << form << " " << facing << " " << int(flag));
                CActor* attacker = MakePlayer(form);
                attacker->facing = facing;
                attacker->moves = {{2, 100, flag}};
                attacker->SetAnimation(2, true);
                CActor* victim = Make(ActorType::kLargeEnemy1);
                victim->ax = 77;
                victim->targetVx = 55;
                EXPECT_EQ(victim->OnHit(attacker), flag);
                const int32_t dir = facing != 0 ? 1 : -1;
                const Knock& knock = (form == ActorType::kPlayerFormA ? kFormA : kFormB)[flag];
                EXPECT_EQ(victim->hitPoints, 2600);
                EXPECT_EQ(victim->hitDir, dir);
                EXPECT_EQ(victim->facing, dir == 1 ? 0 : 1);
                EXPECT_EQ(victim->vx, dir * knock.vx);
                EXPECT_EQ(victim->vy, knock.vy);
                EXPECT_EQ(victim->ax, 0);
                EXPECT_EQ(victim->targetVx, 0);
                // Type 1 plays 7 for flag 0, else 8.
                EXPECT_TRUE(victim->IsAnimation(flag == 0 ? 7 : 8));
            }
        }
    }
}

TEST_F(CombatTest, AMoveOutsideTheTableDealsNothingButTheVictimStillTurns) {
    CActor* attacker = MakePlayer();
    attacker->SetAnimation(9, true);
    CActor* victim = Make(ActorType::kLargeEnemy1);
    EXPECT_EQ(victim->OnHit(attacker), -1);
    EXPECT_EQ(victim->hitPoints, 2700);
    EXPECT_EQ(victim->facing, 0);
    // No hit points: nothing at all.
    victim->hitPoints = 0;
    attacker->SetAnimation(2, true);
    EXPECT_EQ(victim->OnHit(attacker), 0);
}

TEST_F(CombatTest, ThePowerWordDoublesThePlayersDamage) {
    CActor* attacker = MakePlayer();
    attacker->SetAnimation(2, true);
    attacker->SetStateWord(PlayerWord::kPower, 1);
    CActor* victim = Make(ActorType::kLargeEnemy1);
    victim->OnHit(attacker);
    EXPECT_EQ(victim->hitPoints, 2700 - 600);
}

TEST_F(CombatTest, AFatalFinishingHitEndsTheKeyPromptOfALargeEnemy) {
    CActor* attacker = MakePlayer();
    attacker->SetAnimation(27, false);
    world->promptStatus = CGameWorld::kPromptRunning;
    world->promptSuccess = 1;
    CActor* victim = Make(ActorType::kLargeEnemy59);
    victim->hitPoints = 1000;
    victim->OnHit(attacker);
    EXPECT_EQ(victim->hitPoints, -500);
    EXPECT_EQ(world->promptSuccess, 0);
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptEnded);
}

TEST_F(CombatTest, PooledShotsHurtAndGoBackToThePool) {
    CActor* shot = Make(ActorType::kPooledShot);
    CActor* victim = Make(ActorType::kLargeEnemy1);
    EXPECT_EQ(victim->OnHit(shot), -1);
    EXPECT_EQ(victim->hitPoints, 2700 - 800);
    EXPECT_EQ(shot->hitPoints, CActor::kPoolFree);
    EXPECT_TRUE(world->pendingRemove->contains(shot));

    CActor* big = Make(ActorType::kLargeEnemy67);
    big->SetStateWord(0, 10);
    shot->hitPoints = 1;
    big->OnHit(shot);
    EXPECT_EQ(big->hitPoints, 6000 - 800);
    EXPECT_TRUE(big->IsAnimation(3));
    big->SetStateWord(0, 13);
    shot->hitPoints = 1;
    big->OnHit(shot);
    EXPECT_EQ(big->hitPoints, 6000 - 800);
    EXPECT_TRUE(big->IsAnimation(3));
}

TEST_F(CombatTest, OtherAttackersByType) {
    CActor* killer = Make(ActorType::kPartner);
    CActor* victim = Make(ActorType::kLargeEnemy1);
    victim->OnHit(killer);
    EXPECT_EQ(victim->hitPoints, 0);

    CActor* mine = Make(ActorType::kPot);
    CActor* door = Make(ActorType::kSwitch28);
    door->hitPoints = 5;
    door->OnHit(mine);
    EXPECT_EQ(door->hitPoints, 5);

    CActor* strike = Make(ActorType::kRemote);
    CActor* boss = Make(ActorType::kBoss35);
    boss->OnHit(strike);
    EXPECT_EQ(boss->hitPoints, 14000 - 800);
    EXPECT_TRUE(boss->IsAnimation(31));
    CActor* large = Make(ActorType::kLargeEnemy3);
    large->OnHit(strike);
    EXPECT_EQ(large->hitPoints, 1350 - 1000);

    CActor* bolt = Make(ActorType::kThrownShot);
    CActor* flyer = Make(ActorType::kFlyingBoss);
    flyer->OnHit(bolt);
    EXPECT_EQ(flyer->hitPoints, 1900 - 500);
    EXPECT_EQ(flyer->StateWord(6), 1000);
}

TEST_F(CombatTest, CollisionListHitsStopAtTheFirstAndTypeSixtySevenIsPushedOutOfDoors) {
    CActor* trap = Make(ActorType::kRock, 100, 100);
    trap->SetStateWord(0, 1);
    trap->SetAnimation(1, true);
    CActor* victim = Make(ActorType::kLargeEnemy1, 100 + kAttackX + kAttackW - kBodyX, 100);
    world->collisionList->addElement(victim);
    world->collisionList->addElement(trap);
    EXPECT_TRUE(victim->CollideWithActors());
    EXPECT_EQ(victim->hitPoints, 0);
    EXPECT_TRUE(trap->IsAnimation(2));

    CActor* big = Make(ActorType::kLargeEnemy67, 100, 200);
    CActor* door = Make(ActorType::kDoor50, 104, 200);
    world->collisionList->addElement(door);
    EXPECT_FALSE(big->CollideWithActors());
    // Door to the right: big's box ends one unit left of the door's box.
    EXPECT_EQ(big->x, door->x + (kBodyX - kBodyX - kBodyW) * kPx + 1);
    EXPECT_EQ(big->hitPoints, 6000);
}

TEST_F(CombatTest, EnemyMovesHurtThePlayerWithStanceImmunityAndDeath) {
    CActor* p = MakePlayer();
    CActor* enemy = Make(ActorType::kLargeEnemy1);
    enemy->SetAnimation(3, true);
    EXPECT_TRUE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(p->hitPoints, 16);
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), PlayerWord::kModeFree);  // reset by the attack reset
    EXPECT_EQ(p->StateWord(PlayerWord::kHurtRecovery), 1);
    EXPECT_EQ(p->StateWord(PlayerWord::kBlink), 15);
    EXPECT_EQ(p->StateWord(PlayerWord::kFollowLoop), 1);
    EXPECT_TRUE(p->IsAnimation(10));
    // Recovering: immune.
    EXPECT_FALSE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(p->hitPoints, 16);
    p->SetStateWord(PlayerWord::kHurtRecovery, 0);
    // Low stance halves, at least 1.
    p->SetStateWord(PlayerWord::kStance, PlayerWord::kStanceLow);
    enemy->moves = {{3, 7, 3}};
    enemy->AttackPlayer(enemy);
    EXPECT_EQ(p->hitPoints, 13);
    p->SetStateWord(PlayerWord::kHurtRecovery, 0);
    enemy->moves = {{3, 1, 0}};
    enemy->AttackPlayer(enemy);
    EXPECT_EQ(p->hitPoints, 12);
    p->SetStateWord(PlayerWord::kHurtRecovery, 0);
    p->SetStateWord(PlayerWord::kStance, PlayerWord::kStanceNormal);
    // Power makes the player immune.
    p->SetStateWord(PlayerWord::kPower, 5);
    EXPECT_FALSE(enemy->AttackPlayer(enemy));
    p->SetStateWord(PlayerWord::kPower, 0);
    // Knock-back by the move's flag, away from where the player faces.
    enemy->moves = {{3, 1, 2}};
    p->facing = 1;
    EXPECT_TRUE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(p->vx, -300 * kPx);
    EXPECT_EQ(p->vy, -20 * kPx);
    p->SetStateWord(PlayerWord::kHurtRecovery, 0);
    // A fatal blow.
    p->hitPoints = 1;
    EXPECT_FALSE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(world->playerDead, 1);
    EXPECT_EQ(p->StateWord(PlayerWord::kDeathCountdown), 20);
    EXPECT_TRUE(p->IsAnimation(19));
}

TEST_F(CombatTest, AProtectedPlayerAndSpecialStancesTakeTheirOwnPaths) {
    CActor* p = MakePlayer();
    CActor* enemy = Make(ActorType::kLargeEnemy3);
    enemy->SetAnimation(4, true);
    p->hitPoints = 1;
    p->SetStateWord(PlayerWord::kProtected, 1);
    EXPECT_FALSE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), PlayerWord::kModeHeld);
    EXPECT_TRUE(p->IsAnimation(25));
    EXPECT_EQ(world->playerDead, 0);
    // Held: untouchable.
    EXPECT_FALSE(enemy->AttackPlayer(enemy));

    p->SetStateWord(PlayerWord::kMode, 0);
    p->hitPoints = 18;
    p->SetStateWord(PlayerWord::kStance, 4);
    p->SetStateWord(PlayerWord::kHurtRecovery, 0);
    enemy->SetStateWord(PlayerWord::kContactDamage, 4);
    input.held = 0xFF;
    EXPECT_TRUE(enemy->AttackPlayer(enemy));
    EXPECT_EQ(p->hitPoints, 14);
    EXPECT_EQ(input.held, 0u);
}

TEST_F(CombatTest, RemovalQueuesAndMarksTheSpawn) {
    CActor* a = MakeSpawn(ActorType::kFlyingMine, 10, 10, 100, 100);
    CActor* b = MakeSpawn(ActorType::kFlyingMine, 10, 10, 100, 100);
    a->Remove(false);
    b->Remove(true);
    EXPECT_EQ(world->spawns[0].state, CGameWorld::kSpawnFree);
    EXPECT_EQ(world->spawns[1].state, CGameWorld::kSpawnDestroyed);
    EXPECT_TRUE(world->pendingRemove->contains(a));
    EXPECT_TRUE(world->pendingRemove->contains(b));
}

TEST_F(CombatTest, CheckpointCopiesRestoreEverythingButTargetSpeedsAndFrame) {
    CActor* a = Make(ActorType::kLargeEnemy3, 77, 88);
    a->facing = 1;
    a->onGround = 0;
    a->onActor = 1;
    a->prevX = 5;
    a->prevY = 6;
    a->collisionFlags = 3;
    a->SetAnimation(11, false);
    a->sprite->SetVisible(true);
    a->vx = 1234;
    a->hitPoints = 999;
    a->depth = 4;
    a->gravity = 100;
    a->createFlag = 1;
    for (int32_t n = 0; n < a->StateCount(); ++n) a->SetStateWord(n, n * 3 + 1);
    a->targetVx = 500;
    a->SaveState();
    const std::vector<int32_t> words = a->state;
    const int32_t x = a->x;
    const int32_t y = a->y;

    a->facing = 0;
    a->onGround = 1;
    a->onActor = 0;
    a->x += 5000;
    a->y -= 7000;
    a->prevX = a->prevY = 0;
    a->collisionFlags = 7;
    a->SetAnimation(4, true);
    a->sprite->SetVisible(false);
    a->vx = a->vy = a->ax = a->ay = 9;
    a->hitPoints = 1;
    a->depth = 0;
    a->gravity = 0;
    a->createFlag = 0;
    a->state.assign(a->state.size(), -7);
    a->targetVx = 42;
    a->RestoreState();

    EXPECT_EQ(a->facing, 1);
    EXPECT_EQ(a->onGround, 0);
    EXPECT_EQ(a->onActor, 1);
    EXPECT_EQ(a->x, x);
    EXPECT_EQ(a->y, y);
    EXPECT_EQ(a->sprite->GetX(), ActorUnits::ToPixels(x));
    EXPECT_EQ(a->prevX, 5);
    EXPECT_EQ(a->prevY, 6);
    EXPECT_EQ(a->collisionFlags, 3);
    EXPECT_TRUE(a->IsAnimation(11));
    EXPECT_FALSE(a->sprite->GetLoop());
    EXPECT_TRUE(a->sprite->IsVisible());
    EXPECT_EQ(a->vx, 1234);
    EXPECT_EQ(a->vy, 0);
    EXPECT_EQ(a->ax, 0);
    EXPECT_EQ(a->ay, 0);
    EXPECT_EQ(a->hitPoints, 999);
    EXPECT_EQ(a->depth, 4);
    EXPECT_EQ(a->gravity, 100);
    EXPECT_EQ(a->createFlag, 1);
    EXPECT_EQ(a->state, words);
    EXPECT_EQ(a->targetVx, 42);
}

TEST_F(CombatTest, ARestoredPlayerStandsInItsStanceAndLives) {
    CActor* p = MakePlayer(ActorType::kPlayerFormB);
    p->SetStateWord(PlayerWord::kStance, PlayerWord::kStanceLow);
    p->vx = 300;
    p->SaveState();
    world->playerDead = 1;
    p->RestoreState();
    EXPECT_EQ(world->playerDead, 0);
    EXPECT_EQ(p->vx, 0);
    EXPECT_TRUE(p->IsAnimation(12));
}

TEST_F(CombatTest, RewardsAreCappedAndNeedAPlayer) {
    CActor::AwardPlayer(2, 5);
    EXPECT_EQ(world->collectedCount, 1);
    CActor::AwardPlayer(0, 5);  // no player: nothing, no crash
    CActor* p = MakePlayer();
    p->hitPoints = 10;
    CActor::AwardPlayer(0, 50);
    EXPECT_EQ(p->hitPoints, 18);
    p->SetStateWord(PlayerWord::kReserve, 0);
    CActor::AwardPlayer(1, 2);
    EXPECT_EQ(p->StateWord(PlayerWord::kReserve), 2);
    CActor::AwardPlayer(1, 2);
    EXPECT_EQ(p->StateWord(PlayerWord::kReserve), 3);
    p->SetStateWord(PlayerWord::kReserve, 0);
    CActor::AwardPlayer(3, 0);
    EXPECT_EQ(p->StateWord(PlayerWord::kReserve), 3);
    CActor::AwardPlayer(4, 650);
    CActor::AwardPlayer(4, 650);
    EXPECT_EQ(p->StateWord(PlayerWord::kGauge), 700);
}

TEST_F(CombatTest, PlayerWordRoutinesActOnThePlayerOnly) {
    CActor::SetPlayerTimedMode(true);
    CActor::SetPlayerState8(3);
    CActor::SetPlayerTarget(4, true, 5);
    CActor::ResetPlayerAttack();
    CActor* p = MakePlayer();
    CActor::SetPlayerTimedMode(true);
    EXPECT_EQ(p->timedMode, 1);
    EXPECT_EQ(p->StateWord(PlayerWord::kTimedCountdown), 500);
    p->onGround = 0;
    CActor::SetPlayerTimedMode(true);
    EXPECT_EQ(p->timedMode, 0);
    EXPECT_EQ(p->StateWord(PlayerWord::kTimedCountdown), -1);
    p->SetStateWord(PlayerWord::kMode, 6);
    CActor::SetPlayerState8(3);
    EXPECT_EQ(p->StateWord(PlayerWord::kPreviousMode), 6);
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 3);
    CActor::ResetPlayerAttack();
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), 0);
    EXPECT_EQ(p->StateWord(PlayerWord::kAttackQueued), -1);
}

TEST_F(CombatTest, TheTileCheckKillsBelowTheLimitsAndOnDeadlyTilesAndFindsLedges) {
    std::vector<std::vector<uint8_t>> types(5, std::vector<uint8_t>(8, 0));
    types[1][CGameWorld::kTileDeadly] = 1;
    types[2][CGameWorld::kTileLedge] = 1;
    world->SetTileData(kMapColumns, kMapRows, std::vector<uint8_t>(kMapColumns * kMapRows, 0), types);
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    CActor::CheckPlayerTiles(p, 3, 4, 4, 4, 2, 5, 3, 5);
    EXPECT_EQ(world->playerDead, 0);
    EXPECT_EQ(world->ledgeFlag, 0);
    EXPECT_EQ(p->probe, (std::array<int32_t, 4>{4, 4, 5, 3}));
    SetTileCode(5, 3, 2);
    CActor::CheckPlayerTiles(p, 3, 4, 4, 4, 2, 5, 3, 5);
    EXPECT_EQ(world->ledgeFlag, 1);
    SetTileCode(4, 4, 1);
    CActor::CheckPlayerTiles(p, 3, 4, 4, 4, 2, 5, 3, 5);
    EXPECT_EQ(world->ledgeFlag, 0);
    EXPECT_EQ(world->playerDead, 1);
    EXPECT_EQ(p->StateWord(PlayerWord::kDeathCountdown), 20);

    world->playerDead = 0;
    SetTileCode(4, 4, 0);
    p->SetPosition(p->x, (world->cameraMinY + world->cameraSpanY + 1) * kPx);
    CActor::CheckPlayerTiles(p, 3, 4, 4, 4, 2, 5, 3, 5);
    EXPECT_EQ(world->playerDead, 1);
}

TEST_F(CombatTest, AHitSparkAppearsAtTheCentreOfTheOverlap) {
    world->hitSparkSprite = std::make_unique<CSpriteInstance>();
    world->hitSparkSprite->SetSprite(25);
    CActor* attacker = Make(ActorType::kLargeEnemy1, 0, 0);
    attacker->SetAnimation(3, true);
    attacker->sprite->UpdateAttackBox(2);
    CActor* victim = Make(ActorType::kFlyingMine, 8, 0);
    attacker->SpawnHitEffect(victim);
    ASSERT_EQ(world->pendingAdd->size(), 1);
    CActor* spark = world->pendingAdd->elementAt(0);
    EXPECT_EQ(spark->type, ActorType::kHitSpark);
    EXPECT_EQ(spark->sprite->GetX(), 8);
    EXPECT_EQ(spark->sprite->GetY(), -12);
    EXPECT_TRUE(world->ownedList->contains(spark));
}

TEST_F(CombatTest, TheTypeSixtyNineDisplayShowsFor400Milliseconds) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 50, 60);
    CActor* display = Make(ActorType::kFollowingDisplay);
    display->StartType69Display();
    for (int32_t t = 100; t <= 400; t += 100) {
        display->UpdateType69(100);
        EXPECT_TRUE(display->sprite->IsVisible()) << t;
    }
    EXPECT_EQ(display->x, p->x);
    EXPECT_TRUE(display->IsAnimation(1));
    display->UpdateType69(1);
    EXPECT_FALSE(display->sprite->IsVisible());
    EXPECT_EQ(world->type69Display, 0);
}

TEST_F(CombatTest, ScriptSignalsByType) {
    CActor* p = MakePlayer();
    CActor* drifter = Make(ActorType::kPatrolFlyer, 10, 10, {1});
    drifter->OnScriptSignal();
    EXPECT_EQ(drifter->StateWord(0), 1);
    EXPECT_EQ(drifter->vx, -51200);
    CActor* boss = Make(ActorType::kBoss41);
    boss->OnScriptSignal();
    EXPECT_EQ(boss->StateWord(0), 9);
    EXPECT_EQ(boss->StateWord(1), 100);
    p->SetStateWord(PlayerWord::kStance, PlayerWord::kStanceLow);
    p->vx = 50;
    CActor* background = Make(ActorType::kBoss35);
    background->OnScriptSignal();
    EXPECT_EQ(p->StateWord(PlayerWord::kStance), 2);
    EXPECT_EQ(p->StateWord(PlayerWord::kBossSignal), 1);
    EXPECT_EQ(p->vx, 0);
    CActor* sleeper = Make(ActorType::kLargeEnemy67);
    sleeper->OnScriptSignal();
    EXPECT_TRUE(sleeper->sprite->IsVisible());
    EXPECT_EQ(sleeper->StateWord(12), 1);
    world->cameraX = 300;
    world->cameraY = 40;
    CActor* runner = Make(ActorType::kBomber);
    runner->OnScriptSignal();
    EXPECT_EQ(ActorUnits::ToPixels(runner->x), 300 - kBodyW);
    EXPECT_EQ(ActorUnits::ToPixels(runner->y), 40 + kScreenHeight / 2);
    EXPECT_EQ(runner->vx, 122880);
}

TEST_F(CombatTest, SomeTypesNeverGoOutOfRange) {
    world->cameraX = 5000;
    CActor* far = Make(ActorType::kFlyingMine, 10, 10);
    EXPECT_TRUE(far->IsOutOfRange());
    using namespace ActorType;
    for (int32_t type : {kBackgroundRunner, kDoor27, kRemote, kBoss41, kDoor50, kDoor54, kFlyingBoss, kType60}) {
        EXPECT_FALSE(Make(type, 10, 10)->IsOutOfRange()) << type;
    }
    // One view size of margin on each side.
    world->cameraX = 10 + kBodyX + kBodyW + kScreenWidth;
    EXPECT_FALSE(far->IsOutOfRange());
    world->cameraX += 1;
    EXPECT_TRUE(far->IsOutOfRange());
}

}  // namespace
}  // namespace playtest
