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
