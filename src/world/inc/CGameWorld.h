#ifndef CGAMEWORLD_H
#define CGAMEWORLD_H

#include <cstdint>

#include "CScreen.h"

class CSpriteInstance;
class JGraphics;
class JImage;
class JString;

// Stand-in for the play world, with the operations and fields the front end
// uses; the play world's own class replaces this file and its source.
class CGameWorld : public CScreen {
public:
    static constexpr int32_t kLoaded = 100;
    static constexpr int32_t kSubStateNormal = 0;
    static constexpr int32_t kSubStateBlack = 5;
    static constexpr int32_t kBorderImages = 10;

    CGameWorld() = default;
    ~CGameWorld() override = default;

    // One slice of loading the progress record's level; 100 when loaded.
    int32_t LoadStep(int32_t step);
    void Paint(JGraphics& g);
    void RestoreCheckpoint() {}
    void Unload() override { loaded = false; }
    // One play tick; 0 to stay in play, else the state to enter (the
    // screens' result type, which every play state fits).
    uint8_t Update(int32_t dt) override;

    int32_t subState = kSubStateNormal;
    uint8_t inputBlocked = 0;
    int32_t backgroundColour = 0;
    JImage** speakerPortraits = nullptr;
    JString* speakerNames = nullptr;
    JImage** borderImages = nullptr;
    CSpriteInstance* fullScreenSprite = nullptr;
    bool loaded = false;
};

#endif
