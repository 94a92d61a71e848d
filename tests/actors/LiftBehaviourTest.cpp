#include "BehaviourFixture.h"

namespace playtest {
namespace {

using namespace PlayerWord;

constexpr int8_t kTrack = 9;
constexpr int32_t kEndA = 1;
constexpr int32_t kEndB = 2;
constexpr int32_t kHeading = 9;
// The lift's box is the body box: (-5, -20, 10, 20). Placed at pixel
// (127, 166) its box's top-left tile is column 5, row 6.
constexpr int32_t kLiftX = 127;
constexpr int32_t kLiftY = 166;
constexpr int32_t kColumn = 5;
constexpr int32_t kRow = 6;
constexpr int32_t kBoxX = -5;
constexpr int32_t kBoxY = -20;
constexpr int32_t kBoxW = 10;

class LiftTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 20, 300);
        p->prevX = p->x;
        p->prevY = p->y;
    }

    // A map of n tile types: the border codes are n + 1 to n + 3, so a
    // map of 6, 7 or 8 types reports track (9) past one of its edges.
    void UseTileTypes(int32_t n) {
        std::vector<std::vector<uint8_t>> types(static_cast<size_t>(n + 4), std::vector<uint8_t>(8, 0));
        types[0][CGameWorld::kTilePassable] = 1;
        world->SetTileData(kMapColumns, kMapRows, std::vector<uint8_t>(kMapColumns * kMapRows, 0), types);
    }

    // extra: animation, mode (0 vertical, 1 horizontal), self-running.
    CActor* MakeLift(int8_t mode, int8_t selfRunning) {
        CActor* lift = MakeOn(kMainSet, ActorType::kLift, kLiftX, kLiftY, {0, mode, selfRunning});
        Insert(lift);
        return lift;
    }

    void StandOn(CActor* lift) {
        p->SetPosition(lift->x, lift->y + kBoxY * kPx);
        p->prevX = p->x;
        p->prevY = p->y;
    }

    CActor* p = nullptr;
};

TEST_F(LiftTest, AVerticalTrackIsMeasuredToItsEndsAndASelfRunningLiftSetsOff) {
    for (int32_t row = 3; row <= 8; ++row) SetTileCode(kColumn, row, kTrack);
    CActor* lift = MakeLift(0, 1);
    Think(lift);
    // Four track tiles from the start up (less one), three down: the bottom
    // end lies one tile below the first tile that is not track.
    const int32_t top = ((kRow - 3) * 24 - kBoxY) * kPx;
    const int32_t bottom = ((kRow + 3 + 1) * 24 - kBoxY) * kPx;
    EXPECT_EQ(lift->StateWord(kEndA), top);
    EXPECT_EQ(lift->StateWord(kEndB), bottom);
    EXPECT_EQ(lift->StateWord(kHeading), bottom);
    EXPECT_EQ(lift->StateWord(4), 40 * kPx);
    EXPECT_EQ(lift->StateWord(5), 10 * kPx);
    EXPECT_EQ(lift->vy, 40 * kPx);
}

TEST_F(LiftTest, AHorizontalTrackIsMeasuredAndTheLongerSideIsHeadedFor) {
    for (int32_t column = 2; column <= 9; ++column) SetTileCode(column, kRow, kTrack);
    CActor* lift = MakeLift(1, 1);
    Think(lift);
    const int32_t left = ((kColumn - 3) * 24 - kBoxX) * kPx;
    const int32_t right = ((kColumn + 5) * 24 - kBoxX - kBoxW) * kPx;
    EXPECT_EQ(lift->StateWord(kEndA), left);
    EXPECT_EQ(lift->StateWord(kEndB), right);
    EXPECT_EQ(lift->vx, 40 * kPx);
}

TEST_F(LiftTest, TrackSearchesEndWithoutTrackAndAtTheMapsEdgesWhateverTheBorderCodes) {
    // No track: the lift's own row and the one below.
    CActor* bare = MakeLift(0, 0);
    Think(bare);
    EXPECT_EQ(bare->StateWord(kEndA), (kRow * 24 - kBoxY) * kPx);
    EXPECT_EQ(bare->StateWord(kEndB), ((kRow + 2) * 24 - kBoxY) * kPx);

    // Track down to the last row, with the code below the map being track.
    UseTileTypes(6);
    ASSERT_EQ(world->borderBelow, kTrack);
    for (int32_t row = kRow; row < kMapRows; ++row) SetTileCode(kColumn, row, kTrack);
    CActor* down = MakeLift(0, 0);
    Think(down);
    EXPECT_EQ(down->StateWord(kEndB), ((kMapRows + 1) * 24 - kBoxY) * kPx);

    // Track up to the first row, with the code above the map being track.
    UseTileTypes(8);
    ASSERT_EQ(world->borderAbove, kTrack);
    for (int32_t row = 0; row <= kRow; ++row) SetTileCode(kColumn, row, kTrack);
    CActor* up = MakeLift(0, 0);
    Think(up);
    EXPECT_EQ(up->StateWord(kEndB), (0 * 24 - kBoxY) * kPx);

    // Track to the left edge, with the code beside the map being track.
    UseTileTypes(7);
    ASSERT_EQ(world->borderBeside, kTrack);
    for (int32_t column = 0; column <= kColumn; ++column) SetTileCode(column, kRow, kTrack);
    CActor* side = MakeLift(1, 0);
    Think(side);
    EXPECT_EQ(side->StateWord(kEndB), (0 * 24 - kBoxX) * kPx);
}

