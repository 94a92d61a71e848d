#ifndef DEMOSCENE_H
#define DEMOSCENE_H

#include "DemoState.h"

#include <cstdint>

class CGraphics2d_Lite;

// The demo's picture, drawn through the 2D renderer onto the device's
// current surface (`width` x `height` pixels, already cleared): a frame
// round the screen, its diagonals, a rectangle sliding to and fro with
// time, a cross-hair at the last stylus point and the last key code in
// digits at the top left.
class DemoScene {
public:
    DemoScene() = delete;

    static void Draw(CGraphics2d_Lite* renderer, const DemoState& state, int32_t width, int32_t height);

private:
    static void DrawSlider(CGraphics2d_Lite* renderer, uint32_t elapsedMs, int32_t width, int32_t height);
    static void DrawCrossHair(int32_t x, int32_t y);
    // The number in 3 x 5 digits, each cell `scale` pixels square.
    static void DrawNumber(int32_t x, int32_t y, uint32_t number, int32_t scale, uint32_t color);
    static void DrawDigit(int32_t x, int32_t y, uint32_t digit, int32_t scale, uint32_t color);
};

#endif
