#include "BehaviourFixture.h"

namespace playtest {
namespace {

using namespace PlayerWord;

constexpr int32_t kAnimationFrames = 200 / kDt;
constexpr int32_t kDoorRef = 3;
constexpr int32_t kDoorSpawn = 11;

class DoorTest : public BehaviourFixture {
protected:
    void SetUp() override {
        BehaviourFixture::SetUp();
        p = MakePlayer(ActorType::kPlayerFormA, 40, 200);
    }

    // A closed door in play under the level's reference kDoorRef.
    CActor* MakeDoor(int32_t type, int32_t pressesLeft, int32_t set = kMainSet) {
        CActor* door = MakeOn(set, type, 100, 200);
        door->SetStateWord(1, 0);
        door->SetStateWord(2, pressesLeft);
        door->spawnId = kDoorSpawn;
        world->actorRefs[kDoorRef] = kDoorSpawn;
        Insert(door);
        return door;
    }

    CActor* MakeSwitch(int32_t type, int8_t mode, int32_t px) {
        CActor* button = MakeOn(kMainSet, type, px, 200, {kDoorRef, mode});
        Insert(button);
        return button;
    }

    CActor* p = nullptr;
};

TEST_F(DoorTest, ADoorBuiltWithTwoBytesCountsPressesBeforeItOpens) {
    CActor* built = MakeOn(kMainSet, ActorType::kDoor27, 100, 200, {0, 3});
    EXPECT_EQ(built->StateWord(2), 2);
    CActor* door = MakeDoor(ActorType::kDoor50, 2);
    for (int32_t press = 1; press <= 3; ++press) {
        SCOPED_TRACE(press);
        CActor* button = MakeSwitch(ActorType::kSwitch51, 0, 160 + press * 40);
        p->SetPosition(button->x, p->y);
        Think(button);
        EXPECT_EQ(button->StateWord(1), 1) << "a floor switch works once";
        EXPECT_EQ(door->StateWord(1), press == 3 ? 1 : 0);
        EXPECT_EQ(door->StateWord(2), press == 3 ? 0 : 2 - press);
        EXPECT_EQ(button->IsAnimation(3), press == 3);
        Think(button);
        EXPECT_EQ(door->StateWord(2), press == 3 ? 0 : 2 - press) << "no second press";
    }
    EXPECT_TRUE(door->IsAnimation(1));
}

TEST_F(DoorTest, AClosedDoorPushesThePlayerOutOnEitherSide) {
    CActor* door = MakeDoor(ActorType::kDoor27, 0);
    // From the left: one unit clear of the door's box.
    p->SetPosition(95 * kPx, p->y);
    p->vx = 5000;
    p->ax = 7;
    Think(door);
    EXPECT_EQ(p->x, ((100 - 5) - (-5 + 10)) * kPx - 1);
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(p->ax, 0);
    // From the right: one pixel clear.
    p->SetPosition(104 * kPx, p->y);
    Think(door);
    EXPECT_EQ(p->x, (100 - 5 + 10 + 5 + 1) * kPx);
    // Left of the door the player is drawn in front, right of it behind.
    world->FlushActorLists();
    EXPECT_EQ(door->depth, 3);
    p->SetPosition(40 * kPx, p->y);
    Think(door);
    EXPECT_EQ(door->depth, 1);
}

TEST_F(DoorTest, AnOpenDoorLetsThePlayerThrough) {
    CActor* door = MakeDoor(ActorType::kDoor54, 0);
    door->SetStateWord(1, 1);
    door->ChangeAnimation(1, false);
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(door);
    p->SetPosition(98 * kPx, p->y);
    Think(door);
    EXPECT_EQ(p->x, 98 * kPx);
    EXPECT_EQ(door->depth, 1);
}

TEST_F(DoorTest, AShuttingDoorShutsWhenThePlayerReachesItsSecondBox) {
    CActor* door = MakeDoor(ActorType::kDoor27, 0, kReachingSet);
    door->SetStateWord(0, 1);
    door->SetStateWord(1, 1);
    p->SetPosition(70 * kPx, p->y);
    Think(door);
    EXPECT_EQ(door->StateWord(1), 1);
    // The second box sits 30 px above the door's origin.
    p->SetPosition(door->x, door->y - 15 * kPx);
    CActor* after = MakeOn(kMainSet, ActorType::kDoor27, 300, 200);
    after->depth = 3;
    Insert(after);
    ASSERT_EQ(world->drawList->indexOf(door, 0), 0);
    Think(door);
    EXPECT_EQ(door->StateWord(1), 0);
    EXPECT_EQ(door->depth, 4);
    // The draw list, which the world may be walking, keeps its order until
    // the frame's flush puts the door behind everything.
    EXPECT_EQ(world->drawList->indexOf(door, 0), 0);
    world->FlushActorLists();
    EXPECT_EQ(world->drawList->indexOf(door, 0), world->drawList->size() - 1);
    EXPECT_TRUE(door->IsAnimation(10));
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(door);
    EXPECT_TRUE(door->IsAnimation(0));
}

TEST_F(DoorTest, TheCentreSwitchOpensOnlyForACentredLowPlayerAndWobblesOtherwise) {
    CActor* door = MakeDoor(ActorType::kDoor27, 0);
    CActor* button = MakeSwitch(ActorType::kSwitch28, 1, 200);
    EXPECT_TRUE(button->IsAnimation(4));
    // Standing on it, off centre: it wobbles towards the player.
    p->SetPosition(button->x - 3 * kPx, p->y);
    Think(button);
    EXPECT_TRUE(button->IsAnimation(6));
    EXPECT_EQ(button->StateWord(3), 500);
    p->SetPosition(button->x + 3 * kPx, p->y);
    Think(button);
    EXPECT_TRUE(button->IsAnimation(7));
    p->SetPosition(20 * kPx, p->y);
    const int32_t frames = 500 / kDt;
    for (int32_t i = 0; i < frames; ++i) Think(button);
    EXPECT_FALSE(button->IsAnimation(4));
    Think(button);
    EXPECT_TRUE(button->IsAnimation(4));
    // Centred but standing: wobble; centred and low: the door opens.
    p->SetPosition(button->x, p->y);
    Think(button);
    EXPECT_EQ(door->StateWord(1), 0);
    p->SetStateWord(kStance, kStanceLow);
    Think(button);
    EXPECT_EQ(door->StateWord(1), 1);
    EXPECT_EQ(button->StateWord(1), 1);
    EXPECT_TRUE(button->IsAnimation(5));
}

TEST_F(DoorTest, ASwitchNamingNoDoorIsLeftAsItIs) {
    CActor* rock = MakeOn(kMainSet, ActorType::kBlock19, 100, 200);
    rock->spawnId = kDoorSpawn;
    world->actorRefs[kDoorRef] = kDoorSpawn;
    Insert(rock);
    CActor* centre = MakeSwitch(ActorType::kSwitch55, 1, 200);
    p->SetStateWord(kStance, kStanceLow);
    p->SetPosition(centre->x, p->y);
    Think(centre);
    EXPECT_EQ(centre->StateWord(1), 0);
    EXPECT_EQ(rock->StateWord(1), 0);
    // A floor switch is used up without effect.
    CActor* floor = MakeSwitch(ActorType::kSwitch28, 0, 300);
    p->SetPosition(floor->x, p->y);
    Think(floor);
    EXPECT_EQ(floor->StateWord(1), 1);
    EXPECT_FALSE(floor->IsAnimation(3));
}

TEST_F(DoorTest, AStruckSwitchCountsEveryContact) {
    CActor* door = MakeDoor(ActorType::kDoor27, 1);
    CActor* button = MakeSwitch(ActorType::kSwitch28, 5, 200);
    EXPECT_TRUE(button->IsAnimation(8));
    for (int32_t contact = 1; contact <= 2; ++contact) {
        CActor* shot = MakeOn(kStrikingSet, ActorType::kPooledShot, 196, 200);
        shot->SetStateWord(1, 0);
        Insert(shot);
        Think(button);
        world->FlushActorLists();
        EXPECT_EQ(door->StateWord(1), contact == 2 ? 1 : 0);
    }
    EXPECT_TRUE(button->IsAnimation(9));
}

TEST_F(DoorTest, AUsePointWorksOnceThenGoes) {
    CActor* point = MakeOn(kStrikingSet, ActorType::kUsePoint30, 36, 200);
    Insert(point);
    EXPECT_EQ(point->StateWord(2), 1);
    input.pressed = 0x10;
    input.held = 0x10;
    p->vx = 3000;
    Think(point);
    EXPECT_EQ(point->StateWord(0), 1);
    EXPECT_EQ(input.pressed, 0u);
    EXPECT_TRUE(p->IsAnimation(22));
    EXPECT_EQ(p->StateWord(kMode), kModeHeld);
    EXPECT_EQ(p->vx, 0);
    EXPECT_EQ(point->x, p->x);
    EXPECT_EQ(point->depth, 3);
    EXPECT_EQ(point->createFlag, 0);
    EXPECT_TRUE(point->IsAnimation(1));
    input.pressed = 0x10;
    Think(point);
    EXPECT_EQ(input.pressed, 0x10u) << "used once";
    for (int32_t i = 0; i < kAnimationFrames; ++i) Think(point);
    world->FlushActorLists();
    EXPECT_FALSE(InDrawList(point));
    EXPECT_EQ(p->StateWord(kMode), kModeFree);
}

}  // namespace
}  // namespace playtest
