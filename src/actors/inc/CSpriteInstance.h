#ifndef CSPRITEINSTANCE_H
#define CSPRITEINSTANCE_H

#include <array>
#include <cstdint>
#include <memory>

class JGraphics;
class SK_Presenter;

// The animated sprite of an actor (and of a few world objects): one
// presenter of the sprite module placed at a pixel position, with the
// collision box and the attack box of the current frame. A box is empty only
// when both its width and height are below 1; every box test counts touching
// edges as overlap. An instance that is not bound, or whose sprite could not
// be prepared, draws nothing and keeps the box (0, 0, 1, 1).
class CSpriteInstance {
public:
    static constexpr int32_t kBoxX = 0;
    static constexpr int32_t kBoxY = 1;
    static constexpr int32_t kBoxWidth = 2;
    static constexpr int32_t kBoxHeight = 3;
    using Box = std::array<int32_t, 4>;

    // Sprite set whose second sprite stands in for the first in the variant
    // levels.
    static constexpr int32_t kVariantSet = 12;
    static constexpr int32_t kVariantSprite = 1;
    // Attack-box kinds of AttackOverlaps and the pose attributes they read.
    static constexpr int32_t kNoAttack = 0;
    static constexpr int32_t kFirstAttackKind = 1;
    static constexpr int32_t kLastAttackKind = 3;
    static constexpr int32_t kAttackAttributeBase = 1;
    // Time the binding gives the preparation queue per step.
    static constexpr uint32_t kPreparationBudgetMs = 1000;
    // GetFrameRect's coordinate for a frame without parts.
    static constexpr int32_t kNoParts = 32767;

    CSpriteInstance();
    ~CSpriteInstance();
    CSpriteInstance(const CSpriteInstance&) = delete;
    CSpriteInstance& operator=(const CSpriteInstance&) = delete;

    // Binds to sprite 0 of a set (sprite 1 of the variant set in variant
    // levels), preparing it first when needed.
    void SetSprite(int32_t set);
    // Binds to the set of another instance, by the same sprite rule.
    void CopySprite(const CSpriteInstance& other);
    void ReleasePresenter();

    void Tick(int32_t dt, bool boxUpdate);
    // Without force a running animation with the same id, transform and loop
    // flag goes on; id -1 changes only the loop flag.
    void SetAnimation(int32_t id, int32_t transform, bool loop, bool force);
    void UpdateCollisionBox();
    void UpdateAttackBox(int32_t attribute);

    void Paint(JGraphics& g, int32_t x, int32_t y);
    bool IsVisible() const { return visible != 0; }
    void SetVisible(bool on) { visible = on ? 1 : 0; }
    void SetPosition(int32_t px, int32_t py) {
        x = px;
        y = py;
    }
    int32_t GetX() const { return x; }
    int32_t GetY() const { return y; }
    int32_t GetScreenX() const { return x + centreX; }
    int32_t GetScreenY() const { return y + centreY; }
    int32_t GetCentreX() const { return centreX; }
    int32_t GetCentreY() const { return centreY; }
    int32_t GetWidth() const { return collisionBox[kBoxWidth]; }
    int32_t GetHeight() const { return collisionBox[kBoxHeight]; }
    int32_t GetBoxX() const { return collisionBox[kBoxX]; }
    int32_t GetBoxY() const { return collisionBox[kBoxY]; }
    int32_t GetBoxWidth() const { return collisionBox[kBoxWidth]; }
    int32_t GetBoxHeight() const { return collisionBox[kBoxHeight]; }
    int32_t GetAttackX() const { return attackBox[kBoxX]; }
    int32_t GetAttackY() const { return attackBox[kBoxY]; }
    int32_t GetAttackWidth() const { return attackBox[kBoxWidth]; }
    int32_t GetAttackHeight() const { return attackBox[kBoxHeight]; }
    const Box& GetCollisionBox() const { return collisionBox; }
    const Box& GetAttackBox() const { return attackBox; }
    int32_t GetTransform() const;
    bool GetLoop() const { return loop != 0; }

    // The playing animation (0 without a presenter), its state and frame.
    int32_t GetAnimationId() const;
    bool IsFinished() const;
    int32_t GetFrame() const;
    void SetTransform(int32_t transform);
    SK_Presenter* GetPresenter() const { return presenter.get(); }
    // The presenter's set and sprite; false when there is no presenter.
    bool GetSetAndSprite(uint8_t& set, uint8_t& sprite) const;

    static bool Overlaps(const CSpriteInstance& a, const CSpriteInstance& b);
    static bool OverlapsRect(const CSpriteInstance& a, const CSpriteInstance& b, const Box& rect);
    static bool AttackOverlaps(const CSpriteInstance& a, CSpriteInstance& b, int32_t kind);
    static bool IsOffScreen(const CSpriteInstance& s, int32_t viewX, int32_t viewY, int32_t marginX, int32_t marginY);

private:
    static int32_t SpriteOf(int32_t set);
    bool HasAnimation(int32_t id) const;
    void Bind(int32_t set, int32_t sprite);
    void SetCollisionBox(const int32_t* box);
    static bool IsEmptyBox(const Box& box);
    // Boxes placed at their owners' positions, inclusive edges.
    static bool PlacedOverlap(int32_t ax, int32_t ay, const Box& a, int32_t bx, int32_t by, const Box& b);

    std::unique_ptr<SK_Presenter> presenter;
    int32_t centreX = 0;
    int32_t centreY = 0;
    int32_t x = 0;
    int32_t y = 0;
    uint8_t loop = 0;
    int32_t lastFrame = -1;
    int32_t lastTransform = 0;
    uint8_t visible = 1;
    Box collisionBox = {0, 0, 1, 1};
    Box attackBox = {0, 0, 0, 0};
};

#endif
