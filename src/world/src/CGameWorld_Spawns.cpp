#include <algorithm>
#include <cstdlib>

#include "ActorUnits.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"

// A spawn in play leaves when its actor goes out of range and may come back;
// a free spawn comes alive when the view centre is within its template's
// ranges (a negative range never lets it in); a destroyed one stays away.
void CGameWorld::UpdateSpawns() {
    const int32_t count = static_cast<int32_t>(std::min(spawns.size(), spawnActors.size()));
    for (int32_t i = 0; i < count; ++i) {
        CActor* a = spawnActors[static_cast<size_t>(i)];
        SpawnSlot& spawn = spawns[static_cast<size_t>(i)];
        if (a == nullptr) continue;
        if (spawn.state == kSpawnLive) {
            if (a->IsOutOfRange()) {
                a->Remove(false);
                spawn.state = kSpawnFree;
            }
        } else if (spawn.state == kSpawnFree) {
            const size_t t = static_cast<size_t>(spawn.templateIndex);
            if (t >= templateRanges.size()) continue;
            const int32_t dx = std::abs(viewCentreX - ActorUnits::ToPixels(a->x));
            const int32_t dy = std::abs(viewCentreY - ActorUnits::ToPixels(a->y));
            if (dx <= templateRanges[t].horizontal && dy <= templateRanges[t].vertical) {
                QueueAddActor(a);
                spawn.state = kSpawnLive;
            }
        }
    }
}

void CGameWorld::SetSpawnState(int32_t spawnId, int32_t state) {
    if (spawnId >= 0 && spawnId < static_cast<int32_t>(spawns.size())) spawns[static_cast<size_t>(spawnId)].state = state;
}

CActor* CGameWorld::CreateActor(const CSpriteInstance* spriteToCopy, int32_t type, int32_t x, int32_t y,
                                int32_t anchor) {
    auto* a = new CActor(spriteToCopy, type, 0, nullptr, x, y, anchor, 0);
    if (ownedList) {
        ownedList->addElement(a);
    } else {
        // Without lists there is no owner: the actor is not kept.
        DeleteActor(a);
        return nullptr;
    }
    return a;
}

CActor* CGameWorld::CreateEffect(int32_t spriteSet, int32_t type, int32_t x, int32_t y, int32_t anchor) {
    CSpriteInstance temporary;
    temporary.SetSprite(spriteSet);
    return CreateActor(&temporary, type, x, y, anchor);
}
