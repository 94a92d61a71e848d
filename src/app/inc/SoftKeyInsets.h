#ifndef SOFTKEYINSETS_H
#define SOFTKEYINSETS_H

#include <cstdint>

class CDeviceConfig;

// How far the soft-key icons and buttons stand in from the screen's sides,
// from softkey.conf, for the orientation of a screen of the given size:
// portrait when it is taller than wide, landscape when wider than tall. A
// value that is not given (or a square screen) counts as 0.
struct SoftKeyInsets {
    int32_t left = 0;
    int32_t right = 0;

    static SoftKeyInsets Of(uint32_t width, uint32_t height, const CDeviceConfig* config);
    // The running application's softkey.conf; no insets without one.
    static SoftKeyInsets OfApp(uint32_t width, uint32_t height);
};

#endif
