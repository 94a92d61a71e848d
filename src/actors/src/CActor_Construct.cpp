#include <algorithm>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "ConstructionBytes.h"

namespace {

using namespace ConstructionBytes;

// Player form values.
constexpr int32_t kFormADefeat = 19;
constexpr int32_t kFormBDefeat = 25;
constexpr int32_t kFormALowStill = 13;
constexpr int32_t kFormBLowStill = 12;
constexpr int32_t kFormAStand = 0;
constexpr int32_t kFormBStand = 2;
constexpr int32_t kFormAHurt = 10;
constexpr int32_t kFormBHurt = 13;
constexpr int32_t kFormBGravity = 0x60000;
constexpr int32_t kStrongLevel = 8;
constexpr int32_t kHitPoints = 18;
constexpr int32_t kStrongHitPoints = 24;
constexpr int32_t kReserve = 3;
constexpr int32_t kStrongReserve = 4;
constexpr int32_t kBossGaugeSet = 37;
// Type 3's patrol half-width when it has one, in units.
constexpr int32_t kPatrolHalfWidth = 48 * ActorUnits::kPerPixel;
// Type 52 hangs below the first tile of this code above it.
constexpr int32_t kHangTileCode = 4;

}  // namespace

CActor::CActor(const CSpriteInstance* spriteToCopy, int32_t newType, uint8_t flag, const int8_t* extra, int32_t px,
               int32_t py, int32_t anchor, int32_t extraCount) {
    if (spriteToCopy != nullptr) {
        sprite = std::make_unique<CSpriteInstance>();
        sprite->CopySprite(*spriteToCopy);
    }
    type = newType;
    createFlag = flag != 0 ? 1 : 0;
    SetPositionAnchored(px, py, anchor);
    facing = 1;
    if (type == ActorType::kDecoration) {
        ConstructDecoration(extra, extraCount);
        return;
    }
    const int32_t count = ActorType::StateCount(type);
    state.assign(static_cast<size_t>(count), 0);
    checkpointState.assign(static_cast<size_t>(count + kCheckpointHeader), 0);
    ConstructType(extra, extraCount);
}

void CActor::ConstructDecoration(const int8_t* extra, int32_t extraCount) {
    if (extra != nullptr && extraCount > 1) {
        ChangeAnimation(extra[0], kLoop);
        depth = extra[1];
    } else {
        ChangeAnimation(0, kLoop);
        depth = -1;
    }
}

void CActor::SetHurtAnims(int8_t a0, int8_t a1, int8_t a2, int8_t a3, int8_t a4) { hurtAnims = {a0, a1, a2, a3, a4}; }

void CActor::CopyLowStanceBox(int32_t animation) {
    SetAnimation(animation, kLoop);
    CGameWorld* world = GetWorld();
    if (world != nullptr && sprite) {
        const CSpriteInstance::Box& box = sprite->GetCollisionBox();
        for (size_t i = 0; i < world->lowStanceBox.size(); ++i) world->lowStanceBox[i] = box[i];
    }
}

// Both forms start with 18 hit points, or 24 from the strong levels on, and
// tell the application their maximum.
void CActor::ConstructPlayerHitPoints() {
    CGameWorld* world = GetWorld();
    const CGameProgress* progress = world != nullptr ? world->GetProgress() : nullptr;
    const bool strong = progress != nullptr && progress->level >= kStrongLevel;
    hitPoints = strong ? kStrongHitPoints : kHitPoints;
    SetStateWord(PlayerWord::kReserveMax, strong ? kStrongReserve : kReserve);
    if (world != nullptr) world->SetMaxHitPoints(hitPoints);
}

