#ifndef CGAMEINPUT_H
#define CGAMEINPUT_H

#include <cstdint>

#include "GameKeys.h"

class JGraphics;
class JImage;

// Turns the engine's key events into the game's key masks, latched once per
// game update, and paints the two soft-key icons at the bottom corners. The
// touch buttons feed the same masks, so a tap and a key look alike to the
// readers. The masks are plain fields: the HUD, the touch buttons, the
// play world and the actors write them directly, in this order.
class CGameInput {
public:
    static constexpr uint32_t kSoftKeyStripImage = 597;
    static constexpr uint32_t kCornerImage = 542;
    static constexpr int32_t kStripFrames = 4;
    static constexpr int32_t kNoIcon = -1;

    // SetSoftKeys flags.
    static constexpr uint32_t kLeftConfirm = 0x01;
    static constexpr uint32_t kRightBack = 0x02;
    static constexpr uint32_t kLeftConfirmAlt = 0x04;
    static constexpr uint32_t kRightFrame2 = 0x08;
    static constexpr uint32_t kLeftFrame3 = 0x10;

    CGameInput() = default;
    ~CGameInput();

    CGameInput(const CGameInput&) = delete;
    CGameInput& operator=(const CGameInput&) = delete;

    // Loads the soft-key images (once).
    void Init();
    void OnKey(int32_t code, bool isPressed);
    static uint32_t KeyToBits(int32_t code);

    void Press(uint32_t bits) { pendingPressed |= bits; }
    // A soft key's own bit alone is never held: the soft keys arrive only as
    // presses and would otherwise stay held.
    void Hold(uint32_t bits);
    void Release(uint32_t bits) { held &= ~bits; }
    void AddReleased(uint32_t bits) { pendingReleased |= bits; }
    bool IsPressed(uint32_t mask) const { return (pressed & mask) != 0; }
    bool IsHeld(uint32_t mask) const { return (held & mask) != 0; }
    bool AnyPressed() const { return pressed != 0; }
    // A key of the handset went down since the previous latch; the touch
    // buttons, which press the same bits, do not count.
    bool KeyWentDown() const { return keyWentDown; }
    // Once per game update, before the screens read the masks.
    void LatchFrame();
    // Drops presses and held keys; releases already seen stay reported.
    void Reset();

    void SetSoftKeys(uint32_t flags);
    // Draws the icons at the bottom corners of a screen of the given size,
    // insets taken from softkey.conf for the display's orientation.
    void PaintSoftKeys(JGraphics& g, int32_t screenWidth, int32_t screenHeight);

    int32_t GetLeftSoftKeyIcon() const { return leftSoftKeyIcon; }
    int32_t GetRightSoftKeyIcon() const { return rightSoftKeyIcon; }
    int32_t GetSoftKeyBarHeight() const { return softKeyBarHeight; }

    uint32_t pressed = 0;
    uint32_t pendingPressed = 0;
    uint32_t held = 0;
    uint32_t pendingReleased = 0;
    uint32_t released = 0;
    bool skipSoftKeyPaint = false;
    bool pendingKeyWentDown = false;
    bool keyWentDown = false;
    bool cornerImagesEnabled = false;

private:
    static int32_t LeftIconOf(uint32_t flags);
    static int32_t RightIconOf(uint32_t flags);
    void DrawIcon(JGraphics& g, int32_t icon, int32_t x, int32_t y);

    JImage* softKeyStrip = nullptr;
    JImage* cornerImage = nullptr;
    int32_t leftSoftKeyIcon = 0;
    int32_t rightSoftKeyIcon = 0;
    int32_t softKeyBarHeight = 0;
};

#endif
