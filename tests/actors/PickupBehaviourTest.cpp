#include "BehaviourFixture.h"

namespace playtest {
namespace {

using namespace PlayerWord;

constexpr uint32_t kActionKey = 0x10;
constexpr int32_t kAnimationFrames = 200 / kDt;
// Frames before a new pickup can be taken: its 500 ms run down while
// positive, then the next frame collects.
constexpr int32_t kCollectFrame = (500 + kDt - 1) / kDt + 1;

class PickupTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 100, 200);
        world->SetMaxHitPoints(18);
    }

    // The pickup that a container or dispenser dropped: the newest owned
    // actor of the type.
    CActor* NewestPickup() const {
        for (int32_t i = world->ownedList->size() - 1; i >= 0; --i) {
            CActor* a = world->ownedList->elementAt(i);
            if (a->type == ActorType::kPickup) return a;
        }
        return nullptr;
    }

    CActor* p = nullptr;
};

TEST_F(PickupTest, APickupIsTakenOnlyOnceItsFirst500MsArePast) {
    CActor* pickup = MakeOn(kMainSet, ActorType::kPickup, 100, 200, {1});
    p->SetStateWord(kReserve, 0);
    pickup->vy = -5000;
    pickup->gravity = 77;
    for (int32_t i = 1; i < kCollectFrame; ++i) Think(pickup);
    EXPECT_EQ(pickup->StateWord(2), 0);
    EXPECT_EQ(pickup->vy, -5000) << "still hopping";
    Think(pickup);
    EXPECT_EQ(pickup->StateWord(2), 1);
    EXPECT_EQ(pickup->vy, 0);
    EXPECT_EQ(pickup->gravity, 0);
    EXPECT_EQ(p->StateWord(kReserve), 1);
    EXPECT_TRUE(pickup->IsAnimation(1));
    Insert(pickup);
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(pickup);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(pickup));
}

TEST_F(PickupTest, EachKindAwardsItsRewardUpToItsCap) {
    struct Case {
        int8_t kind;
        int32_t amount;
        int32_t animation;
    };
    const Case cases[] = {{0, 100, 3}, {0, 2, 3}, {1, 3, 1}, {2, 0, 5}, {3, 0, 7}, {4, 50, 10}, {4, 900, 10}, {7, 1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " " << c.amount);
        p->hitPoints = 10;
        p->SetStateWord(kReserve, 2);
        p->SetStateWord(kReserveMax, 4);
        p->SetStateWord(kGauge, 650);
        const int32_t collected = world->collectedCount;
        CActor* pickup = MakeOn(kMainSet, ActorType::kPickup, 100, 200);
        pickup->SetStateWord(0, c.kind);
        pickup->SetStateWord(1, c.amount);
        pickup->SetStateWord(3, 0);
        const int32_t before = pickup->GetAnimationId();
        Think(pickup);
        EXPECT_EQ(p->hitPoints, c.kind == 0 ? std::min(10 + c.amount, 18) : 10);
        EXPECT_EQ(p->StateWord(kReserve), c.kind == 1 ? std::min(2 + c.amount, 4) : c.kind == 3 ? 4 : 2);
        EXPECT_EQ(p->StateWord(kGauge), c.kind == 4 ? std::min(650 + c.amount, 700) : 650);
        EXPECT_EQ(world->collectedCount, collected + (c.kind == 2 ? 1 : 0));
        EXPECT_EQ(pickup->GetAnimationId(), c.animation >= 0 ? c.animation : before);
    }
}

