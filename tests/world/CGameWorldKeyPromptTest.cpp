#include <set>

#include "../actors/PlayFixture.h"

namespace playtest {
namespace {

class KeyPromptTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        player = MakePlayer();
        player->SetStateWord(PlayerWord::kMeleeOnly, 1);
        player->SetStateWord(PlayerWord::kFinisherGauge, 30);
        world->promptSprite = std::make_unique<CSpriteInstance>();
        world->promptSprite->SetSprite(20);
    }

    void Update(uint32_t pressed = 0) {
        input.pressed = pressed;
        world->UpdateKeyPrompt(60);
    }

    uint32_t FirstKey() const { return CGameWorld::kPromptKeys[world->prompts[0]]; }

    CActor* player = nullptr;
};

TEST_F(KeyPromptTest, AKeyInTheLastAllowedFrameStillCountsAndTheNextFrameIsTooLate) {
    world->StartKeyPrompt(0);
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptRunning);
    EXPECT_EQ(world->promptLimit, 20);
    EXPECT_EQ(world->promptCount, 1);
    for (int32_t i = 0; i < 19; ++i) Update();
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptRunning);
    Update(FirstKey());
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptPassed);

    world->promptStatus = CGameWorld::kPromptIdle;
    world->promptFrames = 0;
    world->StartKeyPrompt(0);
    for (int32_t i = 0; i < 20; ++i) Update();
    Update(FirstKey());
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptEnded);
    Update();
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptIdle);
}

TEST_F(KeyPromptTest, PassingStartsTheFinishingMoveOfTheKey) {
    const int32_t animations[] = {27, 24, 25};
    for (int32_t prompt = 0; prompt < 3; ++prompt) {
        SCOPED_TRACE(prompt);
        world->promptStatus = CGameWorld::kPromptIdle;
        world->promptFrames = 0;
        player->SetAnimation(0, true);
        player->SetStateWord(PlayerWord::kFinisherGauge, 30);
        world->StartKeyPrompt(0);
        world->prompts[0] = prompt;
        Update(CGameWorld::kPromptKeys[prompt]);
        EXPECT_EQ(world->promptStatus, CGameWorld::kPromptPassed);
        EXPECT_EQ(world->promptSuccess, 1);
        EXPECT_EQ(world->fadeMode, CGameWorld::kFadeUpHold);
        EXPECT_EQ(player->StateWord(PlayerWord::kFinisherGauge), 5);
        EXPECT_EQ(player->StateWord(PlayerWord::kMode), PlayerWord::kModeHeld);
        EXPECT_TRUE(player->IsAnimation(animations[prompt]));
        EXPECT_FALSE(player->sprite->GetLoop());
        // When the move has played out the event ends with the finish.
        player->sprite->Tick(1000, false);
        player->timedMode = 1;
        Update();
        EXPECT_EQ(world->promptStatus, CGameWorld::kPromptEnded);
        EXPECT_EQ(world->fadeMode, CGameWorld::kFadeDown);
        EXPECT_EQ(world->fadeTime, 100);
        EXPECT_EQ(player->timedMode, 0);
        EXPECT_EQ(player->StateWord(PlayerWord::kMode), 0);
        EXPECT_EQ(player->StateWord(PlayerWord::kAttackStep), -1);
    }
}

TEST_F(KeyPromptTest, APressOutOfTheAttackOrStandingPoseIsIgnored) {
    world->StartKeyPrompt(0);
    player->SetAnimation(7, true);
    Update(FirstKey());
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptRunning);
    EXPECT_EQ(world->promptFrames, 1);
    player->SetStateWord(PlayerWord::kMode, PlayerWord::kModeAttacking);
    Update(FirstKey());
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptPassed);
}

TEST_F(KeyPromptTest, ReopeningKeepsThePromptsAndAFrameCountPicksTheDownKey) {
    world->StartKeyPrompt(0);
    world->prompts[0] = 2;
    Update();
    world->StartKeyPrompt(0);
    EXPECT_EQ(world->prompts[0], 2);
    EXPECT_EQ(world->promptFrames, 0);
    EXPECT_TRUE(world->promptSprite->GetAnimationId() == 3);
    world->StartKeyPrompt(12);
    EXPECT_EQ(world->promptLimit, 12);
    EXPECT_EQ(FirstKey(), 128u);
    EXPECT_EQ(world->promptSprite->GetAnimationId(), 1);
}

TEST_F(KeyPromptTest, TheVariantLevelsNeverRollTheDownKey) {
    world->variantFlag = 1;
    std::set<int32_t> seen;
    for (int32_t i = 0; i < 60; ++i) {
        world->RollPromptKeys();
        seen.insert(world->prompts[0]);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{1, 2}));
    world->variantFlag = 0;
    for (int32_t i = 0; i < 60; ++i) {
        world->RollPromptKeys();
        seen.insert(world->prompts[0]);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{0, 1, 2}));
}

TEST_F(KeyPromptTest, ThePromptEndsWhenThePlayerLeavesTheFightOrIsGone) {
    world->StartKeyPrompt(0);
    player->SetStateWord(PlayerWord::kMeleeOnly, 0);
    Update();
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptEnded);
    Update();
    world->StartKeyPrompt(0);
    world->player = nullptr;
    Update(FirstKey());
    EXPECT_EQ(world->promptStatus, CGameWorld::kPromptEnded);
}

TEST_F(KeyPromptTest, ThePromptIsDrawnAboveThePlayersHeadWhileRunning) {
    world->cameraX = 40;
    world->cameraY = 10;
    ClearScreen(0);
    world->PaintKeyPrompt(g);
    EXPECT_EQ(Pixel(100 - 40 - 2, 100 - 30 - 10 - 4), 0u);
    world->StartKeyPrompt(0);
    world->PaintKeyPrompt(g);
    // The picture lies at (-2, -4) from the prompt's origin, which is one
    // and a half box heights above the player's.
    EXPECT_EQ(Pixel(100 - 40 - 2, 100 - 3 * kBodyH / 2 - 10 - 4), 0x30A050u);
}

}  // namespace
}  // namespace playtest
