#include "ActorUnits.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

namespace {

// Free-move keys, in order of priority, and the step they move by.
constexpr uint32_t kKeyLeft = 64;
constexpr uint32_t kKeyRight = 32;
constexpr uint32_t kKeyUp = 256;
constexpr uint32_t kKeyDown = 128;
constexpr int32_t kFreeMoveStep = 20 * ActorUnits::kPerPixel;

}  // namespace

void CActor::Update(int32_t dt) {
    ApplyFacing();
    if (sprite) sprite->Tick(dt, type != ActorType::kDecoration);
    CGameWorld* world = GetWorld();
    if (world != nullptr && world->promptStatus == CGameWorld::kPromptPassed && world->promptSuccess != 0 &&
        ActorType::IsLargeEnemy(type)) {
        UpdateBehaviour(dt);
        return;
    }
    if (world != nullptr && world->freeMove != 0) {
        UpdateFreeMove();
        return;
    }
    if (type == ActorType::kCheckpoint) {
        CActor* p = world != nullptr ? world->player : nullptr;
        if (p != nullptr && sprite && p->sprite && CSpriteInstance::Overlaps(*sprite, *p->sprite)) {
            world->SaveCheckpoint();
            Remove(true);
        }
        return;
    }
    UpdatePhysics(dt);
    UpdateBehaviour(dt);
}

// The player moves by keys without physics; everything else stands.
void CActor::UpdateFreeMove() {
    if (!ActorType::IsPlayer(type)) return;
    CGameWorld* world = GetWorld();
    const CGameInput* input = world != nullptr ? world->GetInput() : nullptr;
    if (input == nullptr) return;
    if (input->IsHeld(kKeyLeft)) {
        x -= kFreeMoveStep;
    } else if (input->IsHeld(kKeyRight)) {
        x += kFreeMoveStep;
    } else if (input->IsHeld(kKeyUp)) {
        y -= kFreeMoveStep;
    } else if (input->IsHeld(kKeyDown)) {
        y += kFreeMoveStep;
    }
    SetPosition(x, y);
}