TEST_F(LiftTest, ARiderDrivenLiftMakesOneTripWithItsCentredRider) {
    for (int32_t row = 3; row <= 8; ++row) SetTileCode(kColumn, row, kTrack);
    CActor* lift = MakeLift(0, 0);
    Think(lift);
    EXPECT_EQ(lift->vy, 0) << "nobody aboard";
    // Off the middle by one unit: the lift waits.
    StandOn(lift);
    p->SetPosition(p->x + 1, p->y);
    p->prevX = p->x;
    Think(lift);
    EXPECT_EQ(lift->vy, 0);
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    // Centred: it sets off at half its speed towards the far end and holds
    // the rider.
    StandOn(lift);
    Think(lift);
    EXPECT_EQ(lift->ay, 10 * kPx);
    EXPECT_EQ(lift->targetVy, 40 * kPx);
    EXPECT_EQ(lift->vy, 20 * kPx);
    EXPECT_EQ(p->StateWord(kMode), kModeHeld);
    EXPECT_TRUE(p->IsAnimation(0));
    EXPECT_EQ(world->cameraFreeze, 1);
    // Past the far end it stops there for good and lets the rider go.
    const int32_t far = lift->StateWord(kEndB);
    lift->SetPosition(lift->x, far + 100);
    Think(lift);
    EXPECT_EQ(lift->y, far);
    EXPECT_EQ(lift->vy, 0);
    EXPECT_EQ(lift->StateWord(0), 2);
    EXPECT_EQ(lift->StateWord(kHeading), lift->StateWord(kEndA));
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
    EXPECT_EQ(world->cameraFreeze, 0);
    for (int32_t i = 0; i < 100; ++i) Think(lift);
    EXPECT_EQ(lift->StateWord(0), 2);
}

TEST_F(LiftTest, ASelfRunningLiftRestsAtEachEndThenTurns) {
    for (int32_t row = 3; row <= 8; ++row) SetTileCode(kColumn, row, kTrack);
    CActor* lift = MakeLift(0, 1);
    Think(lift);
    lift->SetPosition(lift->x, lift->StateWord(kEndB) + 1);
    Think(lift);
    EXPECT_EQ(lift->StateWord(0), 2);
    EXPECT_EQ(lift->StateWord(6), 600);
    int32_t frames = 0;
    while (lift->StateWord(0) == 2 && frames < 100) {
        Think(lift);
        ++frames;
    }
    EXPECT_EQ(frames, 600 / kDt);
    Think(lift);
    EXPECT_EQ(lift->vy, -20 * kPx) << "back up at half speed";
    EXPECT_EQ(lift->ay, -10 * kPx);
}

TEST_F(LiftTest, SteppingOntoALiftSendsThePlayersFlyerAway) {
    CActor* flyer = MakeOn(kMainSet, ActorType::kPatrolFlyer, 60, 60);
    p->link = flyer;
    CActor* lift = MakeLift(0, 0);
    StandOn(lift);
    Think(lift);
    EXPECT_EQ(flyer->StateWord(0), 2);
    EXPECT_EQ(flyer->StateWord(1), -1);
    EXPECT_EQ(flyer->vx, 40 * kPx);
    EXPECT_EQ(flyer->vy, -40 * kPx);
}

class BlockTest : public LiftTest {
protected:
    CActor* MakeBlock(int8_t oneSided) {
        CActor* block = MakeOn(kMainSet, ActorType::kBlock19, 200, 200, {oneSided});
        block->prevX = block->x;
        block->prevY = block->y;
        return block;
    }

    void PlaceLowPlayer(int32_t px, int32_t vx) {
        p->SetPosition(px * kPx, 200 * kPx);
        p->prevY = p->y;
        p->vy = 0;
        p->vx = vx;
        p->SetStateWord(kStance, kStanceLow);
    }
};

