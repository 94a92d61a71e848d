#ifndef CGAMESETTINGS_H
#define CGAMESETTINGS_H

#include "CSingleton.h"

// The game's settings singleton: whether the play world accepts its cheat
// key sequences, which the properties decide at start.
class CGameSettings : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x723BBB0E;

    CGameSettings() : CSingleton(kClassKey) {}

    uint8_t cheatsEnabled = 0;
};

// Whether cheats are on; false without a settings object.
uint8_t IsCheatsEnabled(const CGameSettings* settings);

#endif
