#include "PlayFixture.h"
#include "SK_Presenter.h"

namespace playtest {
namespace {

using SpriteInstanceTest = PlayFixture;

CSpriteInstance::Box BodyBox() { return {kBodyX, kBodyY, kBodyW, kBodyH}; }

TEST_F(SpriteInstanceTest, BindingTakesTheFirstFramesBoxOrTheUnitBoxWhenItIsEmpty) {
    EXPECT_EQ(sprite.GetCollisionBox(), BodyBox());
    EXPECT_EQ(sprite.GetCentreX(), kBodyX + kBodyW / 2);
    EXPECT_EQ(sprite.GetCentreY(), kBodyY + kBodyH / 2);
    EXPECT_TRUE(sprite.IsVisible());
    EXPECT_EQ(sprite.GetAttackBox(), (CSpriteInstance::Box{0, 0, 0, 0}));

    CSpriteInstance empty;
    empty.SetSprite(kEmptySet);
    EXPECT_EQ(empty.GetCollisionBox(), (CSpriteInstance::Box{0, 0, 1, 1}));
    EXPECT_EQ(empty.GetCentreX(), -1);
    EXPECT_EQ(empty.GetCentreY(), -1);
}

TEST_F(SpriteInstanceTest, TheVariantLevelsUseTheSecondSpriteOfTheVariantSet) {
    uint8_t set = 0;
    uint8_t index = 0;
    CSpriteInstance plain;
    plain.SetSprite(CSpriteInstance::kVariantSet);
    plain.GetSetAndSprite(set, index);
    EXPECT_EQ(index, 0);
    world->variantFlag = 1;
    CSpriteInstance variant;
    variant.SetSprite(CSpriteInstance::kVariantSet);
    variant.GetSetAndSprite(set, index);
    EXPECT_EQ(set, CSpriteInstance::kVariantSet);
    EXPECT_EQ(index, 1);
    CSpriteInstance copy;
    copy.CopySprite(plain);
    copy.GetSetAndSprite(set, index);
    EXPECT_EQ(index, 1);
    CSpriteInstance other;
    other.SetSprite(3);
    other.GetSetAndSprite(set, index);
    EXPECT_EQ(index, 0);
}

TEST_F(SpriteInstanceTest, ARunningAnimationGoesOnUnlessForcedOrFinished) {
    sprite.SetAnimation(4, 0, false, true);
    sprite.Tick(150, false);
    EXPECT_EQ(sprite.GetFrame(), 1);
    sprite.SetAnimation(4, 0, false, false);
    EXPECT_EQ(sprite.GetFrame(), 1);
    // Another loop flag or transform restarts it.
    sprite.SetAnimation(4, 2, false, false);
    EXPECT_EQ(sprite.GetFrame(), 0);
    sprite.Tick(250, false);
    EXPECT_TRUE(sprite.IsFinished());
    sprite.SetAnimation(4, 2, false, false);
    EXPECT_FALSE(sprite.IsFinished());
    sprite.Tick(150, false);
    sprite.SetAnimation(4, 2, false, true);
    EXPECT_EQ(sprite.GetFrame(), 0);
    // Id -1 only changes the loop flag.
    sprite.Tick(150, false);
    sprite.SetAnimation(-1, 0, true, true);
    EXPECT_TRUE(sprite.GetLoop());
    EXPECT_EQ(sprite.GetAnimationId(), 4);
    EXPECT_EQ(sprite.GetFrame(), 1);
    // An animation the sprite lacks is ignored.
    AssertCounter counter;
    sprite.SetAnimation(kAnimationCount + 3, 0, false, true);
    EXPECT_EQ(sprite.GetAnimationId(), 4);
    EXPECT_TRUE(sprite.GetLoop());
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_TRUE(counter.Logged("no animation 43"));
}

TEST_F(SpriteInstanceTest, TickRefreshesTheBoxOnlyWhenFrameOrTransformChange) {
    sprite.SetAnimation(13, 0, true, true);
    // Not refreshed yet: the low pose's box comes with the first tick.
    EXPECT_EQ(sprite.GetCollisionBox(), BodyBox());
    sprite.Tick(10, false);
    EXPECT_EQ(sprite.GetCollisionBox(), BodyBox());
    sprite.Tick(10, true);
    EXPECT_EQ(sprite.GetCollisionBox(), (CSpriteInstance::Box{kLowX, kLowY, kLowW, kLowH}));
    sprite.UpdateCollisionBox();
    sprite.SetAnimation(0, 0, true, true);
    sprite.UpdateCollisionBox();
    EXPECT_EQ(sprite.GetCollisionBox(), BodyBox());
    // Same frame, same transform: the box is left alone.
    sprite.SetAnimation(13, 0, true, true);
    sprite.Tick(10, true);
    EXPECT_EQ(sprite.GetCollisionBox(), BodyBox());
    // A mirrored pose changes the box.
    sprite.SetAnimation(0, 2, true, true);
    sprite.Tick(10, true);
    EXPECT_EQ(sprite.GetCollisionBox(), (CSpriteInstance::Box{-kBodyX - kBodyW, kBodyY, kBodyW, kBodyH}));
}

TEST_F(SpriteInstanceTest, BoxesThatOnlyTouchOverlapAndOnlyBothSidesBelowOneMakeABoxEmpty) {
    CSpriteInstance a;
    CSpriteInstance b;
    a.SetSprite(kMainSet);
    b.SetSprite(kMainSet);
    a.SetPosition(0, 0);
    b.SetPosition(kBodyW, 0);
    EXPECT_TRUE(CSpriteInstance::Overlaps(a, b));
    b.SetPosition(kBodyW + 1, 0);
    EXPECT_FALSE(CSpriteInstance::Overlaps(a, b));
    b.SetPosition(0, kBodyH);
    EXPECT_TRUE(CSpriteInstance::Overlaps(a, b));
    b.SetPosition(0, -kBodyH - 1);
    EXPECT_FALSE(CSpriteInstance::Overlaps(a, b));

    // A rectangle placed at b's position.
    b.SetPosition(100, 100);
    a.SetPosition(100 - kBodyX + 0, 100 - kBodyY);  // a's box starts where b's origin is
    EXPECT_TRUE(CSpriteInstance::OverlapsRect(a, b, {0, 0, 0, 5}));
    EXPECT_FALSE(CSpriteInstance::OverlapsRect(a, b, {0, 0, 0, 0}));
    EXPECT_FALSE(CSpriteInstance::OverlapsRect(a, b, {-2, 0, 1, 0}));
}

TEST_F(SpriteInstanceTest, AttackOverlapsReadsTheBoxOfTheKindFromTheAttackersPose) {
    CSpriteInstance victim;
    CSpriteInstance attacker;
    victim.SetSprite(kMainSet);
    attacker.SetSprite(kMainSet);
    attacker.SetPosition(0, 0);
    // The victim's box starts at the far edge of the attack box.
    victim.SetPosition(kAttackX + kAttackW - kBodyX, 0);
    EXPECT_FALSE(CSpriteInstance::AttackOverlaps(victim, attacker, 1));  // standing pose: no attack box
    attacker.SetAnimation(2, 0, true, true);
    EXPECT_TRUE(CSpriteInstance::AttackOverlaps(victim, attacker, 1));
    EXPECT_EQ(attacker.GetAttackBox(), (CSpriteInstance::Box{kAttackX, kAttackY, kAttackW, kAttackH}));
    EXPECT_FALSE(CSpriteInstance::AttackOverlaps(victim, attacker, 0));
    victim.SetPosition(kAttackX + kAttackW - kBodyX + 1, 0);
    EXPECT_FALSE(CSpriteInstance::AttackOverlaps(victim, attacker, 1));
    // Kind 2 reads the reach box, any other kind the collision box.
    attacker.SetAnimation(30, 0, true, true);
    victim.SetPosition(kReachX - kBodyX, kReachY - kBodyY - kBodyH);
    EXPECT_TRUE(CSpriteInstance::AttackOverlaps(victim, attacker, 2));
    EXPECT_EQ(attacker.GetAttackBox(), (CSpriteInstance::Box{kReachX, kReachY, kReachW, kReachH}));
    EXPECT_FALSE(CSpriteInstance::AttackOverlaps(victim, attacker, 1));
    EXPECT_EQ(attacker.GetAttackBox(), (CSpriteInstance::Box{0, 0, 0, 0}));
    victim.SetPosition(0, 0);
    EXPECT_TRUE(CSpriteInstance::AttackOverlaps(victim, attacker, 9));
}

TEST_F(SpriteInstanceTest, OffScreenCountsTouchingAsOnScreen) {
    // View at (0, 0), 240 x 320, margin 10: the rectangle (-10, -10, 260, 340).
    sprite.SetPosition(250 - kBodyX, 100);
    EXPECT_FALSE(CSpriteInstance::IsOffScreen(sprite, 0, 0, 10, 10));
    sprite.SetPosition(251 - kBodyX, 100);
    EXPECT_TRUE(CSpriteInstance::IsOffScreen(sprite, 0, 0, 10, 10));
    sprite.SetPosition(-10 - kBodyW - kBodyX, 100);
    EXPECT_FALSE(CSpriteInstance::IsOffScreen(sprite, 0, 0, 10, 10));
    sprite.SetPosition(-11 - kBodyW - kBodyX, 100);
    EXPECT_TRUE(CSpriteInstance::IsOffScreen(sprite, 0, 0, 10, 10));
    sprite.SetPosition(100, 330 - kBodyY);
    EXPECT_FALSE(CSpriteInstance::IsOffScreen(sprite, 0, 0, 10, 10));
    // A view with no size at all is off screen for everything.
    world->viewWidth = world->viewHeight = 0;
    sprite.SetPosition(0, 0);
    EXPECT_TRUE(CSpriteInstance::IsOffScreen(sprite, 0, 0, 0, 0));
}

TEST_F(SpriteInstanceTest, AnUnboundInstanceDrawsAndFindsNothing) {
    CSpriteInstance unbound;
    unbound.Tick(100, true);
    unbound.SetAnimation(3, 0, true, true);
    unbound.UpdateAttackBox(2);
    unbound.Paint(g, 0, 0);
    EXPECT_TRUE(unbound.IsFinished());
    EXPECT_EQ(unbound.GetCollisionBox(), (CSpriteInstance::Box{0, 0, 1, 1}));
    EXPECT_EQ(unbound.GetAttackBox(), (CSpriteInstance::Box{0, 0, 0, 0}));
}

TEST_F(SpriteInstanceTest, PaintDrawsOnlyWhileVisible) {
    ClearScreen(0);
    sprite.Paint(g, 20, 20);
    EXPECT_EQ(Pixel(19, 17), 0x30A050u);
    ClearScreen(0);
    sprite.SetVisible(false);
    sprite.Paint(g, 20, 20);
    EXPECT_EQ(Pixel(19, 17), 0u);
}

}  // namespace
}  // namespace playtest