void CActor::ConstructPlayerFormA() {
    CGameWorld* world = GetWorld();
    if (world != nullptr) world->autoRun = 0;
    gravity = kGravity;
    collisionFlags = kCollideAll;
    depth = kPlayerDepth;
    SetStateWord(9, -1);
    SetStateWord(10, 15);
    SetStateWord(23, -1);
    SetStateWord(24, 500);
    SetStateWord(11, 0);
    SetStateWord(6, 0);
    CopyLowStanceBox(kFormALowStill);
    SetAnimation(kFormAStand, kLoop);
    const int32_t tile = world != nullptr && world->tileHeight != 0 ? world->tileHeight : CGameWorld::kTileSize;
    SetStateWord(25, GetHeight() / tile);
    SetStateWord(2, 4);
    for (int32_t n : {3, 4, 0, 12, 13, 26, 17, 21, 15}) SetStateWord(n, -1);
    SetStateWord(18, 0);
    SetStateWord(40, 0);
    typeValue = kFormADefeat;
    SetStateWord(PlayerWord::kMoveSet, 1);
    AddMove(2, 300, 0);
    AddMove(3, 300, 0);
    AddMove(4, 350, 0);
    AddMove(5, 400, 4);
    AddMove(22, 10000, 4);
    AddMove(26, 10000, 1);
    if (StateWord(PlayerWord::kMoveSet) == 1) {
        AddMove(24, 1300, 1);
        AddMove(25, 1300, 1);
        AddMove(27, 1500, 1);
    }
    SetHurtAnims(kFormAHurt);
    for (int32_t n : {37, 36, 29, 44}) SetStateWord(n, 0);
    SetStateWord(45, 1);
    ConstructPlayerHitPoints();
    if (world != nullptr) world->playerDead = 0;
    SetStateWord(PlayerWord::kReserve, StateWord(PlayerWord::kReserveMax));
}

void CActor::ConstructPlayerFormB() {
    CGameWorld* world = GetWorld();
    SetStateWord(42, 0);
    if (world != nullptr) world->autoRun = 0;
    SetStateWord(41, 999);
    collisionFlags = kCollideAll;
    depth = kPlayerDepth;
    SetStateWord(38, 0);
    SetStateWord(9, -1);
    SetStateWord(10, 10);
    SetStateWord(23, -1);
    SetStateWord(24, 500);
    SetStateWord(11, 0);
    SetStateWord(30, 0);
    SetStateWord(31, 4);
    SetStateWord(32, 0);
    SetStateWord(33, -1);
    CopyLowStanceBox(kFormBLowStill);
    SetAnimation(kFormBStand, kLoop);
    const int32_t tile = world != nullptr && world->tileHeight != 0 ? world->tileHeight : CGameWorld::kTileSize;
    SetStateWord(25, std::max(GetHeight() / tile, 1));
    if (world != nullptr && world->formBStart != 0) {
        world->autoRun = 1;
        gravity = kGravity;
        SetStateWord(PlayerWord::kStance, 1);
        SetAnimation(kFormBLowStill, kLoop);
    } else {
        SetStateWord(PlayerWord::kStance, 0);
        gravity = kFormBGravity;
    }
    SetStateWord(2, 4);
    for (int32_t n : {3, 4, 0, 12, 13, 26, 17, 21, 15}) SetStateWord(n, -1);
    SetStateWord(18, 0);
    SetStateWord(27, 0);
    typeValue = kFormBDefeat;
    AddMove(3, 200, 0);
    AddMove(4, 200, 0);
    AddMove(5, 300, 0);
    AddMove(6, 400, 0);
    SetHurtAnims(kFormBHurt);
    ConstructPlayerHitPoints();
    SetStateWord(PlayerWord::kMeleeOnly, 0);
    if (world != nullptr) world->playerDead = 0;
    SetStateWord(PlayerWord::kReserve, StateWord(PlayerWord::kReserveMax));
    for (int32_t n : {29, 44}) SetStateWord(n, 0);
    SetStateWord(45, 1);
}

void CActor::ConstructType3(const int8_t* extra, int32_t extraCount) {
    facing = 0;
    gravity = kGravity;
    SetStateWord(15, 0);
    collisionFlags = kCollideAll;
    SetStateWord(0, 0);
    SetStateWord(1, 2000 + 300 * CGameWorld::Random(0, 4));
    SetStateWord(2, 500);
    SetStateWord(3, Extra(extra, extraCount, 0));
    if (extraCount == 2) {
        SetStateWord(0, 13);
        ChangeAnimation(15, kOnce);
        Hide();
    }
    SetStateWord(4, 100);
    const int32_t half = StateWord(3) != 0 ? kPatrolHalfWidth : 1;
    SetStateWord(6, x - half);
    SetStateWord(7, x + half);
    SetStateWord(11, StateWord(7));
    typeValue = 6;
    SetHurtAnims(2, 3, 3, 3, 3);
    AddMove(4, 2, 0);
    AddMove(11, 2, 0);
    ChangeAnimation(0, kLoop);
    SetStateWord(8, 0);
    hitPoints = 1350;
    SetStateWord(12, 0);
}

