#ifndef CACTOR_H
#define CACTOR_H

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "ActorTypes.h"

class CGameWorld;
class CSpriteInstance;
class JGraphics;

// One entity of a level: a plain record told apart by its type, with its
// animated sprite, its per-type state words, its attack moves and the
// shared combat and removal routines. Positions are 22.10 fixed point and
// speeds units per second (ActorUnits.h). The world owns every actor and
// deletes it; the world's ForgetActor clears every pointer to it first.
class CActor {
public:
    // Anchor bits of SetPositionAnchored.
    static constexpr int32_t kAnchorCentreX = 0x01;
    static constexpr int32_t kAnchorCentreY = 0x02;
    static constexpr int32_t kAnchorLeft = 0x04;
    static constexpr int32_t kAnchorRight = 0x08;
    static constexpr int32_t kAnchorTop = 0x10;
    static constexpr int32_t kAnchorBottom = 0x20;
    // Collision flags.
    static constexpr int32_t kCollideHorizontal = 1;
    static constexpr int32_t kCollideLanding = 2;
    static constexpr int32_t kCollideSolid = 4;
    static constexpr int32_t kCollideAll = 7;

    static constexpr int32_t kBackgroundDepth = -10;
    static constexpr int32_t kPlayerDepth = 2;
    static constexpr int32_t kFallingTargetVy = 409600;
    static constexpr int32_t kGravity = 768 << 10;
    static constexpr int32_t kHurtAnimCount = 5;
    static constexpr int8_t kNoAnimation = -1;
    // Checkpoint copy: fixed header words, then the state words.
    static constexpr int32_t kCheckpointHeader = 16;
    // Hit points of a pooled shot that is free for the pool.
    static constexpr int32_t kPoolFree = -5;

    struct AttackMove {
        uint8_t animation;
        int32_t damage;
        uint8_t reaction;
    };

    CActor(const CSpriteInstance* spriteToCopy, int32_t type, uint8_t flag, const int8_t* extra, int32_t x, int32_t y,
           int32_t anchor, int32_t extraCount);
    ~CActor();
    CActor(const CActor&) = delete;
    CActor& operator=(const CActor&) = delete;

    // Accessors on the sprite (fields only when there is none).
    int32_t GetWidth() const;
    int32_t GetHeight() const;
    void SetPosition(int32_t unitsX, int32_t unitsY);
    void SetPositionAnchored(int32_t px, int32_t py, int32_t anchor);
    bool IsAnimationDone() const;
    bool IsAnimation(int32_t id) const;
    int32_t GetAnimationId() const;
    void ApplyFacing();
    int32_t FacingTransform() const;
    void SetAnimation(int32_t id, bool loop);
    void ChangeAnimation(int32_t id, bool loop);
    static CGameWorld* GetWorld();

    // State words by number, checked against the type's count: a word the
    // type lacks reads 0 and takes no write.
    int32_t StateWord(int32_t n) const;
    void SetStateWord(int32_t n, int32_t value);
    int32_t StateCount() const { return static_cast<int32_t>(state.size()); }
    int32_t MoveCount() const { return static_cast<int32_t>(moves.size()); }
    // The move whose animation is playing, or null.
    const AttackMove* CurrentMove() const;

    // Shared combat.
    bool CollideWithActors();
    int32_t OnHit(CActor* attacker);
    bool AttackPlayer(CActor* attacker);
    bool IsOutOfRange() const;
    void OnScriptSignal();
    void Remove(bool destroyed);
    void SaveState();
    void RestoreState();
    void SpawnHitEffect(CActor* victim);
    void SetDepth(int32_t d);
    void UpdateType69(int32_t dt);
    void StartType69Display();

    // The actor's frame: animation, motion and tile collision, then its
    // behaviour (CActor_Update.cpp, CActor_Physics.cpp).
    void Update(int32_t dt);
    // Draws the actor, offset by the camera (CActor_Paint.cpp).
    void Paint(JGraphics& g, int32_t offsetX, int32_t offsetY);

