#ifndef CSPRITEINSTANCE_H
#define CSPRITEINSTANCE_H

#include <cstdint>

class JGraphics;

// Stand-in for the actors' sprite instance, with the operations the front
// end calls; the actors' own class replaces this file.
class CSpriteInstance {
public:
    bool IsVisible() const { return visible != 0; }
    void Paint(JGraphics&, int32_t, int32_t) {}
    void Tick(int32_t ms, bool) { elapsedMs += ms; }

    uint8_t visible = 1;
    int32_t elapsedMs = 0;
};

#endif