TEST_F(PickupTest, AStruckContainerOpensAndDropsThePickupItHolds) {
    struct Case {
        int8_t content;
        int32_t kind;
        int32_t amount;
        int32_t animation;
    };
    const Case cases[] = {{0, 0, 18 / 3, 2}, {1, 1, 1, 0}, {2, 2, 5, 4}, {3, 3, 1, 4}, {4, 0, 18 / 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.content));
        CActor* box = MakeOn(kMainSet, ActorType::kContainer, 104, 200, {c.content});
        Insert(box);
        p->SetAnimation(2, false);  // a blow whose attack box reaches the box
        Think(box);
        EXPECT_TRUE(box->IsAnimation(1));
        p->SetAnimation(0, true);
        for (int32_t i = 0; i < kAnimationFrames; ++i) Think(box);
        CActor* pickup = NewestPickup();
        ASSERT_NE(pickup, nullptr);
        EXPECT_EQ(pickup->StateWord(0), c.kind);
        EXPECT_EQ(pickup->StateWord(1), c.amount);
        EXPECT_EQ(pickup->GetAnimationId(), c.animation);
        EXPECT_EQ(pickup->vy, -160 * kPx);
        EXPECT_EQ(pickup->collisionFlags, 7);
        EXPECT_EQ(pickup->StateWord(3), 500);
        EXPECT_TRUE(box->IsAnimation(2));
        for (int32_t i = 0; i < kAnimationFrames; ++i) Think(box);
        world->FlushActorLists();
        EXPECT_FALSE(InDrawList(box));
        EXPECT_TRUE(InDrawList(pickup));
        world->QueueRemoveActor(pickup);
        world->FlushActorLists();
    }
}

TEST_F(PickupTest, TheUseActionStopsAGroundedFreePlayerInControlOnly) {
    struct Case {
        bool onGround;
        int32_t mode;
        uint8_t control;
        bool used;
    };
    const Case cases[] = {{true, 0, 1, true}, {false, 0, 1, false}, {true, 3, 1, false}, {true, 0, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.onGround << c.mode << int(c.control));
        CActor* box = MakeOn(kMainSet, ActorType::kContainer, 100, 200, {0});
        p->SetAnimation(0, true);
        p->onGround = c.onGround ? 1 : 0;
        p->SetStateWord(kMode, c.mode);
        p->vx = 1000;
        world->playerControl = c.control;
        input.pressed = kActionKey;
        input.held = kActionKey;
        Think(box);
        EXPECT_EQ(input.pressed == 0, c.used);
        EXPECT_EQ(p->IsAnimation(20), c.used);
        if (c.used) {
            EXPECT_EQ(p->StateWord(kMode), kModeHeld);
            EXPECT_EQ(p->vx, 0);
            EXPECT_EQ(p->StateWord(kFollowAnimation), 0);
            EXPECT_EQ(input.held, 0u);
        }
    }
}

TEST_F(PickupTest, TheDispenserRestsRefillsAndAClaimedPickupShortensItsRest) {
    CActor* dispenser = MakeOn(kMainSet, ActorType::kDispenser, 104, 200);
    Insert(dispenser);
    p->SetAnimation(2, false);
    Think(dispenser);
    EXPECT_TRUE(dispenser->IsAnimation(1));
    p->SetAnimation(0, true);
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(dispenser);
    CActor* pickup = NewestPickup();
    ASSERT_NE(pickup, nullptr);
    EXPECT_EQ(pickup->link, dispenser);
    EXPECT_EQ(pickup->StateWord(0), 3);
    EXPECT_EQ(pickup->StateWord(1), 0);
    EXPECT_TRUE(pickup->IsAnimation(6));
    EXPECT_EQ(dispenser->StateWord(0), 1);
    EXPECT_EQ(dispenser->StateWord(1), 8000);
    EXPECT_TRUE(dispenser->IsAnimation(2));
    // The player takes the pickup after 1000 ms of the rest.
    for (int32_t t = 0; t < 1000; t += kDt) Think(dispenser);
    EXPECT_EQ(dispenser->StateWord(1), 7000);
    p->SetStateWord(kReserve, 0);
    pickup->SetStateWord(3, 0);
    pickup->SetPosition(p->x, p->y);
    Think(pickup);
    EXPECT_EQ(p->StateWord(kReserve), p->StateWord(kReserveMax)) << "a full reserve, whatever the amount";
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(pickup);
    EXPECT_EQ(dispenser->StateWord(0), 2);
    // From now on the rest runs down twice a frame.
    Think(dispenser);
    EXPECT_EQ(dispenser->StateWord(1), 7000 - 2 * kDt);
    int32_t frames = 0;
    while (!dispenser->IsAnimation(3) && frames < 400) {
        Think(dispenser);
        ++frames;
    }
    const int32_t rest = 7000 - 2 * kDt;
    EXPECT_EQ(frames, (rest + 2 * kDt - 1) / (2 * kDt));
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(dispenser);
    EXPECT_EQ(dispenser->StateWord(0), 0);
    EXPECT_TRUE(dispenser->IsAnimation(0));
}

}  // namespace
}  // namespace playtest