    // Runs the behaviour of the actor's type, once a frame after its physics.
    void UpdateBehaviour(int32_t dt);
    // Behaviour routines by type; each is called on the actor itself once a
    // frame by UpdateBehaviour.
    void UpdatePlayerFormA(int32_t dt);
    void UpdatePlayerFormB(int32_t dt);
    void UpdateType1(int32_t dt);
    void UpdateType3(int32_t dt);
    void UpdateType6(int32_t dt);
    void UpdateType8(int32_t dt);
    void UpdateType9(int32_t dt);
    void UpdateType12(int32_t dt);
    void UpdateType14(int32_t dt);
    void UpdateType17(int32_t dt);
    void UpdateType19(int32_t dt);
    void UpdateType22(int32_t dt);
    void UpdateType24(int32_t dt);
    void UpdateType25(int32_t dt);
    void UpdateType27(int32_t dt);
    void UpdateType28(int32_t dt);
    void UpdateType30(int32_t dt);
    void UpdateType35(int32_t dt);
    void UpdateType36(int32_t dt);
    void UpdateType37(int32_t dt);
    void UpdateType38(int32_t dt);
    void UpdateType39(int32_t dt);
    void UpdateType40(int32_t dt);
    void UpdateType41(int32_t dt);
    void UpdateType42(int32_t dt);
    void UpdateType43(int32_t dt);
    void UpdateType44(int32_t dt);
    void UpdateType45(int32_t dt);
    void UpdateType46(int32_t dt);
    void UpdateType47(int32_t dt);
    void UpdateType48(int32_t dt);
    void UpdateType49(int32_t dt);
    void UpdateType52(int32_t dt);
    void UpdateType53(int32_t dt);
    void UpdateType56(int32_t dt);
    void UpdateType57(int32_t dt);
    void UpdateType58(int32_t dt);
    void UpdateType59(int32_t dt);
    void UpdateType64(int32_t dt);
    void UpdateType67(int32_t dt);
    void UpdateType68(int32_t dt);

    // Routines on the world's player, whichever actor calls them; nothing
    // without a player.
    static void SetPlayerTimedMode(bool on);
    static void ResetPlayerAttack();
    static void SetPlayerState8(int32_t value);
    static void SetPlayerTarget(int32_t animation, bool loop, int32_t value);
    static void AwardPlayer(int32_t kind, int32_t amount);
    static void CheckPlayerTiles(CActor* player, int32_t topRow, int32_t bottomRow, int32_t leftCol, int32_t rightCol,
                                 int32_t rowAbove, int32_t rowBelow, int32_t outerLeftCol, int32_t outerRightCol);

    int32_t spawnId = -1;
    int32_t type = ActorType::kDecoration;
    std::unique_ptr<CSpriteInstance> sprite;
    int32_t facing = 1;
    int32_t depth = 0;
    uint8_t onActor = 0;
    int32_t createFlag = 0;
    uint8_t onGround = 1;
    uint8_t hardLanding = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t prevX = 0;
    int32_t prevY = 0;
    int32_t vx = 0;
    int32_t vy = 0;
    int32_t gravity = 0;
    int32_t ax = 0;
    int32_t ay = 0;
    int32_t targetVx = 0;
    int32_t targetVy = kFallingTargetVy;
    int32_t collisionFlags = 0;
    uint8_t timedMode = 0;
    // Empty for types without hurt animations.
    std::vector<int8_t> hurtAnims;
    std::vector<AttackMove> moves;
    int32_t typeValue = 0;
    int32_t hitPoints = 0;
    std::vector<int32_t> state;
    CActor* link = nullptr;
    int32_t hitDir = 0;
    std::vector<int32_t> checkpointState;
    std::array<int32_t, 4> probe = {0, 0, 0, 0};

private:
    // Construction, one block per type.
    void ConstructDecoration(const int8_t* extra, int32_t extraCount);
    void ConstructType(const int8_t* extra, int32_t extraCount);
    void ConstructPlayerFormA();
    void ConstructPlayerFormB();
    void ConstructPlayerHitPoints();
    void CopyLowStanceBox(int32_t animation);
    void ConstructType3(const int8_t* extra, int32_t extraCount);
    void ConstructType12(const int8_t* extra, int32_t extraCount);
    void ConstructType25(const int8_t* extra);
    void ConstructDoor(const int8_t* extra, int32_t extraCount);
    void ConstructType42(const int8_t* extra);
    void ConstructType52();
    void ConstructBossGauge(bool updateBox);
    void SetHurtAnims(int8_t a0, int8_t a1, int8_t a2, int8_t a3, int8_t a4);
    void SetHurtAnims(int8_t all) { SetHurtAnims(all, all, all, all, all); }
    void AddMove(uint8_t animation, int32_t damage, uint8_t reaction) { moves.push_back({animation, damage, reaction}); }
    void Hide();
    void UpdateBox();

    // The parts of Update.
    void UpdateFreeMove();
    void UpdatePhysics(int32_t dt);
    void LandOnCarriers(bool platforms);
    void CollideWithTiles(bool platforms, bool vertical);
    void UpdateSpeeds(int32_t dt);
    // The parts of Paint.
    void PaintPlayer(JGraphics& g, int32_t sx, int32_t sy);
    void PaintHealthBar(JGraphics& g, int32_t sx, int32_t sy);
    void PaintBossGauge(JGraphics& g);
    bool IsBlinkedOut() const;

    // Type 4, the one behaviour the dispatcher carries itself.
    void UpdateType4Trigger();
    void StopPlayerAtTrigger(CGameWorld& world, CActor& p);

    // The parts of OnHit by attacker.
    int32_t HitByPlayer(CActor* attacker);
    void HitByPooledShot(CActor* shot);
    void HitByStrike(CActor* strike);
    void PlayHurt(int32_t reaction);
    void TurnFrom(int32_t direction);
    bool CollideWith(CActor* other);
};

#endif