void CActor::ConstructType12(const int8_t* extra, int32_t extraCount) {
    constexpr int32_t kDriftSpeed = 87040;
    hitPoints = 5000;
    depth = kBackgroundDepth;
    if (!(extraCount == 1 && Extra(extra, extraCount, 0) == 0)) {
        SetStateWord(5, 51200);
        SetStateWord(4, 1);
    } else {
        SetStateWord(0, -1);
        SetStateWord(4, 0);
        targetVx = kDriftSpeed;
        vx = -kDriftSpeed;
    }
    CGameWorld* world = GetWorld();
    if (world != nullptr && world->player != nullptr && world->player->link == nullptr) world->player->link = this;
    SetStateWord(1, 1500000);
    SetStateWord(3, 2000);
    SetStateWord(2, 0);
    facing = 0;
    ChangeAnimation(0, kLoop);
    SetHurtAnims(kNoAnimation);
}

void CActor::ConstructType25(const int8_t* extra) {
    if (extra != nullptr) SetStateWord(0, extra[0]);
    switch (StateWord(0)) {
        case 0: {
            CGameWorld* world = GetWorld();
            SetStateWord(1, world != nullptr ? world->GetMaxHitPoints() / 3 : 0);
            ChangeAnimation(2, kLoop);
            break;
        }
        case 1:
            SetStateWord(1, 1);
            ChangeAnimation(0, kLoop);
            break;
        case 2:
            SetStateWord(1, 5);
            ChangeAnimation(4, kLoop);
            UpdateBox();
            break;
        case 3:
            SetStateWord(1, 5);
            ChangeAnimation(6, kLoop);
            UpdateBox();
            break;
        case 4:
            SetStateWord(1, 233);
            ChangeAnimation(9, kLoop);
            break;
        default:
            break;
    }
    SetStateWord(3, 500);
}

// Types 27, 50 and 54.
void CActor::ConstructDoor(const int8_t* extra, int32_t extraCount) {
    if (extra == nullptr || extraCount == 0) {
        SetStateWord(0, 0);
        SetStateWord(1, 0);
        SetStateWord(2, 0);
        ChangeAnimation(0, kLoop);
        return;
    }
    depth = 0;
    SetStateWord(1, 1);
    if (extraCount == 2) {
        SetStateWord(0, 0);
        SetStateWord(2, Extra(extra, extraCount, 1) - 1);
    } else {
        SetStateWord(0, Extra(extra, extraCount, 0));
        SetStateWord(2, 0);
    }
    ChangeAnimation(1, kOnce);
}

void CActor::ConstructType42(const int8_t* extra) {
    SetStateWord(2, extra != nullptr ? extra[0] : 0);
    if (StateWord(2) != 1) {
        AddMove(1, 1, 0);
        AddMove(2, 1, 0);
        AddMove(3, 1, 0);
        SetStateWord(0, 0);
        ChangeAnimation(1, kOnce);
        UpdateBox();
    } else {
        AddMove(0, 1, 0);
        SetStateWord(0, 0);
        ChangeAnimation(0, kLoop);
    }
    collisionFlags = kCollideAll;
}

// Hangs below the first tile of code 4 above its spawn; with none up to the
// top of the map it stays where it spawned.
void CActor::ConstructType52() {
    constexpr int32_t kReachAttribute = 3;
    SetStateWord(0, 0);
    SetAnimation(0, kOnce);
    if (sprite) sprite->UpdateAttackBox(kReachAttribute);
    const CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    const int32_t px = ActorUnits::ToPixels(x);
    const int32_t py = ActorUnits::ToPixels(y);
    const int32_t column = (px + (sprite ? sprite->GetAttackX() : 0)) / CGameWorld::kTileSize;
    const int32_t row = py / CGameWorld::kTileSize;
    for (int32_t k = 0; row - k >= 0; ++k) {
        if (world->GetTile(column, row - k) == kHangTileCode) {
            SetPositionAnchored(px, (row - k + 2) * CGameWorld::kTileSize + CGameWorld::kTileSize / 2, 0);
            return;
        }
    }
}

// A boss's health gauge; a second boss replaces the first one's.
void CActor::ConstructBossGauge(bool updateBox) {
    CGameWorld* world = GetWorld();
    if (world == nullptr) return;
    world->bossGaugeSprite = std::make_unique<CSpriteInstance>();
    world->bossGaugeSprite->SetSprite(kBossGaugeSet);
    if (updateBox) world->bossGaugeSprite->UpdateCollisionBox();
    world->bossGaugeSprite->SetVisible(false);
}
