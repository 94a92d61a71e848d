#ifndef DEMOSTATE_H
#define DEMOSTATE_H

#include <cstdint>

// What the demo application has seen and drawn. The shell deletes the
// application before WinMain returns, so this lives outside it and main
// reports it at the end.
struct DemoState {
    static constexpr int32_t kNone = -1;

    bool started = false;
    // Animation time: the sum of the measured frame times.
    uint32_t elapsedMs = 0;
    // The last stylus-down point, at half the device resolution (the window
    // surface's own pixels).
    int32_t stylusX = kNone;
    int32_t stylusY = kNone;
    // The engine code of the last key pressed.
    int32_t lastKey = kNone;
    uint32_t framesPainted = 0;
    // The window surface's size in the last painted frame.
    uint32_t surfaceWidth = 0;
    uint32_t surfaceHeight = 0;
};

#endif
