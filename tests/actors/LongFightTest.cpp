#include <algorithm>
#include <random>

#include "EnemyFixture.h"

namespace playtest {
namespace {

// A long fight against every enemy and boss at once: the player jumps about
// the view at random (seeded) and strikes; every other actor runs whole
// frames with physics; the script's waits are answered now and then. The
// lists the world walks every frame stay bounded, the fight makes progress
// and nothing touches a deleted actor (the sanitizers watch).
class LongFightTest : public EnemyFixture {
protected:
    static constexpr int32_t kFrames = 6000;
    static constexpr int32_t kFloorRow = 10;
    static constexpr int32_t kGround = kFloorRow * 24;

    void SetUp() override {
        EnemyFixture::SetUp();
        Floor(kFloorRow);
        world->bossGaugeSprite = SpriteOn(kStrikingSet);
        p = MakePlayer(ActorType::kPlayerFormA, 120, kGround);
        p->SetStateWord(PlayerWord::kPower, 1);  // double damage, immune
    }

    CActor* Enemy(int32_t set, int32_t type, int32_t px, std::vector<int8_t> extra = {}) {
        CActor* a = MakeOn(set, type, px, kGround, std::move(extra));
        Insert(a);
        return a;
    }

    void Populate() {
        Enemy(kStrikingSet, ActorType::kLargeEnemy1, 60)->OnScriptSignal();
        Enemy(kMainSet, ActorType::kLargeEnemy3, 180, {1});
        Enemy(kMainSet, ActorType::kLargeEnemy3, 200, {1, 0});
        Enemy(kReachingSet, ActorType::kLargeEnemy59, 150);
        CActor* e67 = Enemy(kStrikingSet, ActorType::kLargeEnemy67, 90, {5});
        e67->OnScriptSignal();
        for (int32_t x : {40, 100, 160}) {
            CActor* mine = Enemy(kMainSet, ActorType::kFlyingMine, x);
            mine->SetPosition(mine->x, (kGround - 40) * kPx);
            world->collisionList->addElement(mine);
        }
        Enemy(kMainSet, ActorType::kPatrolFlyer, 120)->OnScriptSignal();
        Enemy(kMainSet, ActorType::kBackgroundRunner, 0);
        for (int8_t order : {0, 1, 2, 3}) Enemy(kMainSet, ActorType::kCommandPoint, 20 + 50 * order, {order});
        Enemy(kMainSet, ActorType::kBomber, 0)->OnScriptSignal();
        world->type56Signal = 1;
        Enemy(kMainSet, ActorType::kFlyingBoss, 0);
        Enemy(kStrikingSet, ActorType::kBoss41, 220, {0})->OnScriptSignal();
        CActor* boss = Enemy(kStrikingSet, ActorType::kBoss35, 120);
        boss->OnScriptSignal();
        Enemy(kStrikingSet, ActorType::kBossPart36, 120);
    }

    // The player's turn: a jump to a random spot, a random move or stance.
    void PlayerTurn(std::mt19937& rng) {
        std::uniform_int_distribution<int32_t> pick(0, 99);
        const int32_t roll = pick(rng);
        if (roll < 20) p->SetPosition((10 + pick(rng) * 2) * kPx, kGround * kPx);
        if (roll < 50) {
            static const int32_t kMoves[] = {0, 2, 3, 4, 5};
            p->SetAnimation(kMoves[pick(rng) % 5], false);
        }
        p->facing = pick(rng) % 2;
        p->SetStateWord(PlayerWord::kStance, roll > 95 ? 1 : 0);
        p->vx = (pick(rng) - 50) * 4 * kPx;
        p->SetStateWord(PlayerWord::kMode, 0);
        p->SetStateWord(PlayerWord::kHurtRecovery, 0);
        if (p->hitPoints < 6) p->hitPoints = 18;
        world->playerDead = 0;
        input.pressed = roll > 90 ? 0x8010 : 0;
    }

    void Frame() {
        std::vector<CActor*> actors;
        for (int32_t i = 0; i < world->drawList->size(); ++i) actors.push_back(world->drawList->elementAt(i));
        for (CActor* a : actors) {
            if (a != p) a->Update(kDt);
        }
        world->FlushActorLists();
    }

    CActor* p = nullptr;
};

TEST_F(LongFightTest, ThousandsOfFramesKeepTheListsBoundedAndTheFightMovesOn) {
    Populate();
    const int32_t startCount = world->drawList->size();
    const int32_t startHitPoints = [&] {
        int32_t sum = 0;
        for (int32_t i = 0; i < world->drawList->size(); ++i) {
            sum += std::max(0, world->drawList->elementAt(i)->hitPoints);
        }
        return sum;
    }();
    std::mt19937 rng(23);
    int32_t largestDraw = 0;
    int32_t largestCollision = 0;
    int32_t released = 0;
    for (int32_t frame = 0; frame < kFrames; ++frame) {
        PlayerTurn(rng);
        if (world->waitingCommand == nullptr && frame % 150 == 0) {
            if (command && command->done == CScriptCommand::kDone) ++released;
            Park();
        }
        Frame();
        largestDraw = std::max(largestDraw, world->drawList->size());
        largestCollision = std::max(largestCollision, world->collisionList->size());
        ASSERT_EQ(world->pendingAdd->size(), 0);
        ASSERT_EQ(world->pendingRemove->size(), 0);
        ASSERT_LE(world->drawList->size(), 120) << "frame " << frame;
    }
    EXPECT_LE(largestCollision, 40);
    EXPECT_LE(world->projectilePool->size(), 40);
    // The fight went somewhere: enemies fell and the rest lost hit points.
    int32_t endHitPoints = 0;
    int32_t enemiesLeft = 0;
    for (int32_t i = 0; i < world->drawList->size(); ++i) {
        const CActor* a = world->drawList->elementAt(i);
        endHitPoints += std::max(0, a->hitPoints);
        if (ActorType::IsLargeEnemy(a->type) || a->type == ActorType::kFlyingMine) ++enemiesLeft;
    }
    EXPECT_LT(endHitPoints, startHitPoints);
    EXPECT_LT(enemiesLeft, 8);
    EXPECT_GT(released, 0);
    EXPECT_GT(largestDraw, startCount);
    // Made actors stay owned until the level is unloaded: at most a few a
    // second of play.
    EXPECT_LT(world->ownedList->size(), kFrames / 4);
}

}  // namespace
}  // namespace playtest
