#include "CActor.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "ConstructionBytes.h"

using namespace ConstructionBytes;

// The settings of each type after the common defaults; types without a
// block keep the defaults and the sprite's first animation.
void CActor::ConstructType(const int8_t* extra, int32_t extraCount) {
    using namespace ActorType;
    CGameWorld* world = GetWorld();
    switch (type) {
        case kPlayerFormA:
            ConstructPlayerFormA();
            break;
        case kPlayerFormB:
            ConstructPlayerFormB();
            break;
        case kLargeEnemy1:
            collisionFlags = kCollideAll;
            gravity = kGravity;
            SetStateWord(0, 0);
            SetStateWord(1, 3000);
            hitPoints = 2700;
            ChangeAnimation(1, kLoop);
            typeValue = 5;
            SetHurtAnims(7, 8, 8, 8, 8);
            AddMove(3, 2, 0);
            break;
        case kLargeEnemy3:
            ConstructType3(extra, extraCount);
            break;
        case kStopTrigger:
        case kDrainingHazard:
            ChangeAnimation(0, kLoop);
            break;
        case kFlyingMine:
            depth = 1;
            SetStateWord(0, 0);
            ChangeAnimation(0, kLoop);
            hitPoints = 1;
            typeValue = 3;
            SetHurtAnims(3);
            AddMove(2, 5, 0);
            break;
        case kBackgroundRunner:
            SetStateWord(0, 4);
            Hide();
            depth = kBackgroundDepth;
            SetStateWord(3, 0);
            ChangeAnimation(0, kLoop);
            break;
        case kStrikeEffect:
            depth = 3;
            SetStateWord(0, 0);
            AddMove(1, 2, 0);
            AddMove(3, 2, 0);
            break;
        case kPatrolFlyer:
            ConstructType12(extra, extraCount);
            break;
        case kLift:
            ChangeAnimation(Extra(extra, extraCount, 0), kLoop);
            UpdateBox();
            SetStateWord(0, Extra(extra, extraCount, 1));
            SetStateWord(8, Extra(extra, extraCount, 2));
            SetStateWord(9, -1);
            depth = 1;
            break;
        case kPooledShot:
            hitPoints = 1;
            AddMove(0, 800, 0);
            AddMove(2, 2, 0);
            AddMove(3, 2, 0);
            AddMove(4, 3, 0);
            AddMove(1, 4000, 0);
            break;
        case kBlock19:
        case kBlock61:
            SetStateWord(0, Extra(extra, extraCount, 0));
            depth = 1;
            collisionFlags = kCollideAll;
            gravity = kGravity;
            ChangeAnimation(0, kLoop);
            UpdateBox();
            break;
        case kPartner:
            ChangeAnimation(5, kLoop);
            break;
        case kContainer:
            SetStateWord(0, Extra(extra, extraCount, 0));
            ChangeAnimation(0, kLoop);
            break;
        case kPickup:
            ConstructType25(extraCount > 0 ? extra : nullptr);
            break;
        case kDoor27:
        case kDoor50:
        case kDoor54:
            ConstructDoor(extra, extraCount);
            break;
        case kSwitch28:
        case kSwitch51:
        case kSwitch55:
            SetStateWord(0, Extra(extra, extraCount, 1));
            SetStateWord(1, 0);
            SetStateWord(2, Extra(extra, extraCount, 0));
            ChangeAnimation(StateWord(0) == 1 ? 4 : StateWord(0) == 0 ? 2 : 8, kLoop);
            break;
        case kUsePoint30:
        case kUsePoint31:
        case kUsePoint62:
            depth = 1;
            SetStateWord(0, 0);
            SetStateWord(1, 2);
            SetStateWord(2, 1);
            ChangeAnimation(StateWord(1), kLoop);
            break;
        case kBoss35:
            depth = kBackgroundDepth;
            hitPoints = 14000;
            SetStateWord(2, 0);
            SetStateWord(0, -1);
            SetStateWord(1, 100);
            SetStateWord(3, 0);
            SetStateWord(7, 1);
            ChangeAnimation(0, kLoop);
            typeValue = 35;
            AddMove(32, 2, 0);
            AddMove(33, 2, 0);
            SetHurtAnims(31);
            ConstructBossGauge(false);
            break;
        case kBossPart36:
            hitPoints = 5000;
            Hide();
            AddMove(8, 2, 0);
            AddMove(19, 2, 0);
            AddMove(17, 2, 0);
            AddMove(11, 2, 0);
            SetHurtAnims(kNoAnimation);
            break;
        case kBossMinion:
            AddMove(20, 2, 0);
            AddMove(21, 2, 0);
            break;
        case kRemote:
            depth = 10;
            SetStateWord(0, 2);
            Hide();
            AddMove(1, 4000, 0);
            ChangeAnimation(0, kLoop);
            break;
        case kHitSpark:
            depth = 5;
            ChangeAnimation(0, kOnce);
            break;
        case kRock:
            AddMove(1, 4000, 0);
            SetStateWord(0, 0);
            collisionFlags = kCollideAll;
            ChangeAnimation(0, kLoop);
            break;
        case kBoss41:
            facing = 0;
            collisionFlags = kCollideAll;
            SetStateWord(2, 1);
            SetStateWord(0, 10);
            SetStateWord(3, x);
            SetStateWord(1, 0);
            SetStateWord(6, 0);
            SetStateWord(7, 0);
            SetStateWord(8, Extra(extra, extraCount, 0));
            hitPoints = 10000;
            ChangeAnimation(15, kLoop);
            AddMove(4, 2, 0);
            AddMove(11, 2, 0);
            AddMove(20, 2, 0);
            AddMove(9, 1, 0);
            SetHurtAnims(13, 22, 13, 13, 13);
            ConstructBossGauge(false);
            break;
        case kSpikeTrap:
            ConstructType42(extraCount > 0 ? extra : nullptr);
            break;
        case kSummoningPoint: {
            SetStateWord(1, Extra(extra, extraCount, 0));
            SetStateWord(2, extraCount == 2 ? 0 : 2);
            const int32_t kind = StateWord(1);
            ChangeAnimation(kind == 0 ? 0 : kind == 1 ? 1 : 2, kLoop);
            UpdateBox();
            SetStateWord(0, 0);
            SetStateWord(1, 0);
            break;
        }
        case kBarrier: {
            const int32_t damage = extra != nullptr && extraCount != 0 ? extra[0] : 2;
            ChangeAnimation(0, kLoop);
            AddMove(1, damage, 0);
            AddMove(2, damage, 0);
            break;
        }
        case kBouncePad:
            SetStateWord(0, 0);
            ChangeAnimation(0, kLoop);
            break;
        case kCommandPoint:
            SetStateWord(0, Extra(extra, extraCount, 0));
            SetStateWord(1, 0);
            ChangeAnimation(0, kOnce);
            break;
        case kThrownShot:
            SetStateWord(0, 0);
            ChangeAnimation(7, kLoop);
            SetStateWord(1, 1);
            AddMove(6, 2, 0);
            AddMove(9, 2, 0);
            AddMove(10, 2, 0);
            AddMove(12, 2, 0);
            break;
        case kCrumblingLedge: {
            SetStateWord(2, Extra(extra, extraCount, 0));
            constexpr int32_t kAnimations[] = {0, 3, 4};
            const int32_t kind = StateWord(2);
            if (kind >= 0 && kind <= 2) ChangeAnimation(kAnimations[kind], kLoop);
            SetStateWord(0, 0);
            break;
        }
        case kHangingObject:
            ConstructType52();
            break;
        case kPot:
            depth = 0;
            SetStateWord(1, 0);
            SetStateWord(2, 500);
            SetStateWord(3, -1);
            ChangeAnimation(0, kLoop);
            AddMove(2, 20, 3);
            break;
        case kFlyingBoss:
            SetStateWord(0, 6);
            Hide();
            ChangeAnimation(0, kLoop);
            collisionFlags = kCollideAll;
            SetStateWord(2, 0);
            hitPoints = 1900;
            ConstructBossGauge(true);
            break;
        case kLaunchPad:
            SetStateWord(1, extra != nullptr && extraCount == 1 ? extra[0] : 1);
            ChangeAnimation(StateWord(1) == 1 ? 0 : 1, kLoop);
            SetStateWord(0, 0);
            collisionFlags = kCollideAll;
            gravity = kGravity;
            break;
        case kBomber:
            Hide();
            SetStateWord(0, -1);
            SetStateWord(1, 7);
            break;
        case kLargeEnemy59:
            collisionFlags = kCollideAll;
            gravity = kGravity;
            SetStateWord(0, 1);
            SetStateWord(1, 1000);
            SetStateWord(3, -1);
            SetStateWord(2, 2);
            SetStateWord(5, 2 * (world != nullptr ? world->tileWidth : CGameWorld::kTileSize));
            if (extra != nullptr && extraCount > 0) SetStateWord(4, extra[0]);
            ChangeAnimation(0, kLoop);
            hitPoints = 3000;
            typeValue = 5;
            AddMove(4, 2, 0);
            AddMove(7, 2, 0);
            SetHurtAnims(2);
            break;
        case kDispenser:
            depth = -1;
            SetStateWord(0, 0);
            break;
        case kLargeEnemy67:
            facing = 0;
            gravity = kGravity;
            collisionFlags = kCollideAll;
            SetStateWord(0, 0);
            SetStateWord(1, 2800);
            SetStateWord(2, 800);
            for (int32_t n : {4, 6, 7}) SetStateWord(n, 0);
            typeValue = 11;
            SetHurtAnims(3, 3, 3, 10, 3);
            AddMove(5, 3, 0);
            AddMove(7, 2, 0);
            AddMove(12, 6, 0);
            ChangeAnimation(6, kLoop);
            SetStateWord(10, 1);
            hitPoints = 6000;
            Hide();
            SetStateWord(12, 0);
            SetStateWord(13, extra != nullptr && extraCount > 0 ? extra[0] : -1);
            break;
        case kBossShot:
            facing = 0;
            SetStateWord(0, 0);
            SetStateWord(1, 1500);
            ChangeAnimation(1, kLoop);
            AddMove(0, 2, 0);
            break;
        case kFollowingDisplay:
            Hide();
            ChangeAnimation(0, kLoop);
            if (world != nullptr) {
                world->type69Display = 0;
                world->type69Timer = 0;
            }
            break;
        default:
            break;
    }
}
