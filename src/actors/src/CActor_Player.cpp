#include <algorithm>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"

namespace {

CActor* Player() {
    CGameWorld* world = CActor::GetWorld();
    return world != nullptr ? world->player : nullptr;
}

// Pickup kinds of AwardPlayer.
constexpr int32_t kAwardHealth = 0;
constexpr int32_t kAwardReserve = 1;
constexpr int32_t kAwardCollected = 2;
constexpr int32_t kAwardFullReserve = 3;
constexpr int32_t kAwardGauge = 4;

}  // namespace

void CActor::SetPlayerTimedMode(bool on) {
    using namespace PlayerWord;
    CActor* p = Player();
    if (p == nullptr) return;
    if (p->onGround == 0 || p->StateWord(kStance) == kStanceLow) on = false;
    if (on) {
        p->timedMode = 1;
        p->SetStateWord(kTimedCountdown, p->StateWord(kTimedPreset));
    } else {
        p->timedMode = 0;
        p->SetStateWord(kTimedCountdown, -1);
    }
}

void CActor::ResetPlayerAttack() {
    using namespace PlayerWord;
    CActor* p = Player();
    if (p == nullptr || p->type != ActorType::kPlayerFormA) return;
    p->SetStateWord(kAttackStep, -1);
    p->SetStateWord(kAttackQueued, -1);
    p->SetStateWord(kAttackNext, -1);
    p->SetStateWord(kMode, kModeFree);
}

void CActor::SetPlayerState8(int32_t value) {
    CActor* p = Player();
    if (p == nullptr) return;
    p->SetStateWord(PlayerWord::kPreviousMode, p->StateWord(PlayerWord::kMode));
    p->SetStateWord(PlayerWord::kMode, value);
}

void CActor::SetPlayerTarget(int32_t animation, bool loop, int32_t value) {
    CActor* p = Player();
    if (p == nullptr) return;
    p->SetStateWord(PlayerWord::kFollowAnimation, animation);
    p->SetStateWord(PlayerWord::kFollowLoop, loop ? 1 : 0);
    p->SetStateWord(PlayerWord::kFollowValue, value);
}

void CActor::AwardPlayer(int32_t kind, int32_t amount) {
    using namespace PlayerWord;
    CGameWorld* world = GetWorld();
    CActor* p = Player();
    if (kind == kAwardCollected && world != nullptr) ++world->collectedCount;
    if (p == nullptr) return;
    switch (kind) {
        case kAwardHealth:
            p->hitPoints = std::min(p->hitPoints + amount, world->GetMaxHitPoints());
            break;
        case kAwardReserve:
            p->SetStateWord(kReserve, std::min(p->StateWord(kReserve) + amount, p->StateWord(kReserveMax)));
            break;
        case kAwardFullReserve:
            p->SetStateWord(kReserve, p->StateWord(kReserveMax));
            break;
        case kAwardGauge:
            p->SetStateWord(kGauge, std::min(p->StateWord(kGauge) + amount, kGaugeMax));
            break;
        default:
            break;
    }
}

// Deadly tiles and falling below the camera limits kill the player; a
// ledge tile in front at head height, with room beside it, is a ledge to
// grab.
void CActor::CheckPlayerTiles(CActor* player, int32_t topRow, int32_t bottomRow, int32_t leftCol, int32_t rightCol,
                              int32_t, int32_t, int32_t outerLeftCol, int32_t outerRightCol) {
    CGameWorld* world = GetWorld();
    if (world == nullptr || player == nullptr) return;
    world->ledgeFlag = 0;
    if (world->playerDead == 1) return;
    const auto deadly = [world](int32_t col, int32_t row) {
        return world->TileHasFlag(world->GetTile(col, row), CGameWorld::kTileDeadly);
    };
    const bool aboveBottom = ActorUnits::ToPixels(player->y) <= world->cameraMinY + world->cameraSpanY;
    if (aboveBottom && !deadly(leftCol, bottomRow) && !deadly(rightCol, bottomRow) && !deadly(leftCol, topRow) &&
        !deadly(rightCol, topRow)) {
        player->probe = player->facing != 0 ? std::array<int32_t, 4>{rightCol, leftCol, outerRightCol, outerLeftCol}
                                            : std::array<int32_t, 4>{leftCol, rightCol, outerLeftCol, outerRightCol};
        if (player->StateWord(PlayerWord::kStance) == PlayerWord::kStanceNormal &&
            world->TileHasFlag(world->GetTile(player->probe[2], topRow), CGameWorld::kTileLedge) &&
            !world->TileHasFlag(world->GetTile(player->probe[3], topRow), CGameWorld::kTilePlatform)) {
            world->ledgeFlag = 1;
        }
        return;
    }
    world->playerDead = 1;
    if (player->StateWord(PlayerWord::kDeathCountdown) <= 0) {
        player->SetStateWord(PlayerWord::kDeathCountdown, PlayerWord::kDeathFrames);
    }
}
