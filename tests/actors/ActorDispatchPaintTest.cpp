#include <gtest/gtest.h>

#include "CScriptCommand.h"
#include "PlayFixture.h"

namespace {

using namespace playtest;

constexpr int32_t kDt = 60;
constexpr uint32_t kPicture = 0x30A050;

class ActorDispatchPaintTest : public PlayFixture {
protected:
    // A trigger of type 4 standing where the player stands.
    CActor* Trigger() { return Make(ActorType::kStopTrigger, 100, 100); }
};

TEST_F(ActorDispatchPaintTest, ATriggerStopsAGroundedPlayerOnceAndReleasesTheScript) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    CActor* trigger = Trigger();
    p->vx = 5000;
    p->onGround = 0;
    trigger->UpdateBehaviour(kDt);
    EXPECT_EQ(trigger->StateWord(0), 0);
    EXPECT_EQ(p->vx, 5000);

    LevelScriptCommand waitRecord;
    waitRecord.opcode = 26;
    CScriptCommand waiting(*world, waitRecord, 0);
    world->waitingCommand = &waiting;
    p->onGround = 1;
    trigger->UpdateBehaviour(kDt);
    EXPECT_EQ(trigger->StateWord(0), 1);
    EXPECT_TRUE(trigger->IsAnimation(1));
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(p->StateWord(PlayerWord::kMode), PlayerWord::kModeHeld);
    EXPECT_TRUE(p->IsAnimation(0));
    // Triggered: nothing more happens to the player until its animation ends.
    p->vx = 7000;
    trigger->UpdateBehaviour(kDt);
    EXPECT_EQ(p->vx, 7000);
    EXPECT_EQ(waiting.done, CScriptCommand::kRunning);
    for (int i = 0; i < 10 && waiting.done == CScriptCommand::kRunning; ++i) {
        trigger->sprite->Tick(100, true);
        trigger->UpdateBehaviour(kDt);
    }
    EXPECT_EQ(waiting.done, CScriptCommand::kDone);
    EXPECT_EQ(world->waitingCommand, nullptr);
    ASSERT_GE(world->pendingRemove->size(), 1);
    EXPECT_EQ(world->pendingRemove->elementAt(0), trigger);
}

TEST_F(ActorDispatchPaintTest, AutoRunEndsAtATriggerForTheSecondForm) {
    CActor* p = MakePlayer(ActorType::kPlayerFormB, 100, 100);
    CActor* trigger = Trigger();
    world->autoRun = 1;
    p->onGround = 1;
    trigger->UpdateBehaviour(kDt);
    EXPECT_EQ(world->autoRun, 0);
    EXPECT_TRUE(p->IsAnimation(12));
}

TEST_F(ActorDispatchPaintTest, ThePlayerWrappersConsumeTheirOneFrameWords) {
    CActor* a = MakePlayer(ActorType::kPlayerFormA, 100, 100);
    a->SetStateWord(43, 1);
    a->UpdateBehaviour(kDt);
    EXPECT_EQ(a->StateWord(43), 0);
    CActor* b = Make(ActorType::kPlayerFormB, 150, 100);
    world->player = b;
    b->SetStateWord(43, 1);
    b->SetStateWord(PlayerWord::kMeleeOnly, 1);
    b->UpdateBehaviour(kDt);
    EXPECT_EQ(b->StateWord(43), 0);
    EXPECT_EQ(b->StateWord(PlayerWord::kMeleeOnly), 0);
}

TEST_F(ActorDispatchPaintTest, ATypeWithoutBehaviourStillFalls) {
    CActor* a = Make(33, 100, 40);
    a->gravity = CActor::kGravity;
    a->collisionFlags = 0;
    const int32_t y = a->y;
    a->Update(kDt);
    EXPECT_GT(a->y, y);
}

TEST_F(ActorDispatchPaintTest, HealthBarsShowWhatIsLeft) {
    CActor* enemy = Make(ActorType::kLargeEnemy59, 120, 200);
    enemy->hitPoints = 1500;  // half of 3000: 13 of 26 pixels
    ClearScreen(0xFFFFFF);
    enemy->Paint(g, 0, 0);
    const int32_t sx = enemy->sprite->GetX();
    const int32_t top = enemy->sprite->GetY() + 12 - (enemy->sprite->GetBoxHeight() + 24);
    EXPECT_EQ(Pixel(sx - 13, top), 0xFF0000u);
    EXPECT_EQ(Pixel(sx - 12, top + 2), 0x00FFFFu);
    EXPECT_EQ(Pixel(sx, top + 2), 0x00FFFFu);
    EXPECT_EQ(Pixel(sx + 1, top + 2), 0x555954u);
    // The sprite is drawn 12 pixels below its position.
    EXPECT_EQ(Pixel(sx, enemy->sprite->GetY() + 12 - 2), kPicture);
    enemy->hitPoints = 0;
    ClearScreen(0xFFFFFF);
    enemy->Paint(g, 0, 0);
    EXPECT_EQ(Pixel(sx - 12, top + 2), 0xFFFFFFu);
}

TEST_F(ActorDispatchPaintTest, AHurtPlayerBlinksTwoFramesInFour) {
    CActor* p = MakePlayer(ActorType::kPlayerFormA, 120, 200);
    p->hitPoints = 5;
    p->SetStateWord(PlayerWord::kHurtRecovery, 3);
    const int32_t x = p->sprite->GetX();
    const int32_t y = p->sprite->GetY() + 12 - 2;
    for (int32_t counter = 0; counter < 8; ++counter) {
        p->SetStateWord(PlayerWord::kBlink, counter);
        ClearScreen(0xFFFFFF);
        p->Paint(g, 0, 0);
        const bool hidden = counter % 4 >= 2;
        EXPECT_EQ(Pixel(x, y), hidden ? 0xFFFFFFu : kPicture) << counter;
    }
}

}  // namespace
