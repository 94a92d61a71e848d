// The first form climbing a ledge on the game's own sprites: the climb is
// placed and ended by the boxes of the player's sprite set, so only the
// repository's content shows whether a climb ends on top of the wall.

#include "BehaviourFixture.h"
#include "PlayerControl.h"

namespace playtest {
namespace {

using PC = PlayerControl;

constexpr int32_t kPlayerSet = 12;
// Tile codes of the test map, then the four the world adds.
constexpr int8_t kOpen = 0;
constexpr int8_t kSolid = 1;
constexpr int8_t kWall = 2;  // solid, its top edge can be grabbed
constexpr size_t kTileTypes = kWall + 1 + 4;
constexpr int32_t kGroundRow = 12;
constexpr int32_t kWallColumn = 10;
constexpr int32_t kLedgeRow = kGroundRow - 2;  // a wall two tiles high
constexpr int32_t kFrameLimit = 100;
// Long enough to walk the last pixels into the wall.
constexpr int32_t kWalkFrames = 10;

class PlayerLedgeClimbTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        MountGameSprites(kPlayerSet);
        std::vector<std::vector<uint8_t>> types(kTileTypes, std::vector<uint8_t>(8, 0));
        types[kOpen][CGameWorld::kTilePassable] = 1;
        types[kSolid][CGameWorld::kTilePlatform] = 1;
        types[kWall][CGameWorld::kTilePlatform] = 1;
        types[kWall][CGameWorld::kTileLedge] = 1;
        std::vector<uint8_t> cells(static_cast<size_t>(kMapColumns * kMapRows), kOpen);
        const auto cell = [&cells](int32_t column, int32_t row) -> uint8_t& {
            return cells[static_cast<size_t>(row * kMapColumns + column)];
        };
        for (int32_t c = 0; c < kMapColumns; ++c) cell(c, kGroundRow) = kSolid;
        cell(kWallColumn, kLedgeRow) = kWall;
        cell(kWallColumn, kLedgeRow + 1) = kSolid;
        world->SetTileData(kMapColumns, kMapRows, cells, types);
    }

    // The player standing on the ground, its box's near side a few pixels
    // from the wall.
    CActor* PlayerBesideTheWall(bool facingRight) {
        const int32_t gap = 3;
        const int32_t half = 7;  // half the standing box's width
        const int32_t px = facingRight ? kWallColumn * CGameWorld::kTileSize - gap - half
                                       : (kWallColumn + 1) * CGameWorld::kTileSize + gap + half;
        CActor* p = MakePlayer(ActorType::kPlayerFormA, px, kGroundRow * CGameWorld::kTileSize);
        p->facing = facingRight ? 1 : 0;
        p->SetAnimation(0, true);
        p->onGround = 1;
        return p;
    }

    // Frames of the whole update (motion, then behaviour) with these keys.
    void Frame(CActor* p, uint32_t pressed, uint32_t held) {
        input.pressed = pressed;
        input.held = held;
        p->Update(kDt);
    }

    // Into the wall, a jump (the head meets the ledge at once), the climb,
    // and some time to settle: a climb that leaves the player beside the
    // wall drops it back to the ground.
    void JumpAtTheWallAndClimb(bool facingRight) {
        CActor* p = PlayerBesideTheWall(facingRight);
        const uint32_t towards = facingRight ? PC::kRight : PC::kLeft;
        for (int32_t i = 0; i < kWalkFrames; ++i) Frame(p, 0, towards);
        Frame(p, PC::kUp, towards | PC::kUp);
        int32_t frames = 0;
        while (p->StateWord(PlayerWord::kMode) != PC::kModeLedge && frames++ < kFrameLimit) Frame(p, 0, towards);
        ASSERT_EQ(p->StateWord(PlayerWord::kMode), PC::kModeLedge);
        while (p->StateWord(PlayerWord::kMode) == PC::kModeLedge && frames++ < kFrameLimit) Frame(p, 0, 0);
        ASSERT_EQ(p->StateWord(PlayerWord::kMode), PlayerWord::kModeFree);
        for (int32_t i = 0; i < 10; ++i) Frame(p, 0, 0);
        const int32_t feet = (p->y >> 10) + p->sprite->GetBoxY() + p->sprite->GetBoxHeight();
        const int32_t left = (p->x >> 10) + p->sprite->GetBoxX();
        const int32_t right = left + p->sprite->GetBoxWidth();
        EXPECT_EQ(feet, kLedgeRow * CGameWorld::kTileSize) << "standing on the wall's top";
        EXPECT_EQ(p->onGround, 1);
        EXPECT_GE(left, kWallColumn * CGameWorld::kTileSize) << "on the wall, not on its edge";
        EXPECT_LE(right, (kWallColumn + 1) * CGameWorld::kTileSize) << "on the wall, not on its edge";
        EXPECT_TRUE(p->IsAnimation(0));
    }
};

TEST_F(PlayerLedgeClimbTest, AJumpRightAtATwoTileWallClimbsOntoIt) { JumpAtTheWallAndClimb(true); }

TEST_F(PlayerLedgeClimbTest, AJumpLeftAtATwoTileWallClimbsOntoIt) { JumpAtTheWallAndClimb(false); }

}  // namespace
}  // namespace playtest
