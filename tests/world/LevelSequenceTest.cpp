#include <gtest/gtest.h>

#include "AppServices.h"
#include "CGameSettings.h"
#include "LevelFixture.h"

namespace {

using namespace leveltest;
using SC = ScriptCommands;

Level EndingLevel() {
    Level level;
    level.map = FloorMap(20, 15, 48);
    level.scripts = OneScript({SC::Delay(false, 0), SC::Bare(SC::kLevelComplete)});
    return level;
}

Level WaitingLevel() {
    Level level;
    level.map = FloorMap(20, 15, 48);
    level.scripts = OneScript({SC::Bare(9)});
    return level;
}

class LevelSequenceTest : public LevelFixture {
protected:
    void SetCheats(bool on) { GetGameSettings()->cheatsEnabled = on ? 1 : 0; }
    void TearDown() override {
        SetCheats(false);
        LevelFixture::TearDown();
    }
    void Press(uint32_t bits) {
        input.Press(bits);
        Frame();
    }
};

TEST_F(LevelSequenceTest, TheLevelsRunFromTheFirstToTheEnding) {
    Mount(std::vector<Level>(CGameWorld::kLevelCount, EndingLevel()));
    progress.level = 0;
    progress.highestLevel = 0;
    std::vector<int32_t> played;
    for (int guard = 0; guard < 20 && played.size() < static_cast<size_t>(CGameWorld::kLevelCount); ++guard) {
        Load(progress.level);
        ASSERT_NE(world->player, nullptr);
        played.push_back(world->level);
        Frame();  // the level-end command runs
        ASSERT_EQ(world->subState, CGameWorld::kSubStateComplete);
        Frame();  // the level sequence
        EXPECT_FALSE(world->loaded);
        EXPECT_EQ(progress.highestLevel, std::min(world->level + 1, CGameWorld::kLevelCount - 1));
    }
    EXPECT_EQ(played, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    // After the last level the next-level word stays; the highest is the last.
    EXPECT_EQ(progress.level, 8);
    EXPECT_EQ(progress.highestLevel, 8);
    // A second frame does not move the sequence on again.
    Frame();
    EXPECT_EQ(progress.level, 8);
}

TEST_F(LevelSequenceTest, TheHighestLevelNeverDecreases) {
    Mount({EndingLevel(), EndingLevel(), EndingLevel()});
    progress.highestLevel = 6;
    Load(1);
    Frame();
    Frame();
    EXPECT_EQ(progress.level, 2);
    EXPECT_EQ(progress.highestLevel, 6);
}

TEST_F(LevelSequenceTest, CheatSequencesFollowTheirOwnKeys) {
    SetCheats(true);
    Mount({WaitingLevel()});
    Load(0);
    CActor* p = world->player;
    // Second sequence 64, 64, 256: a wrong key resets it.
    Press(64);
    Press(64);
    Press(16);
    EXPECT_EQ(p->StateWord(PlayerWord::kCharge), 0);
    Press(64);
    Press(64);
    Press(256);
    // The player's own frame may spend a little of it at once.
    EXPECT_GT(p->StateWord(PlayerWord::kCharge), 9000000);
    // Third sequence 256, 16, 16: its 256 came with the second's.
    Press(16);
    Press(16);
    EXPECT_GT(p->StateWord(PlayerWord::kPower), 9000000);
    // Debug toggles.
    Press(1024);
    EXPECT_EQ(world->freeMove, 1);
    Press(512);
    EXPECT_EQ(world->debugOverlay, 1);
    // First sequence 16, 64, 16 completes the level, in the same frame.
    Press(16);
    Press(64);
    EXPECT_TRUE(world->loaded);
    Press(16);
    EXPECT_FALSE(world->loaded);
    EXPECT_EQ(progress.level, 1);
}

TEST_F(LevelSequenceTest, WithoutCheatsNoSequenceIsFollowed) {
    Mount({WaitingLevel()});
    Load(0);
    for (uint32_t key : {16u, 64u, 16u, 1024u, 512u}) Press(key);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal);
    EXPECT_EQ(world->freeMove, 0);
    EXPECT_EQ(world->debugOverlay, 0);
}

TEST_F(LevelSequenceTest, LeavingPlayAnswersEveryFrame) {
    Mount({WaitingLevel()});
    Load(0);
    world->SetSubState(CGameWorld::kSubStateLeave);
    EXPECT_EQ(Frame(), CGameWorld::kLeavePlayResult);
    EXPECT_EQ(Frame(), CGameWorld::kLeavePlayResult);
    EXPECT_FALSE(world->hudSprite->IsVisible());
}

TEST_F(LevelSequenceTest, WhileInputIsBlockedNoActorMoves) {
    Mount({WaitingLevel()});
    Load(0);
    Frame();
    CActor* p = world->player;
    p->vx = p->targetVx = 102400;
    const int32_t x = p->x;
    world->inputBlocked = 1;
    world->UpdatePlaying(60);
    world->inputBlocked = 1;
    world->UpdatePlaying(60);
    EXPECT_EQ(p->x, x);
}

}  // namespace

namespace {

// Carriers (in the active list and the draw list) and plain actors (in the
// draw list): every one moves exactly one frame's way in a frame; in
// partner mode only the player and the partner move.
class UpdateOrderTest : public leveltest::LevelFixture {
protected:
    void SetUp() override {
        LevelFixture::SetUp();
        leveltest::Level level;
        level.map = leveltest::FloorMap(20, 15, 48);
        leveldata::Template carrier;
        carrier.type = 33;
        carrier.sprite = leveltest::kSpriteBody;
        carrier.flag = 1;
        leveldata::Template plain = carrier;
        plain.flag = 0;
        level.map.templates = {carrier, plain};
        level.map.spawns = {{0, 100, 200}, {1, 150, 200}, {0, 200, 250}, {1, 60, 250}};
        level.scripts = leveltest::OneScript({SC::Bare(9)});
        MountAndLoad(level);
        Frame();
        for (CActor* a : world->spawnActors) {
            a->collisionFlags = 0;
            a->vx = a->targetVx = 60 * 1024;  // 60 px/s: 3.6 px a frame
        }
    }
};

TEST_F(UpdateOrderTest, EveryActorInPlayMovesOnceAFrame) {
    ASSERT_EQ(world->activeList->size(), 2);
    ASSERT_GE(world->drawList->size(), 5);
    std::vector<int32_t> before;
    for (CActor* a : world->spawnActors) before.push_back(a->x);
    Frame();
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(world->spawnActors[i]->x - before[i], 60 * 1024 * 60 / 1000) << i;
}

TEST_F(UpdateOrderTest, PartnerModeMovesOnlyThePlayerAndThePartner) {
    world->StartPartnerMode();
    std::vector<int32_t> before;
    for (CActor* a : world->spawnActors) before.push_back(a->x);
    const int32_t partnerX = world->partner->x;
    Frame();
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(world->spawnActors[i]->x, before[i]) << i;
    EXPECT_NE(world->partner->x, partnerX);
}

}  // namespace
