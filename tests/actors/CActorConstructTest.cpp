#include <map>
#include <set>

#include "ActorUnits.h"
#include "PlayFixture.h"

namespace playtest {
namespace {

using ActorTest = PlayFixture;

// State words per type, written out again from the table of types.
const int32_t kExpectedCounts[ActorType::kCount] = {
    47, 2, 47, 16, 1, 0, 6, 2, 4, 3, 6, 1, 6, 0, 10, 1, 0, 3, 4, 2, 1, 0, 3, 0, 1, 4, 0, 3, 4, 0, 4, 4, 2, 1, 1,
    8,  0, 3, 2,  0, 2, 9, 3, 3, 0, 0, 1, 2, 3, 3, 3, 4, 2, 4, 3, 4, 8, 2, 3, 6, 0, 2, 4, 4, 2, 0, 0, 14, 3, 0};

// Attack moves per type, when built without spawn data.
const std::map<int32_t, size_t> kExpectedMoves = {
    {0, 9},  {1, 1},  {2, 4},  {3, 2},  {6, 1},  {9, 2},  {17, 5}, {35, 2}, {36, 4}, {37, 2},
    {38, 1}, {40, 1}, {41, 4}, {42, 3}, {45, 2}, {48, 4}, {53, 1}, {59, 2}, {67, 3}, {68, 1}};
const std::set<int32_t> kFacingLeft = {3, 12, 41, 67, 68};
const std::set<int32_t> kHidden = {8, 36, 38, 56, 58, 67, 69};

TEST_F(ActorTest, EveryTypeGetsItsStateWordsCheckpointCopyMovesSpriteAndFacing) {
    MakePlayer();
    for (int32_t type = 0; type < ActorType::kCount; ++type) {
        SCOPED_TRACE(type);
        CActor* a = Make(type, 50, 60);
        EXPECT_EQ(a->StateCount(), kExpectedCounts[type]);
        EXPECT_EQ(a->checkpointState.size(), static_cast<size_t>(kExpectedCounts[type] + 16));
        const auto moves = kExpectedMoves.find(type);
        EXPECT_EQ(a->moves.size(), moves == kExpectedMoves.end() ? 0u : moves->second);
        ASSERT_NE(a->sprite, nullptr);
        uint8_t set = 99;
        uint8_t spriteIndex = 99;
        EXPECT_TRUE(a->sprite->GetSetAndSprite(set, spriteIndex));
        EXPECT_EQ(set, kMainSet);
        EXPECT_EQ(a->facing, kFacingLeft.count(type) != 0 ? 0 : 1);
        EXPECT_EQ(a->spawnId, -1);
        EXPECT_EQ(a->sprite->IsVisible(), kHidden.count(type) == 0);
    }
}

TEST_F(ActorTest, TheCollisionBoxComesFromTheSpriteAndTheAnchorPlacesIt) {
    struct Case {
        int32_t anchor;
        int32_t left, top;  // where the box's corner must land for (px, py) = (40, 80)
    };
    const Case cases[] = {
        {0, 40 + kBodyX, 80 + kBodyY},                    // sprite origin at the point
        {CActor::kAnchorCentreX, 40 - kBodyW / 2, 80 + kBodyY},
        {CActor::kAnchorRight, 40 - kBodyW, 80 + kBodyY},
        {CActor::kAnchorLeft, 40, 80 + kBodyY},
        {CActor::kAnchorCentreY, 40 + kBodyX, 80 - kBodyH / 2},
        {CActor::kAnchorBottom, 40 + kBodyX, 80 - kBodyH},
        {CActor::kAnchorTop, 40 + kBodyX, 80},
        {CActor::kAnchorLeft | CActor::kAnchorBottom, 40, 80 - kBodyH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.anchor);
        CActor a(&sprite, 5, 0, nullptr, 40, 80, c.anchor, 0);
        EXPECT_EQ(a.sprite->GetX() + a.sprite->GetBoxX(), c.left);
        EXPECT_EQ(a.sprite->GetY() + a.sprite->GetBoxY(), c.top);
        EXPECT_EQ(a.GetWidth(), kBodyW);
        EXPECT_EQ(a.GetHeight(), kBodyH);
        EXPECT_EQ(a.x, a.sprite->GetX() * 1024);
        EXPECT_EQ(a.y, a.sprite->GetY() * 1024);
    }
}

TEST_F(ActorTest, PlayerFormsTakeTheirHitPointsFromTheLevelAndCopyTheLowStanceBox) {
    for (int32_t level : {0, 7, 8}) {
        for (int32_t type : {ActorType::kPlayerFormA, ActorType::kPlayerFormB}) {
            SCOPED_TRACE(level * 10 + type);
            progress.level = level;
            world->lowStanceBox = {0, 0, 0, 0};
            CActor* p = Make(type);
            const bool strong = level >= 8;
            EXPECT_EQ(p->hitPoints, strong ? 24 : 18);
            EXPECT_EQ(p->StateWord(PlayerWord::kReserveMax), strong ? 4 : 3);
            EXPECT_EQ(p->StateWord(PlayerWord::kReserve), strong ? 4 : 3);
            EXPECT_EQ(world->GetMaxHitPoints(), p->hitPoints);
            EXPECT_EQ(world->lowStanceBox, (std::array<int32_t, 4>{kLowX, kLowY, kLowW, kLowH}));
            EXPECT_EQ(p->depth, 2);
            EXPECT_EQ(p->collisionFlags, 7);
            // Standing again: the body box, 20 pixels of 24-pixel tiles.
            EXPECT_EQ(p->GetHeight(), kBodyH);
            EXPECT_EQ(p->StateWord(25), type == ActorType::kPlayerFormA ? 0 : 1);
            EXPECT_EQ(p->typeValue, type == ActorType::kPlayerFormA ? 19 : 25);
            EXPECT_EQ(p->hurtAnims, std::vector<int8_t>(5, type == ActorType::kPlayerFormA ? 10 : 13));
        }
    }
}

TEST_F(ActorTest, FormBStartsInAutoRunWhenTheLevelSaysSo) {
    world->formBStart = 1;
    CActor* p = Make(ActorType::kPlayerFormB);
    EXPECT_EQ(world->autoRun, 1);
    EXPECT_EQ(p->gravity, 0xC0000);
    EXPECT_EQ(p->StateWord(PlayerWord::kStance), 1);
    EXPECT_TRUE(p->IsAnimation(12));
    world->formBStart = 0;
    CActor* q = Make(ActorType::kPlayerFormB);
    EXPECT_EQ(world->autoRun, 0);
    EXPECT_EQ(q->gravity, 0x60000);
    EXPECT_TRUE(q->IsAnimation(2));
}

TEST_F(ActorTest, SpawnDataChoosesTheBranchesOfTheTypeBlocks) {
    CActor* waiting = Make(3, 100, 100, {1, 0});
    EXPECT_EQ(waiting->StateWord(0), 13);
    EXPECT_FALSE(waiting->sprite->IsVisible());
    EXPECT_TRUE(waiting->IsAnimation(0));
    EXPECT_EQ(waiting->StateWord(6), waiting->x - 48 * 1024);
    EXPECT_EQ(waiting->StateWord(11), waiting->x + 48 * 1024);
    CActor* still = Make(3, 100, 100, {0});
    EXPECT_EQ(still->StateWord(0), 0);
    EXPECT_EQ(still->StateWord(6), still->x - 1);
    const int32_t wait = still->StateWord(1);
    EXPECT_TRUE(wait >= 2000 && wait <= 3200 && (wait - 2000) % 300 == 0) << wait;

    CActor* drifting = Make(12, 100, 100, {0});
    EXPECT_EQ(drifting->StateWord(0), -1);
    EXPECT_EQ(drifting->vx, -87040);
    EXPECT_EQ(drifting->targetVx, 87040);
    CActor* parked = Make(12, 100, 100, {1});
    EXPECT_EQ(parked->StateWord(4), 1);
    EXPECT_EQ(parked->StateWord(5), 51200);
    EXPECT_EQ(parked->vx, 0);

    CActor* door = Make(27, 100, 100, {4, 7});
    EXPECT_EQ(door->StateWord(2), 6);
    EXPECT_EQ(door->depth, 0);
    CActor* closed = Make(50);
    EXPECT_EQ(closed->StateWord(1), 0);

    CActor* hazard = Make(42, 100, 100, {1});
    EXPECT_EQ(hazard->moves.size(), 1u);
    CActor* pickup = Make(25, 100, 100, {4});
    EXPECT_EQ(pickup->StateWord(1), 233);
    EXPECT_TRUE(pickup->IsAnimation(9));
    CActor* dealer = Make(45, 100, 100, {9});
    EXPECT_EQ(dealer->moves[1].damage, 9);
    // One byte where three are read: the missing ones count as 0.
    CActor* lift = Make(14, 100, 100, {6});
    EXPECT_TRUE(lift->IsAnimation(6));
    EXPECT_EQ(lift->StateWord(8), 0);
}

TEST_F(ActorTest, ADecorationPlaysItsSpawnAnimationAtItsDepthWithoutStateWords) {
    CActor* decoration = Make(ActorType::kDecoration, 10, 10, {5, -3});
    EXPECT_TRUE(decoration->IsAnimation(5));
    EXPECT_TRUE(decoration->sprite->GetLoop());
    EXPECT_EQ(decoration->depth, -3);
    EXPECT_EQ(decoration->StateCount(), 0);
    EXPECT_TRUE(decoration->checkpointState.empty());
    CActor* plain = Make(ActorType::kDecoration);
    EXPECT_TRUE(plain->IsAnimation(0));
    EXPECT_EQ(plain->depth, -1);
}

TEST_F(ActorTest, ATypeWithoutStateWordsStillHasTheCheckpointHeader) {
    CActor* part = Make(36);
    EXPECT_EQ(part->StateCount(), 0);
    EXPECT_EQ(part->checkpointState.size(), 16u);
}

TEST_F(ActorTest, BossesReplaceTheGaugeSprite) {
    Make(41);
    CSpriteInstance* first = world->bossGaugeSprite.get();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->IsVisible());
    Make(35);
    EXPECT_NE(world->bossGaugeSprite.get(), nullptr);
    EXPECT_FALSE(world->bossGaugeSprite->IsVisible());
}

TEST_F(ActorTest, ATypeTwelveBecomesThePlayersFirstLink) {
    CActor* p = MakePlayer();
    CActor* first = Make(12);
    Make(12);
    EXPECT_EQ(p->link, first);
}

TEST_F(ActorTest, TypeFiftyTwoHangsBelowTheFirstCodeFourTileAboveIt) {
    // Column of x = 100 is 4; spawned in row 10 (y = 250).
    SetTileCode(4, 6, 4);
    CActor* hanging = Make(52, 100, 250);
    EXPECT_EQ(ActorUnits::ToPixels(hanging->y), (6 + 2) * 24 + 12);
    EXPECT_EQ(ActorUnits::ToPixels(hanging->x), 100);
    // Nothing above: it stays where it spawned.
    CActor* free = Make(52, 200, 250);
    EXPECT_EQ(ActorUnits::ToPixels(free->y), 250);
}

TEST_F(ActorTest, StateWordsOutsideTheTypesCountReadZeroAndTakeNoWrite) {
    AssertCounter counter;
    CActor* a = Make(6);
    a->SetStateWord(5, 77);
    EXPECT_EQ(a->StateWord(5), 77);
    a->SetStateWord(6, 5);
    a->SetStateWord(-1, 5);
    EXPECT_EQ(a->StateWord(6), 0);
    EXPECT_EQ(a->StateWord(-1), 0);
    EXPECT_TRUE(counter.Logged("no state word 6"));
    CActor* none = Make(5);
    none->SetStateWord(0, 1);
    EXPECT_EQ(none->StateWord(0), 0);
}

}  // namespace
}  // namespace playtest