TEST_F(BlockTest, APushBelowTheKickSpeedMovesTheBlockAtTwoThirdsOfIt) {
    CActor* block = MakeBlock(0);
    PlaceLowPlayer(190, 245760);
    Think(block);
    EXPECT_EQ(p->vx, 163840);
    EXPECT_EQ(block->vx, 163840);
    EXPECT_EQ(p->x, (200 + kBoxX - kBoxX - kBoxW) * kPx + 1);
}

TEST_F(BlockTest, AFastPushKicksTheBlockAwayAndItSlidesUntilItStops) {
    CActor* block = MakeBlock(0);
    PlaceLowPlayer(190, 300 * kPx);
    Think(block);
    EXPECT_EQ(block->vx, 300 * kPx);
    EXPECT_EQ(block->ax, -600 * kPx);
    EXPECT_EQ(p->vx, 240 * kPx);
    EXPECT_EQ(p->ax, -900 * kPx);
    EXPECT_EQ(block->targetVx, 0);
    EXPECT_EQ(p->targetVx, 0);
    p->SetPosition(20 * kPx, p->y);
    Think(block);
    EXPECT_EQ(block->vx, 300 * kPx) << "the slide goes on";
    block->vx = 0;
    Think(block);
    EXPECT_EQ(block->ax, 0);
}

TEST_F(BlockTest, AOneSidedBlockIsPushedLeftwardsOnlyAndNeverKicked) {
    CActor* block = MakeBlock(1);
    PlaceLowPlayer(210, -300 * kPx);
    Think(block);
    EXPECT_EQ(p->vx, -200 * kPx);
    EXPECT_EQ(block->vx, -200 * kPx);
    PlaceLowPlayer(190, 300 * kPx);
    Think(block);
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(block->vx, 0);
}

TEST_F(BlockTest, AStandingPlayerIsStoppedBesideItAndAFallingOneLandsOnIt) {
    CActor* block = MakeBlock(0);
    PlaceLowPlayer(190, 100 * kPx);
    p->SetStateWord(kStance, kStanceNormal);
    Think(block);
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(p->x, (200 + kBoxX - kBoxX - kBoxW - 1) * kPx);
    EXPECT_EQ(block->vx, 0);
    // Falling from above its top: the player stands on it.
    const int32_t top = block->y + kBoxY * kPx;
    p->SetPosition(block->x, top + 3 * kPx);
    p->prevY = top - 5 * kPx;
    p->vy = 1000;
    Think(block);
    EXPECT_EQ(p->y, top);
    EXPECT_EQ(p->vy, 0);
    EXPECT_EQ(p->onGround, 1);
    EXPECT_EQ(p->StateWord(43), 1);
}

TEST_F(BlockTest, ALaunchPadThrowsALowPlayerRunningItsWayOnce) {
    CActor* pad = MakeOn(kMainSet, ActorType::kLaunchPad, 190, 200, {1});
    PlaceLowPlayer(190, -50 * kPx);
    Think(pad);
    EXPECT_EQ(pad->StateWord(0), 0) << "running the other way";
    PlaceLowPlayer(190, 50 * kPx);
    Think(pad);
    EXPECT_EQ(pad->StateWord(0), 1);
    EXPECT_EQ(p->vy, -200 * kPx);
    EXPECT_EQ(p->vx, 300 * kPx);
    EXPECT_EQ(p->StateWord(kStance), kStanceNormal);
    EXPECT_EQ(p->StateWord(kMode), kModeHeld);
    EXPECT_TRUE(p->IsAnimation(19));
    // The launch pose hands over to the fall, in the free mode: the first
    // form too, which otherwise stayed held for good once it had landed.
    EXPECT_EQ(p->StateWord(kFollowAnimation), 8);
    EXPECT_EQ(p->StateWord(kFollowValue), kModeFree);
    PlaceLowPlayer(190, 50 * kPx);
    Think(pad);
    EXPECT_EQ(p->vy, 0) << "one launch only";
}

TEST_F(BlockTest, ABouncePadHopsOncePerContactAndStartsTheDisplay) {
    CActor* pad = MakeOn(kReachingSet, ActorType::kBouncePad, 190, 200);
    PlaceLowPlayer(190, 0);
    Think(pad);
    EXPECT_EQ(p->vy, -200 * kPx);
    EXPECT_EQ(pad->StateWord(0), 1);
    EXPECT_EQ(world->type69Display, 0);
    p->vy = 0;
    Think(pad);
    EXPECT_EQ(p->vy, 0);
    p->SetPosition(20 * kPx, p->y);
    Think(pad);
    EXPECT_EQ(pad->StateWord(0), 0);
    // Back in, high enough to reach the pad's second box.
    p->SetPosition(pad->x, pad->y - 15 * kPx);
    Think(pad);
    EXPECT_EQ(p->vy, -200 * kPx);
    EXPECT_EQ(world->type69Display, 1);
}

}  // namespace
}  // namespace playtest
