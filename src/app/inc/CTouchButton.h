#ifndef CTOUCHBUTTON_H
#define CTOUCHBUTTON_H

#include <cstdint>

class CGameInput;
class JGraphics;

// An invisible area of the screen that gives key bits to the input object
// while the stylus holds it, as a held and pressed hardware key would.
class CTouchButton {
public:
    static constexpr int32_t kRectangle = 0;
    static constexpr int32_t kCircle = 1;
    static constexpr int32_t kKeyAction = 0;
    static constexpr int32_t kNoAction = -1;
    static constexpr int32_t kEdgeDown = 0;
    static constexpr int32_t kEdgeUp = 1;

    CTouchButton() = default;

    // A circle's (x, y) is its centre and h its squared radius.
    void SetRect(int32_t left, int32_t top, int32_t width, int32_t height);
    void SetId(int32_t buttonAction, uint32_t keyBits);
    void SetShape(int32_t buttonShape) { shape = buttonShape; }
    // The right and bottom edges of a rectangle lie outside it.
    bool HitTest(int32_t px, int32_t py) const;
    // A key button held replaces every held key by its own bits; let go, it
    // releases its bits.
    void SetPressed(bool isPressed, CGameInput& input);
    // The stylus went down (or up) on the button.
    void OnEdge(int32_t edge, CGameInput& input) const;
    bool IsPressed() const { return pressed != 0; }
    // The buttons draw nothing: the play world draws its own controls.
    void Paint(JGraphics&) const {}

    int32_t GetX() const { return x; }
    int32_t GetY() const { return y; }
    int32_t GetWidth() const { return w; }
    int32_t GetHeight() const { return h; }
    uint32_t GetKeys() const { return keys; }

private:
    int32_t shape = kRectangle;
    int32_t action = kNoAction;
    uint32_t keys = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    uint8_t pressed = 0;
};

#endif
