#ifndef SK_PRESENTER_H
#define SK_PRESENTER_H

#include "CRect.h"
#include "EngineTypes.h"

class SK_Home;
struct SK_Animation;

// Plays one animation of one sprite: steps its frames by their durations,
// forwards or backwards, looping or stopping at the end, and walks the
// parts of the current picture to draw, hit-test, measure or find boxes.
// It reads all data from the sprite home at each call and keeps no pointer
// into it, so a set unloaded under it only makes it not ready; while not
// ready it draws nothing, ticks nothing and finds nothing.
class SK_Presenter {
public:
    // Unset box value; a box whose height still has it was not found.
    static constexpr int32_t kBoxUnset = 0x7FFFFFFF;
    static constexpr int32_t kBoxValues = 4;
    // Attribute of the body box that ComputeMainBox finds.
    static constexpr uint8_t kMainBoxAttribute = 1;
    // Transform bits.
    static constexpr uint8_t kMirrorVertical = 1;
    static constexpr uint8_t kMirrorHorizontal = 2;
    static constexpr uint8_t kSwapAxes = 4;
    static constexpr uint8_t kMaxTransform = 7;

    SK_Presenter() { Reset(); }
    SK_Presenter(uint32_t set, uint32_t sprite);

    void Reset();
    // The home is loaded, the sprite prepared and an animation it has set.
    bool IsReady() const;

    void SetSprite(uint32_t set, uint32_t sprite);
    void SetSpriteIndex(uint32_t sprite);
    void GetSetAndSprite(uint8_t& set, uint8_t& sprite) const;
    void SetOffset(int32_t x, int32_t y);
    int16_t GetOffsetX() const { return m_offsetX; }
    int16_t GetOffsetY() const { return m_offsetY; }

    // Starts the animation at its first frame, forwards. Refused, with the
    // presenter unchanged, while the sprite is not prepared or the set has
    // no such animation.
    void SetAnimation(uint32_t animation, uint8_t transform, bool loop);
    void SetAnimation(uint32_t animation, bool loop) { SetAnimation(animation, m_transform, loop); }
    void SetAnimation(uint32_t animation) { SetAnimation(animation, m_transform, m_loop != 0); }
    uint16_t GetAnimation() const { return m_animation; }

    // Refused, keeping the transform, when the animation does not allow it.
    void SetTransform(uint8_t transform);
    uint8_t GetTransform() const { return m_transform; }
    void SetLoop(bool on) { m_loop = on ? 1 : 0; }
    bool GetLoop() const { return m_loop != 0; }

    // +1: from the start forwards; any other: from the end backwards.
    void SetDirection(int32_t direction);
    void Restart(int32_t direction);
    void RestartAnimation();
    // Plays on in the other direction from the current point.
    void Reverse();
    void ReverseAndRestart();
    void SeekFrame(uint32_t frame);
    // Advances by dt ms; true when a non-looping animation has just ended.
    bool Tick(int32_t dt);
    bool IsFinished() const;
    bool IsForward() const { return m_speed == 1; }

    uint8_t GetFrame() const { return m_frame; }
    uint8_t GetFrameCount() const { return m_frameCount; }
    int32_t GetTime() const { return m_time; }
    uint16_t GetTotalDuration() const { return m_total; }
    uint16_t GetFrameStart() const { return m_frameStart; }
    uint16_t GetFrameEnd() const { return m_frameEnd; }
    int32_t GetFrameElapsed() const { return m_speed * (m_time - m_frameStart); }
    uint16_t GetFrameDuration() const;

    void Draw(int32_t x, int32_t y);
    void Draw() { Draw(0, 0); }
    // The bounds of the current picture plus the offset; x = y = 32767 plus
    // the offset when it has no part.
    void GetFrameRect(CRect* rect);
    // The module of the hit part or -1; the rectangle is where Draw(0, 0)
    // puts the picture.
    int32_t HitTest(const CRect& rect);
    // The box of the part of attribute 1 (GetMainBox), or of attribute n
    // (GetBox), relative to the picture's origin.
    bool ComputeMainBox();
    bool ComputeBox(int32_t attribute);
    const int32_t* GetMainBox() const { return m_mainBox; }
    const int32_t* GetBox() const { return m_box; }

    static void ApplyTransform(uint8_t transform, int32_t* x, int32_t* y, int32_t* w, int32_t* h);

private:
    enum WalkMode { kWalkDraw = 0, kWalkHit = 1, kWalkBounds = 2, kWalkBox = 3 };

    // The playing animation's record, or null while not ready.
    const SK_Animation* FindAnimation(SK_Home** home) const;
    uint16_t DurationOf(uint32_t frame) const;
    bool IsLastFrameOfPlay() const;
    bool IsAtEnd() const;
    // The steps of play on the animation's durations, found once per call.
    void RestartOn(const uint16_t* durations, int32_t direction);
    void AdvanceFrame(const uint16_t* durations);
    void Wrap(const uint16_t* durations);
    void WalkFrame(WalkMode mode, SK_Home* home, const SK_Animation* animation);
    bool WalkStep(SK_Home* home, WalkMode mode, uint16_t module, int32_t x, int32_t y);
    static void SetBox(int32_t* box, int32_t x, int32_t y, int32_t w, int32_t h);

    int32_t m_mainBox[kBoxValues];
    int32_t m_box[kBoxValues];
    uint8_t m_set;
    uint8_t m_sprite;
    uint16_t m_animation;
    uint8_t m_transform;
    int16_t m_offsetX;
    int16_t m_offsetY;
    uint8_t m_loop;
    int8_t m_speed;
    int32_t m_time;
    uint16_t m_frameStart;
    uint16_t m_frameEnd;
    uint8_t m_frameCount;
    uint8_t m_frame;
    uint16_t m_total;
    int32_t m_boxAttribute;
};

#endif
